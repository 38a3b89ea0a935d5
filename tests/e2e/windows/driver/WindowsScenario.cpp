// The Vista edition with the functions of the Windows the case names
// (CERTINSTALL_TEST_WINDOWS, which GuardHooks.dll hides the rest from): that
// Windows' own code, from the text size the user chose to the install.
#include "Scenarios.h"

#include <cstdio>

#include "Probe.h"

namespace {

// Dragged onto a monitor of that DPI, the window goes to the corner of the
// rectangle suggested (from 10 1703 on as wide as the window answered),
// reaching out of the work area, and is fitted into it once let go. Its
// height, in the frame Wine does not scale with the DPI, is not compared.
void DragTo(Target& program, const Probe& probe, int from, int dpi) {
    DeleteFileW(ProbeFile().c_str());
    probe.Drag(program.MainWindow(), from, dpi);
    long width = 0, height = 0;
    int asked = 0;
    RECT went = {}, work;
    WaitUntil([&] {
        return std::sscanf(FileText(ProbeFile()).c_str(), "drag %ld %ld %ld %ld %ld %ld %d", &width, &height, &went.left,
                           &went.top, &went.right, &went.bottom, &asked) == 7;
    }, 5000);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    Check(went.left == work.right - width / 2 && went.top == work.top + 10 && (!asked || went.right - went.left == width),
          L"dragged onto " + std::to_wstring(dpi) + L" DPI, it goes to the corner of the rectangle suggested" +
              (asked ? L" for the size it answered, " + std::to_wstring(width) + L" wide," : L"") + L" out of the work area",
          Rect(went));
    ExpectWithinWorkArea(program.MainWindow());
    Check(WaitPainted(program.MainWindow()), L"the window is painted again");
    CheckTextsFit(program, probe, dpi, FontHeight(dpi));
    CheckWindowIcons(program, dpi);
}

}  // namespace

void OnWindows() {
    wchar_t name[16] = L"10";
    GetEnvironmentVariableW(L"CERTINSTALL_TEST_WINDOWS", name, 16);
    const std::wstring windows = name;
    const bool beforeVista = windows == L"2000" || windows == L"xp", since1607 = windows.rfind(L"10", 0) == 0;
    // Per-monitor DPI, and so WM_DPICHANGED, came with 8.1.
    const bool perMonitor = windows == L"8.1" || since1607;
    Note(L"the functions of Windows " + windows);
    DecoyWindow decoy;
    Target program;
    std::optional<Probe> probe;
    if (!StartProbed(program, probe)) return;
    HWND main = program.MainWindow();
    const int dpi = ScreenDpi();
    CheckTextsFit(program, *probe, dpi, FontHeight(dpi));
    CheckWindowIcons(program, dpi);

    RECT client, frame;
    GetClientRect(main, &client);
    GetWindowRect(main, &frame);
    probe->RaiseCaption(main, 12);
    RECT now, raised;
    const bool grew = Resized(main, frame);
    GetClientRect(main, &now);
    GetWindowRect(main, &raised);
    Check(grew && EqualRect(&now, &client) && raised.bottom - raised.top == frame.bottom - frame.top + 12,
          L"a title bar 12 px taller: the window grows by as much, its client area as the layout made it");
    // Wine keeps the title bar for the prefix's other programs: back as it was.
    probe->RaiseCaption(main, -12);
    Resized(main, raised);
    if (perMonitor) {
        MoveToDpi(program, *probe, 144);
        DragTo(program, *probe, 144, 168);
        Shot(L"dragged-168");
        probe->Post(main, dpi);
    }
    BroughtForwardWhileShown(program, decoy);
    program.ClickNext();
    EndWithOutcome(program, kInstalled);

    // What GuardHooks.dll recorded of the program's lookups and calls.
    const std::string seen = FileText(g_output + L"\\lookups.txt");
    const auto has = [&](const char* line) { return seen.find(line) != std::string::npos; };
    Check(has("called AllowSetForegroundWindow(ASFW_ANY)") == beforeVista,
          beforeVista ? L"it lets crypt32's question, another process's, come forward"
                      : L"it lets no other process take the foreground: the question is its own");
    Check(has("found user32.dll!EnableNonClientDpiScaling") == since1607,
          since1607 ? L"its title bar follows the DPI (EnableNonClientDpiScaling)" : L"no frame scaling to ask for");
    Check(has("found comctl32.dll!LoadIconWithScaleDown") == !beforeVista,
          beforeVista ? L"its icons come from LoadImage, the only way there"
                      : L"its icons are shrunk from a larger image where the size is not drawn (LoadIconWithScaleDown)");
}
