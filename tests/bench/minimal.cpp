// The yardsticks for the editions' start-up, built with the same toolchain
// and flags: the least a Win32 program with one window and two buttons can
// do, and, built with -DWITH_BANNER, the same window that also decodes the
// editions' JPEG banner through OleLoadPicture (all that Windows 2000 offers
// for a JPEG) and draws it, as any program must to show that picture; built
// also with -DTHEMED and the Vista edition's manifest, the same window with
// the themed controls, which XP gives only after InitCommonControlsEx.
#include <windows.h>
#ifdef THEMED
#include <commctrl.h>
#endif
#ifdef WITH_BANNER
#include <ocidl.h>
#include <olectl.h>

#include <cstring>

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
#endif

static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
#ifdef WITH_BANNER
    if (message == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
        if (!g_picture) g_picture = LoadPicture(GetModuleHandleW(nullptr));
        OLE_XSIZE_HIMETRIC width = 0;
        OLE_YSIZE_HIMETRIC height = 0;
        g_picture->get_Width(&width);
        g_picture->get_Height(&height);
        g_picture->Render(item->hDC, 0, 0, 424, 72, 0, height, width, -height, nullptr);
        return TRUE;
    }
#endif
    return DefWindowProcW(window, message, wparam, lparam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
#ifdef THEMED
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
#endif
    WNDCLASSW type = {};
    type.lpfnWndProc = Procedure;
    type.hInstance = instance;
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = L"Minimal";
    RegisterClassW(&type);
    HWND window = CreateWindowW(L"Minimal", L"Minimal", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                CW_USEDEFAULT, CW_USEDEFAULT, 447, 279, nullptr, nullptr, instance, nullptr);
#ifdef WITH_BANNER
    CoInitialize(nullptr);
    CreateWindowW(L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, 8, 8, 425, 73, window, nullptr,
                  instance, nullptr);
#endif
    CreateWindowW(L"BUTTON", L"Next", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 112, 216, 65, 25, window,
                  nullptr, instance, nullptr);
    CreateWindowW(L"BUTTON", L"Exit", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 256, 216, 73, 25, window,
                  nullptr, instance, nullptr);
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
