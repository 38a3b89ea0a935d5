#pragma once

#include <windows.h>

#include "platform/win32/WindowLook.h"

// The big and small icons a window sets on itself (WM_SETICON), each loaded at
// the size the window's DPI asks for, so that Windows takes the image drawn for
// that size where it would otherwise stretch the class's one. It owns them:
// Windows destroys neither a window's icons nor those it replaces, so they go
// when this does, which must be after the window (or when it has others).
class WindowIcons {
public:
    WindowIcons() = default;
    ~WindowIcons();
    WindowIcons(const WindowIcons&) = delete;
    WindowIcons& operator=(const WindowIcons&) = delete;

    // Loads icon group `id` at the sizes, gives the window the icons and
    // destroys the ones it had from here. A size of 0 leaves that icon alone.
    void Set(HWND window, HINSTANCE instance, int id, IconSizes sizes);

private:
    HICON big_ = nullptr;
    HICON small_ = nullptr;
};
