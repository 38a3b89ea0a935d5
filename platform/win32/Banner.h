#pragma once

#include <windows.h>

// The JPEG banner from the program's resources as a DIB section of its
// natural size, or nullptr when it cannot be read (the box then shows its
// background).
HBITMAP LoadBanner(HINSTANCE instance);
