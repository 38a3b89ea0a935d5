// A WH_CALLWNDPROC hook that the driver sets on every thread, so that it runs
// inside the program: at a message box's WM_INITDIALOG it keeps the type the
// program asked MessageBox for (MB_TOPMOST, MB_SETFOREGROUND, ...) as a
// property of the box, where the driver reads it. Wine 8 shows neither flag
// on the box itself: it hands any window the foreground, and the z-order
// change MB_TOPMOST asks for comes while the box is hidden, which Wine drops,
// so the box never gets WS_EX_TOPMOST. Test use only.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK RecordBoxType(int code, WPARAM wparam, LPARAM lparam) {
    const CWPSTRUCT* call = reinterpret_cast<CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG && call->lParam) {
        // A message box's WM_INITDIALOG carries the MSGBOXPARAMSW it was
        // made from (Windows: at the start of a larger structure).
        const auto* params = reinterpret_cast<const MSGBOXPARAMSW*>(call->lParam);
        if (params->cbSize == sizeof(MSGBOXPARAMSW)) {
            // The top bit, which no MB_ flag uses, tells "recorded" from 0.
            SetPropW(call->hwnd, L"CertInstallTest.BoxType",
                     reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(params->dwStyle | 0x80000000u)));
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
