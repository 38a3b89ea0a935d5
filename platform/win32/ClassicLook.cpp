#include "app/Layout.h"
#include "platform/win32/WindowLook.h"

namespace {

class ClassicLook : public WindowLook {
public:
    void Prepare() const override {}
    Dpi StartDpi() const override {
        HDC screen = GetDC(nullptr);
        const Dpi dpi = {GetDeviceCaps(screen, LOGPIXELSX), GetDeviceCaps(screen, LOGPIXELSY)};
        ReleaseDC(nullptr, screen);
        return dpi;
    }
    // The program declares no DPI awareness: Windows gives it one DPI.
    Dpi WindowDpi(HWND) const override { return StartDpi(); }
    void PrepareFrame(HWND) const override {}

    HFONT CreateLabelFont(int dpi) const override {
        const FontLayout& f = kLabelFont;
        return CreateFontW(FontHeightPixels(f.hundredthsOfPoint, dpi), 0, 0, 0, f.weight, FALSE, FALSE,
                           FALSE, static_cast<BYTE>(f.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, f.face);
    }
    // A stock object; deleting it does nothing, so it is owned like the others.
    HFONT CreateButtonFont(int) const override { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

    // The design's own fonts, for which its boxes were made.
    bool FitsText() const override { return false; }
    void AdjustFrame(RECT& rect, DWORD style, int) const override { AdjustWindowRectEx(&rect, style, FALSE, 0); }
    // The original's one image, from the class, which Windows scales itself.
    HICON ClassIcon(HINSTANCE instance, int id) const override { return LoadIconW(instance, MAKEINTRESOURCEW(id)); }
    IconSizes WindowIconSizes(int) const override { return {0, 0}; }
};

const ClassicLook kLook;

}  // namespace

const WindowLook& ClassicWindowLook() {
    return kLook;
}
