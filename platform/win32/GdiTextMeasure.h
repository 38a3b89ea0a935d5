#pragma once

#include <windows.h>

#include "app/WindowLayout.h"

// The controls' texts measured as the controls draw them: a label as a STATIC
// with SS_LEFT wraps it (at words, tabs expanded, no prefix characters), a
// button's caption on one line, each in the font given.
class GdiTextMeasure : public TextMeasure {
public:
    GdiTextMeasure(HFONT labelFont, HFONT buttonFont);
    ~GdiTextMeasure() override;
    GdiTextMeasure(const GdiTextMeasure&) = delete;
    GdiTextMeasure& operator=(const GdiTextMeasure&) = delete;

    int LabelHeight(ControlName label, int width) const override;
    PixelSize Caption(ControlName button) const override;

private:
    RECT Measure(HFONT font, const wchar_t* text, int width, UINT format) const;

    HDC dc_;  // a memory DC of the screen, whose fonts measure as on it
    HFONT labelFont_, buttonFont_;
};
