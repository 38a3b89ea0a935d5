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

// maxClient: the largest client area the work area holds once the frame is
// around it. The window never becomes wider than that; it is taller only
// where even that width cannot hold the text, and then it is as wide as the
// work area only if that makes it lower.
WindowPlacement PlaceControls(const TextMeasure& measure, int dpiX, int dpiY, PixelSize maxClient);

// The space a caption keeps from its button's edges, in twips: the width of
// a few characters' gap on either side, and the 3-D border with the focus
// rectangle above and below.
inline constexpr int kCaptionMarginX = 150;
inline constexpr int kCaptionMarginY = 60;
