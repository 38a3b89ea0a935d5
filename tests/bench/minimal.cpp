// The yardstick for CertInstall's start-up: the least a Win32 program with
// one window and two buttons can do, built with the same toolchain and flags.
#include <windows.h>

static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wparam, lparam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW type = {};
    type.lpfnWndProc = Procedure;
    type.hInstance = instance;
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = L"Minimal";
    RegisterClassW(&type);
    HWND window = CreateWindowW(L"Minimal", L"Minimal", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                CW_USEDEFAULT, CW_USEDEFAULT, 447, 279, nullptr, nullptr, instance, nullptr);
    CreateWindowW(L"BUTTON", L"Next", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 112, 216, 65, 25, window,
                  nullptr, instance, nullptr);
    CreateWindowW(L"BUTTON", L"Exit", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 256, 216, 73, 25, window,
                  nullptr, instance, nullptr);
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
