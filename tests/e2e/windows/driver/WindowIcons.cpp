// The Vista edition's own icons: WM_SETICON's big and small icon at the
// sizes Windows draws at the window's DPI, loaded from the images drawn for
// those sizes.
#include "Scenarios.h"

#include "tests/e2e/windows/probe/ProbeCommands.h"

#include <cstdio>

// Wine keeps icons per process: it answers another process's WM_GETICON with
// no icon (measured), and an icon's bitmaps mean nothing elsewhere.
// WindowProbe.dll, hooked on the program's thread by the caller, reads them
// from inside.
void CheckWindowIcons(Target& program, int dpi) {
    // SM_CXICON and SM_CXSMICON: 32 and 16 px at 96 DPI, and in proportion.
    const int wantedBig = MulDiv(32, dpi, 96), wantedSmall = MulDiv(16, dpi, 96);

    wchar_t path[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"CERTINSTALL_PROBE_OUT", path, MAX_PATH);
    DeleteFileW(path);
    PostMessageW(program.MainWindow(), RegisterWindowMessageW(kProbeMessage), 0, kProbeIcons);
    int bigPx = -1, smallPx = -1;
    WaitUntil([&] { return std::sscanf(FileText(path).c_str(), "icons %d %d", &bigPx, &smallPx) == 2; }, 5000);
    const std::wstring seen = L"big " + std::to_wstring(bigPx) + L", small " + std::to_wstring(smallPx) + L" px";
    Note(L"the window's icons at " + std::to_wstring(dpi) + L" DPI: " + seen);
    Check(bigPx == wantedBig && smallPx == wantedSmall,
          L"the window sets its big and small icons at " + std::to_wstring(wantedBig) + L" and " +
              std::to_wstring(wantedSmall) + L" px",
          seen);
}
