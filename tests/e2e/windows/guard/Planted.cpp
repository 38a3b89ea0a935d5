// A DLL that the dll-planting case puts, as crypt32.dll, shcore.dll and
// dwmapi.dll, where a load by name would find it: beside a copy of the exe
// and in the current folder. Loaded, it writes where it was loaded from, and
// in which program, to the file CERTINSTALL_PLANTED_LOG names. It exports
// nothing, so a program that took it for the real DLL fails soon after.
// Test use only.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void*) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t log[MAX_PATH], self[MAX_PATH] = L"", program[MAX_PATH] = L"";
    if (!GetEnvironmentVariableW(L"CERTINSTALL_PLANTED_LOG", log, MAX_PATH)) return TRUE;
    GetModuleFileNameW(module, self, MAX_PATH);
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return TRUE;
    wchar_t line[2 * MAX_PATH + 8];
    wsprintfW(line, L"%s in %s\r\n", self, program);
    char bytes[sizeof line];
    const int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, bytes, sizeof bytes, nullptr, nullptr);
    DWORD written;
    if (size > 1) WriteFile(file, bytes, static_cast<DWORD>(size - 1), &written, nullptr);
    CloseHandle(file);
    return TRUE;
}
