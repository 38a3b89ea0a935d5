#include "platform/win32/WindowIcons.h"

namespace {

// LoadImageW with the exact size takes the group's image of that size, or
// shrinks the nearest larger one; LoadIcon would take the system's size.
HICON LoadIconAt(HINSTANCE instance, int id, int size) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

// Gives the window the icon of one kind and destroys the one it showed before.
void Replace(HWND window, WPARAM kind, HICON& owned, HICON icon) {
    if (!icon) return;  // the window keeps what it has
    SendMessageW(window, WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
    if (owned) DestroyIcon(owned);
    owned = icon;
}

}  // namespace

WindowIcons::~WindowIcons() {
    if (big_) DestroyIcon(big_);
    if (small_) DestroyIcon(small_);
}

void WindowIcons::Set(HWND window, HINSTANCE instance, int id, IconSizes sizes) {
    if (sizes.bigPixels) Replace(window, ICON_BIG, big_, LoadIconAt(instance, id, sizes.bigPixels));
    if (sizes.smallPixels) Replace(window, ICON_SMALL, small_, LoadIconAt(instance, id, sizes.smallPixels));
}
