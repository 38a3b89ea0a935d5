// The text size the user chose, and a change of it while the window shows.
#include "Scenarios.h"

#include <cstring>

#include "Probe.h"
#include "app/Layout.h"

namespace {

// No two controls overlap, each lies within the client area, and the window
// within the work area: every text readable, both buttons reachable.
void CheckArrangement(Target& program, int dpi) {
    HWND main = program.MainWindow();
    RECT client;
    GetClientRect(main, &client);
    Note(L"client area " + std::to_wstring(client.right) + L" x " + std::to_wstring(client.bottom));
    RECT boxes[kControlCount] = {};
    for (int i = 0; i < kControlCount; ++i) {
        if (kControls[i].kind == ControlKind::Line) continue;
        const char* ascii = kControls[i].name;
        const std::wstring name(ascii, ascii + std::strlen(ascii));
        HWND control = program.Control(i);
        if (!Check(control != nullptr, name + L" exists")) continue;
        GetWindowRect(control, &boxes[i]);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&boxes[i]), 2);
        RECT inside;
        IntersectRect(&inside, &boxes[i], &client);
        Check(EqualRect(&inside, &boxes[i]) != FALSE, name + L" lies within the client area", Rect(boxes[i]));
        // The design's own boxes overlap by a pixel (lblDesc reaches into
        // Label1), which the text, ending above, never fills: no more than that.
        for (int j = 0; j < i; ++j) {
            RECT both, design;
            if (kControls[j].kind == ControlKind::Line || !IntersectRect(&both, &boxes[i], &boxes[j])) continue;
            const PixelBox a = ToPixels(kControls[i], dpi, dpi), b = ToPixels(kControls[j], dpi, dpi);
            const RECT da = {a.x, a.y, a.x + a.width, a.y + a.height}, db = {b.x, b.y, b.x + b.width, b.y + b.height};
            const bool asDesigned = IntersectRect(&design, &da, &db) && both.bottom - both.top <= design.bottom - design.top;
            Check(asDesigned, name + L" overlaps " + std::wstring(kControls[j].name, kControls[j].name +
                                                                 std::strlen(kControls[j].name)) + L" no more than designed",
                  Rect(both));
        }
    }
    ExpectWithinWorkArea(main);
}

}  // namespace

// The text size the user chose, set in the prefix (Windows 10's "Make text
// bigger", the message font of older ones), perhaps in a font with taller
// lines than Wine's: every text fits its control, nothing overlaps, and the
// window stays within the work area. Then the user picks 100 % while the
// window shows, and it is laid out again for that.
void TextSize() {
    Target program;
    std::optional<Probe> probe;
    if (!StartProbed(program, probe)) return;
    const int dpi = ScreenDpi();
    Note(L"message font " + MessageFontFace() + L", " + std::to_wstring(-FontHeight(dpi)) + L" px at " +
         std::to_wstring(dpi) + L" DPI");
    CheckTextsFit(program, *probe, dpi, FontHeight(dpi));
    CheckArrangement(program, dpi);
    // Where the case says the design's width cannot hold the text within the
    // work area's height, the window must have widened.
    wchar_t expect[16] = L"";
    GetEnvironmentVariableW(L"CERTINSTALL_EXPECT", expect, 16);
    if (std::wstring(expect) == L"widened") {
        RECT client;
        GetClientRect(program.MainWindow(), &client);
        Check(client.right > TwipsToPixels(kWindow.clientWidth, dpi), L"the window widened to fit the work area",
              L"client area " + std::to_wstring(client.right) + L" wide");
    }
    Shot(L"text-size");

    RECT before;
    GetClientRect(program.MainWindow(), &before);
    const int standard = MulDiv(12, dpi, 96);
    Note(L"the user makes the text " + std::to_wstring(standard) + L" px, 100 %");
    probe->SetMessageFont(program.MainWindow(), standard);
    Check(WaitUntil(
              [&] {
                  RECT client;
                  GetClientRect(program.MainWindow(), &client);
                  return client.bottom < before.bottom;
              },
              5000),
          L"the window is laid out again, smaller");
    Check(WaitPainted(program.MainWindow()), L"the window is painted again");
    CheckTextsFit(program, *probe, dpi, -standard);
    CheckArrangement(program, dpi);
    Shot(L"text-size-100");
    program.ClickExit();
    ExpectEnd(program);
}
