// GuardHooks.dll's WindowsFunctions hook (WH_CBT), set for every case. At the
// first window the program makes, before any of its run-time lookups but
// SetDllDirectoryW (Wine refuses another process's writes to the program's
// memory, so nothing can enter it sooner), it points the exe's imports of
// GetProcAddress, LoadLibraryW, SystemParametersInfoW, AllowSetForegroundWindow,
// GetVersion and RegQueryValueExW here:
// - a function or DLL that the Windows CERTINSTALL_TEST_WINDOWS names lacks is
//   not found, as there, and that Windows' version is reported;
// - CERTINSTALL_TEST_WINDOW_DPI, where set, is what that Windows' per-monitor
//   DPI function answers (GetDpiForWindow from 10 1607, GetDpiForMonitor on
//   8.1), as on a monitor of another scale: Wine answers the system's DPI;
// - CERTINSTALL_TEST_HIGH_CONTRAST=1 turns on the flag Wine never reports;
// - a setting that Windows lacks reads as absent, whatever the prefix holds
//   (RegQueryValueExW), and the probe asks Offers() before it sends a message
//   that Windows would not send;
// - each lookup and call of these is a line of the file CERTINSTALL_TEST_LOOKUPS
//   names. Test use only.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The Windows a case may name (CERTINSTALL_TEST_WINDOWS), oldest first, and
// the version each reports.
enum Windows { W2000, XP, Vista, Seven, Eight, Eight1, Ten1607, Ten1703, Ten1809 };
const char* const kWindows[] = {"2000", "xp", "vista", "7", "8", "8.1", "10-1607", "10-1703", "10"};
const WORD kVersions[] = {0x0005, 0x0105, 0x0006, 0x0106, 0x0206, 0x0306, 0x000A, 0x000A, 0x000A};

// Every DLL and function the exes look up at run time, and every setting and
// message of a later Windows that they read, with the first Windows that has
// it: the "Minimum supported client" of its page on learn.microsoft.com. A
// lookup the table lacks is reported, so that a new one cannot slip past the
// Windows it would miss on.
struct RunTimeName {
    const char* name;  // "dll!function", a DLL the program loads itself, "setting!NAME" or "message!NAME"
    Windows first;
};
const RunTimeName kRunTimeNames[] = {
    {"kernel32.dll!SetDllDirectoryW", XP},  // "Windows XP with SP1"
    {"user32.dll!GetDpiForWindow", Ten1607},
    {"user32.dll!SystemParametersInfoForDpi", Ten1607},
    {"user32.dll!GetSystemMetricsForDpi", Ten1607},
    {"user32.dll!AdjustWindowRectExForDpi", Ten1607},
    {"user32.dll!EnableNonClientDpiScaling", Ten1607},
    {"shcore.dll", Eight},  // GetScaleFactorForDevice's; its DPI functions came with 8.1
    {"shcore.dll!GetDpiForMonitor", Eight1},
    {"comctl32.dll!LoadIconWithScaleDown", Vista},
    {"oleacc.dll", W2000},  // Active Accessibility 1.x, "Included in Windows 2000"
    {"oleacc.dll!CreateStdAccessibleObject", W2000},
    {"oleacc.dll!LresultFromObject", W2000},
    {"uiautomationcore.dll", XP},  // "Windows XP": there with its UI Automation update, in every Vista
    {"uiautomationcore.dll!UiaHostProviderFromHwnd", XP},
    {"uiautomationcore.dll!UiaReturnRawElementProvider", XP},
    // Today's pages start at XP; CryptoAPI 2.0 with these is in Windows 2000.
    {"crypt32.dll", W2000},
    {"crypt32.dll!CertOpenStore", W2000},
    {"crypt32.dll!CertCloseStore", W2000},
    {"crypt32.dll!CertEnumCertificatesInStore", W2000},
    {"crypt32.dll!CertFreeCertificateContext", W2000},
    {"crypt32.dll!CertCompareCertificateName", W2000},
    {"crypt32.dll!CertAddEncodedCertificateToStore", W2000},
    // "Make text bigger", whose factor Windows 10 1809 added; the question
    // for the window's size before it moves to another DPI, 10 1703's.
    {"setting!TextScaleFactor", Ten1809},
    {"message!WM_GETDPISCALEDSIZE", Ten1703},
};

Windows g_windows = Ten1809;
UINT g_dpi = 0;  // 0: the per-monitor DPI functions answer as Wine does
decltype(&GetProcAddress) g_getProcAddress;
decltype(&LoadLibraryW) g_loadLibrary;
decltype(&SystemParametersInfoW) g_systemParametersInfo;
decltype(&GetVersion) g_getVersion;
decltype(&AllowSetForegroundWindow) g_allowSetForegroundWindow;
decltype(&RegQueryValueExW) g_regQueryValue;

// "hidden shcore.dll!GetDpiForMonitor (8.1)": a line for the case's log.
void Record(const char* what, const char* name, Windows first) {
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("CERTINSTALL_TEST_LOOKUPS", path, MAX_PATH)) return;
    if (FILE* out = std::fopen(path, "a")) {
        std::fprintf(out, "%s %s (%s)\n", what, name, kWindows[first]);
        std::fclose(out);
    }
}

// Whether the named Windows has "dll", "dll!function" or a named setting or message.
bool Offered(const char* dll, const char* function) {
    char name[MAX_PATH + 64];
    std::snprintf(name, sizeof name, function ? "%s!%s" : "%s", dll, function);
    for (const RunTimeName& n : kRunTimeNames) {
        if (lstrcmpiA(n.name, name) != 0) continue;
        Record(n.first <= g_windows ? "found" : "hidden", n.name, n.first);
        return n.first <= g_windows;
    }
    Record("unlisted", name, g_windows);
    return true;
}

const char* FileName(const char* path) {
    const char* slash = std::strrchr(path, '\\');
    return slash ? slash + 1 : path;
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
    char path[MAX_PATH] = "";
    GetModuleFileNameA(module, path, MAX_PATH);
    if (!Offered(FileName(path), name)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void* answer = nullptr;
    if (g_dpi && std::strcmp(name, "GetDpiForWindow") == 0) answer = reinterpret_cast<void*>(AnsweredDpiForWindow);
    if (g_dpi && std::strcmp(name, "GetDpiForMonitor") == 0) answer = reinterpret_cast<void*>(AnsweredDpiForMonitor);
    if (answer) return reinterpret_cast<FARPROC>(answer);
    return g_getProcAddress(module, name);
}

HMODULE WINAPI LoadDll(LPCWSTR path) {
    char narrow[MAX_PATH] = "";
    WideCharToMultiByte(CP_ACP, 0, path, -1, narrow, MAX_PATH, nullptr, nullptr);
    if (Offered(FileName(narrow), nullptr)) return g_loadLibrary(path);
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

// Read at each call, so that a case can switch it while the window shows.
BOOL WINAPI SystemParameters(UINT action, UINT param, void* value, UINT ini) {
    char on[4] = "";
    if (action != SPI_GETHIGHCONTRAST || !GetEnvironmentVariableA("CERTINSTALL_TEST_HIGH_CONTRAST", on, 4) ||
        std::strcmp(on, "1") != 0)
        return g_systemParametersInfo(action, param, value, ini);
    static_cast<HIGHCONTRASTW*>(value)->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
    return TRUE;
}

// A setting of a later Windows is not there on an earlier one.
LONG WINAPI QueryValue(HKEY key, LPCWSTR name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size) {
    if (name && lstrcmpiW(name, L"TextScaleFactor") == 0 && !Offered("setting", "TextScaleFactor"))
        return ERROR_FILE_NOT_FOUND;
    return g_regQueryValue(key, name, reserved, type, data, size);
}

DWORD WINAPI Version() {
    return (g_getVersion() & 0xFFFF0000) | kVersions[g_windows];
}

// The foreground rules are Windows', which Wine does not enforce: the call is recorded.
BOOL WINAPI AllowForeground(DWORD process) {
    Record("called", process == ASFW_ANY ? "AllowSetForegroundWindow(ASFW_ANY)" : "AllowSetForegroundWindow", W2000);
    return g_allowSetForegroundWindow(process);
}

// Points the exe's import of dll!name at replacement and keeps what it had.
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
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ||
                std::strcmp(reinterpret_cast<const char*>(
                                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name),
                            name) != 0)
                continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            original = reinterpret_cast<Function>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
        }
    }
}

void Install(HMODULE self) {
    char name[16] = "", dpi[16] = "";
    const bool named = GetEnvironmentVariableA("CERTINSTALL_TEST_WINDOWS", name, sizeof name);
    for (int w = W2000; w <= Ten1809; ++w)
        if (std::strcmp(kWindows[w], name) == 0) g_windows = static_cast<Windows>(w);
    if (GetEnvironmentVariableA("CERTINSTALL_TEST_WINDOW_DPI", dpi, sizeof dpi)) g_dpi = std::atoi(dpi);
    // The exe calls here for as long as it runs, whenever the driver unhooks.
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(self, path, MAX_PATH);
    LoadLibraryW(path);
    Redirect("kernel32.dll", "GetProcAddress", FindFunction, g_getProcAddress);
    Redirect("kernel32.dll", "LoadLibraryW", LoadDll, g_loadLibrary);
    Redirect("user32.dll", "SystemParametersInfoW", SystemParameters, g_systemParametersInfo);
    Redirect("user32.dll", "AllowSetForegroundWindow", AllowForeground, g_allowSetForegroundWindow);
    Redirect("advapi32.dll", "RegQueryValueExW", QueryValue, g_regQueryValue);
    if (named) Redirect("kernel32.dll", "GetVersion", Version, g_getVersion);
}

}  // namespace

// For the probe, in the same process: whether the Windows played sends
// "message!NAME" (recorded as a lookup is).
extern "C" __declspec(dllexport) bool Offers(const char* what, const char* name) {
    return Offered(what, name);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK WindowsFunctions(int code, WPARAM wparam, LPARAM lparam) {
    static bool installed = false;
    char exe[MAX_PATH] = "";
    if (!installed && GetModuleFileNameA(nullptr, exe, MAX_PATH) && _strnicmp(FileName(exe), "CertInstall", 11) == 0) {
        installed = true;
        HMODULE self = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&WindowsFunctions), &self);
        Install(self);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
