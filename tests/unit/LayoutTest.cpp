// The rounding of the design's units into pixels. The layout itself, at 96,
// 120 and 144 DPI, is checked on the real window by the window cases.
#include <gtest/gtest.h>

#include "app/Layout.h"

namespace {

TEST(Layout, TwipsRoundToTheNearestPixelHalfUp) {
    EXPECT_EQ(TwipsToPixels(3750, 96), 250);   // exact
    EXPECT_EQ(TwipsToPixels(1095, 120), 91);   // 91.25
    EXPECT_EQ(TwipsToPixels(6375, 144), 638);  // 637.5
    EXPECT_EQ(TwipsToPixels(1305, 144), 131);  // 130.5
}

// The classic's label font, which no window case measures.
TEST(Layout, FontHeightIsNegativeAndRoundsHalfUp) {
    EXPECT_EQ(FontHeightPixels(975, 96), -13);   // 9.75 pt: 13 exactly
    EXPECT_EQ(FontHeightPixels(975, 120), -16);  // 16.25
    EXPECT_EQ(FontHeightPixels(975, 144), -20);  // 19.5
}

}  // namespace
