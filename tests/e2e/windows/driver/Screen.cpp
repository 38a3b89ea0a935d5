// What the screen shows: screenshots, and whether a window has been painted.
#include "Harness.h"

#include <cstdio>

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

bool SaveScreenshot(const std::wstring& path) {
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    std::vector<DWORD> pixels = Capture(screen);
    for (DWORD& pixel : pixels) pixel |= 0xFF000000;  // opaque: readers take a 32-bit BMP's fourth byte as alpha
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = screen.right;
    header.biHeight = -screen.bottom;  // top-down, as captured
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biSizeImage = static_cast<DWORD>(pixels.size() * sizeof(DWORD));
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof header;
    const BITMAPFILEHEADER file = {0x4D42 /* "BM" */, offset + header.biSizeImage, 0, 0, offset};
    FILE* out = _wfopen(path.c_str(), L"wb");
    const bool written = out && !pixels.empty() && std::fwrite(&file, sizeof file, 1, out) == 1 &&
                         std::fwrite(&header, sizeof header, 1, out) == 1 &&
                         std::fwrite(pixels.data(), header.biSizeImage, 1, out) == 1;
    if (out) std::fclose(out);
    return written;
}

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

