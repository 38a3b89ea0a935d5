#include "Probe.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/Layout.h"
#include "app/WindowLayout.h"

bool StartProbed(Target& program, std::optional<Probe>& probe) {
    NameProbeFile();
    if (!StartShown(program)) return false;
    Check(program.BringToFront(), L"the window is in front");
    probe.emplace(program);
    return Check(probe->Ready(), L"the probe hooks the program's thread");
}

std::wstring ProbeFile() {
    return g_output + L"\\probe.txt";
}

// Before the program starts: it inherits where the probe writes.
void NameProbeFile() {
    SetEnvironmentVariableW(L"CERTINSTALL_PROBE_OUT", ProbeFile().c_str());
    DeleteFileW(ProbeFile().c_str());
}

// The case's own figures, CERTINSTALL_TEST_FONT=96:18,144:27, or else the
// template's message font: 12 px at 96 DPI, which Wine scales to 18 at 144.
LONG FontHeight(int dpi) {
    wchar_t figures[128] = L"96:12,144:18";
    GetEnvironmentVariableW(L"CERTINSTALL_TEST_FONT", figures, 128);
    const std::wstring all = L"," + std::wstring(figures), key = L"," + std::to_wstring(dpi) + L":";
    const std::size_t at = all.find(key);
    const LONG pixels = at == std::wstring::npos ? 0 : std::wcstol(all.c_str() + at + key.size(), nullptr, 10);
    Check(pixels > 0, L"the case gives the font's height at " + std::to_wstring(dpi) + L" DPI", figures);
    return -pixels;
}

std::wstring MessageFontFace() {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return metrics.lfMessageFont.lfFaceName;
}

// Every text control is in the system's message font of the given height,
// each label needs no more height for its whole text, in that font at its
// width, than it has, and each caption fits its button with the margins a
// button keeps around it.
void CheckTextsFit(Target& program, const Probe& probe, int dpi, LONG wantedHeight) {
    DeleteFileW(ProbeFile().c_str());
    probe.Post(program.MainWindow(), 0);
    constexpr int kMeasured = 4;
    std::string measured;
    const auto lines = [&] { return std::count(measured.begin(), measured.end(), '\n'); };
    WaitUntil([&] { return measured = FileText(ProbeFile()), lines() == kMeasured; }, 5000);
    if (!Check(lines() == kMeasured, L"the probe measured the labels and the buttons", std::to_wstring(lines()) + L" lines"))
        return;

    const std::wstring wantedFace = MessageFontFace();
    for (std::size_t from = 0, end; (end = measured.find('\n', from)) != std::string::npos; from = end + 1) {
        const std::string line = measured.substr(from, end - from);
        const char* text = line.c_str();
        int index = 0;
        char face[128] = "";
        long height = 0, needed = 0, has = 0;                                   // a label's heights
        long captionWidth = 0, captionHeight = 0, buttonWidth = 0, buttonHeight = 0;  // a button's sizes
        const bool label = std::strncmp(text, "label ", 6) == 0;
        const int read = label ? std::sscanf(text, "label %d %127[^|]|%ld|%ld|%ld", &index, face, &height, &needed, &has)
                               : std::sscanf(text, "button %d %127[^|]|%ld|%ld|%ld|%ld|%ld", &index, face, &height,
                                             &captionWidth, &captionHeight, &buttonWidth, &buttonHeight);
        if (!Check(read == (label ? 5 : 7), L"the probe's line reads", Wide(text))) continue;
        const char* ascii = kControls[index].name;
        const std::wstring name(ascii, ascii + std::strlen(ascii));
        Check(Wide(face) == wantedFace, name + L" is in the system's message font " + wantedFace, Wide(face));
        Check(std::labs(height - wantedHeight) <= 1,
              name + L"'s font is " + std::to_wstring(-wantedHeight) + L" px at " + std::to_wstring(dpi) + L" DPI",
              L"height " + std::to_wstring(height));
        if (label) {
            Note(name + L": " + Wide(face) + L" " + std::to_wstring(height) + L" px, its text needs " +
                 std::to_wstring(needed) + L" of " + std::to_wstring(has) + L" pixels");
            Check(needed <= has, name + L": every line of its text is visible",
                  std::to_wstring(needed) + L" pixels needed, " + std::to_wstring(has) + L" there");
        } else {
            const int marginX = TwipsToPixels(kCaptionMarginX, dpi), marginY = TwipsToPixels(kCaptionMarginY, dpi);
            const std::wstring sizes = L"caption " + std::to_wstring(captionWidth) + L" x " +
                                       std::to_wstring(captionHeight) + L" in a button of " +
                                       std::to_wstring(buttonWidth) + L" x " + std::to_wstring(buttonHeight);
            Note(name + L": " + sizes);
            Check(captionWidth + 2 * marginX <= buttonWidth && captionHeight + 2 * marginY <= buttonHeight,
                  name + L": its caption fits, " + std::to_wstring(marginX) + L" px clear at the sides and " +
                      std::to_wstring(marginY) + L" above and below",
                  sizes);
        }
    }
}

void MoveToDpi(Target& program, const Probe& probe, int dpi) {
    Note(L"WM_DPICHANGED for " + std::to_wstring(dpi) + L" DPI");
    // The probe suggests the window's rectangle scaled about its middle.
    RECT before;
    GetWindowRect(program.MainWindow(), &before);
    probe.Post(program.MainWindow(), dpi);
    const int width = TwipsToPixels(kWindow.clientWidth, dpi);
    Check(WaitUntil(
              [&] {
                  RECT client;
                  GetClientRect(program.MainWindow(), &client);
                  return client.right == width;
              },
              5000),
          L"WM_DPICHANGED lays the window out again");
    RECT after;
    GetWindowRect(program.MainWindow(), &after);
    // The suggested rectangle is centred on the window's middle, and the
    // window on the rectangle's, each to the pixel below: twice the centre
    // may move by 2.
    Check(std::labs((after.left + after.right) - (before.left + before.right)) <= 2 &&
              std::labs((after.top + after.bottom) - (before.top + before.bottom)) <= 2,
          L"the window stays centred where the suggested rectangle is", Rect(before) + L" became " + Rect(after));
    Check(program.BringToFront(), L"the window is in front");
    Check(WaitPainted(program.MainWindow()), L"the window is painted again");
    CheckTextsFit(program, probe, dpi, FontHeight(dpi));
    CheckWindowIcons(program, dpi);
}
