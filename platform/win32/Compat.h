#pragma once

#include <windows.h>

// What the program wants of Windows versions newer than 2000: looked up at
// run time and skipped where the running Windows lacks it, so that the exe
// still loads on the oldest system it supports.

// Takes the current directory out of the DLL search path (SetDllDirectoryW,
// XP SP1 and later), so that a DLL planted in the current directory, often a
// browser's download folder, is not found by any later load of the process.
// It protects no more than that: the exe's own folder is always searched
// first, and the DLLs the loader maps before the first line runs are beyond
// its reach (on East Asian XP user32 and gdi32 load lpk.dll and usp10.dll by
// name, and XP does not count them among its known DLLs). Running the exe
// from a folder of its own, and checking its signature, is what protects a user.
void RemoveCurrentDirectoryFromDllSearch();

// Loads a DLL of the system folder by its full path, so that no other folder,
// the exe's own among them, is searched for it.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Sent to a per-monitor aware window whose DPI changes (Windows 8.1 and
// later), and before it to a per-monitor v2 one (Windows 10 1703 and later).
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4
#endif

// The DPI the system gives a DPI-aware process: that of the primary monitor
// when the user logged on.
int SystemDpi();
// The DPI of the monitor the window is on: GetDpiForWindow (Windows 10 1607),
// else GetDpiForMonitor (8.1), else the system's DPI.
int DpiForWindow(HWND window);
// The system's message font sized for a DPI: SystemParametersInfoForDpi
// (Windows 10 1607), else the font at the system's DPI scaled to it.
bool MessageFontForDpi(int dpi, LOGFONTW& font);
// AdjustWindowRectEx with the frame's metrics at a DPI (Windows 10 1607),
// else at the system's DPI, the only ones older systems have.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, int dpi);
// A system metric, such as an icon's size, at a DPI: GetSystemMetricsForDpi
// (Windows 10 1607), else the metric at the system's DPI scaled to it.
int SystemMetricForDpi(int index, int dpi);
