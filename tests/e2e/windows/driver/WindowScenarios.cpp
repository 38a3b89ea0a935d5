#include "Scenarios.h"

#include <cstring>

#include "app/Layout.h"

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
    Shot(L"refused");
    program.Press(box.window, IDOK);
    ExpectEnd(program);
    Check(!everVisible, L"the window was never shown");
}

struct ExpectedControl {
    ControlName name;
    RECT rect;  // at 96 DPI, in the window's client area
    const wchar_t* type;
    DWORD style;  // the bits that must be set
    DWORD absent;  // the bits that must not be
};

void Layout() {
    Target program;
    if (!StartShown(program)) return;
    Check(program.BringToFront(), L"the window is in front");
    HWND main = program.MainWindow();
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    if (!Check(dpi == 96, L"the screen has 96 DPI", std::to_wstring(dpi))) return;

    RECT client;
    GetClientRect(main, &client);
    Check(client.right == 441 && client.bottom == 250, L"client area 441 x 250", Rect(client));
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

    const DWORD child = WS_CHILD | WS_VISIBLE;
    const ExpectedControl expected[] = {
        {Picture1, {8, 8, 433, 81}, L"Static", child | SS_OWNERDRAW, WS_TABSTOP | WS_BORDER},
        {cmdExit, {256, 216, 329, 241}, L"Button", child | WS_TABSTOP, BS_DEFPUSHBUTTON},
        {cmdNext, {112, 216, 177, 241}, L"Button", child | WS_TABSTOP, BS_DEFPUSHBUTTON},
        {Label1, {16, 168, 425, 209}, L"Static", child | SS_NOPREFIX, WS_TABSTOP | WS_BORDER | SS_TYPEMASK},
        {lblDesc, {16, 96, 425, 169}, L"Static", child | SS_NOPREFIX, WS_TABSTOP | WS_BORDER | SS_TYPEMASK},
    };
    for (const ExpectedControl& e : expected) {
        const ControlLayout& layout = kControls[e.name];
        const std::wstring name(layout.name, layout.name + std::strlen(layout.name));
        HWND control = program.Control(e.name);
        if (!Check(control != nullptr, name + L" exists")) continue;
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        Check(EqualRect(&r, &e.rect) != FALSE, name + L" at " + Rect(e.rect), Rect(r));
        wchar_t type[32] = L"", text[512] = L"";
        GetClassNameW(control, type, 32);
        GetWindowTextW(control, text, 512);
        Check(std::wstring(type) == e.type, name + L" is a " + e.type, type);
        const std::wstring wanted = layout.caption ? layout.caption : L"";
        Check(text == wanted, name + L" reads \"" + wanted + L"\"", text);
        const DWORD s = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
        // SS_LEFT is 0, so for the labels "absent" includes the type bits.
        Check((s & e.style) == e.style && !(s & e.absent), name + L" style", Hex(s));
    }
    const LRESULT defId = SendMessageW(main, DM_GETDEFID, 0, 0);
    Check(HIWORD(defId) != DC_HASDEFID, L"the window has no default button", Hex(static_cast<unsigned long>(defId)));

    // The separator: mid grey over light grey, 424 pixels from x = 8.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    ExpectPixels(main, 8, 87, 431, 87, RGB(192, 192, 192), L"Line1 (8..431, 87)");
    ExpectPixels(main, 8, 88, 431, 88, RGB(224, 224, 224), L"Line2 (8..431, 88)");
    ExpectPixels(main, 432, 87, 432, 88, face, L"the lines stop before x = 432:");
    // The 424 x 72 banner leaves the box's last column and row to its background.
    ExpectPixels(main, 432, 8, 432, 80, face, L"Picture1's last column");
    ExpectPixels(main, 8, 80, 432, 80, face, L"Picture1's last row");
    HDC dc = GetDC(nullptr);
    POINT corner = {8 + 423, 8 + 71};
    ClientToScreen(main, &corner);
    Check(GetPixel(dc, corner.x, corner.y) != face, L"the banner covers (431, 79)");
    ReleaseDC(nullptr, dc);
    Shot(L"layout");

    program.ClickExit();
    ExpectEnd(program);
}

