// GuardHooks.dll's WindowsFunctions hook: the program's run-time lookups
// answered as the Windows a case names would answer them (see GuardHooks.cpp).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "tests/e2e/windows/guard/RunTimeNames.h"

namespace {

Windows g_windows = Windows::Ten1703;
UINT g_dpi = 0;  // 0: the per-monitor DPI functions answer as Wine does
FARPROC(WINAPI* g_getProcAddress)(HMODULE, LPCSTR);
HMODULE(WINAPI* g_loadLibrary)(LPCWSTR);
BOOL(WINAPI* g_systemParametersInfo)(UINT, UINT, void*, UINT);
DWORD(WINAPI* g_getVersion)();
BOOL(WINAPI* g_allowSetForegroundWindow)(DWORD);

const char* NameOf(Windows windows) {
    for (const WindowsName& w : kWindowsNames)
        if (w.windows == windows) return w.name;
    return "?";
}

// "hidden shcore.dll!GetDpiForMonitor (8.1)", one line a lookup, for the case's log.
void Record(const char* what, const char* dll, const char* function, Windows first) {
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("CERTINSTALL_TEST_LOOKUPS", path, MAX_PATH)) return;
    if (FILE* out = std::fopen(path, "a")) {
        std::fprintf(out, "%s %s%s%s (%s)\n", what, dll, function ? "!" : "", function ? function : "", NameOf(first));
        std::fclose(out);
    }
}

// The file name of a module, lower case: "user32.dll".
void ModuleName(HMODULE module, char* name, DWORD size) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(module, path, MAX_PATH);
    const char* slash = std::strrchr(path, '\\');
    lstrcpynA(name, slash ? slash + 1 : path, static_cast<int>(size));
    CharLowerA(name);
}

// Whether the named Windows has it; a name the table lacks is reported and found.
bool Offered(const char* dll, const char* function) {
    for (const RunTimeName& n : kRunTimeNames) {
        const bool same = n.function ? function && std::strcmp(n.function, function) == 0 : !function;
        if (lstrcmpiA(n.dll, dll) != 0 || !same) continue;
        const bool offered = n.first <= g_windows;
        Record(offered ? "found" : "hidden", dll, function, n.first);
        return offered;
    }
    Record("unlisted", dll, function, g_windows);
    return true;
}

UINT WINAPI AnsweredDpiForWindow(HWND) {
    return g_dpi;
}

HRESULT WINAPI AnsweredDpiForMonitor(HMONITOR, int, UINT* x, UINT* y) {
    *x = *y = g_dpi;
    return S_OK;
}

FARPROC WINAPI FindFunction(HMODULE module, LPCSTR name) {
    if (HIWORD(reinterpret_cast<UINT_PTR>(name)) == 0) return g_getProcAddress(module, name);  // by ordinal
    char dll[MAX_PATH];
    ModuleName(module, dll, MAX_PATH);
    if (!Offered(dll, name)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    if (g_dpi && std::strcmp(name, "GetDpiForWindow") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(AnsweredDpiForWindow));
    if (g_dpi && std::strcmp(name, "GetDpiForMonitor") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(AnsweredDpiForMonitor));
    return g_getProcAddress(module, name);
}

HMODULE WINAPI LoadDll(LPCWSTR path) {
    const wchar_t* slash = std::wcsrchr(path, L'\\');
    char dll[MAX_PATH] = "";
    WideCharToMultiByte(CP_ACP, 0, slash ? slash + 1 : path, -1, dll, MAX_PATH, nullptr, nullptr);
    CharLowerA(dll);
    if (!Offered(dll, nullptr)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return g_loadLibrary(path);
}

// The flag is read at each call, so that a case can switch it while the window shows.
BOOL WINAPI SystemParameters(UINT action, UINT param, void* value, UINT ini) {
    char on[4] = "";
    if (action == SPI_GETHIGHCONTRAST && GetEnvironmentVariableA("CERTINSTALL_TEST_HIGH_CONTRAST", on, 4) &&
        std::strcmp(on, "1") == 0 && value) {
        auto* contrast = static_cast<HIGHCONTRASTW*>(value);
        contrast->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
        contrast->lpszDefaultScheme = nullptr;
        return TRUE;
    }
    return g_systemParametersInfo(action, param, value, ini);
}

// The version the named Windows reports: 5.0 to 10.0 in the low word.
DWORD WINAPI Version() {
    const WORD versions[] = {0x0005, 0x0105, 0x0006, 0x0106, 0x0306, 0x000A, 0x000A};
    return (g_getVersion() & 0xFFFF0000) | versions[static_cast<int>(g_windows)];
}

// Which process the program lets take the foreground is the foreground
// rule's business, which Wine does not enforce: the call is recorded.
BOOL WINAPI AllowForeground(DWORD process) {
    Record("called", "user32.dll", process == ASFW_ANY ? "AllowSetForegroundWindow(ASFW_ANY)" : "AllowSetForegroundWindow",
           Windows::W2000);
    return g_allowSetForegroundWindow(process);
}

// Points the exe's import of dll!name at replacement and gives the address it had.
template <class Function>
void Redirect(const char* dll, const char* name, Function replacement, Function& original) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), dll) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            original = reinterpret_cast<Function>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return;
        }
    }
}

bool IsProgram() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* slash = std::strrchr(path, '\\');
    return _strnicmp(slash ? slash + 1 : path, "CertInstall", 11) == 0;
}

void Install(HINSTANCE self) {
    char name[16] = "";
    if (GetEnvironmentVariableA("CERTINSTALL_TEST_WINDOWS", name, sizeof name))
        for (const WindowsName& w : kWindowsNames)
            if (std::strcmp(w.name, name) == 0) g_windows = w.windows;
    char dpi[16] = "";
    if (GetEnvironmentVariableA("CERTINSTALL_TEST_WINDOW_DPI", dpi, sizeof dpi)) g_dpi = std::atoi(dpi);
    // The exe calls here for as long as it runs, whenever the driver unhooks.
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(self, path, MAX_PATH);
    LoadLibraryW(path);
    Redirect("kernel32.dll", "GetProcAddress", FindFunction, g_getProcAddress);
    Redirect("kernel32.dll", "LoadLibraryW", LoadDll, g_loadLibrary);
    Redirect("user32.dll", "SystemParametersInfoW", SystemParameters, g_systemParametersInfo);
    Redirect("user32.dll", "AllowSetForegroundWindow", AllowForeground, g_allowSetForegroundWindow);
    if (*name) Redirect("kernel32.dll", "GetVersion", Version, g_getVersion);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK WindowsFunctions(int code, WPARAM wparam, LPARAM lparam) {
    static bool installed = false;
    if (!installed) {
        installed = true;
        HMODULE self = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&WindowsFunctions), &self);
        if (IsProgram()) Install(self);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
