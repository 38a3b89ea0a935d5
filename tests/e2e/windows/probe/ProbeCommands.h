#pragma once

// What the driver asks of WindowProbe.dll: a message registered under this
// name, posted to the installer's window, with the command in lParam.
inline constexpr wchar_t kProbeMessage[] = L"CertInstallTest.Probe";

enum ProbeCommand {
    kProbeTextsOrDpi = 0,    // wParam 0: measure the texts; N: WM_DPICHANGED for N DPI
    kProbeMessageFont = 1,   // wParam N: the message font N pixels high
    kProbeIcons = 2,         // measure the window's icons
    kProbeTallerCaption = 3, // wParam N: the title bar N pixels taller, the message font as it was
    kProbeContrast = 4,      // wParam 1: High Contrast White; 2: Black; 0: high contrast off
    kProbeDrag = 5,          // wParam MAKEWPARAM(TO, FROM): dragged from a monitor of FROM DPI onto one of TO
};
