#include "Scenarios.h"

#include <cstring>
#include <iterator>

#include "Probe.h"
#include "app/Layout.h"
#include "platform/win32/WindowClasses.h"

void Exit() {
    Target program;
    if (!StartShown(program)) return;
    Shot(L"window");
    program.ClickExit();
    ExpectEnd(program);
}

void Close() {
    Target program;
    if (!StartShown(program)) return;
    program.CloseFromFrame();
    ExpectEnd(program);
}

void Keys() {
    Target program;
    if (!StartShown(program)) return;
    Check(program.BringToFront(), L"the window is in front");
    program.Key(VK_ESCAPE);
    program.Key(VK_TAB);
    Check(WaitUntil([&] { return program.FocusedWindow() == program.Control(cmdExit); }, 5000),
          L"Tab moves the focus to Exit");
    Check(program.MainVisible() && program.MessageBoxes().empty(), L"Escape did nothing");
    program.Key(VK_RETURN);  // presses the focused button: Exit
    ExpectEnd(program);
}

void Refused() {
    NoteWindowsVersion();
    Target program;
    if (!Check(program.Start(g_exe), L"the program starts", g_exe)) return;
    bool everVisible = false;
    const bool boxSeen = WaitUntil(
        [&] {
            everVisible = everVisible || program.MainVisible();
            return !program.MessageBoxes().empty();
        },
        20000);
    if (!Check(boxSeen, L"a message box appears")) return;
    MessageBoxSeen box;
    program.WaitForMessageBox(box, 0);
    ExpectBox(box, L"windows 版本错误，请使用 证书安装 vista版本", L"操作系统版本错误", {IDOK});
    // Not topmost: the user it sends to the Vista edition starts that with
    // the box still up, and its window must come above the box.
    ExpectInFrontUnowned(box.window, false);
    Shot(L"refused");
    program.Press(box.window, IDOK);
    ExpectEnd(program);
    Check(!everVisible, L"the window was never shown");
}

namespace {

struct ExpectedControl {
    ControlName name;
    const wchar_t* type;
    DWORD style;   // the bits that must be set
    DWORD absent;  // the bits that must not be
};

const DWORD kChild = WS_CHILD | WS_VISIBLE;
const ExpectedControl kExpected[] = {
    {Picture1, L"Static", kChild | SS_OWNERDRAW, WS_TABSTOP | WS_BORDER},
    {cmdExit, L"Button", kChild | WS_TABSTOP, BS_DEFPUSHBUTTON},
    {cmdNext, L"Button", kChild | WS_TABSTOP, BS_DEFPUSHBUTTON},
    {Label1, L"Static", kChild | SS_NOPREFIX, WS_TABSTOP | WS_BORDER | SS_TYPEMASK},
    {lblDesc, L"Static", kChild | SS_NOPREFIX, WS_TABSTOP | WS_BORDER | SS_TYPEMASK},
};

// The layout in pixels at one DPI, worked out by hand from the design's
// twips (rounded to the nearest pixel, property by property).
struct PixelLayout {
    int dpi;
    SIZE client;
    RECT controls[5];  // in the order of kExpected, in client coordinates
    int lineX, lineWidth, line1Y, line2Y;
    SIZE banner;  // the picture as drawn: its box less a one-pixel strip
};

const PixelLayout kLayouts[] = {
    {96, {441, 250},
     {{8, 8, 433, 81}, {256, 216, 329, 241}, {112, 216, 177, 241}, {16, 168, 425, 209}, {16, 96, 425, 169}},
     8, 424, 87, 88, {424, 72}},
    {120, {551, 313},
     {{10, 10, 541, 101}, {320, 270, 411, 301}, {140, 270, 221, 301}, {20, 210, 531, 261}, {20, 120, 531, 211}},
     10, 530, 109, 110, {530, 90}},
    {144, {662, 375},
     {{12, 12, 650, 122}, {384, 324, 494, 362}, {168, 324, 266, 362}, {24, 252, 638, 314}, {24, 144, 638, 254}},
     12, 636, 131, 132, {637, 109}},
};

std::wstring Name(ControlName control) {
    const char* name = kControls[control].name;
    return std::wstring(name, name + std::strlen(name));
}

RECT RectIn(HWND main, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

// The window as the design lays it out at a DPI (96, 120 or 144): client
// size, every control's rectangle, class, style and text, no label over a
// button, the separator's pixels and the banner's size and strip.
void CheckLayout(Target& program, int dpi) {
    HWND main = program.MainWindow();
    const PixelLayout* layout = nullptr;
    for (const PixelLayout& l : kLayouts)
        if (l.dpi == dpi) layout = &l;
    if (!Check(layout != nullptr, L"the window is laid out at 96, 120 or 144 DPI", std::to_wstring(dpi))) return;
    Note(L"DPI " + std::to_wstring(dpi));

    RECT client;
    GetClientRect(main, &client);
    Check(client.right == layout->client.cx && client.bottom == layout->client.cy,
          L"client area " + std::to_wstring(layout->client.cx) + L" x " + std::to_wstring(layout->client.cy),
          Rect(client));
    wchar_t caption[64] = L"";
    GetWindowTextW(main, caption, 64);
    Check(std::wstring(caption) == L"证书安装工具", L"caption 证书安装工具", caption);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(main, GWL_STYLE));
    Check((style & (WS_CAPTION | WS_SYSMENU)) == (WS_CAPTION | WS_SYSMENU) &&
              !(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)),
          L"fixed frame, close box, no minimize or maximize box", Hex(style));
    // The icon is not checked here: Wine keeps icons and classes per process
    // and answers no other process about them. The resources of the built exe
    // are checked instead, and the screenshot shows the icon in the title bar.

    for (std::size_t i = 0; i < std::size(kExpected); ++i) {
        const ExpectedControl& e = kExpected[i];
        const ControlLayout& design = kControls[e.name];
        const std::wstring name = Name(e.name);
        HWND control = program.Control(e.name);
        if (!Check(control != nullptr, name + L" exists")) continue;
        const RECT r = RectIn(main, control);
        Check(EqualRect(&r, &layout->controls[i]) != FALSE, name + L" at " + Rect(layout->controls[i]), Rect(r));
        wchar_t type[32] = L"", text[512] = L"";
        GetClassNameW(control, type, 32);
        GetWindowTextW(control, text, 512);
        Check(std::wstring(type) == e.type, name + L" is a " + e.type, type);
        const std::wstring wanted = design.caption ? design.caption : L"";
        Check(text == wanted, name + L" reads \"" + wanted + L"\"", text);
        const DWORD s = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
        // SS_LEFT is 0, so for the labels "absent" includes the type bits.
        Check((s & e.style) == e.style && !(s & e.absent), name + L" style", Hex(s));
    }
    for (ControlName label : {Label1, lblDesc}) {
        for (ControlName button : {cmdNext, cmdExit}) {
            const RECT a = RectIn(main, program.Control(label)), b = RectIn(main, program.Control(button));
            RECT overlap;
            Check(!IntersectRect(&overlap, &a, &b), Name(label) + L" clear of " + Name(button), Rect(overlap));
        }
    }
    DWORD_PTR defId = 0;
    const bool answered = SendMessageTimeoutW(main, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 5000, &defId) != 0;
    Check(answered && HIWORD(defId) != DC_HASDEFID, L"the window has no default button",
          answered ? Hex(static_cast<unsigned long>(defId)) : L"no answer to DM_GETDEFID within 5 s");

    // The separator: mid grey over light grey, from lineX for lineWidth pixels.
    const int x0 = layout->lineX, x1 = layout->lineX + layout->lineWidth - 1;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    ExpectPixels(main, x0, layout->line1Y, x1, layout->line1Y, RGB(192, 192, 192), L"Line1");
    ExpectPixels(main, x0, layout->line2Y, x1, layout->line2Y, RGB(224, 224, 224), L"Line2");
    ExpectPixels(main, x1 + 1, layout->line1Y, x1 + 1, layout->line2Y, face, L"the lines stop at their end:");
    // The banner fills its box but for the last column and row.
    const RECT box = layout->controls[0];
    const int right = box.left + layout->banner.cx, bottom = box.top + layout->banner.cy;
    Note(L"banner drawn " + std::to_wstring(layout->banner.cx) + L" x " + std::to_wstring(layout->banner.cy) +
         L" in a box of " + std::to_wstring(box.right - box.left) + L" x " + std::to_wstring(box.bottom - box.top));
    ExpectPixels(main, right, box.top, right, box.bottom - 1, face, L"Picture1's last column");
    ExpectPixels(main, box.left, bottom, box.right - 1, bottom, face, L"Picture1's last row");
    Check(PixelAt(main, right - 1, bottom - 1) != face,
          L"the banner covers (" + std::to_wstring(right - 1) + L", " + std::to_wstring(bottom - 1) + L")");
}

// The layout at the screen's DPI, and read as a screen reader reads it; the
// Vista edition's in the system's message font, every line of both texts
// visible, and with its icons of the DPI's sizes.
void Layout() {
    Target program;
    std::optional<Probe> probe;
    if (!StartProbed(program, probe)) return;
    CheckLayout(program, ScreenDpi());
    CheckAccessible(program);
    if (WindowClassOf(g_exe) == kVistaWindowClass) {
        CheckTextsFit(program, *probe, ScreenDpi(), FontHeight(ScreenDpi()));
        CheckWindowIcons(program, ScreenDpi());
    }
    Shot(L"layout");
    program.ClickExit();
    ExpectEnd(program);
    Check(program.DialogEvents() == L" start end", L"screen readers were told the dialog ended as it went",
          program.DialogEvents());
}
