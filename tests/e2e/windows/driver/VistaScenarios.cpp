#include "Scenarios.h"

#include <aclapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/Layout.h"

namespace {

// WindowProbe.dll's hook on the program's thread, for as long as this lives.
class Probe {
public:
    explicit Probe(const Target& program)
        : hook_(L"WindowProbe.dll", "WindowProbe", WH_GETMESSAGE, program.ThreadId()) {}

    bool Ready() const { return hook_.Set(); }
    // 0: measure the labels; a DPI: send the window WM_DPICHANGED for it.
    void Post(HWND window, int dpi) const {
        PostMessageW(window, RegisterWindowMessageW(L"CertInstallTest.Probe"), static_cast<WPARAM>(dpi), 0);
    }

private:
    DllHook hook_;
};

std::wstring ProbeFile() {
    return g_output + L"\\probe.txt";
}

// Before the program starts: it inherits where the probe writes.
void NameProbeFile() {
    SetEnvironmentVariableW(L"CERTINSTALL_PROBE_OUT", ProbeFile().c_str());
    DeleteFileW(ProbeFile().c_str());
}

std::wstring Wide(const char* utf8) {
    wchar_t text[256] = L"";
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text, 256);
    return text;
}

// Both labels are in the system's message font at the DPI, and each needs
// no more height for its whole text, in that font at its width, than it has.
void CheckLabelFonts(Target& program, const Probe& probe, int dpi) {
    DeleteFileW(ProbeFile().c_str());
    probe.Post(program.MainWindow(), 0);
    int lines = 0;
    char line[2][512] = {};
    WaitUntil(
        [&] {
            lines = 0;
            if (FILE* in = _wfopen(ProbeFile().c_str(), L"r")) {
                while (lines < 2 && std::fgets(line[lines], sizeof line[0], in)) ++lines;
                std::fclose(in);
            }
            return lines == 2;
        },
        5000);
    if (!Check(lines == 2, L"the probe measured both labels", std::to_wstring(lines) + L" lines")) return;

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const LONG wanted = MulDiv(metrics.lfMessageFont.lfHeight, dpi, ScreenDpi());
    for (const char* text : line) {
        int index = 0;
        char face[128] = "";
        long height = 0, needed = 0, has = 0;
        if (!Check(std::sscanf(text, "label %d %127[^|]|%ld|%ld|%ld", &index, face, &height, &needed, &has) == 5,
                   L"the probe's line reads", Wide(text)))
            continue;
        const char* ascii = kControls[index].name;
        const std::wstring name(ascii, ascii + std::strlen(ascii));
        Note(name + L": " + Wide(face) + L" " + std::to_wstring(height) + L" px, its text needs " +
             std::to_wstring(needed) + L" of " + std::to_wstring(has) + L" pixels");
        Check(Wide(face) == metrics.lfMessageFont.lfFaceName,
              name + L" is in the system's message font " + metrics.lfMessageFont.lfFaceName, Wide(face));
        Check(std::labs(height - wanted) <= 1, name + L"'s font is sized for " + std::to_wstring(dpi) + L" DPI",
              L"height " + std::to_wstring(height) + L", wanted " + std::to_wstring(wanted));
        Check(needed <= has, name + L": every line of its text is visible", std::to_wstring(needed) +
              L" pixels needed, " + std::to_wstring(has) + L" there");
    }
}

}  // namespace

// The Vista edition's window at the screen's DPI: the design's layout, in
// the system's message font, every line of both texts visible.
void ThemedLayout() {
    NameProbeFile();
    Target program;
    if (!StartShown(program)) return;
    Check(program.BringToFront(), L"the window is in front");
    const Probe probe(program);
    if (!Check(probe.Ready(), L"the probe hooks the program's thread")) return;
    CheckLayout(program, ScreenDpi());
    CheckLabelFonts(program, probe, ScreenDpi());
    CheckWindowIcons(program, ScreenDpi());
    Shot(L"layout");
    program.ClickExit();
    ExpectEnd(program);
}

namespace {

// Sends the window WM_DPICHANGED for a DPI and checks it is laid out anew.
void MoveToDpi(Target& program, const Probe& probe, int dpi) {
    Note(L"WM_DPICHANGED for " + std::to_wstring(dpi) + L" DPI");
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
    Check(program.BringToFront(), L"the window is in front");
    Check(WaitPainted(program.MainWindow()), L"the window is painted again");
    CheckLayout(program, dpi);
    CheckLabelFonts(program, probe, dpi);
    CheckWindowIcons(program, dpi);
}

}  // namespace

// Moved to a monitor of 144 DPI and back (WM_DPICHANGED, sent from inside
// the program as Windows sends it): client size, every control, the fonts
// and the banner follow, as the design lays them out at each DPI.
void DpiChanged() {
    NameProbeFile();
    Target program;
    if (!StartShown(program)) return;
    const Probe probe(program);
    if (!Check(probe.Ready(), L"the probe hooks the program's thread")) return;
    Check(ScreenDpi() == 96, L"the window starts at 96 DPI", std::to_wstring(ScreenDpi()));
    MoveToDpi(program, probe, 144);
    Shot(L"dpi-changed");
    MoveToDpi(program, probe, 96);
    Shot(L"dpi-changed-back");
    program.ClickExit();
    ExpectEnd(program);
}

// A user of Windows 10 starts the classic, reads its box and starts this
// edition with the box still up: its window appears; it is not taken for a
// second start of the classic.
void AfterRefusal() {
    const std::wstring classic = g_exe.substr(0, g_exe.find_last_of(L'\\') + 1) + L"CertInstall.exe";
    Target refusing;
    if (!Check(refusing.Start(classic), L"the classic starts", classic)) return;
    MessageBoxSeen box;
    if (!Check(refusing.WaitForMessageBox(box), L"the classic shows its box")) return;
    ExpectBox(box, L"windows 版本错误，请使用 证书安装 vista版本", L"操作系统版本错误", {IDOK});
    Target program;
    if (StartShown(program)) {
        Shot(L"after-refusal");
        program.ClickExit();
        ExpectEnd(program);
    }
    refusing.Press(box.window, IDOK);
    ExpectEnd(refusing);
}

// Wine's crypt32 asks nothing before it adds to Root, so Next goes straight
// to the outcome. A second run finds the root trusted: no question, one copy.
void InstalledSilently() {
    const std::vector<BYTE> carried = ExpectedCertificate();
    Check(!carried.empty() && CopiesInRootStore(carried) == 0, L"Root does not hold it before");
    for (const wchar_t* run : {L"", L"second-"}) {
        if (*run) Note(L"second run");
        Target program;
        if (!StartShown(program)) return;
        if (!*run) Shot(L"window");
        program.ClickNext();
        const MessageBoxSeen box = Outcome(program, kInstalled);
        Shot((std::wstring(run) + L"installed").c_str());
        const int copies = CopiesInRootStore(carried);
        Check(copies == 1, L"Root holds the carried certificate once, byte for byte",
              std::to_wstring(copies) + L" copies");
        program.Press(box.window, IDOK);
        ExpectEnd(program);
    }
}

// The user's Root lives in the registry: with its key closed to writing,
// crypt32 keeps the root in memory and cannot save it, so it is not there
// when the program looks. The program says so: cancelled, Root unchanged.
void RootUnwritable() {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\SystemCertificates\\Root\\Certificates", 0,
                    nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    EXPLICIT_ACCESSW rules[2] = {};
    BuildExplicitAccessWithNameW(&rules[0], const_cast<wchar_t*>(L"EVERYONE"), KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
                                 DENY_ACCESS, NO_INHERITANCE);
    BuildExplicitAccessWithNameW(&rules[1], const_cast<wchar_t*>(L"EVERYONE"), KEY_READ, GRANT_ACCESS,
                                 NO_INHERITANCE);
    PACL acl = nullptr;
    const DWORD made = SetEntriesInAclW(2, rules, nullptr, &acl);
    const DWORD set = made == ERROR_SUCCESS && key ? SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION,
                                                                     nullptr, nullptr, acl, nullptr)
                                                   : made;
    LocalFree(acl);
    if (key) RegCloseKey(key);
    if (!Check(set == ERROR_SUCCESS, L"Root's registry key refuses writing", Hex(set))) return;

    const std::vector<BYTE> carried = ExpectedCertificate();
    Target program;
    if (!StartShown(program)) return;
    program.ClickNext();
    const MessageBoxSeen box = Outcome(program, kCancelled);
    Shot(L"cancelled");
    Check(CopiesInRootStore(carried) == 0, L"Root is unchanged");
    program.Press(box.window, IDOK);
    ExpectEnd(program);
}
