#pragma once

#include <windows.h>

// What the editions' windows do differently: the DPI they are laid out at,
// the fonts of their controls, and the frame around a client area at a DPI.
// The layout itself is the same twips table in both.

struct Dpi {
    int x, y;
    bool operator==(const Dpi&) const = default;
};

// The sides of a window's own icons in pixels: the big one (Alt+Tab, the
// taskbar) and the small one (the caption); 0: none of its own.
struct IconSizes {
    int bigPixels, smallPixels;
};

class WindowLook {
public:
    virtual ~WindowLook() = default;
    // Once per process, before any window or box.
    virtual void Prepare() const = 0;
    // Before the window exists: the DPI to size it for.
    virtual Dpi StartDpi() const = 0;
    // Once it exists: the DPI of the monitor it is on.
    virtual Dpi WindowDpi(HWND window) const = 0;
    // At WM_NCCREATE: whatever its frame needs to follow the window's DPI.
    virtual void PrepareFrame(HWND window) const = 0;
    // Fonts at a DPI; the window deletes them once it no longer uses them.
    virtual HFONT CreateLabelFont(int dpi) const = 0;
    virtual HFONT CreateButtonFont(int dpi) const = 0;
    // Whether the controls grow to hold their texts in these fonts, which the
    // user may have made larger than the design's.
    virtual bool FitsText() const = 0;
    // Widens a client rectangle to the window rectangle around it.
    virtual void AdjustFrame(RECT& rect, DWORD style, int dpi) const = 0;
    // The icon of the window's class, or none where the window sets its own.
    virtual HICON ClassIcon(HINSTANCE instance, int id) const = 0;
    // The icons the window sets on itself at a DPI, beside its class's.
    virtual IconSizes WindowIconSizes(int dpi) const = 0;
};

// The classic window: the screen's DPI, the design's label font and the
// dialog font on the buttons, the class's icon. Windows draws it as it did on
// 2000 and XP.
const WindowLook& ClassicWindowLook();
// The window of today's Windows: the DPI of the monitor it is on, the
// system's message font on every control, icons drawn for the DPI.
const WindowLook& ModernWindowLook();
