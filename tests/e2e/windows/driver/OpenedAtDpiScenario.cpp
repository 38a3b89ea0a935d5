// The window opening on a monitor of another DPI than the system's.
#include "Scenarios.h"

#include "Probe.h"

// The Vista edition opens on a monitor of 144 DPI while the system's is 96
// (GuardHooks.dll makes the program's per-monitor DPI function answer 144):
// it lays itself out at once for 144, client area, every control and the
// banner, and both fonts, the labels' and the buttons', are the message font
// made for 144.
void OpenedAt144() {
    const int dpi = 144;
    Check(ScreenDpi() == 96, L"the system's DPI is 96", std::to_wstring(ScreenDpi()));
    AnswerDpi(dpi);
    Target program;
    std::optional<Probe> probe;
    if (!StartProbed(program, probe)) return;
    // Sized for 96 DPI at first, it is placed again for 144, within the
    // test's 800 x 600 screen.
    ExpectWithinWorkArea(program.MainWindow());
    CheckLayout(program, dpi);
    CheckTextsFit(program, *probe, dpi, FontHeight(dpi));
    Shot(L"opened-at-144");
    program.ClickExit();
    ExpectEnd(program);
}
