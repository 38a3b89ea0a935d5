#include "Scenarios.h"

#include "app/Layout.h"

int VisibleWindowsOf(const std::wstring& exe) {
    int count = 0;
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, WindowClassOf(exe).c_str(), nullptr)))
        if (IsWindowVisible(window)) ++count;
    return count;
}

long StartAgain(const std::wstring& exe, const std::wstring& when) {
    Target again;
    if (!Check(again.Start(exe), L"a second start " + when, exe)) return -1;
    const DWORD start = GetTickCount();
    bool showed = false;
    const bool ended = WaitUntil(
        [&] {
            showed = showed || again.FirstVisibleWindow() != nullptr;
            return WaitForSingleObject(again.Process(), 0) == WAIT_OBJECT_0;
        },
        15000);
    const long took = ended ? static_cast<long>(GetTickCount() - start) : -1;
    Check(ended && again.WaitForExit(0) == 0, L"it ends with exit code 0");
    Check(!showed, L"it showed nothing of its own");
    Note(L"the second start ran " + std::to_wstring(took) + L" ms");
    return took;
}

namespace {

// A second start while one runs leaves one window on the screen.
void StartAgainOneWindow(const wchar_t* when) {
    StartAgain(g_exe, when);
    Check(VisibleWindowsOf(g_exe) <= 1, L"at most one installer window is on the screen",
          std::to_wstring(VisibleWindowsOf(g_exe)));
}

}  // namespace

void BroughtForwardWhileShown(Target& program, DecoyWindow& decoy) {
    Check(decoy.Activate(), L"another window is in front");
    StartAgainOneWindow(L"while the window shows");
    Check(WaitUntil([&] { return GetForegroundWindow() == program.MainWindow(); }, 5000),
          L"the running window is brought to the front", Describe(GetForegroundWindow()));
    Check(VisibleWindowsOf(g_exe) == 1, L"one installer window");
}

namespace {

void StartsAgainAfterTheEnd() {
    Note(L"after the program has ended");
    Target later;
    if (!StartShown(later)) return;
    later.ClickExit();
    ExpectEnd(later);
}

}  // namespace

// Two starts give one window; a start during the confirmation brings the
// confirmation forward; after the program ends a start shows the window again.
void SecondStart() {
    DecoyWindow decoy;
    Target program;
    if (!StartShown(program)) return;
    BroughtForwardWhileShown(program, decoy);

    program.ClickNext();
    const MessageBoxSeen question = Confirmation(program);
    Check(decoy.Activate(), L"another window is in front of the confirmation");
    StartAgainOneWindow(L"during the confirmation");
    Check(WaitUntil([&] { return GetForegroundWindow() == question.window; }, 5000),
          L"the confirmation is brought to the front", Describe(GetForegroundWindow()));
    program.Press(question.window, IDYES);
    const MessageBoxSeen box = Outcome(program, kInstalled);
    program.Press(box.window, IDOK);
    ExpectEnd(program);
    StartsAgainAfterTheEnd();
}

// The same while the window shows, where no confirmation can be waited for.
void SecondStartShown() {
    DecoyWindow decoy;
    Target program;
    if (!StartShown(program)) return;
    BroughtForwardWhileShown(program, decoy);
    program.ClickExit();
    ExpectEnd(program);
    StartsAgainAfterTheEnd();
}

// Creating a control fails half-way (a CBT hook refuses the program's
// buttons, as an exhausted desktop heap would): the error is reported with
// the half-made window already gone, a broadcast meanwhile reaches nothing of
// it, and the program ends with exit code 1.
void WindowFails() {
    Target program;
    {
        const DllHook refuse(L"RefuseButtons.dll", "RefuseButtons", WH_CBT, 0);
        if (!Check(refuse.Set(), L"a CBT hook refuses the program's buttons", BesideDriver(L"RefuseButtons.dll")))
            return;
        if (!Check(program.Start(g_exe), L"the program starts", g_exe)) return;
        MessageBoxSeen box;
        if (Check(program.WaitForMessageBox(box), L"a box reports the error")) {
            Note(L"report: " + box.text);
            Check(box.text.rfind(L"运行时错误 '", 0) == 0, L"it reports a run-time error", box.text);
            Check(box.buttons == std::vector<int>{IDOK}, L"with one OK button", Buttons(box.buttons));
            Check(program.MainWindow() == nullptr, L"the half-made window is gone before the report");
            Shot(L"window-fails");
            DWORD_PTR ignored;
            SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"),
                                SMTO_ABORTIFHUNG, 5000, &ignored);
            Sleep(200);
            Check(WaitForSingleObject(program.Process(), 0) == WAIT_TIMEOUT && IsWindow(box.window),
                  L"a broadcast while the report shows does no harm");
            program.Press(box.window, IDOK);
        }
    }
    ExpectEnd(program, 1);
}
