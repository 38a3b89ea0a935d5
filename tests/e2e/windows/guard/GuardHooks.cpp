// Hooks the driver sets to reach inside the program's process, where the
// cases of start-up races and of another monitor's DPI need it. Test use only.
//   HoldWindow (WH_CBT): holds the creation of the installer window's first
//     control until the driver sets the event CertInstallTest.Release, after
//     setting CertInstallTest.Held: the program then runs, its mutex taken,
//     its window made but hidden, and nothing of it on the screen yet.
//   AnswerDpi (WH_CBT): as the installer's window is created, makes
//     GetDpiForWindow in the program's process answer the DPI that
//     CERTINSTALL_TEST_WINDOW_DPI gives (0: fail, as where it is absent),
//     as on a monitor of another scale than the system's. Wine's answer is
//     always the system's DPI.
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

bool IsInstallerControl(LPARAM lparam) {
    const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lparam)->lpcs;
    wchar_t parent[32] = L"";
    return create->hwndParent && GetClassNameW(create->hwndParent, parent, 32) && IsInstallerClass(parent);
}

// Overwrites the start of the function with "mov eax, answer; ret 4".
void Answer(void* function, DWORD answer) {
    unsigned char code[8] = {0xB8, 0, 0, 0, 0, 0xC2, 0x04, 0x00};
    memcpy(code + 1, &answer, 4);
    DWORD old;
    if (!VirtualProtect(function, sizeof code, PAGE_EXECUTE_READWRITE, &old)) return;
    memcpy(function, code, sizeof code);
    VirtualProtect(function, sizeof code, old, &old);
    FlushInstructionCache(GetCurrentProcess(), function, sizeof code);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK HoldWindow(int code, WPARAM wparam, LPARAM lparam) {
    static bool held = false;
    if (code == HCBT_CREATEWND && !held && IsInstallerControl(lparam)) {
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

extern "C" __declspec(dllexport) LRESULT CALLBACK AnswerDpi(int code, WPARAM wparam, LPARAM lparam) {
    static bool done = false;
    char dpi[16] = "";
    if (code == HCBT_CREATEWND && !done && IsInstallerWindow(lparam) &&
        GetEnvironmentVariableA("CERTINSTALL_TEST_WINDOW_DPI", dpi, sizeof dpi)) {
        done = true;
        if (void* function = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")))
            Answer(function, static_cast<DWORD>(std::atoi(dpi)));
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
