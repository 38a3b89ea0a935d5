// Hooks the driver sets to reach inside the program's process, where the
// cases of each Windows' functions, start-up races and assistive settings
// need it. Test use only.
//   WindowsFunctions (WH_CBT): the functions of a Windows, in WindowsFunctions.cpp.
//   HoldWindow (WH_CBT): holds the creation of the installer window until
//     the driver sets the event CertInstallTest.Release, after setting
//     CertInstallTest.Held: the program then runs, its mutex taken, with no
//     window yet.
//   LoadLater (WH_CBT): as the installer's window is created, loads
//     dwmapi.dll by name in the program's process, as any later load by name
//     there would (a system DLL's own, an input method's): it must come from
//     the system folder, not from the current one.
//   FocusAtDialogStart (WinEvent, in context): at EVENT_SYSTEM_DIALOGSTART,
//     whether the focus is in the window yet (2) or not (1), as its property
//     CertInstallTest.FocusAtStart: Wine raises no focus event to compare.
#include <windows.h>

namespace {

// The installer's window of either edition: CerImport, CerImportVista.
bool IsInstallerClass(const wchar_t* name) {
    return HIWORD(reinterpret_cast<UINT_PTR>(name)) != 0 && wcsncmp(name, L"CerImport", 9) == 0;
}

bool IsInstallerWindow(LPARAM lparam) {
    const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lparam)->lpcs;
    return !create->hwndParent && IsInstallerClass(create->lpszClass);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK HoldWindow(int code, WPARAM wparam, LPARAM lparam) {
    static bool held = false;
    if (code == HCBT_CREATEWND && !held && IsInstallerWindow(lparam)) {
        held = true;
        HANDLE go = OpenEventW(SYNCHRONIZE, FALSE, L"CertInstallTest.Release");
        if (HANDLE told = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"CertInstallTest.Held")) {
            SetEvent(told);
            CloseHandle(told);
        }
        if (go) {
            WaitForSingleObject(go, 60000);
            CloseHandle(go);
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK LoadLater(int code, WPARAM wparam, LPARAM lparam) {
    static bool done = false;
    if (code == HCBT_CREATEWND && !done && IsInstallerWindow(lparam)) {
        done = true;
        LoadLibraryW(L"dwmapi.dll");
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

extern "C" __declspec(dllexport) void CALLBACK FocusAtDialogStart(HWINEVENTHOOK, DWORD, HWND window, LONG, LONG,
                                                                  DWORD, DWORD) {
    HWND focus = GetFocus();
    SetPropW(window, L"CertInstallTest.FocusAtStart",
             reinterpret_cast<HANDLE>(focus && (focus == window || IsChild(window, focus)) ? 2 : 1));
}
