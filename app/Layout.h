#pragma once

#include <array>
#include <cstdint>

// The installer window as data, in twips (1/1440 inch). The Win32 layer turns
// it into pixels for the screen's DPI and nothing else knows pixel positions.

enum class ControlKind { PictureBox, PushButton, Line, Label };

// Index of each control in kControls, which is also its creation order.
enum ControlName { Picture1, cmdExit, cmdNext, Line2, Label1, Line1, lblDesc, kControlCount };

struct ControlLayout {
    const char* name;
    ControlKind kind;
    // A box: its top-left corner and size. A line: from (left, top) to
    // (left + width, top + height).
    int left, top, width, height;
    // Its window text: what a label or button shows, and what screen readers
    // read as its name; the banner's, which it does not draw, is the words
    // its picture shows. nullptr where the control has none.
    const wchar_t* caption;
    std::uint32_t lineColor;  // 0x00BBGGRR, lines only
};

struct FontLayout {
    const wchar_t* face;
    int hundredthsOfPoint;
    int weight;
    int charset;
};

struct WindowLayout {
    const wchar_t* caption;
    int clientWidth, clientHeight;
};

inline constexpr WindowLayout kWindow = {L"证书安装工具", 6615, 3750};

// Both labels; the buttons keep the system's dialog font.
inline constexpr FontLayout kLabelFont = {L"MS Sans Serif", 975, 400, 0};

inline constexpr std::array<ControlLayout, kControlCount> kControls = {{
    {"Picture1", ControlKind::PictureBox, 120, 120, 6375, 1095, L"Corvane 加密邮局 · 根证书安装工具", 0},
    {"cmdExit", ControlKind::PushButton, 3840, 3240, 1095, 375, L"退出", 0},
    {"cmdNext", ControlKind::PushButton, 1680, 3240, 975, 375, L"下一步", 0},
    {"Line2", ControlKind::Line, 120, 1320, 6360, 0, nullptr, 0x00E0E0E0},
    {"Label1", ControlKind::Label, 240, 2520, 6135, 615,
     L"   该证书由Corvane免费提供，通过该工具可简单并快捷地进行安装，请放心安装使用。", 0},
    {"Line1", ControlKind::Line, 120, 1305, 6360, 0, nullptr, 0x00C0C0C0},
    {"lblDesc", ControlKind::Label, 240, 1440, 6135, 1095,
     L"    Corvane加密邮局采用的域名证书是由Corvane根证书颁发机构(CA)发行的128位SSL证书，"
     L"可实现POP3S、SSMTP、和HTTPS三种方式的加密传输。安装本客户端程序后，您使用SSL加密邮局时"
     L"将不再出现加密证书不可信任的提示。",
     0},
}};

constexpr int TwipsToPixels(int twips, int dpi) {
    return (twips * dpi + 720) / 1440;
}

// The font height that CreateFont wants: negative, in pixels, for a character
// height of the given size.
constexpr int FontHeightPixels(int hundredthsOfPoint, int dpi) {
    return -((hundredthsOfPoint * dpi + 3600) / 7200);
}

struct PixelBox {
    int x, y, width, height;
};

// Each property is scaled on its own, as the layout's units are per property.
constexpr PixelBox ToPixels(const ControlLayout& c, int dpiX, int dpiY) {
    return {TwipsToPixels(c.left, dpiX), TwipsToPixels(c.top, dpiY), TwipsToPixels(c.width, dpiX),
            TwipsToPixels(c.height, dpiY)};
}
