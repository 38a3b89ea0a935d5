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

// The message font's height in pixels at a DPI, as this process reads it
// from the prefix (the program reads the same unless told otherwise), and
// no less than 9 points times Windows 10's text scale factor, where set.
LONG MessageFontHeight(int dpi) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    DWORD factor = 100, size = sizeof factor;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Accessibility", 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        RegQueryValueExW(key, L"TextScaleFactor", nullptr, nullptr, reinterpret_cast<BYTE*>(&factor), &size);
        RegCloseKey(key);
    }
    return std::min(MulDiv(metrics.lfMessageFont.lfHeight, dpi, ScreenDpi()),
                    -MulDiv(MulDiv(9, dpi, 72), static_cast<int>(factor), 100));
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
    int lines = 0;
    char line[kMeasured][512] = {};
    WaitUntil(
        [&] {
            lines = 0;
            if (FILE* in = _wfopen(ProbeFile().c_str(), L"r")) {
                while (lines < kMeasured && std::fgets(line[lines], sizeof line[0], in)) ++lines;
                std::fclose(in);
            }
            return lines == kMeasured;
        },
        5000);
    if (!Check(lines == kMeasured, L"the probe measured the labels and the buttons", std::to_wstring(lines) + L" lines"))
        return;

    const std::wstring wantedFace = MessageFontFace();
    for (const char* text : line) {
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

