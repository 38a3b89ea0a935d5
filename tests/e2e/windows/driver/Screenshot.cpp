#include <cstdio>

#include "Harness.h"

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
