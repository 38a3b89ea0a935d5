#pragma once
// WindowProbe.dll seen from the driver: it measures inside the program's
// process what only that process can (fonts, icons) and sends the program
// what Windows would (WM_DPICHANGED, a new message font).

#include "Scenarios.h"

#include <optional>

#include "tests/e2e/windows/probe/ProbeCommands.h"

// WindowProbe.dll's hook on the program's thread, for as long as this lives.
class Probe {
public:
    explicit Probe(const Target& program)
        : hook_(L"WindowProbe.dll", "WindowProbe", WH_GETMESSAGE, program.ThreadId()) {}

    bool Ready() const { return hook_.Set(); }
    // 0: measure the texts; a DPI: send the window WM_DPICHANGED for it.
    void Post(HWND window, int dpi) const { Send(window, dpi, kProbeTextsOrDpi); }
    // Makes the message font so many pixels high, as the user would.
    void SetMessageFont(HWND window, int pixels) const { Send(window, pixels, kProbeMessageFont); }
    // Makes the title bar so many pixels taller, the message font as it was.
    void RaiseCaption(HWND window, int pixels) const { Send(window, pixels, kProbeTallerCaption); }
    // High Contrast White (1), Black (2), or high contrast off (0).
    void SetContrast(HWND window, int scheme) const { Send(window, scheme, kProbeContrast); }
    // Drags the window from a monitor of one DPI onto one of another; the
    // probe writes where it went.
    void Drag(HWND window, int from, int to) const { Send(window, MAKEWPARAM(to, from), kProbeDrag); }

private:
    void Send(HWND window, int wparam, int lparam) const {
        PostMessageW(window, RegisterWindowMessageW(kProbeMessage), static_cast<WPARAM>(wparam), lparam);
    }

    DllHook hook_;
};

// Starts the program, brings its window in front and hooks the probe on its
// thread; false, with the failed check printed, where any of it fails.
bool StartProbed(Target& program, std::optional<Probe>& probe);
// Where the probe writes; the program inherits it, so name it before the start.
std::wstring ProbeFile();
void NameProbeFile();
// The height in pixels the case expects the window's text to have at a DPI
// (CERTINSTALL_TEST_FONT), as CreateFont takes it, and the message font's face.
LONG FontHeight(int dpi);
std::wstring MessageFontFace();
// Every text control is in the system's message font of the given height,
// each label needs no more height for its whole text than it has, and each
// caption fits its button with the margins a button keeps around it.
void CheckTextsFit(Target& program, const Probe& probe, int dpi, LONG wantedHeight);
// Sends the window WM_DPICHANGED for a DPI: laid out anew, centred where it
// was, its texts fitting in fonts of the case's height, its icons the DPI's.
void MoveToDpi(Target& program, const Probe& probe, int dpi);
