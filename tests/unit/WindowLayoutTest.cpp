#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <cwchar>

#include "app/WindowLayout.h"

namespace {

// Text of fixed-width characters, wrapped anywhere: a font of the given
// character width and line height.
class FakeMeasure : public TextMeasure {
public:
    FakeMeasure(int charWidth, int lineHeight) : charWidth_(charWidth), lineHeight_(lineHeight) {}

    int LabelHeight(ControlName label, int width) const override {
        const int perLine = width / charWidth_;
        const int length = static_cast<int>(std::wcslen(kControls[label].caption));
        return (length + perLine - 1) / perLine * lineHeight_;
    }
    PixelSize Caption(ControlName button) const override {
        return {static_cast<int>(std::wcslen(kControls[button].caption)) * charWidth_, lineHeight_};
    }

private:
    int charWidth_, lineHeight_;
};

bool Overlap(const PixelBox& a, const PixelBox& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// Every control holds its text, nothing overlaps but where the design's own
// boxes do (lblDesc's reaches a pixel into Label1's), and all lies in the
// client area.
void ExpectEverythingFits(const WindowPlacement& placed, const FakeMeasure& measure, int dpi) {
    for (int i = 0; i < kControlCount; ++i) {
        const PixelBox& box = placed.controls[i];
        const char* name = kControls[i].name;
        if (kControls[i].kind == ControlKind::Line) continue;
        EXPECT_LE(box.x + box.width, placed.client.width) << name;
        EXPECT_LE(box.y + box.height, placed.client.height) << name;
        if (kControls[i].kind == ControlKind::Label) {
            EXPECT_GE(box.height, measure.LabelHeight(static_cast<ControlName>(i), box.width)) << name;
        }
        if (kControls[i].kind == ControlKind::PushButton) {
            const PixelSize caption = measure.Caption(static_cast<ControlName>(i));
            EXPECT_GE(box.width, caption.width + 2 * TwipsToPixels(kCaptionMarginX, dpi)) << name;
            EXPECT_GE(box.height, caption.height + 2 * TwipsToPixels(kCaptionMarginY, dpi)) << name;
        }
        EXPECT_TRUE(box.x >= 0 && box.y >= 0) << name << " at " << box.x << "," << box.y;
        for (int j = 0; j < i; ++j) {
            if (kControls[j].kind != ControlKind::Line) {
                const PixelBox& other = placed.controls[j];
                EXPECT_EQ(Overlap(box, other), Overlap(ToPixels(kControls[i], dpi, dpi), ToPixels(kControls[j], dpi, dpi)))
                    << name << " at " << box.x << "," << box.y << " " << box.width << "x" << box.height << " and "
                    << kControls[j].name << " at " << other.x << "," << other.y << " " << other.width << "x"
                    << other.height << " overlap as in the design or not at all";
            }
        }
    }
}

}  // namespace

// The message font of Wine and of Windows at 100 % text, or near it: the
// design, to the pixel, at every DPI.
TEST(WindowLayout, TextThatFitsTheDesignMovesNothing) {
    for (int dpi : {96, 120, 144}) {
        const WindowPlacement placed = PlaceControls(FakeMeasure(12 * dpi / 96, 16 * dpi / 96), dpi, dpi, kUnboundedScreen);
        EXPECT_EQ(placed.client.width, TwipsToPixels(kWindow.clientWidth, dpi));
        EXPECT_EQ(placed.client.height, TwipsToPixels(kWindow.clientHeight, dpi));
        for (int i = 0; i < kControlCount; ++i) {
            const PixelBox design = ToPixels(kControls[i], dpi, dpi), box = placed.controls[i];
            EXPECT_TRUE(box.x == design.x && box.y == design.y && box.width == design.width &&
                        box.height == design.height)
                << kControls[i].name << " at " << dpi << " DPI: " << box.x << "," << box.y << " " << box.width
                << "x" << box.height;
        }
    }
}

// 150 % text: the long label needs more lines than its box holds, so it
// grows and all below it moves down by exactly as much; the banner and the
// lines stay.
TEST(WindowLayout, LargerTextGrowsWhatItMustAndNoMore) {
    const FakeMeasure measure(18, 24);
    const WindowPlacement placed = PlaceControls(measure, 96, 96, kUnboundedScreen);
    ExpectEverythingFits(placed, measure, 96);

    const PixelBox desc = ToPixels(kControls[lblDesc], 96, 96), label = ToPixels(kControls[Label1], 96, 96);
    const int descGrowth = measure.LabelHeight(lblDesc, desc.width) - desc.height;
    const int labelGrowth = measure.LabelHeight(Label1, label.width) - label.height;
    ASSERT_GT(descGrowth, 0);
    ASSERT_GT(labelGrowth, 0);
    EXPECT_EQ(placed.controls[lblDesc].height, desc.height + descGrowth);
    EXPECT_EQ(placed.controls[Label1].y, label.y + descGrowth);
    EXPECT_EQ(placed.controls[Label1].height, label.height + labelGrowth);
    for (ControlName button : {cmdNext, cmdExit}) {
        const PixelBox design = ToPixels(kControls[button], 96, 96), box = placed.controls[button];
        EXPECT_EQ(box.y, design.y + descGrowth + labelGrowth) << kControls[button].name;
        EXPECT_EQ(box.height, 24 + 2 * 4) << kControls[button].name;
        EXPECT_LE(std::abs(2 * box.x + box.width - (2 * design.x + design.width)), 1)
            << kControls[button].name << " keeps its centre";
    }
    EXPECT_EQ(placed.client.height, TwipsToPixels(kWindow.clientHeight, 96) + descGrowth + labelGrowth + (32 - 25));
    EXPECT_EQ(placed.client.width, TwipsToPixels(kWindow.clientWidth, 96));
    for (ControlName fixed : {Picture1, Line1, Line2}) {
        const PixelBox design = ToPixels(kControls[fixed], 96, 96), box = placed.controls[fixed];
        EXPECT_TRUE(box.x == design.x && box.y == design.y && box.width == design.width &&
                    box.height == design.height)
            << kControls[fixed].name;
    }
}

// 225 % text on a screen too low for it: the window widens to the least width
// at which it fits the work area, and the widened labels take the room.
TEST(WindowLayout, AWorkAreaTooLowWidensTheWindow) {
    const FakeMeasure measure(27, 36);
    const int tall = PlaceControls(measure, 96, 96, kUnboundedScreen).client.height;
    const PixelSize workArea = {1300, tall - 60};
    const WindowPlacement placed = PlaceControls(measure, 96, 96, {workArea, {0, 0}});
    ExpectEverythingFits(placed, measure, 96);
    EXPECT_LE(placed.client.height, workArea.height);
    EXPECT_GT(placed.client.width, TwipsToPixels(kWindow.clientWidth, 96));
    EXPECT_EQ(placed.controls[lblDesc].width, placed.client.width - 2 * placed.controls[lblDesc].x)
        << "the label spans the wider window as it spanned the design's";
    const int extra = placed.client.width - TwipsToPixels(kWindow.clientWidth, 96);
    for (ControlName line : {Line1, Line2})
        EXPECT_EQ(placed.controls[line].width, ToPixels(kControls[line], 96, 96).width + extra) << kControls[line].name;
    for (ControlName middle : {Picture1, cmdNext, cmdExit}) {
        const PixelBox design = ToPixels(kControls[middle], 96, 96), box = placed.controls[middle];
        EXPECT_LE(std::abs(2 * box.x + box.width - (2 * design.x + design.width + extra)), 1)
            << kControls[middle].name << " stays where it was in the middle";
    }

    // A pixel narrower would not fit: the least widening.
    const WindowPlacement narrower = PlaceControls(measure, 96, 96, {{placed.client.width - 1, workArea.height}, {0, 0}});
    EXPECT_GT(narrower.client.height, workArea.height);
    EXPECT_EQ(narrower.client.width, placed.client.width - 1) << "as wide as the work area lets it";
}

// A screen lower than the window even at its widest: it widens only where
// that makes it lower, never for nothing.
TEST(WindowLayout, WideningThatCannotHelpIsNotDone) {
    // Text that fits the design: widening lowers nothing.
    const FakeMeasure fitting(12, 16);
    const WindowPlacement design = PlaceControls(fitting, 96, 96, kUnboundedScreen);
    const WindowPlacement low = PlaceControls(fitting, 96, 96, {{1300, design.client.height - 50}, {0, 0}});
    EXPECT_EQ(low.client.width, design.client.width);
    EXPECT_EQ(low.client.height, design.client.height);

    // 225 % text: as wide as the work area, where it is lowest.
    const FakeMeasure large(27, 36);
    const int unwidened = PlaceControls(large, 96, 96, kUnboundedScreen).client.height;
    const WindowPlacement widest = PlaceControls(large, 96, 96, {{1000, 200}, {0, 0}});
    EXPECT_EQ(widest.client.width, 1000);
    EXPECT_LT(widest.client.height, unwidened);
    ExpectEverythingFits(widest, large, 96);
}

// A message font far larger than any text size setting offers: the buttons
// side by side about the middle, a caption margin apart and from the edges,
// the window as wide as that takes.
TEST(WindowLayout, CaptionsWiderThanTheirPlacesKeepApart) {
    const int margin = TwipsToPixels(kCaptionMarginX, 96);
    for (int charWidth : {60, 90}) {
        const FakeMeasure huge(charWidth, 70);
        const WindowPlacement placed = PlaceControls(huge, 96, 96, kUnboundedScreen);
        ExpectEverythingFits(placed, huge, 96);
        const PixelBox next = placed.controls[cmdNext], exit = placed.controls[cmdExit];
        const int row = next.width + margin + exit.width;
        EXPECT_EQ(exit.x, next.x + next.width + margin) << charWidth;
        EXPECT_EQ(placed.client.width, std::max(TwipsToPixels(kWindow.clientWidth, 96), row + 2 * margin)) << charWidth;
        EXPECT_LE(std::abs(2 * next.x + row - placed.client.width), 1) << charWidth;
    }
}

// The frame counts against the work area, and a window exactly as high as
// the room it leaves is not widened.
TEST(WindowLayout, TheFrameTakesItsShareOfTheWorkArea) {
    const FakeMeasure measure(27, 36);
    const WindowPlacement unbounded = PlaceControls(measure, 96, 96, kUnboundedScreen);
    const PixelSize frame = {6, 30};
    const PixelSize exact = {1300, unbounded.client.height + frame.height};
    EXPECT_EQ(PlaceControls(measure, 96, 96, {exact, frame}).client.width, unbounded.client.width);
    const Screen low = {{1300, exact.height - 1}, frame};
    const WindowPlacement placed = PlaceControls(measure, 96, 96, low);
    EXPECT_LE(placed.client.height + frame.height, low.workArea.height);
    EXPECT_GT(placed.client.width, unbounded.client.width);
}

TEST(WindowLayout, AWindowIsCentredWithinTheWorkArea) {
    const PixelRect work = {0, 0, 800, 560};
    const auto at = [&](PixelRect area, PixelSize frame) {
        const PixelBox box = CentredWithin(area, frame, work);
        return std::make_pair(box.x, box.y);
    };
    EXPECT_EQ(at({100, 100, 300, 300}, {100, 50}), std::make_pair(150, 175));
    EXPECT_EQ(at({600, 500, 900, 700}, {400, 300}), std::make_pair(400, 260)) << "moved in";
    EXPECT_EQ(at({-200, -100, 100, 100}, {400, 300}), std::make_pair(0, 0)) << "moved in";
    EXPECT_EQ(at({100, 100, 300, 300}, {900, 600}), std::make_pair(0, 0)) << "its corner in";
}
