#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/Layout.h"

namespace {

struct Pixels {
    ControlName control;
    int x, y, width, height;
};

// The window as it must look at 96 DPI, in pixels.
const Pixels kAt96[] = {
    {Picture1, 8, 8, 425, 73}, {cmdExit, 256, 216, 73, 25}, {cmdNext, 112, 216, 65, 25},
    {Label1, 16, 168, 409, 41}, {lblDesc, 16, 96, 409, 73},
    // Lines: from (x, y), width and height to the end point.
    {Line1, 8, 87, 424, 0}, {Line2, 8, 88, 424, 0},
};

TEST(Layout, TwipsGiveThePixelTableAt96Dpi) {
    EXPECT_EQ(TwipsToPixels(kWindow.clientWidth, 96), 441);
    EXPECT_EQ(TwipsToPixels(kWindow.clientHeight, 96), 250);
    for (const Pixels& p : kAt96) {
        const PixelBox box = ToPixels(kControls[p.control], 96, 96);
        EXPECT_EQ(box.x, p.x) << kControls[p.control].name;
        EXPECT_EQ(box.y, p.y) << kControls[p.control].name;
        EXPECT_EQ(box.width, p.width) << kControls[p.control].name;
        EXPECT_EQ(box.height, p.height) << kControls[p.control].name;
    }
}

TEST(Layout, ScalesInProportionAtLargerDpi) {
    for (int dpi : {120, 144}) {
        for (const Pixels& p : kAt96) {
            const PixelBox box = ToPixels(kControls[p.control], dpi, dpi);
            // Within half a pixel of the exact scaled value.
            const auto near = [&](int scaled, int at96) { return std::abs(2 * (scaled * 96 - at96 * dpi)) <= 96; };
            EXPECT_TRUE(near(box.x, p.x) && near(box.y, p.y) && near(box.width, p.width) &&
                        near(box.height, p.height))
                << kControls[p.control].name << " at " << dpi;
        }
    }
    EXPECT_EQ(ToPixels(kControls[Picture1], 144, 144).width, 638);  // 425 x 1.5, rounded
    EXPECT_EQ(FontHeightPixels(kLabelFont.hundredthsOfPoint, 96), -13);
    EXPECT_EQ(FontHeightPixels(kLabelFont.hundredthsOfPoint, 120), -16);
}

TEST(Layout, TabOrderStartsAtTheDescriptionThenNextAndExit) {
    std::vector<std::string> order;
    for (int index = 0; index <= 4; ++index)
        for (const ControlLayout& c : kControls)
            if (c.tabIndex == index) order.push_back(c.name);
    EXPECT_EQ(order, (std::vector<std::string>{"lblDesc", "cmdNext", "cmdExit", "Picture1", "Label1"}));
    EXPECT_EQ(kControls[Line1].tabIndex, -1);
    EXPECT_EQ(kControls[Line2].tabIndex, -1);
}

TEST(Layout, CaptionsAreExactlyTheWindowsTexts) {
    EXPECT_STREQ(kWindow.caption, L"证书安装工具");
    EXPECT_STREQ(kControls[cmdNext].caption, L"下一步");
    EXPECT_STREQ(kControls[cmdExit].caption, L"退出");
    EXPECT_STREQ(kControls[Label1].caption,
                 L"   该证书由Corvane免费提供，通过该工具可简单并快捷地进行安装，请放心安装使用。");
    EXPECT_STREQ(kControls[lblDesc].caption,
                 L"    Corvane加密邮局采用的域名证书是由Corvane根证书颁发机构(CA)发行的128位SSL证书，可实现"
                 L"POP3S、SSMTP、和HTTPS三种方式的加密传输。安装本客户端程序后，您使用SSL加密邮局时将不再出现"
                 L"加密证书不可信任的提示。");
    for (const ControlLayout& c : kControls) {
        if (c.caption) {
            EXPECT_EQ(std::wstring(c.caption).find(L'&'), std::wstring::npos) << c.name;
        }
    }
}

TEST(Layout, LinesAreAMidGreyOverALightGrey) {
    EXPECT_EQ(kControls[Line1].lineColor, 0x00C0C0C0u);
    EXPECT_EQ(kControls[Line2].lineColor, 0x00E0E0E0u);
    EXPECT_STREQ(kLabelFont.face, L"MS Sans Serif");
    EXPECT_EQ(kLabelFont.weight, 400);
    EXPECT_EQ(kLabelFont.charset, 0);
}

}  // namespace
