// What the screen shows: screenshots, and whether a window has been painted.
#include "Harness.h"

#include <cstdio>


bool SaveScreenshot(const std::wstring& path) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as BMP files store it
    header.biPlanes = 1;
    header.biBitCount = 24;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    header.biSizeImage = stride * static_cast<DWORD>(height);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                      &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    FILE* out = _wfopen(path.c_str(), L"wb");
    const bool written = out && std::fwrite(&file, sizeof file, 1, out) == 1 &&
                         std::fwrite(&header, sizeof header, 1, out) == 1 &&
                         std::fwrite(bits, header.biSizeImage, 1, out) == 1;
    if (out) std::fclose(out);

    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

namespace {

// The window's pixels as the screen shows them, row by row.
std::vector<DWORD> Capture(const RECT& r) {
    const int width = r.right - r.left, height = r.bottom - r.top;
    std::vector<DWORD> pixels;
    if (width <= 0 || height <= 0) return pixels;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD* first = static_cast<const DWORD*>(bits);
    pixels.assign(first, first + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

bool MoreThanOneColour(const std::vector<DWORD>& pixels, int stride, const RECT& r) {
    if (r.right <= r.left || r.bottom <= r.top) return true;
    const DWORD first = pixels[static_cast<std::size_t>(r.top) * stride + r.left];
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (pixels[static_cast<std::size_t>(y) * stride + x] != first) return true;
    return false;
}

}  // namespace

bool Painted(HWND window) {
    RECT frame;
    if (!GetWindowRect(window, &frame)) return false;
    const std::vector<DWORD> pixels = Capture(frame);
    if (pixels.empty()) return false;
    const int stride = frame.right - frame.left;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT r;
        GetWindowRect(child, &r);
        OffsetRect(&r, -frame.left, -frame.top);
        RECT inside = {0, 0, stride, frame.bottom - frame.top};
        IntersectRect(&r, &r, &inside);
        if (!MoreThanOneColour(pixels, stride, r)) return false;
    }
    return true;
}

bool WaitPainted(HWND window, DWORD timeoutMs) {
    return WaitUntil(
        [&] {
            if (!Painted(window)) return false;
            RECT frame;
            GetWindowRect(window, &frame);
            const std::vector<DWORD> before = Capture(frame);
            Sleep(50);
            return Capture(frame) == before;
        },
        timeoutMs);
}

