// A WH_GETMESSAGE hook that the driver sets on the program's thread, to do
// what only the program's own process can: font handles mean nothing in
// another process, nor icon handles, a WM_DPICHANGED must carry a pointer
// the program can read, and Wine keeps the system's parameters per process.
// The driver posts kProbe to the installer's window:
//   wParam 0: writes, for each label, its font and the height its text
//             needs, and for each button the size of its caption, to the
//             file that CERTINSTALL_PROBE_OUT names;
//   wParam N: sends the window WM_DPICHANGED for N DPI, as Windows does
//             when the window moves to a monitor of that DPI;
//   wParam N, lParam 1: makes the message font N pixels high in the
//             program's process and sends the window the WM_SETTINGCHANGE
//             with which Windows announces a new text size;
//   lParam 2: writes the size of the window's big and small icons there.
// Test use only.
#include <windows.h>

#include <cstdio>

#include "app/Layout.h"
#include "platform/win32/Compat.h"
#include "platform/win32/FormWindow.h"
#include "tests/e2e/windows/probe/ProbeCommands.h"

namespace {

void Print(FILE* out, const wchar_t* text) {
    char bytes[256];
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    std::fputs(bytes, out);
}

// "label ID FACE|HEIGHT|NEEDED|HAS": the label's font, the height DrawText
// needs for its whole text at the label's width in that font, and the
// label's own height. "button ID FACE|HEIGHT|WIDTH|HEIGHT|HAS-WIDTH|HAS-HEIGHT":
// the button's font, its caption's size on one line and the button's size.
void Measure(HWND window) {
    wchar_t path[MAX_PATH];
    if (!GetEnvironmentVariableW(L"CERTINSTALL_PROBE_OUT", path, MAX_PATH)) return;
    FILE* out = _wfopen(path, L"w");
    if (!out) return;
    for (int index : {Label1, lblDesc, cmdNext, cmdExit}) {
        const bool label = kControls[index].kind == ControlKind::Label;
        HWND control = GetDlgItem(window, FormWindow::kFirstControlId + index);
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        LOGFONTW logical = {};
        GetObjectW(font, sizeof logical, &logical);
        wchar_t text[512] = L"";
        GetWindowTextW(control, text, 512);
        RECT has;
        GetClientRect(control, &has);
        RECT needed = {0, 0, label ? has.right : 0, 0};
        HDC dc = GetDC(control);
        HGDIOBJ old = SelectObject(dc, font);
        DrawTextW(dc, text, -1, &needed,
                  DT_CALCRECT | DT_NOPREFIX | (label ? DT_WORDBREAK | DT_EXPANDTABS | DT_LEFT : DT_SINGLELINE));
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        std::fprintf(out, "%s %d ", label ? "label" : "button", index);
        Print(out, logical.lfFaceName);
        if (label)
            std::fprintf(out, "|%ld|%ld|%ld\n", static_cast<long>(logical.lfHeight), static_cast<long>(needed.bottom),
                         static_cast<long>(has.bottom));
        else
            std::fprintf(out, "|%ld|%ld|%ld|%ld|%ld\n", static_cast<long>(logical.lfHeight),
                         static_cast<long>(needed.right), static_cast<long>(needed.bottom),
                         static_cast<long>(has.right), static_cast<long>(has.bottom));
    }
    std::fclose(out);
}

// Windows keeps the new font and tells every window; here only the program's
// process is told, which is all that reads it.
void SetMessageFont(HWND window, int height) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = -height;
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    SendMessageW(window, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, reinterpret_cast<LPARAM>(L"WindowMetrics"));
}

// "icons BIG SMALL": the side in pixels of the icon the window answers to
// WM_GETICON for ICON_BIG and ICON_SMALL, 0 where it has none of its own.
int IconSide(HWND window, WPARAM kind) {
    ICONINFO info = {};
    const auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, kind, 0));
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap = {};
    GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

void MeasureIcons(HWND window) {
    wchar_t path[MAX_PATH];
    if (!GetEnvironmentVariableW(L"CERTINSTALL_PROBE_OUT", path, MAX_PATH)) return;
    if (FILE* out = _wfopen(path, L"w")) {
        std::fprintf(out, "icons %d %d\n", IconSide(window, ICON_BIG), IconSide(window, ICON_SMALL));
        std::fclose(out);
    }
}

// The rectangle suggested is the window's, scaled from 96 DPI about its
// centre: on the way back to 96 a size other than the window's, as Windows
// before 10 1703 may suggest. Its centre keeps it on the screen the tests use.
void ChangeDpi(HWND window, int dpi) {
    RECT now;
    GetWindowRect(window, &now);
    const int width = MulDiv(now.right - now.left, dpi, 96), height = MulDiv(now.bottom - now.top, dpi, 96);
    const int left = (now.left + now.right - width) / 2, top = (now.top + now.bottom - height) / 2;
    RECT suggested = {left, top, left + width, top + height};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK WindowProbe(int code, WPARAM wparam, LPARAM lparam) {
    static const UINT probe = RegisterWindowMessageW(kProbeMessage);
    auto* message = reinterpret_cast<MSG*>(lparam);
    if (code == HC_ACTION && wparam == PM_REMOVE && message->message == probe) {
        if (message->lParam == kProbeMessageFont)
            SetMessageFont(message->hwnd, static_cast<int>(message->wParam));
        else if (message->lParam == kProbeIcons)
            MeasureIcons(message->hwnd);
        else if (message->wParam)
            ChangeDpi(message->hwnd, static_cast<int>(message->wParam));
        else
            Measure(message->hwnd);
        message->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
