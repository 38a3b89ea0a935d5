#include "Scenarios.h"

#include "app/Layout.h"

#include <softpub.h>
#include <wintrust.h>

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
    const MessageBoxSeen box = Outcome(program, kCancelled);
    Shot(L"cancelled");
    program.Press(box.window, IDOK);
    ExpectEnd(program);
}

namespace {

// Next, Yes to the confirmation, then the outcome; the certificate is in Root.
void InstallConfirmed(const wchar_t* shotPrefix) {
    const std::vector<BYTE> carried = ExpectedCertificate();
    Check(!carried.empty() && carried == CarriedCertificate(), L"the exe carries the expected certificate",
          SubjectOf(CarriedCertificate()));
    Target program;
    if (!StartShown(program)) return;
    Shot((std::wstring(shotPrefix) + L"window").c_str());
    program.ClickNext();
    const MessageBoxSeen question = Confirmation(program);
    Shot((std::wstring(shotPrefix) + L"confirmation").c_str());
    program.Press(question.window, IDYES);
    const MessageBoxSeen box = Outcome(program, kInstalled);
    Shot((std::wstring(shotPrefix) + L"installed").c_str());
    const int copies = CopiesInRootStore(carried);
    Check(copies == 1, L"Root holds the carried certificate once, byte for byte",
          std::to_wstring(copies) + L" copies");
    program.Press(box.window, IDOK);
    ExpectEnd(program);
}

}  // namespace

void Installed() {
    Check(CopiesInRootStore(ExpectedCertificate()) == 0, L"Root does not hold it before");
    InstallConfirmed(L"");
}

void Declined() {
    const std::vector<BYTE> carried = CarriedCertificate();
    Target program;
    if (!StartShown(program)) return;
    program.ClickNext();
    const MessageBoxSeen question = Confirmation(program);
    program.Press(question.window, IDNO);
    const MessageBoxSeen box = Outcome(program, kCancelled);
    Shot(L"declined");
    Check(CopiesInRootStore(carried) == 0, L"Root is unchanged");
    program.Press(box.window, IDOK);
    ExpectEnd(program);
}

// A second run when the certificate is already there: the stand-in, like
// crypt32, keeps the existing copy and asks nothing.
void Again() {
    InstallConfirmed(L"first-");
    Note(L"second run");
    Target program;
    if (!StartShown(program)) return;
    program.ClickNext();
    const MessageBoxSeen box = Outcome(program, kInstalled);
    Shot(L"second-installed");
    Check(CopiesInRootStore(CarriedCertificate()) == 1, L"Root still holds one copy");
    program.Press(box.window, IDOK);
    ExpectEnd(program);
}

// Clicks queued behind the first one, or arriving while a box runs its modal
// loop, start no second install and show no second box.
void DoubleClick() {
    Target program;
    if (!StartShown(program)) return;
    program.ClickNext();
    program.ClickNext();
    const MessageBoxSeen question = Confirmation(program);
    program.Press(question.window, IDYES);
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

// The stand-in itself, called as the program calls it: failures come back as
// crypt32's status with a description, the methods it leaves out answer
// E_NOTIMPL, and the stack survives every slot's call.
void StandIn() {
    CoInitialize(nullptr);
    ICEnroll4* control = nullptr;
    const HRESULT created = CreateEnroll(&control);
    if (!Check(created == S_OK && control, L"CEnroll is created", Hex(static_cast<unsigned long>(created)))) return;

    struct Input {
        const wchar_t* what;
        const wchar_t* text;
    };
    const Input bad[] = {{L"text that is not base64", L"*** not base64 ***"},
                         {L"base64 of bytes that are not ASN.1", L"aGVsbG8gd29ybGQ="},
                         {L"an empty text", L""}};
    for (const Input& input : bad) {
        BSTR text = SysAllocString(input.text);
        const HRESULT status = control->InstallPKCS7(text);
        SysFreeString(text);
        IErrorInfo* info = nullptr;
        BSTR description = nullptr;
        if (GetErrorInfo(0, &info) == S_OK && info) {
            info->GetDescription(&description);
            info->Release();
        }
        Check(FAILED(status), std::wstring(input.what) + L" fails", Hex(static_cast<unsigned long>(status)));
        Check(description && *description, std::wstring(input.what) + L" has a description");
        Note(std::wstring(input.what) + L": " + Hex(static_cast<unsigned long>(status)) + L" " +
             (description ? description : L""));
        SysFreeString(description);
    }
    BSTR name = nullptr;
    LONG flags = 0;
    Check(control->get_MyStoreName(&name) == E_NOTIMPL && control->get_GenKeyFlags(&flags) == E_NOTIMPL &&
              control->put_HashAlgorithm(nullptr) == E_NOTIMPL,
          L"methods left out answer E_NOTIMPL");
    control->Release();
    Check(CopiesInRootStore(CarriedCertificate()) == 0, L"Root is unchanged");
    CoUninitialize();
}


namespace {

// WinVerifyTrust's answer for a file, with the Authenticode policy and no
// user interface or revocation check (the test root publishes no CRL).
LONG Trust(const std::wstring& path) {
    WINTRUST_FILE_INFO file = {};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = path.c_str();
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG status = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return status;
}

bool ChangeOneByte(const std::wstring& from, const std::wstring& to) {
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) return false;
    HANDLE file = CreateFileW(to.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BYTE b = 0;
    DWORD done = 0;
    SetFilePointer(file, 0x2000, nullptr, FILE_BEGIN);
    bool changed = ReadFile(file, &b, 1, &done, nullptr) && done == 1;
    b ^= 1;
    SetFilePointer(file, 0x2000, nullptr, FILE_BEGIN);
    changed = changed && WriteFile(file, &b, 1, &done, nullptr) && done == 1;
    CloseHandle(file);
    return changed;
}

}  // namespace

// The signed exe: WinVerifyTrust accepts it with the signing root in Root
// and refuses a copy with one byte changed; and it installs as the unsigned
// one does.
void Signed() {
    const std::vector<BYTE> root = FileBytes(L"CERTINSTALL_SIGNING_ROOT");
    if (!Check(!root.empty(), L"the signing root is given")) return;
    // Windows answers CERT_E_UNTRUSTEDROOT here; Wine 8 checks the digest
    // but not the chain, and accepts. Noted, so a later Wine shows up.
    const LONG untrusted = Trust(g_exe);
    Note(L"WinVerifyTrust(signed exe, root not in Root) = " + Hex(static_cast<unsigned long>(untrusted)));
    Check(AddToRootStore(root), L"the signing root is added to Root");
    const LONG signedStatus = Trust(g_exe);
    Note(L"WinVerifyTrust(signed exe) = " + Hex(static_cast<unsigned long>(signedStatus)));
    Check(signedStatus == ERROR_SUCCESS, L"WinVerifyTrust accepts the signed exe");
    const std::wstring changed = g_output + L"\\changed.exe";
    if (Check(ChangeOneByte(g_exe, changed), L"a copy with one byte changed")) {
        const LONG changedStatus = Trust(changed);
        Note(L"WinVerifyTrust(changed copy) = " + Hex(static_cast<unsigned long>(changedStatus)));
        Check(changedStatus == static_cast<LONG>(TRUST_E_BAD_DIGEST), L"WinVerifyTrust refuses the changed copy");
    }
    InstallConfirmed(L"signed-");
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
    const MessageBoxSeen box = Outcome(program, kCancelled);
    program.Press(box.window, IDOK);
    ExpectEnd(program);
    ExpectStandInCall("CreateInstance(ICEnroll4) = 0x80004002");
    ExpectStandInCall("CreateInstance(ICEnroll3) = 0x80004002");
    Check(CopiesInRootStore(CarriedCertificate()) == 0, L"Root is unchanged");
}

// While the control works, another window takes the foreground, as when the
// user clicks elsewhere; the confirmation and the outcome still come in front.
void Foreground() {
    wchar_t name[128] = L"";
    if (!Check(GetEnvironmentVariableW(L"CENROLL_STANDIN_WAIT_EVENT", name, 128) != 0,
               L"the case names the stand-in's event"))
        return;
    HANDLE go = CreateEventW(nullptr, FALSE, FALSE, name);
    DecoyWindow decoy;
    Target program;
    if (!StartShown(program)) return;
    program.ClickNext();
    Check(WaitUntil([&] { return !program.MainVisible(); }, 5000), L"Next hides the window");
    Check(decoy.Activate(), L"another window is in front while the control works");
    SetEvent(go);
    const MessageBoxSeen question = Confirmation(program);
    Check(WaitUntil([&] { return GetForegroundWindow() == question.window; }, 3000),
          L"the confirmation is the foreground window");
    Shot(L"foreground-confirmation");
    program.Press(question.window, IDYES);
    Check(decoy.Activate(), L"another window is in front again while the control finishes");
    SetEvent(go);
    const MessageBoxSeen box = Outcome(program, kInstalled);
    Check(WaitUntil([&] { return GetForegroundWindow() == box.window; }, 3000),
          L"the outcome box is the foreground window");
    Shot(L"foreground-installed");
    program.Press(box.window, IDOK);
    ExpectEnd(program);
    CloseHandle(go);
}
