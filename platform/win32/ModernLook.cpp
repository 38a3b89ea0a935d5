#include <windows.h>
#include <commctrl.h>

#include "platform/win32/Compat.h"
#include "platform/win32/WindowLook.h"

namespace {

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
    // font of Windows' own dialogs), at the window's DPI.
    HFONT CreateLabelFont(int dpi) const override {
        LOGFONTW font;
        return MessageFontForDpi(dpi, font) ? CreateFontIndirectW(&font) : nullptr;
    }
    HFONT CreateButtonFont(int dpi) const override { return CreateLabelFont(dpi); }

    // The message font is the user's to size, up to 225 % on Windows 10 and 11.
    bool FitsText() const override { return true; }
    void AdjustFrame(RECT& rect, DWORD style, int dpi) const override { AdjustWindowRectForDpi(rect, style, dpi); }

    // The class's icon is loaded once at the system's DPI and stretched by
    // Windows on a monitor of another: the window sets its own at the sizes
    // Windows draws at this DPI (32 and 16 px at 100 %, 48 and 24 at 150 %).
    IconSizes WindowIconSizes(int dpi) const override {
        return {SystemMetricForDpi(SM_CXICON, dpi), SystemMetricForDpi(SM_CXSMICON, dpi)};
    }
};

const ModernLook kLook;

}  // namespace

const WindowLook& ModernWindowLook() {
    return kLook;
}
