// What the installer window draws itself: the separator lines, which are no
// controls, and the banner in its owner-drawn box.
#include "platform/win32/Banner.h"
#include "platform/win32/FormWindow.h"

namespace {

bool HighContrast() {
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

// The design's greys, or under a high-contrast scheme, whose users need
// every line to stand out, the scheme's own: the upper line in the colour
// of text on the window's face, the lower one in the face itself.
COLORREF LineColour(ControlName line, bool highContrast) {
    if (!highContrast) return kControls[line].lineColor;
    return GetSysColor(line == Line1 ? COLOR_BTNTEXT : COLOR_BTNFACE);
}

}  // namespace

void FormWindow::PaintLines(HDC dc) const {
    const bool highContrast = HighContrast();
    for (int i = 0; i < kControlCount; ++i) {
        if (kControls[i].kind != ControlKind::Line) continue;
        const PixelBox& line = placement_.controls[i];
        HPEN pen = CreatePen(PS_SOLID, 1, LineColour(static_cast<ControlName>(i), highContrast));
        HGDIOBJ old = SelectObject(dc, pen);
        // LineTo leaves out the end point: (X2, Y2) is where the line stops.
        MoveToEx(dc, line.x, line.y, nullptr);
        LineTo(dc, line.x + line.width, line.y + line.height);
        SelectObject(dc, old);
        DeleteObject(pen);
    }
}

void FormWindow::DrawBanner(const DRAWITEMSTRUCT& item) {
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    // Decoded on the first paint: a window refused at load never pays for it.
    if (!bannerTried_) {
        bannerTried_ = true;
        banner_.Reset(LoadBanner(instance_));
    }
    if (!banner_) return;
    BITMAP size;
    GetObjectW(banner_.get(), sizeof size, &size);
    HDC source = CreateCompatibleDC(item.hDC);
    HGDIOBJ old = SelectObject(source, banner_.get());
    // The picture fills its box but for a one-pixel strip on the right and
    // at the bottom. At 96 DPI that is its natural size, copied as it is; at
    // any other DPI it is stretched to keep those proportions, with HALFTONE
    // so that it stays smooth (HALFTONE needs the brush origin reset). With
    // 256 colours or fewer BitBlt maps each pixel to the nearest colour, in
    // bands; HALFTONE dithers, so it is used there at natural size too, and
    // on a palette screen with the halftone palette realized first, as
    // StretchBlt's halftoning requires.
    const int width = item.rcItem.right - item.rcItem.left - 1;
    const int height = item.rcItem.bottom - item.rcItem.top - 1;
    const bool fewColours = GetDeviceCaps(item.hDC, BITSPIXEL) * GetDeviceCaps(item.hDC, PLANES) <= 8;
    if (dpi_.x == 96 && dpi_.y == 96 && !fewColours) {
        BitBlt(item.hDC, 0, 0, size.bmWidth, size.bmHeight, source, 0, 0, SRCCOPY);
    } else {
        HPALETTE oldPalette = nullptr;
        if (GetDeviceCaps(item.hDC, RASTERCAPS) & RC_PALETTE) {
            if (!halftone_) halftone_.Reset(CreateHalftonePalette(item.hDC));
            // In the background: the window never takes the system palette from others.
            oldPalette = SelectPalette(item.hDC, halftone_.get(), TRUE);
            RealizePalette(item.hDC);
        }
        SetStretchBltMode(item.hDC, HALFTONE);
        SetBrushOrgEx(item.hDC, 0, 0, nullptr);
        StretchBlt(item.hDC, 0, 0, width, height, source, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
        if (oldPalette) SelectPalette(item.hDC, oldPalette, TRUE);
    }
    SelectObject(source, old);
    DeleteDC(source);
}
