// The Vista edition with the functions of the Windows the case names
// (CERTINSTALL_TEST_WINDOWS, which GuardHooks.dll hides the rest from): that
// Windows' own code, from the text size the user chose to the install.
#include "Scenarios.h"

#include <cstdio>
#include <cstdlib>

#include "Probe.h"
#include "app/Layout.h"

namespace {

// What GuardHooks.dll recorded of the program's run-time lookups and calls.
std::string Lookups() {
    std::string text;
    if (FILE* in = _wfopen((g_output + L"\\lookups.txt").c_str(), L"r")) {
        char line[256];
        while (std::fgets(line, sizeof line, in)) text += line;
        std::fclose(in);
    }
    return text;
}

// Waits for the window to be laid out anew, its client area other than before.
bool LaidOutAgain(Target& program, const RECT& before) {
    return WaitUntil(
        [&] {
            RECT client;
            GetClientRect(program.MainWindow(), &client);
            return !EqualRect(&client, &before);
        },
        5000);
}

// Dragged onto a monitor of that DPI, the window takes the rectangle Windows
// suggests from the size it answered, out of the work area as it is, and is
// fitted into the work area once let go.
void DragTo(Target& program, const Probe& probe, int dpi) {
    Note(L"dragged onto a monitor of " + std::to_wstring(dpi) + L" DPI");
    DeleteFileW(ProbeFile().c_str());
    probe.Drag(program.MainWindow(), dpi);
    long width = 0, height = 0;
    RECT went = {};
    WaitUntil(
        [&] {
            FILE* in = _wfopen(ProbeFile().c_str(), L"r");
            const bool read = in && std::fscanf(in, "drag %ld %ld %ld %ld %ld %ld", &width, &height, &went.left, &went.top,
                                                &went.right, &went.bottom) == 6;
            if (in) std::fclose(in);
            return read;
        },
        5000);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // Its height is the layout's client area in the frame Wine draws, which
    // Wine does not scale with the DPI as Windows 10 does: not compared.
    Check(went.left == work.right - width / 2 && went.top == work.top + 10 && went.right - went.left == width,
          L"while dragged it takes the rectangle suggested for the size it answered, " + std::to_wstring(width) + L" x " +
              std::to_wstring(height) + L", reaching out of the work area",
          Rect(went));
    ExpectWithinWorkArea(program.MainWindow());
    CheckTextsFit(program, probe, dpi, MessageFontHeight(dpi));
    CheckWindowIcons(program, dpi);
}

}  // namespace

void OnWindows() {
    wchar_t name[16] = L"10";
    GetEnvironmentVariableW(L"CERTINSTALL_TEST_WINDOWS", name, 16);
    const std::wstring windows = name;
    const bool beforeVista = windows == L"2000" || windows == L"xp";
    const bool perMonitor = windows == L"8.1" || windows.rfind(L"10", 0) == 0;
    Note(L"the functions of Windows " + windows);
    DecoyWindow decoy;
    Target program;
    std::optional<Probe> probe;
    if (!StartProbed(program, probe)) return;
    HWND main = program.MainWindow();
    const int dpi = ScreenDpi();
    CheckTextsFit(program, *probe, dpi, MessageFontHeight(dpi));
    CheckWindowIcons(program, dpi);

    RECT client, frame;
    GetClientRect(main, &client);
    GetWindowRect(main, &frame);
    probe->RaiseCaption(main, 12);
    Check(WaitUntil(
              [&] {
                  RECT now, outer;
                  GetClientRect(main, &now);
                  GetWindowRect(main, &outer);
                  return EqualRect(&now, &client) && outer.bottom - outer.top == frame.bottom - frame.top + 12;
              },
              5000),
          L"a title bar 12 px taller: the window grows by as much, its client area as the layout made it");
    // Wine keeps the metrics for the prefix's other programs.
    probe->RaiseCaption(main, -12);

    if (perMonitor) {
        Note(L"WM_DPICHANGED for 144 DPI");
        probe->Post(main, 144);
        Check(LaidOutAgain(program, client), L"WM_DPICHANGED lays the window out again");
        CheckTextsFit(program, *probe, 144, MessageFontHeight(144));
        CheckWindowIcons(program, 144);
        DragTo(program, *probe, 168);
        Shot(L"dragged-168");
        GetClientRect(main, &client);
        probe->Post(main, dpi);
        Check(LaidOutAgain(program, client), L"and back at " + std::to_wstring(dpi) + L" DPI");
    }
    BroughtForwardWhileShown(program, decoy);
    program.ClickNext();
    const MessageBoxSeen box = Outcome(program, kInstalled);
    Check(CopiesInRootStore(ExpectedCertificate()) == 1, L"Root holds the carried certificate once");
    program.Press(box.window, IDOK);
    ExpectEnd(program);

    const std::string lookups = Lookups();
    Check((lookups.find("called user32.dll!AllowSetForegroundWindow(ASFW_ANY)") != std::string::npos) == beforeVista,
          beforeVista ? L"it lets crypt32's question, another process's, come forward"
                      : L"it lets no other process take the foreground: the question is its own");
    const bool frameScales = windows.rfind(L"10", 0) == 0;
    Check((lookups.find("found user32.dll!EnableNonClientDpiScaling") != std::string::npos) == frameScales,
          frameScales ? L"its title bar follows the DPI (EnableNonClientDpiScaling)" : L"no frame scaling to ask for");
    Check((lookups.find("found comctl32.dll!LoadIconWithScaleDown") != std::string::npos) == !beforeVista,
          beforeVista ? L"its icons come from LoadImage, the only way there"
                      : L"its icons are shrunk from a larger image where the size is not drawn (LoadIconWithScaleDown)");
}
