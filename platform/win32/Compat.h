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

// For WM_NCCREATE: EnableNonClientDpiScaling (Windows 10 1607), without which
// a per-monitor v1 window's title bar and frame keep the DPI it opened at.
// From 10 1703 the manifest's per-monitor v2 scales them anyway.
void ScaleFrameWithDpi(HWND window);

// Icon group id at exactly size pixels. LoadImage takes the group's image of
// the nearest size and stretches it, up as well as down, so a size the group
// lacks (28 px at 175 %, 80 at 250 %, 96 at 300 %) comes out soft;
// LoadIconWithScaleDown (Vista) shrinks the next larger image instead.
// Before Vista no such size is asked for.
HICON LoadIconAtSize(HINSTANCE instance, int id, int size);

// UI Automation's server side, in uiautomationcore.dll (Vista and later, XP
// with its update; Windows 2000 has none): both functions, or neither.
// Loaded from the system folder and, once both are found, never freed, since
// the providers handed out stay with UI Automation's clients until COM shuts
// down.
struct IRawElementProviderSimple;
struct UiAutomationServer {
    HRESULT(WINAPI* hostProviderFromHwnd)(HWND, IRawElementProviderSimple**) = nullptr;
    LRESULT(WINAPI* returnRawElementProvider)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*) = nullptr;
};
UiAutomationServer LoadUiAutomationServer();

// Just before crypt32 asks whether to trust a new root. Before Vista the
// question is shown by another process, which may take the foreground only
// if this one lets it, and which one is not known here; from Vista on the
// question is the program's own, and no process needs leave.
void LetRootQuestionComeForward();
