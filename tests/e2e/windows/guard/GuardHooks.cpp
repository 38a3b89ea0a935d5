// Hooks the driver sets to reach inside the program's process, where the
// cases of each Windows' functions, start-up races and assistive settings
// need it. Test use only.
//   WindowsFunctions (WH_CBT): set for every case. At the first window the
//     program makes, before any of its run-time lookups but SetDllDirectoryW
//     (Wine refuses another process's writes to the program's memory, so
//     nothing can enter it sooner), points the exe's imports of
//     GetProcAddress, LoadLibraryW and SystemParametersInfoW here:
//     - a function or DLL that the Windows CERTINSTALL_TEST_WINDOWS names
//       lacks (RunTimeNames.h) is not found, as there;
//     - CERTINSTALL_TEST_WINDOW_DPI, where set, is what the per-monitor DPI
//       function of that Windows answers (GetDpiForWindow from 10 1607,
//       GetDpiForMonitor on 8.1), as on a monitor of another scale than
//       the system's: Wine always answers the system's DPI;
//     - CERTINSTALL_TEST_HIGH_CONTRAST=1 turns the high-contrast flag on,
//       which Wine never reports;
//     - each lookup the table lacks, and each one hidden, is written to the
//       file CERTINSTALL_TEST_LOOKUPS names.
//   HoldWindow (WH_CBT): holds the creation of the installer window until
//     the driver sets the event CertInstallTest.Release, after setting
//     CertInstallTest.Held: the program then runs, its mutex taken, with no
//     window yet.
//   LoadLater (WH_CBT): as the installer's window is created, loads
//     dwmapi.dll by name in the program's process, as any later load by name
//     there would (a system DLL's own, an input method's): it must come from
//     the system folder, not from the current one.
//   ControlFonts (WH_GETMESSAGE): on CertInstallTest.Fonts posted to the
//     window, writes "ID HEIGHT FACE" of each control's font to the file
//     CERTINSTALL_PROBE_OUT names (fonts mean nothing in another process).
#include <windows.h>

#include <cstdio>
#include <cstdlib>

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

extern "C" __declspec(dllexport) LRESULT CALLBACK ControlFonts(int code, WPARAM wparam, LPARAM lparam) {
    static const UINT fonts = RegisterWindowMessageW(L"CertInstallTest.Fonts");
    auto* message = reinterpret_cast<MSG*>(lparam);
    wchar_t path[MAX_PATH];
    if (code == HC_ACTION && wparam == PM_REMOVE && message->message == fonts &&
        GetEnvironmentVariableW(L"CERTINSTALL_PROBE_OUT", path, MAX_PATH)) {
        message->message = WM_NULL;
        if (FILE* out = _wfopen(path, L"w")) {
            for (HWND child = GetWindow(message->hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                LOGFONTW font = {};
                GetObjectW(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), sizeof font, &font);
                char face[LF_FACESIZE * 3] = "";
                WideCharToMultiByte(CP_UTF8, 0, font.lfFaceName, -1, face, sizeof face, nullptr, nullptr);
                std::fprintf(out, "%d %ld %s\n", GetDlgCtrlID(child), static_cast<long>(font.lfHeight), face);
            }
            std::fclose(out);
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
