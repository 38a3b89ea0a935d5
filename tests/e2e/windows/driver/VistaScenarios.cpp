#include "Scenarios.h"

#include <aclapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/Layout.h"
#include "app/WindowLayout.h"
#include "tests/e2e/windows/probe/ProbeCommands.h"

namespace {

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

private:
    void Send(HWND window, int wparam, int lparam) const {
        PostMessageW(window, RegisterWindowMessageW(kProbeMessage), static_cast<WPARAM>(wparam), lparam);
    }

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

// The message font's height in pixels at a DPI, as this process reads it
// from the prefix (the program reads the same unless told otherwise).
LONG MessageFontHeight(int dpi) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return MulDiv(metrics.lfMessageFont.lfHeight, dpi, ScreenDpi());
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
    CheckTextsFit(program, probe, ScreenDpi(), MessageFontHeight(ScreenDpi()));
    CheckWindowIcons(program, ScreenDpi());
    Shot(L"layout");
    program.ClickExit();
    ExpectEnd(program);
}

namespace {

// Sends the window WM_DPICHANGED for a DPI and checks it is laid out anew.
void MoveToDpi(Target& program, const Probe& probe, int dpi) {
    Note(L"WM_DPICHANGED for " + std::to_wstring(dpi) + L" DPI");
    // The probe suggests the window's rectangle scaled about its middle.
    RECT before;
    GetWindowRect(program.MainWindow(), &before);
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
    RECT after;
    GetWindowRect(program.MainWindow(), &after);
    Check(std::labs((after.left + after.right) - (before.left + before.right)) <= 1 &&
              std::labs((after.top + after.bottom) - (before.top + before.bottom)) <= 1,
          L"the window stays centred where the suggested rectangle is", Rect(before) + L" became " + Rect(after));
    Check(program.BringToFront(), L"the window is in front");
    Check(WaitPainted(program.MainWindow()), L"the window is painted again");
    CheckLayout(program, dpi);
    CheckTextsFit(program, probe, dpi, MessageFontHeight(dpi));
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

namespace {

// No two controls overlap, each lies within the client area, and the window
// within the work area: every text readable, both buttons reachable.
void CheckArrangement(Target& program, int dpi) {
    HWND main = program.MainWindow();
    RECT client;
    GetClientRect(main, &client);
    Note(L"client area " + std::to_wstring(client.right) + L" x " + std::to_wstring(client.bottom));
    RECT boxes[kControlCount] = {};
    for (int i = 0; i < kControlCount; ++i) {
        if (kControls[i].kind == ControlKind::Line) continue;
        const char* ascii = kControls[i].name;
        const std::wstring name(ascii, ascii + std::strlen(ascii));
        HWND control = program.Control(i);
        if (!Check(control != nullptr, name + L" exists")) continue;
        GetWindowRect(control, &boxes[i]);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&boxes[i]), 2);
        RECT inside;
        IntersectRect(&inside, &boxes[i], &client);
        Check(EqualRect(&inside, &boxes[i]) != FALSE, name + L" lies within the client area", Rect(boxes[i]));
        // The design's own boxes overlap by a pixel (lblDesc reaches into
        // Label1), which the text, ending above, never fills: no more than that.
        for (int j = 0; j < i; ++j) {
            RECT both, design;
            if (kControls[j].kind == ControlKind::Line || !IntersectRect(&both, &boxes[i], &boxes[j])) continue;
            const PixelBox a = ToPixels(kControls[i], dpi, dpi), b = ToPixels(kControls[j], dpi, dpi);
            const RECT da = {a.x, a.y, a.x + a.width, a.y + a.height}, db = {b.x, b.y, b.x + b.width, b.y + b.height};
            const bool asDesigned = IntersectRect(&design, &da, &db) && both.bottom - both.top <= design.bottom - design.top;
            Check(asDesigned, name + L" overlaps " + std::wstring(kControls[j].name, kControls[j].name +
                                                                 std::strlen(kControls[j].name)) + L" no more than designed",
                  Rect(both));
        }
    }
    ExpectWithinWorkArea(main);
}

}  // namespace

// The text size the user chose, set in the prefix (Windows 10's "Make text
// bigger", the message font of older ones), perhaps in a font with taller
// lines than Wine's: every text fits its control, nothing overlaps, and the
// window stays within the work area. Then the user picks 100 % while the
// window shows, and it is laid out again for that.
void TextSize() {
    NameProbeFile();
    Target program;
    if (!StartShown(program)) return;
    Check(program.BringToFront(), L"the window is in front");
    const Probe probe(program);
    if (!Check(probe.Ready(), L"the probe hooks the program's thread")) return;
    const int dpi = ScreenDpi();
    Note(L"message font " + MessageFontFace() + L", " + std::to_wstring(-MessageFontHeight(dpi)) + L" px at " +
         std::to_wstring(dpi) + L" DPI");
    CheckTextsFit(program, probe, dpi, MessageFontHeight(dpi));
    CheckArrangement(program, dpi);
    // Where the case says the design's width cannot hold the text within the
    // work area's height, the window must have widened.
    wchar_t expect[16] = L"";
    GetEnvironmentVariableW(L"CERTINSTALL_EXPECT", expect, 16);
    if (std::wstring(expect) == L"widened") {
        RECT client;
        GetClientRect(program.MainWindow(), &client);
        Check(client.right > TwipsToPixels(kWindow.clientWidth, dpi), L"the window widened to fit the work area",
              L"client area " + std::to_wstring(client.right) + L" wide");
    }
    Shot(L"text-size");

    RECT before;
    GetClientRect(program.MainWindow(), &before);
    const int standard = MulDiv(12, dpi, 96);
    Note(L"the user makes the text " + std::to_wstring(standard) + L" px, 100 %");
    probe.SetMessageFont(program.MainWindow(), standard);
    Check(WaitUntil(
              [&] {
                  RECT client;
                  GetClientRect(program.MainWindow(), &client);
                  return client.bottom < before.bottom;
              },
              5000),
          L"the window is laid out again, smaller");
    Check(WaitPainted(program.MainWindow()), L"the window is painted again");
    CheckTextsFit(program, probe, dpi, -standard);
    CheckArrangement(program, dpi);
    Shot(L"text-size-100");
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
