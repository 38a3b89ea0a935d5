#include "platform/win32/GdiTextMeasure.h"

GdiTextMeasure::GdiTextMeasure(HFONT labelFont, HFONT buttonFont)
    : dc_(CreateCompatibleDC(nullptr)), labelFont_(labelFont), buttonFont_(buttonFont) {}

GdiTextMeasure::~GdiTextMeasure() {
    if (dc_) DeleteDC(dc_);
}

RECT GdiTextMeasure::Measure(HFONT font, const wchar_t* text, int width, UINT format) const {
    RECT rect = {0, 0, width, 0};
    if (!dc_) return rect;
    // A null font is what the control would draw with too: the system font.
    HGDIOBJ old = SelectObject(dc_, font ? font : GetStockObject(SYSTEM_FONT));
    DrawTextW(dc_, text, -1, &rect, DT_CALCRECT | DT_NOPREFIX | format);
    SelectObject(dc_, old);
    return rect;
}

int GdiTextMeasure::LabelHeight(ControlName label, int width) const {
    return Measure(labelFont_, kControls[label].caption, width, DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS).bottom;
}

PixelSize GdiTextMeasure::Caption(ControlName button) const {
    const RECT rect = Measure(buttonFont_, kControls[button].caption, 0, DT_SINGLELINE);
    return {rect.right, rect.bottom};
}
