#include "Harness.h"

#include <cstdio>

#include "app/Layout.h"
#include "platform/win32/FormWindow.h"

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

}  // namespace

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

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
    return true;
}

namespace {

// The window's pixels as the screen shows them, row by row.
std::vector<DWORD> Capture(const RECT& r) {
    const int width = r.right - r.left, height = r.bottom - r.top;
    std::vector<DWORD> pixels;
    if (width <= 0 || height <= 0) return pixels;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD* first = static_cast<const DWORD*>(bits);
    pixels.assign(first, first + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

bool MoreThanOneColour(const std::vector<DWORD>& pixels, int stride, const RECT& r) {
    if (r.right <= r.left || r.bottom <= r.top) return true;
    const DWORD first = pixels[static_cast<std::size_t>(r.top) * stride + r.left];
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (pixels[static_cast<std::size_t>(y) * stride + x] != first) return true;
    return false;
}

LRESULT CALLBACK DecoyProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

bool Painted(HWND window) {
    RECT frame;
    if (!GetWindowRect(window, &frame)) return false;
    const std::vector<DWORD> pixels = Capture(frame);
    if (pixels.empty()) return false;
    const int stride = frame.right - frame.left;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT r;
        GetWindowRect(child, &r);
        OffsetRect(&r, -frame.left, -frame.top);
        RECT inside = {0, 0, stride, frame.bottom - frame.top};
        IntersectRect(&r, &r, &inside);
        if (!MoreThanOneColour(pixels, stride, r)) return false;
    }
    return true;
}

bool WaitPainted(HWND window, DWORD timeoutMs) {
    return WaitUntil(
        [&] {
            if (!Painted(window)) return false;
            RECT frame;
            GetWindowRect(window, &frame);
            const std::vector<DWORD> before = Capture(frame);
            Sleep(50);
            return Capture(frame) == before;
        },
        timeoutMs);
}

DecoyWindow::DecoyWindow() {
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, &threadId_);
    WaitForSingleObject(ready_, 10000);
}

DecoyWindow::~DecoyWindow() {
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
    CloseHandle(ready_);
}

DWORD WINAPI DecoyWindow::Run(void* context) {
    auto* self = static_cast<DecoyWindow*>(context);
    WNDCLASSW type = {};
    type.lpfnWndProc = DecoyProcedure;
    type.hInstance = GetModuleHandleW(nullptr);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    type.lpszClassName = L"DriverDecoy";
    RegisterClassW(&type);
    self->window_ = CreateWindowExW(0, L"DriverDecoy", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    500, 400, 280, 160, nullptr, nullptr, type.hInstance, nullptr);
    SetEvent(self->ready_);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

bool DecoyWindow::Activate() {
    SetForegroundWindow(window_);
    return WaitUntil([this] { return GetForegroundWindow() == window_; }, 5000);
}

std::string StandInLog() {
    wchar_t path[MAX_PATH];
    if (!GetEnvironmentVariableW(L"CENROLL_STANDIN_LOG", path, MAX_PATH)) return "";
    std::string text;
    if (FILE* log = _wfopen(path, L"r")) {
        char line[256];
        while (std::fgets(line, sizeof line, log)) text += line;
        std::fclose(log);
    }
    return text;
}

bool Target::Start(const std::wstring& exe) {
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
    const auto windows = TopLevel(process_.dwProcessId, L"CerImport");
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
