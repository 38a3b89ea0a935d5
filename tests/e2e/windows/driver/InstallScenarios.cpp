#include "Scenarios.h"

#include "app/Layout.h"

void Cancelled() {
    CoInitialize(nullptr);
    ICEnroll4* control = nullptr;
    const HRESULT created = CreateEnroll(&control);
    Check(FAILED(created), L"no control to create in this prefix", Hex(static_cast<unsigned long>(created)));
    Note(L"CoCreateInstance(CEnroll) = " + Hex(static_cast<unsigned long>(created)));
    if (control) control->Release();
    CoUninitialize();

    Target program;
    if (!StartShown(program)) return;
    program.ClickNext();
    EndWithOutcome(program, kCancelled, L"cancelled");
}

void InstallOnce(const std::vector<BYTE>& carried, const std::wstring& shotPrefix, bool asked) {
    Target program;
    if (!StartShown(program)) return;
    Shot((shotPrefix + L"window").c_str());
    program.ClickNext();
    if (asked) {
        const MessageBoxSeen question = Confirmation(program);
        Shot((shotPrefix + L"confirmation").c_str());
        program.Press(question.window, IDYES);
    }
    EndWithOutcome(program, kInstalled, shotPrefix + L"installed");
    const int copies = CopiesInRootStore(carried);
    Check(copies == 1, L"Root holds the carried certificate once, byte for byte",
          std::to_wstring(copies) + L" copies");
}

void InstallConfirmed(const wchar_t* shotPrefix) {
    const std::vector<BYTE> carried = ExpectedCertificate();
    Check(!carried.empty() && carried == CarriedCertificate(), L"the exe carries the expected certificate",
          SubjectOf(CarriedCertificate()));
    InstallOnce(carried, shotPrefix, true);
}

void Installed() {
    Check(CopiesInRootStore(ExpectedCertificate()) == 0, L"Root does not hold it before");
    InstallConfirmed(L"");
}

void Declined() {
    const std::vector<BYTE> carried = CarriedCertificate();
    Target program;
    if (!StartShown(program)) return;
    program.ClickNext();
    program.Press(Confirmation(program).window, IDNO);
    EndWithOutcome(program, kCancelled, L"declined");
    Check(CopiesInRootStore(carried) == 0, L"Root is unchanged");
}

// A second run when the certificate is already there: the stand-in, like
// crypt32, keeps the existing copy and asks nothing.
void Again() {
    InstallConfirmed(L"first-");
    Note(L"second run");
    InstallOnce(CarriedCertificate(), L"second-", false);
}

// Clicks queued behind the first one, or arriving while a box runs its modal
// loop, start no second install and show no second box.
void DoubleClick() {
    Target program;
    if (!StartShown(program)) return;
    program.ClickNext();
    program.ClickNext();
    program.Press(Confirmation(program).window, IDYES);
    const MessageBoxSeen box = Outcome(program, kInstalled);
    program.ClickNext();
    program.ClickExit();
    program.Press(box.window, IDOK);
    ExpectEnd(program);
    Check(CopiesInRootStore(CarriedCertificate()) == 1, L"Root holds one copy");
}

// Next queued behind Exit installs nothing.
void ExitThenNext() {
    Target program;
    if (!StartShown(program)) return;
    program.ClickExit();
    program.ClickNext();
    ExpectEnd(program);
    Check(CopiesInRootStore(CarriedCertificate()) == 0, L"Root is unchanged");
}

namespace {

// The stand-in's record holds this line.
void ExpectStandInCall(const std::string& line) {
    const std::string log = StandInLog();
    Check(log.find(line + "\n") != std::string::npos,
          L"the stand-in recorded " + std::wstring(line.begin(), line.end()));
}

}  // namespace

// A control that answers ICEnroll3 but not ICEnroll4: the program asks again
// through ICEnroll3 and installs.
void OlderControl() {
    Check(CopiesInRootStore(ExpectedCertificate()) == 0, L"Root does not hold it before");
    InstallConfirmed(L"");
    ExpectStandInCall("CreateInstance(ICEnroll4) = 0x80004002");
    ExpectStandInCall("CreateInstance(ICEnroll3) = 0x00000000");
}

// A control that answers neither: a cancellation, Root unchanged.
void OlderControlRefused() {
    Target program;
    if (!StartShown(program)) return;
    program.ClickNext();
    EndWithOutcome(program, kCancelled);
    ExpectStandInCall("CreateInstance(ICEnroll4) = 0x80004002");
    ExpectStandInCall("CreateInstance(ICEnroll3) = 0x80004002");
    Check(CopiesInRootStore(CarriedCertificate()) == 0, L"Root is unchanged");
}
