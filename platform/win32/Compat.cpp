#include "platform/win32/Compat.h"

namespace {

// A function of a DLL the process has already loaded, or nullptr.
template <class Function>
Function Lookup(const wchar_t* module, const char* name) {
    HMODULE loaded = GetModuleHandleW(module);
    return loaded ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name))) : nullptr;
}

}  // namespace

void RemoveCurrentDirectoryFromDllSearch() {
    using SetDllDirectoryFn = BOOL(WINAPI*)(const wchar_t*);
    // kernel32 is mapped into every process, so this load searches nothing.
    const auto setDllDirectory = Lookup<SetDllDirectoryFn>(L"kernel32.dll", "SetDllDirectoryW");
    // The system folder in the current folder's place: Windows searches it
    // anyway, and takes "" to the same effect, but Wine ignores an empty one
    // and would go on searching the current folder.
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (setDllDirectory && length > 0 && length < MAX_PATH) setDllDirectory(system);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenW(name) >= MAX_PATH) return nullptr;
    path[length] = L'\\';
    lstrcpyW(path + length + 1, name);
    return LoadLibraryW(path);
}

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int DpiForWindow(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    if (const auto getDpiForWindow = Lookup<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow"))
        if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);

    // shcore.dll ships with Windows 8, its GetDpiForMonitor only from 8.1.
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    if (HMODULE shcore = LoadSystemLibrary(L"shcore.dll")) {
        UINT x = 0, y = 0;
        const auto getDpiForMonitor = reinterpret_cast<GetDpiForMonitorFn>(
            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
        const bool answered =
            getDpiForMonitor &&
            SUCCEEDED(getDpiForMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &x, &y));
        FreeLibrary(shcore);
        if (answered && y) return static_cast<int>(y);
    }
    return SystemDpi();
}

bool MessageFontForDpi(int dpi, LOGFONTW& font) {
    // The size Windows 2000 knows; later systems accept it, and the fields
    // they added are of no use here.
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    using ForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    if (const auto forDpi = Lookup<ForDpiFn>(L"user32.dll", "SystemParametersInfoForDpi")) {
        if (forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
            font = metrics.lfMessageFont;
            return true;
        }
    }
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return false;
    font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, dpi, SystemDpi());
    return true;
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, int dpi) {
    using ForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    if (const auto forDpi = Lookup<ForDpiFn>(L"user32.dll", "AdjustWindowRectExForDpi"))
        if (forDpi(&rect, style, FALSE, 0, static_cast<UINT>(dpi))) return;
    AdjustWindowRectEx(&rect, style, FALSE, 0);
}

int SystemMetricForDpi(int index, int dpi) {
    using ForDpiFn = int(WINAPI*)(int, UINT);
    if (const auto forDpi = Lookup<ForDpiFn>(L"user32.dll", "GetSystemMetricsForDpi"))
        if (const int value = forDpi(index, static_cast<UINT>(dpi))) return value;
    return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

void ScaleFrameWithDpi(HWND window) {
    using EnableFn = BOOL(WINAPI*)(HWND);
    if (const auto enable = Lookup<EnableFn>(L"user32.dll", "EnableNonClientDpiScaling")) enable(window);
}

HICON LoadIconAtSize(HINSTANCE instance, int id, int size) {
    // Common Controls 6, the one the manifest asks for, is already loaded.
    using ScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, const wchar_t*, int, int, HICON*);
    if (const auto scaleDown = Lookup<ScaleDownFn>(L"comctl32.dll", "LoadIconWithScaleDown")) {
        HICON icon = nullptr;
        if (SUCCEEDED(scaleDown(instance, MAKEINTRESOURCEW(id), size, size, &icon))) return icon;
    }
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

UiAutomationServer LoadUiAutomationServer() {
    UiAutomationServer server;
    HMODULE core = LoadSystemLibrary(L"uiautomationcore.dll");
    if (!core) return server;
    server.hostProviderFromHwnd = reinterpret_cast<decltype(server.hostProviderFromHwnd)>(
        reinterpret_cast<void*>(GetProcAddress(core, "UiaHostProviderFromHwnd")));
    server.returnRawElementProvider = reinterpret_cast<decltype(server.returnRawElementProvider)>(
        reinterpret_cast<void*>(GetProcAddress(core, "UiaReturnRawElementProvider")));
    if (!server.hostProviderFromHwnd || !server.returnRawElementProvider) {
        FreeLibrary(core);
        server = {};
    }
    return server;
}

void LetRootQuestionComeForward() {
    if (LOBYTE(LOWORD(GetVersion())) < 6) AllowSetForegroundWindow(ASFW_ANY);
}
