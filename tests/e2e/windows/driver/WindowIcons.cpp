// The Vista edition's own icons: WM_SETICON's big and small icon at the
// sizes Windows draws at the window's DPI, loaded from the images drawn for
// those sizes.
#include "Scenarios.h"

#include "tests/e2e/windows/probe/ProbeCommands.h"

#include <cstdio>

namespace {

// SM_CXICON and SM_CXSMICON at the DPIs the cases run at.
struct Sizes {
    int dpi, bigPx, smallPx;
};
constexpr Sizes kSizes[] = {{96, 32, 16}, {144, 48, 24}};

}  // namespace

// Wine keeps icons per process: it answers another process's WM_GETICON with
// no icon (measured), and an icon's bitmaps mean nothing elsewhere.
// WindowProbe.dll, hooked on the program's thread by the caller, reads them
// from inside.
void CheckWindowIcons(Target& program, int dpi) {
    const Sizes* wanted = nullptr;
    for (const Sizes& s : kSizes)
        if (s.dpi == dpi) wanted = &s;
    if (!wanted) {
        Check(false, L"the icons' sizes are known at the DPI", std::to_wstring(dpi));
        return;
    }

    wchar_t path[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"CERTINSTALL_PROBE_OUT", path, MAX_PATH);
    DeleteFileW(path);
    PostMessageW(program.MainWindow(), RegisterWindowMessageW(kProbeMessage), 0, kProbeIcons);
    int bigPx = -1, smallPx = -1;
    WaitUntil(
        [&] {
            FILE* in = _wfopen(path, L"r");
            if (!in) return false;
            const bool read = std::fscanf(in, "icons %d %d", &bigPx, &smallPx) == 2;
            std::fclose(in);
            return read;
        },
        5000);
    const std::wstring seen = L"big " + std::to_wstring(bigPx) + L", small " + std::to_wstring(smallPx) + L" px";
    Note(L"the window's icons at " + std::to_wstring(dpi) + L" DPI: " + seen);
    Check(bigPx == wanted->bigPx && smallPx == wanted->smallPx,
          L"the window sets its big and small icons at " + std::to_wstring(wanted->bigPx) + L" and " +
              std::to_wstring(wanted->smallPx) + L" px",
          seen);
}
