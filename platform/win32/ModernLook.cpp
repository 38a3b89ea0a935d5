#include <windows.h>
#include <commctrl.h>

#include "platform/win32/Compat.h"
#include "platform/win32/WindowLook.h"

namespace {

// "Make text bigger" (Windows 10 1809 and later, 11) keeps its factor, 100 to
// 225 %, here. Microsoft documents no Win32 use of it, and reports differ on
// whether Windows enlarges the message font by it.
int TextScaleFactor() {
    HKEY key = nullptr;
    DWORD factor = 100, type = 0, size = sizeof factor;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Accessibility", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 100;
    const bool read = RegQueryValueExW(key, L"TextScaleFactor", nullptr, &type, reinterpret_cast<BYTE*>(&factor), &size) ==
                          ERROR_SUCCESS && type == REG_DWORD;
    RegCloseKey(key);
    return read && factor >= 100 && factor <= 225 ? static_cast<int>(factor) : 100;
}

// Per-monitor aware through the manifest (v2 from Windows 10 1703, v1 on
// 8.1, system-aware on Vista and 7): Windows never stretches this window as
// a bitmap, so it lays itself out at whatever DPI its monitor has.
class ModernLook : public WindowLook {
public:
    // With Common Controls 6 in the manifest, XP gives the program the themed
    // controls only if it calls into comctl32 before it makes any window;
    // without the call even a message box can fail there.
    void Prepare() const override {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }
    Dpi StartDpi() const override {
        const int dpi = SystemDpi();
        return {dpi, dpi};
    }
    Dpi WindowDpi(HWND window) const override {
        const int dpi = DpiForWindow(window);
        return {dpi, dpi};
    }
    void PrepareFrame(HWND window) const override { ScaleFrameWithDpi(window); }

    // The message font (Microsoft YaHei UI on a Chinese Windows 7 to 11, the
    // font of Windows' own dialogs), at the window's DPI, and at least as
    // large as the text size asks: its 9 points at the DPI times the factor,
    // so that the text grows once whether or not Windows grew the font.
    // At 100 % the message font as it is, however the user sized it.
    HFONT CreateLabelFont(int dpi) const override {
        LOGFONTW font;
        if (!MessageFontForDpi(dpi, font)) return nullptr;
        const int factor = TextScaleFactor();
        const int asked = MulDiv(MulDiv(9, dpi, 72), factor, 100);
        if (factor > 100 && font.lfHeight < 0 && -font.lfHeight < asked) font.lfHeight = -asked;
        return CreateFontIndirectW(&font);
    }
    HFONT CreateButtonFont(int dpi) const override { return CreateLabelFont(dpi); }

    // The message font is the user's to size, up to 225 % on Windows 10 and 11.
    bool FitsText() const override { return true; }
    void AdjustFrame(RECT& rect, DWORD style, int dpi) const override { AdjustWindowRectForDpi(rect, style, dpi); }

    // A class's icon is loaded once at the system's DPI and stretched by
    // Windows on a monitor of another: the window sets its own at the sizes
    // Windows draws at this DPI (32 and 16 px at 100 %, 48 and 24 at 150 %),
    // before it first shows, and its class has none to load for nothing.
    HICON ClassIcon(HINSTANCE, int) const override { return nullptr; }
    IconSizes WindowIconSizes(int dpi) const override {
        return {SystemMetricForDpi(SM_CXICON, dpi), SystemMetricForDpi(SM_CXSMICON, dpi)};
    }
};

const ModernLook kLook;

}  // namespace

const WindowLook& ModernWindowLook() {
    return kLook;
}
