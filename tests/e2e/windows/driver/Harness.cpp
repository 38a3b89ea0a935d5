#include "Harness.h"

#include "Scenarios.h"

#include <cstdio>

#include "app/Layout.h"
#include "platform/win32/FormWindow.h"
#include "platform/win32/WindowClasses.h"

int g_failures = 0;

namespace {

void Print(const std::wstring& line) {
    // UTF-8 so that the Chinese texts reach the log readable.
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    std::printf("%s\n", bytes.c_str());
    std::fflush(stdout);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = L"";
    DWORD_PTR ignored;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, &ignored);
    return text;
}

struct Search {
    DWORD pid;
    const wchar_t* className;  // nullptr: any class
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && (!search->className || ClassOf(window) == search->className))
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevel(DWORD pid, const wchar_t* className) {
    Search search = {pid, className, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<std::pair<DWORD, DWORD>> g_dialogEvents;  // thread, event

void CALLBACK RecordDialogEvent(HWINEVENTHOOK, DWORD event, HWND, LONG, LONG, DWORD thread, DWORD) {
    g_dialogEvents.emplace_back(thread, event);
}

}  // namespace

void WatchDialogEvents() {
    MSG none;  // Wine drops the events for a thread that has no message queue yet
    PeekMessageW(&none, nullptr, 0, 0, PM_NOREMOVE);
    SetWinEventHook(EVENT_SYSTEM_DIALOGSTART, EVENT_SYSTEM_DIALOGEND, nullptr, RecordDialogEvent, 0, 0,
                    WINEVENT_OUTOFCONTEXT);
    HMODULE guard = LoadLibraryW(BesideDriver(L"GuardHooks.dll").c_str());
    SetWinEventHook(EVENT_SYSTEM_DIALOGSTART, EVENT_SYSTEM_DIALOGSTART, guard,
                    reinterpret_cast<WINEVENTPROC>(reinterpret_cast<void*>(GetProcAddress(guard, "FocusAtDialogStart"))),
                    0, 0, WINEVENT_INCONTEXT);
}

std::wstring Target::DialogEvents() const {
    MSG message;  // out-of-context events come as messages to this thread
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    std::wstring seen;
    for (auto [thread, event] : g_dialogEvents)
        if (thread == process_.dwThreadId) seen += event == EVENT_SYSTEM_DIALOGSTART ? L" start" : L" end";
    return seen;
}

bool Check(bool condition, const std::wstring& what, const std::wstring& detail) {
    if (!condition) ++g_failures;
    Print((condition ? L"ok: " : L"FAIL: ") + what + (condition || detail.empty() ? L"" : L": " + detail));
    return condition;
}

void Note(const std::wstring& line) {
    Print(L"   " + line);
}

std::wstring Hex(unsigned long value) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", value);
    return text;
}

std::wstring Describe(HWND window) {
    if (!window) return L"no window";
    return Hex(static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window))) + L" " + ClassOf(window) +
           L" \"" + TextOf(window) + L"\"";
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(40);  // each look is a round of wineserver requests: every 10 ms took a third of the CPU
    }
    return true;
}

std::string FileText(const std::wstring& path) {
    std::string text;
    if (FILE* in = _wfopen(path.c_str(), L"r")) {
        char buffer[512];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, got);
        std::fclose(in);
    }
    return text;
}

COLORREF PixelAt(HWND window, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(window, &p);
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

bool Resized(HWND window, const RECT& before) {
    return WaitUntil([&] {
        RECT now;
        GetWindowRect(window, &now);
        return now.right - now.left != before.right - before.left || now.bottom - now.top != before.bottom - before.top;
    }, 5000);
}

std::wstring WindowClassOf(const std::wstring& exe) {
    const std::wstring name = exe.substr(exe.find_last_of(L'\\') + 1);
    return _wcsnicmp(name.c_str(), L"CertInstallVista", 16) == 0 ? kVistaWindowClass : kClassicWindowClass;
}

bool Target::Start(const std::wstring& exe) {
    windowClass_ = WindowClassOf(exe);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + exe + L"\"";
    return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process_) != FALSE;
}

Target::~Target() {
    if (!process_.hProcess) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND Target::MainWindow() const {
    const auto windows = TopLevel(process_.dwProcessId, windowClass_.c_str());
    return windows.empty() ? nullptr : windows.front();
}

HWND Target::Control(int id) const {
    return GetDlgItem(MainWindow(), FormWindow::kFirstControlId + id);
}

bool Target::MainVisible() const {
    HWND main = MainWindow();
    return main && IsWindowVisible(main);
}

std::vector<HWND> Target::MessageBoxes() const {
    std::vector<HWND> visible;
    for (HWND box : TopLevel(process_.dwProcessId, L"#32770"))
        if (IsWindowVisible(box)) visible.push_back(box);
    return visible;
}

HWND Target::FocusedWindow() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(process_.dwThreadId, &info);
    return info.hwndFocus;
}

HWND Target::FirstVisibleWindow() const {
    for (HWND window : TopLevel(process_.dwProcessId, nullptr))
        if (IsWindowVisible(window)) return window;
    return nullptr;
}

bool Target::WaitForMainWindow(DWORD timeoutMs) {
    if (!WaitUntil([this] { return MainVisible(); }, timeoutMs)) return false;
    Check(WaitPainted(MainWindow()), L"the window is painted: the banner, both texts, both buttons");
    return true;
}

bool Target::BringToFront() {
    HWND main = MainWindow();
    SetForegroundWindow(main);
    return WaitUntil([main] { return GetForegroundWindow() == main; }, 5000);
}

bool Target::WaitForMessageBox(MessageBoxSeen& box, DWORD timeoutMs) {
    if (!WaitUntil([this] { return !MessageBoxes().empty(); }, timeoutMs)) return false;
    box = {};
    box.window = MessageBoxes().front();
    Check(WaitPainted(box.window), L"the box is painted: its text and every button");
    box.title = TextOf(box.window);
    for (HWND child = GetWindow(box.window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        const std::wstring type = ClassOf(child);
        if (type == L"Button") box.buttons.push_back(GetDlgCtrlID(child));
        if (type == L"Static" && box.text.empty()) box.text = TextOf(child);
    }
    return true;
}

void Target::Press(HWND box, int buttonId) {
    PostMessageW(GetDlgItem(box, buttonId), BM_CLICK, 0, 0);
    Check(WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000),
          L"the box goes when its button " + std::to_wstring(buttonId) + L" is pressed");
}

void Target::ClickNext() {
    PostMessageW(Control(cmdNext), BM_CLICK, 0, 0);
}

void Target::ClickExit() {
    PostMessageW(Control(cmdExit), BM_CLICK, 0, 0);
}

void Target::CloseFromFrame() {
    PostMessageW(MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

void Target::Key(WORD virtualKey) {
    // Real keyboard input, which reaches the focused control of the foreground window.
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = virtualKey;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

long Target::WaitForExitWithoutBox(DWORD timeoutMs) {
    bool boxSeen = false;
    const bool ended = WaitUntil(
        [&] {
            if (!MessageBoxes().empty() && !boxSeen) {
                boxSeen = true;
                MessageBoxSeen extra;
                WaitForMessageBox(extra, 0);
                Check(false, L"no further message box", L"saw \"" + extra.text + L"\" titled \"" + extra.title + L"\"");
                Press(extra.window, IDOK);
            }
            return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
        },
        timeoutMs);
    return ended ? WaitForExit(0) : WaitForExit(timeoutMs);
}

long Target::WaitForExit(DWORD timeoutMs) {
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        Check(false, L"the program ends", L"still running, killed");
        TerminateProcess(process_.hProcess, 99);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
}
