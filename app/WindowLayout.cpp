#include "app/WindowLayout.h"

#include <algorithm>

namespace {

// The layout with the client area widened by extra pixels: what spans the
// window (the labels, the lines) widens with it, the banner keeps its size and
// the buttons their places, both about the middle.
WindowPlacement PlaceAtWidth(const TextMeasure& measure, int dpiX, int dpiY, int extra) {
    WindowPlacement placed;
    placed.client = {TwipsToPixels(kWindow.clientWidth, dpiX) + extra, TwipsToPixels(kWindow.clientHeight, dpiY)};
    for (int i = 0; i < kControlCount; ++i) {
        PixelBox& box = placed.controls[i];
        box = ToPixels(kControls[i], dpiX, dpiY);
        switch (kControls[i].kind) {
            case ControlKind::Label:
            case ControlKind::Line: box.width += extra; break;
            case ControlKind::PictureBox:
            case ControlKind::PushButton: box.x += extra / 2; break;
        }
    }

    // The buttons share one row: one height for all, the tallest caption's.
    int buttonHeight = 0;
    for (int i = 0; i < kControlCount; ++i) {
        if (kControls[i].kind != ControlKind::PushButton) continue;
        PixelBox& box = placed.controls[i];
        const PixelSize caption = measure.Caption(static_cast<ControlName>(i));
        const int width =
            std::max(box.width, caption.width + 2 * TwipsToPixels(kCaptionMarginX, dpiX));
        box.x -= (width - box.width) / 2;
        box.width = width;
        buttonHeight = std::max({buttonHeight, box.height, caption.height + 2 * TwipsToPixels(kCaptionMarginY, dpiY)});
    }
    // Captions too wide for their places (a message font far above 225 %):
    // the two side by side about the middle, a caption margin apart and from
    // the edges, the window as wide as that takes.
    PixelBox& next = placed.controls[cmdNext];
    PixelBox& exit = placed.controls[cmdExit];
    const int margin = TwipsToPixels(kCaptionMarginX, dpiX);
    if (next.x + next.width + margin > exit.x || next.x < margin || exit.x + exit.width + margin > placed.client.width) {
        const int row = next.width + margin + exit.width;
        placed.client.width = std::max(placed.client.width, row + 2 * margin);
        next.x = (placed.client.width - row) / 2;
        exit.x = next.x + next.width + margin;
    }

    // A label is as tall as its text needs, and pushes everything below it
    // down by as much as it grew, so the gaps of the design stay as they were.
    std::array<int, kControlCount> growth{};
    for (int i = 0; i < kControlCount; ++i) {
        PixelBox& box = placed.controls[i];
        if (kControls[i].kind == ControlKind::PushButton) growth[i] = buttonHeight - box.height;
        if (kControls[i].kind != ControlKind::Label) continue;
        growth[i] = std::max(0, measure.LabelHeight(static_cast<ControlName>(i), box.width) - box.height);
        box.height += growth[i];
    }
    const std::array<PixelBox, kControlCount> unshifted = placed.controls;
    for (int i = 0; i < kControlCount; ++i) {
        for (int j = 0; j < kControlCount; ++j)
            if (unshifted[j].y < unshifted[i].y && kControls[j].kind == ControlKind::Label) placed.controls[i].y += growth[j];
        if (kControls[i].kind == ControlKind::PushButton) placed.controls[i].height = buttonHeight;
    }
    // The client area grows by what its lowest row grew and what was pushed into it.
    int lowest = 0;
    for (int i = 0; i < kControlCount; ++i)
        if (unshifted[i].y > unshifted[lowest].y) lowest = i;
    placed.client.height += placed.controls[lowest].y - unshifted[lowest].y + growth[lowest];
    return placed;
}

}  // namespace

WindowPlacement PlaceControls(const TextMeasure& measure, int dpiX, int dpiY, Screen screen) {
    const PixelSize maxClient = {screen.workArea.width - screen.frame.width, screen.workArea.height - screen.frame.height};
    WindowPlacement placed = PlaceAtWidth(measure, dpiX, dpiY, 0);
    const int widest = maxClient.width - placed.client.width;
    if (placed.client.height <= maxClient.height || widest <= 0) return placed;

    // Wider labels need fewer lines. The least widening that fits the work
    // area, found by halving, as the height only falls as the width grows.
    WindowPlacement fits = PlaceAtWidth(measure, dpiX, dpiY, widest);
    // Even the widest is too tall: as low as it gets, if widening helps at all.
    if (fits.client.height > maxClient.height) return fits.client.height < placed.client.height ? fits : placed;
    int tooNarrow = 0, wideEnough = widest;
    while (wideEnough - tooNarrow > 1) {
        const int extra = tooNarrow + (wideEnough - tooNarrow) / 2;
        WindowPlacement tried = PlaceAtWidth(measure, dpiX, dpiY, extra);
        if (tried.client.height <= maxClient.height) {
            wideEnough = extra;
            fits = tried;
        } else {
            tooNarrow = extra;
        }
    }
    return fits;
}

PixelBox CentredWithin(const PixelRect& area, PixelSize frame, const PixelRect& work) {
    const int x = std::max(work.left, std::min(area.left + (area.right - area.left - frame.width) / 2, work.right - frame.width));
    const int y = std::max(work.top, std::min(area.top + (area.bottom - area.top - frame.height) / 2, work.bottom - frame.height));
    return {x, y, frame.width, frame.height};
}
