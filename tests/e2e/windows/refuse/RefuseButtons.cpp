// A CBT hook for the window-fails case: it refuses the creation of every
// button whose parent is the installer's window, as an exhausted desktop heap
// would refuse it, and lets everything else through (the error box's own
// button among them). Test use only.
#include <windows.h>

#include "platform/win32/WindowClasses.h"

extern "C" __declspec(dllexport) LRESULT CALLBACK RefuseButtons(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lparam)->lpcs;
        wchar_t parent[32] = L"";
        if (create->hwndParent) GetClassNameW(create->hwndParent, parent, 32);
        const bool named = HIWORD(reinterpret_cast<UINT_PTR>(create->lpszClass)) != 0;
        if (named && lstrcmpiW(create->lpszClass, L"BUTTON") == 0 && lstrcmpW(parent, kClassicWindowClass) == 0)
            return 1;
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
