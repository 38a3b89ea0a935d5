// The window opening on a monitor of another DPI than the system's.
#include "Scenarios.h"

#include <cstdio>
#include <cstring>

#include "app/Layout.h"
#include "platform/win32/FormWindow.h"

namespace {

// Each control's font, as the program's process sees it: ID, height, face.
struct ControlFont {
    int id;
    long height;
    std::wstring face;
};

std::wstring FontsFile() {
    return g_output + L"\\fonts.txt";
}

// Before the program starts: it inherits where the probe writes.
void NameFontsFile() {
    SetEnvironmentVariableW(L"CERTINSTALL_PROBE_OUT", FontsFile().c_str());
    DeleteFileW(FontsFile().c_str());
}

std::vector<ControlFont> ReadControlFonts(Target& program) {
    const std::wstring path = FontsFile();
    std::vector<ControlFont> fonts;
    const DllHook probe(L"GuardHooks.dll", "ControlFonts", WH_GETMESSAGE, program.ThreadId());
    if (!Check(probe.Set(), L"the font probe hooks the program's thread")) return fonts;
    PostMessageW(program.MainWindow(), RegisterWindowMessageW(L"CertInstallTest.Fonts"), 0, 0);
    WaitUntil(
        [&] {
            fonts.clear();
            if (FILE* in = _wfopen(path.c_str(), L"r")) {
                int id;
                long height;
                char face[128];
                while (std::fscanf(in, "%d %ld %127[^\n]", &id, &height, face) == 3)
                    fonts.push_back({id, height, Wide(face)});
                std::fclose(in);
            }
            return fonts.size() >= 4;
        },
        5000);
    return fonts;
}

}  // namespace

// The Vista edition opens on a monitor of 144 DPI while the system's is 96
// (GuardHooks.dll makes the program's per-monitor DPI function answer 144): it lays
// itself out at once for 144, client area, every control and the banner,
// and both fonts, the labels' and the buttons', are made for 144.
void OpenedAt144() {
    const int dpi = 144;
    Check(ScreenDpi() == 96, L"the system's DPI is 96", std::to_wstring(ScreenDpi()));
    AnswerDpi(dpi);
    NameFontsFile();
    Target program;
    if (!Check(program.Start(g_exe), L"the program starts", g_exe)) return;
    if (!Check(WaitUntil([&] { return program.MainVisible(); }, 20000), L"the window appears")) return;
    // Sized for 96 DPI at first, it is placed again for 144, within the
    // test's 800 x 600 screen.
    ExpectWithinWorkArea(program.MainWindow());
    Check(WaitPainted(program.MainWindow()), L"the window is painted: the banner, both texts, both buttons");
    Check(program.BringToFront(), L"the window is in front");
    CheckLayout(program, dpi);

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const long wanted = MulDiv(metrics.lfMessageFont.lfHeight, dpi, ScreenDpi());
    const std::vector<ControlFont> fonts = ReadControlFonts(program);
    int checked = 0;
    for (const ControlFont& font : fonts) {
        const int index = font.id - FormWindow::kFirstControlId;
        if (index < 0 || index >= kControlCount) continue;
        const ControlLayout& control = kControls[index];
        if (control.kind != ControlKind::Label && control.kind != ControlKind::PushButton) continue;
        ++checked;
        const std::wstring name(control.name, control.name + std::strlen(control.name));
        Check(font.height - wanted <= 1 && wanted - font.height <= 1 && font.face == metrics.lfMessageFont.lfFaceName,
              name + L" is in the message font made for 144 DPI, height " + std::to_wstring(wanted),
              font.face + L" " + std::to_wstring(font.height));
    }
    Check(checked == 4, L"both labels' and both buttons' fonts were read", std::to_wstring(checked));
    Shot(L"opened-at-144");
    program.ClickExit();
    ExpectEnd(program);
}
