#include "platform/win32/WindowIcons.h"

#include "platform/win32/Compat.h"

namespace {

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
    if (sizes.bigPixels) Replace(window, ICON_BIG, big_, LoadIconAtSize(instance, id, sizes.bigPixels));
    if (sizes.smallPixels) Replace(window, ICON_SMALL, small_, LoadIconAtSize(instance, id, sizes.smallPixels));
}
