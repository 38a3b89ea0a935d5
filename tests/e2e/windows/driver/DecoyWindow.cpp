#include "Harness.h"

namespace {

LRESULT CALLBACK DecoyProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

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
                                    0, 0, 200, 100, nullptr, nullptr, type.hInstance, nullptr);
    SetEvent(self->ready_);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

bool DecoyWindow::Activate() {
    // Wine takes WS_VISIBLE off a window before it hands the activation on.
    // Taken in between, the foreground leaves a deactivation queued for the
    // hidden window's thread; Wine delivers it once that thread pumps again,
    // and it then deactivates whatever the thread has shown meanwhile (the
    // confirmation), leaving no foreground window at all. So wait until no
    // hidden window holds the foreground.
    WaitUntil(
        [] {
            HWND front = GetForegroundWindow();
            return !front || IsWindowVisible(front);
        },
        5000);
    SetForegroundWindow(window_);
    return WaitUntil([this] { return GetForegroundWindow() == window_; }, 5000);
}

