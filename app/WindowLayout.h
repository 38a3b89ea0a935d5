#pragma once

#include <array>

#include "app/Layout.h"

// The window's rectangles for the fonts the user chose, the DPI and the work
// area. The design's twips are the least each control gets: a label is as tall
// as its wrapped text needs, what lies below it moves down by as much, a
// button is as large as its caption needs, and the client area grows to hold
// it all. Where that would be taller than the work area the window grows wider
// first, which the labels' text fills in fewer lines. With text that fits the
// design, the result is the design scaled to the DPI, to the pixel.

struct PixelSize {
    int width, height;
};

// How much room the controls' texts take, in each control's own font.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    // The height a label's text needs, wrapped at words to the given width.
    virtual int LabelHeight(ControlName label, int width) const = 0;
    // A button's caption on one line.
    virtual PixelSize Caption(ControlName button) const = 0;
};

struct WindowPlacement {
    std::array<PixelBox, kControlCount> controls;  // a line: from (x, y) by (width, height)
    PixelSize client;
};

// Where the window goes: the work area of its monitor, and how much wider and
// taller its frame makes it than its client area.
struct Screen {
    PixelSize workArea;
    PixelSize frame;
};

// A screen with no room to keep to: the classic's window, whose design never
// grows, and a window being dragged from one monitor to another, which takes
// the size it has at the new DPI until it is let go.
inline constexpr Screen kUnboundedScreen = {{1 << 24, 1 << 24}, {0, 0}};

// The window, frame and all, is never wider than the work area; it is taller
// only where even that width cannot hold the text, and then it is as wide as
// the work area only if that makes it lower.
WindowPlacement PlaceControls(const TextMeasure& measure, int dpiX, int dpiY, Screen screen);

// Rectangles on the screen, in pixels, right and bottom excluded.
struct PixelRect {
    int left, top, right, bottom;
};

// A window of the frame's size in the middle of area, moved into the work
// area where it would reach out of it; its top-left corner in the work area
// where it is larger.
PixelBox CentredWithin(const PixelRect& area, PixelSize frame, const PixelRect& work);

// The space a caption keeps from its button's edges, in twips: the width of
// a few characters' gap on either side, and the 3-D border with the focus
// rectangle above and below.
inline constexpr int kCaptionMarginX = 150;
inline constexpr int kCaptionMarginY = 60;
