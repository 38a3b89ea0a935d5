#pragma once
// The scenarios the driver runs, and the steps they share.

#include <string>
#include <vector>

#include "Harness.h"

#include <xenroll.h>

extern const wchar_t kTitle[];
extern const wchar_t kInstalled[];
extern const wchar_t kCancelled[];

// The exe under test and the folder for screenshots, from the command line.
extern std::wstring g_exe, g_output;

void Shot(const wchar_t* name);
std::wstring Buttons(const std::vector<int>& ids);
void ExpectBox(const MessageBoxSeen& box, const std::wstring& text, const std::wstring& title,
               const std::vector<int>& buttons);
void NoteWindowsVersion();
// Starts the program (the case's exe unless named) and waits for its window,
// with the focus on Next.
bool StartShown(Target& program, const std::wstring& exe = g_exe);
void ExpectEnd(Target& program, long code = 0);
// The program asked for its box in the foreground, and topmost or not, with no owner.
void ExpectInFrontUnowned(HWND box, bool topmost);
// Next's outcome box, which must come with the window out of sight.
MessageBoxSeen Outcome(Target& program, const wchar_t* text);
// The outcome box, its screenshot under the name given (if any), OK, and the end.
void EndWithOutcome(Target& program, const wchar_t* text, const std::wstring& shot = L"");
// The stand-in's Yes/No question before anything goes into Root.
MessageBoxSeen Confirmation(Target& program);
// Next, Yes to the question where the control asks one, then the outcome;
// the certificate is in Root once. Screenshots are named with the prefix.
void InstallOnce(const std::vector<BYTE>& carried, const std::wstring& shotPrefix, bool asked);
// The same, asked, for the certificate the case expects the exe to carry.
void InstallConfirmed(const wchar_t* shotPrefix);
// The creation of the control as the program makes it, from this process.
HRESULT CreateEnroll(ICEnroll4** control);
std::wstring Rect(const RECT& r);
// The whole window, frame and all, lies within the screen's work area.
void ExpectWithinWorkArea(HWND window);
// A file of the folder the exe is in, such as the other edition.
std::wstring Beside(const std::wstring& exe, const wchar_t* name);
// The DPI GuardHooks.dll makes the per-monitor DPI function answer in the
// programs the driver starts from now (CERTINSTALL_TEST_WINDOW_DPI); 0: Wine's.
void AnswerDpi(int dpi);
// The Windows whose functions those programs find (CERTINSTALL_TEST_WINDOWS:
// 2000, xp, vista, 7, 8.1, 10-1607, 10).
void RunAs(const wchar_t* windows);
// UTF-8 as UTF-16.
std::wstring Wide(const std::string& utf8);
// A file of the driver's own folder, such as a hook DLL.
std::wstring BesideDriver(const wchar_t* name);

// A hook procedure that a DLL beside the driver exports, set on one thread
// of the program (or on every thread, for thread 0) for as long as this lives.
class DllHook {
public:
    DllHook(const wchar_t* dll, const char* procedure, int type, DWORD thread);
    ~DllHook();
    DllHook(const DllHook&) = delete;
    DllHook& operator=(const DllHook&) = delete;
    bool Set() const { return hook_ != nullptr; }

private:
    HMODULE module_ = nullptr;
    HHOOK hook_ = nullptr;
};
// The screen's DPI as the driver sees it (LogPixels of the prefix).
int ScreenDpi();
// The window's own big and small icons are set, at the sizes for a DPI;
// WindowProbe.dll must be hooked on the program's thread.
void CheckWindowIcons(Target& program, int dpi);
// The layout checks at a DPI, on a running program's window.
void CheckLayout(Target& program, int dpi);
// The window as a screen reader reads it, from this process through oleacc.
void CheckAccessible(Target& program);
// How many of the exe's edition's windows are visible.
int VisibleWindowsOf(const std::wstring& exe);
// A second start of the exe: it must show nothing and end with exit code 0.
// Returns how long it ran, in ms (-1 if it did not end in 15 s).
long StartAgain(const std::wstring& exe, const std::wstring& when);
// A start while the window shows ends at once and brings it forward.
void BroughtForwardWhileShown(Target& program, DecoyWindow& decoy);
std::wstring Colour(COLORREF c);
// Every screen pixel from (x0, y0) to (x1, y1) inclusive, in client
// coordinates, has the colour; names the first one that does not.
void ExpectPixels(HWND window, int x0, int y0, int x1, int y1, COLORREF colour, const std::wstring& what);

// The window and its version gate.
void Exit();
void Close();
void Keys();
void Refused();
void Layout();
// Next, with and without an enrollment control.
void Cancelled();
void Installed();
void Declined();
void Again();
void DoubleClick();
void ExitThenNext();
void OlderControl();
void OlderControlRefused();
// Starting: a second start, a window whose creation fails half-way.
void SecondStart();
void SecondStartShown();
void WindowFails();
// Guards: the other edition beside it, a second start with the window hidden
// or not yet made, planted DLLs, a monitor of another DPI.
void EditionsSecondStart();
void SecondStartHidden();
void SecondStartEarly();
void DllPlanting();
void OpenedAt144();
// The Vista edition: its window's fonts at a DPI and at a changed one, an
// install with no question (Wine's crypt32 asks none), one that fails.
void DpiChanged();
void TextSize();
void OnWindows();
void HighContrast();
void AfterRefusal();
void InstalledSilently();
void RootUnwritable();
// Not tests of the program.
void Startup();
void Locale();
