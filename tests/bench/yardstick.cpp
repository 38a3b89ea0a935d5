// The yardsticks for the editions' start-up, built with the same toolchain
// and flags: the least Win32 program that shows the editions' window as it
// looks at 96 DPI, with the design's pixel rectangles written out. It has the
// same controls with the same texts (from app/Layout.h) in the same fonts, so
// that what any window showing these Chinese texts must do under Wine (font
// fallback, glyph rasterization) falls on both sides of the ratio; and it
// decodes the banner through OleLoadPicture (all that Windows 2000 offers for
// a JPEG) and draws it, as any program must to show that picture. Nothing
// else: no layout, no measuring, no single-instance check, no version gate.
//
// Built as it is, the classic's kind: the labels in the design's label font,
// the buttons in the system's button font, no manifest. Built with -DTHEMED
// and the Vista edition's manifest, the Vista edition's kind: Common
// Controls 6 and the theme engine, which XP gives only after
// InitCommonControlsEx, and the system's message font on every text.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#ifdef THEMED
#include <commctrl.h>
#endif

#include <cstring>

#include "app/Layout.h"

static IPicture* g_picture;

// The banner from RCDATA 101, decoded from a stream over a copy of it.
static IPicture* LoadPicture(HINSTANCE instance) {
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(101), RT_RCDATA);
    const DWORD size = SizeofResource(instance, resource);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(block), LockResource(LoadResource(instance, resource)), size);
    GlobalUnlock(block);
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(block, TRUE, &stream);
    IPicture* picture = nullptr;
    OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture, reinterpret_cast<void**>(&picture));
    stream->Release();
    return picture;
}

static void Line(HDC dc, int y, COLORREF colour) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, 8, y, nullptr);
    LineTo(dc, 432, y);
    SelectObject(dc, old);
    DeleteObject(pen);
}

static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            Line(dc, 87, RGB(192, 192, 192));
            Line(dc, 88, RGB(224, 224, 224));
            EndPaint(window, &paint);
            return 0;
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            // The parent clips its children: the box's strip beyond the
            // picture is the box's to fill.
            FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
            if (!g_picture) g_picture = LoadPicture(GetModuleHandleW(nullptr));
            OLE_XSIZE_HIMETRIC width = 0;
            OLE_YSIZE_HIMETRIC height = 0;
            g_picture->get_Width(&width);
            g_picture->get_Height(&height);
            g_picture->Render(item->hDC, 0, 0, 424, 72, 0, height, width, -height, nullptr);
            return TRUE;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

static HWND Child(HWND window, const wchar_t* type, const wchar_t* text, DWORD style, int x, int y, int width,
                  int height, HFONT font) {
    HWND child = CreateWindowW(type, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, window, nullptr,
                               nullptr, nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
#ifdef THEMED
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT labelFont = CreateFontIndirectW(&metrics.lfMessageFont);
    HFONT buttonFont = labelFont;
#else
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    HFONT labelFont = CreateFontW(FontHeightPixels(kLabelFont.hundredthsOfPoint, dpi), 0, 0, 0, kLabelFont.weight,
                                  FALSE, FALSE, FALSE, static_cast<BYTE>(kLabelFont.charset), OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                  kLabelFont.face);
    HFONT buttonFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
#endif
    CoInitialize(nullptr);
    WNDCLASSW type = {};
    type.lpfnWndProc = Procedure;
    type.hInstance = instance;
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = L"Yardstick";
    RegisterClassW(&type);
    // The editions' frame around a client area of 441 x 250.
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT frame = {0, 0, 441, 250};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowW(L"Yardstick", kWindow.caption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                nullptr);
    Child(window, L"STATIC", L"", SS_OWNERDRAW, 8, 8, 425, 73, nullptr);
    Child(window, L"STATIC", kControls[lblDesc].caption, SS_LEFT | SS_NOPREFIX, 16, 96, 409, 73, labelFont);
    Child(window, L"STATIC", kControls[Label1].caption, SS_LEFT | SS_NOPREFIX, 16, 168, 409, 41, labelFont);
    HWND next = Child(window, L"BUTTON", kControls[cmdNext].caption, BS_PUSHBUTTON | WS_TABSTOP, 112, 216, 65, 25,
                      buttonFont);
    Child(window, L"BUTTON", kControls[cmdExit].caption, BS_PUSHBUTTON | WS_TABSTOP, 256, 216, 73, 25, buttonFont);
    ShowWindow(window, show);
    // The editions open with the focus on 下一步, which draws it so.
    SetFocus(next);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
