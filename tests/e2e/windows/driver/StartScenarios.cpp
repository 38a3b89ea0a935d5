#include "Scenarios.h"

#include "app/Layout.h"
#include "platform/win32/WindowClasses.h"

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
    EndWithOutcome(program, kInstalled);
    StartsAgainAfterTheEnd();
}

// The same while the window shows, where no confirmation can be waited for.
// Last, a start refused by the mutex an elevated start made (here made
// beforehand, closed to everyone) takes it that another runs: it shows
// nothing and ends, rather than open a second window.
void SecondStartShown() {
    DecoyWindow decoy;
    Target program;
    if (!StartShown(program)) return;
    BroughtForwardWhileShown(program, decoy);
    program.ClickExit();
    ExpectEnd(program);
    StartsAgainAfterTheEnd();
    SECURITY_DESCRIPTOR closed;
    ACL none;
    InitializeSecurityDescriptor(&closed, SECURITY_DESCRIPTOR_REVISION);
    InitializeAcl(&none, sizeof none, ACL_REVISION);
    SetSecurityDescriptorDacl(&closed, TRUE, &none, FALSE);
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, &closed, FALSE};
    const bool vista = WindowClassOf(g_exe) == kVistaWindowClass;
    HANDLE mutex = CreateMutexW(&attributes, TRUE, vista ? kVistaRunningMutex : kClassicRunningMutex);
    if (Check(mutex != nullptr, L"the edition's mutex, closed to others, as an elevated start's")) {
        StartAgain(g_exe, L"while the mutex refuses it");
        CloseHandle(mutex);
    }
    // Held by a start that shows nothing (stuck, or kept by an error report):
    // a start waits ten seconds at most, then runs as if alone.
    mutex = CreateMutexW(nullptr, TRUE, vista ? kVistaRunningMutex : kClassicRunningMutex);
    Target alone;
    const DWORD start = GetTickCount();
    if (Check(mutex && alone.Start(g_exe), L"a start while the mutex is held and nothing shows")) {
        const bool shown = alone.WaitForMainWindow(25000);
        const DWORD took = GetTickCount() - start;
        Check(shown && took >= 10000, L"it shows its own window after waiting 10 s", std::to_wstring(took) + L" ms");
        alone.ClickExit();
        ExpectEnd(alone);
    }
    CloseHandle(mutex);
}

// Creating a control fails half-way (a CBT hook refuses the program's
// buttons, as an exhausted desktop heap would): the error is reported with
// the half-made window already gone, a broadcast meanwhile reaches nothing of
// it, and the program ends with exit code 1. A second start meanwhile finds
// no window to bring forward: it waits, and starts as the first did once
// that has gone.
void WindowFails() {
    const DllHook refuse(L"RefuseButtons.dll", "RefuseButtons", WH_CBT, 0);
    if (!Check(refuse.Set(), L"a CBT hook refuses the program's buttons", BesideDriver(L"RefuseButtons.dll"))) return;
    Target program, second;
    if (!Check(program.Start(g_exe), L"the program starts", g_exe)) return;
    MessageBoxSeen box;
    if (!Check(program.WaitForMessageBox(box), L"a box reports the error")) return;
    Note(L"report: " + box.text);
    Check(box.text.rfind(L"运行时错误 '", 0) == 0, L"it reports a run-time error", box.text);
    Check(box.buttons == std::vector<int>{IDOK}, L"with one OK button", Buttons(box.buttons));
    Check(program.MainWindow() == nullptr, L"the half-made window is gone before the report");
    Shot(L"window-fails");
    DWORD_PTR ignored;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"), SMTO_ABORTIFHUNG,
                        5000, &ignored);
    Sleep(200);
    Check(WaitForSingleObject(program.Process(), 0) == WAIT_TIMEOUT && IsWindow(box.window),
          L"a broadcast while the report shows does no harm");
    if (Check(second.Start(g_exe), L"a second start while the report shows", g_exe))
        Check(WaitForSingleObject(second.Process(), 2000) == WAIT_TIMEOUT && !second.FirstVisibleWindow(),
              L"it waits, showing nothing");
    program.Press(box.window, IDOK);
    ExpectEnd(program, 1);
    MessageBoxSeen again;
    if (Check(second.WaitForMessageBox(again), L"once the first has gone, the second starts as it did: its own report")) {
        second.Press(again.window, IDOK);
        ExpectEnd(second, 1);
    }
}

// Both editions run, each window once behind the other's: a second start of
// either brings forward its own edition's window, never the other's.
void EditionsSecondStart() {
    const std::wstring classicExe = Beside(g_exe, L"CertInstall.exe");
    const std::wstring vistaExe = Beside(g_exe, L"CertInstallVista.exe");
    DecoyWindow decoy;
    Target classic, vista;
    if (!StartShown(classic, classicExe) || !StartShown(vista, vistaExe)) return;
    struct Turn {
        Target& own;
        Target& other;
        const std::wstring& exe;
    };
    for (const Turn& turn : {Turn{classic, vista, classicExe}, Turn{vista, classic, vistaExe}}) {
        const std::wstring name = turn.exe.substr(turn.exe.find_last_of(L'\\') + 1);
        Note(L"a second start of " + name);
        Check(turn.other.BringToFront(), L"the other edition's window was in front last");
        Check(decoy.Activate(), L"another window is in front");
        StartAgain(turn.exe, L"of " + name);
        Check(WaitUntil([&] { return GetForegroundWindow() == turn.own.MainWindow(); }, 5000),
              L"its own edition's window is brought to the front", Describe(GetForegroundWindow()));
        Check(VisibleWindowsOf(turn.exe) == 1, L"one window of " + name);
    }
    classic.ClickExit();
    ExpectEnd(classic);
    vista.ClickExit();
    ExpectEnd(vista);
}

// After Next the window is hidden and, while another process's question
// would be up, the program shows no box of its own (the stand-in waits
// before it asks): a second start finds nothing to bring forward and ends
// at once, as quickly as one while the window shows, not after a search.
void SecondStartHidden() {
    wchar_t name[128] = L"";
    if (!Check(GetEnvironmentVariableW(L"CENROLL_STANDIN_WAIT_EVENT", name, 128) != 0,
               L"the case names the stand-in's event"))
        return;
    HANDLE go = CreateEventW(nullptr, FALSE, FALSE, name);
    Target program;
    if (!StartShown(program)) return;
    const long shown = StartAgain(g_exe, L"while the window shows");
    program.ClickNext();
    Check(WaitUntil([&] { return !program.MainVisible(); }, 5000), L"Next hides the window");
    Check(program.MessageBoxes().empty(), L"the program shows no box while the control works");
    const long hidden = StartAgain(g_exe, L"while the window is hidden and no box is up");
    Check(hidden >= 0 && hidden <= shown + 2000,
          L"it ends at once, within 2 s of the time a start while the window shows takes",
          std::to_wstring(hidden) + L" ms against " + std::to_wstring(shown) + L" ms");
    SetEvent(go);
    program.Press(Confirmation(program).window, IDYES);
    SetEvent(go);
    EndWithOutcome(program, kInstalled);
    CloseHandle(go);
}

// The race of a double-click done twice: the first start holds the mutex
// but has no window yet (a CBT hook holds it as the window is made). A
// second start waits for that window to show, brings it forward and ends;
// one window appears.
void SecondStartEarly() {
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, L"CertInstallTest.Held");
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, L"CertInstallTest.Release");
    const DllHook hold(L"GuardHooks.dll", "HoldWindow", WH_CBT, 0);
    if (!Check(hold.Set(), L"a CBT hook holds the making of the window", BesideDriver(L"GuardHooks.dll"))) return;
    Target first;
    if (!Check(first.Start(g_exe), L"the first start", g_exe)) return;
    if (!Check(WaitForSingleObject(held, 30000) == WAIT_OBJECT_0, L"the first start is held as its window is made"))
        return;
    Target second;
    if (!Check(second.Start(g_exe), L"a second start meanwhile", g_exe)) return;
    bool showed = false;
    const auto ended = [&] {
        showed = showed || second.FirstVisibleWindow() != nullptr;
        return WaitForSingleObject(second.Process(), 0) == WAIT_OBJECT_0;
    };
    Check(!FindWindowW(WindowClassOf(g_exe).c_str(), nullptr), L"the first start has no window yet");
    Check(!WaitUntil(ended, 2000), L"the second start waits while the first shows nothing");
    const DWORD released = GetTickCount();
    SetEvent(release);
    if (!Check(first.WaitForMainWindow(), L"the first start's window appears")) return;
    Check(WaitUntil(ended, 10000) && second.WaitForExit(0) == 0, L"the second start ends with exit code 0");
    Note(L"it ended " + std::to_wstring(GetTickCount() - released) + L" ms after the first was let go");
    Check(!showed, L"the second start showed nothing of its own");
    Check(VisibleWindowsOf(g_exe) == 1, L"one installer window", std::to_wstring(VisibleWindowsOf(g_exe)));
    Check(WaitUntil([&] { return GetForegroundWindow() == first.MainWindow(); }, 5000),
          L"the window is in front", Describe(GetForegroundWindow()));
    first.ClickExit();
    ExpectEnd(first);
    CloseHandle(held);
    CloseHandle(release);
}
