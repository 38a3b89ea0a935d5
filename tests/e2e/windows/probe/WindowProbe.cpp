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
//   lParam 2: writes the size of the window's big and small icons there;
//   wParam N, lParam 3: makes the title bar N pixels taller, the message font
//             as it was, and has Windows reckon the window's frame anew;
//   wParam 1, 2 or 0, lParam 4: High Contrast White, Black, or high contrast
//             off, as the user switches while the window shows;
//   wParam N, lParam 5: drags the window onto a monitor of N DPI, as Windows
//             10 1703 and later tell it, and writes where it went.
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
// The broadcast is the plainest one, "a setting changed": which one each
// Windows' settings page sends is not for the program to rely on.
// The system's metrics, changed as the user would.
template <class Change>
void ChangeMetrics(Change change) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    change(metrics);
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
}

void SetMessageFont(HWND window, int height) {
    ChangeMetrics([&](NONCLIENTMETRICSW& metrics) { metrics.lfMessageFont.lfHeight = -height; });
    // Windows 10's text size goes back to 100 % with it.
    const DWORD factor = 100;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Accessibility", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegSetValueExW(key, L"TextScaleFactor", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&factor), sizeof factor);
        RegCloseKey(key);
    }
    SendMessageW(window, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"WindowMetrics"));
}

// 8.1's "Change only the text size" for title bars, or a theme with another
// frame: the message font stays, the frame grows around the window.
void RaiseCaption(HWND window, int pixels) {
    ChangeMetrics([&](NONCLIENTMETRICSW& metrics) { metrics.iCaptionHeight += pixels; });
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// High Contrast White (1) or Black (2), as the user switches while the
// window shows, or high contrast off (0), the colours left as they are.
// Wine keeps the colours for the prefix's other programs: a case ends in the
// scheme it began with. GuardHooks.dll answers the flag from the environment.
void SetContrast(HWND window, int scheme) {
    const int elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT};
    const COLORREF white[] = {RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0)};
    const COLORREF black[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255)};
    SetEnvironmentVariableW(L"CERTINSTALL_TEST_HIGH_CONTRAST", scheme ? L"1" : L"0");
    if (scheme) SetSysColors(4, elements, scheme == 1 ? white : black);
    SendMessageW(window, WM_SYSCOLORCHANGE, 0, 0);
}

// Whether the Windows GuardHooks.dll plays sends that message (all do where
// the hook is not in the program).
bool Sends(const char* message) {
    using OffersFn = bool (*)(const char*, const char*);
    HMODULE guard = GetModuleHandleW(L"GuardHooks.dll");
    const auto offers = guard ? reinterpret_cast<OffersFn>(reinterpret_cast<void*>(GetProcAddress(guard, "Offers"))) : nullptr;
    return !offers || offers("message", message);
}

// What Windows sends a window dragged from a monitor of one DPI onto one of
// another, the rectangle reaching out of the work area to the right: from 10
// 1703 on the size the window answered, before it the window's own scaled
// by the two DPIs. "drag W H LEFT TOP RIGHT BOTTOM ASKED", the size
// suggested, where the window went, and whether it was asked its size.
void Drag(HWND window, int from, int to) {
    wchar_t path[MAX_PATH];
    if (!GetEnvironmentVariableW(L"CERTINSTALL_PROBE_OUT", path, MAX_PATH)) return;
    SendMessageW(window, WM_ENTERSIZEMOVE, 0, 0);
    RECT now, work, went;
    GetWindowRect(window, &now);
    SIZE size = {MulDiv(now.right - now.left, to, from), MulDiv(now.bottom - now.top, to, from)};
    const bool asked = Sends("WM_GETDPISCALEDSIZE");
    if (asked) SendMessageW(window, WM_GETDPISCALEDSIZE, to, reinterpret_cast<LPARAM>(&size));
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT suggested = {work.right - size.cx / 2, work.top + 10, work.right - size.cx / 2 + size.cx, work.top + 10 + size.cy};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(window, &went);
    SendMessageW(window, WM_EXITSIZEMOVE, 0, 0);
    if (FILE* out = _wfopen(path, L"w")) {
        std::fprintf(out, "drag %ld %ld %ld %ld %ld %ld %d\n", size.cx, size.cy, went.left, went.top, went.right,
                     went.bottom, asked);
        std::fclose(out);
    }
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
        const int n = static_cast<int>(message->wParam);
        if (message->lParam == kProbeMessageFont)
            SetMessageFont(message->hwnd, n);
        else if (message->lParam == kProbeIcons)
            MeasureIcons(message->hwnd);
        else if (message->lParam == kProbeTallerCaption)
            RaiseCaption(message->hwnd, n);
        else if (message->lParam == kProbeContrast)
            SetContrast(message->hwnd, n);
        else if (message->lParam == kProbeDrag)
            Drag(message->hwnd, HIWORD(message->wParam), LOWORD(message->wParam));
        else if (message->wParam)
            ChangeDpi(message->hwnd, static_cast<int>(message->wParam));
        else
            Measure(message->hwnd);
        message->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
