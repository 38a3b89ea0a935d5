#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A small harness that drives CertInstall.exe from inside the same Wine
// prefix: every check prints what it saw next to what it expected, and every
// wait is for a condition with a timeout.

extern int g_failures;

// Prints "ok: what" or "FAIL: what: detail"; returns the condition.
bool Check(bool condition, const std::wstring& what, const std::wstring& detail = L"");
void Note(const std::wstring& line);
std::wstring Hex(unsigned long value);

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);
// The text of a file, empty where there is none (yet).
std::string FileText(const std::wstring& path);
// The screen's pixel at a point of the window's client area.
COLORREF PixelAt(HWND window, int x, int y);
// Waits until the window's size is other than before: laid out anew.
bool Resized(HWND window, const RECT& before);
// A window as a failed check names it: handle, class and title.
std::wstring Describe(HWND window);

// True once every visible child of the window shows more than one colour on
// the screen: a label its text, a button its face and caption, the banner its
// picture. A window that is visible but not yet painted shows each child as
// one flat colour (black under Wine).
bool Painted(HWND window);
// Painted, and two captures of the window 50 ms apart agree.
bool WaitPainted(HWND window, DWORD timeoutMs = 10000);

// A top-level window of the driver's own, on a thread of its own that pumps
// its messages, to take the foreground from the program as another program
// would.
class DecoyWindow {
public:
    DecoyWindow();
    ~DecoyWindow();
    DecoyWindow(const DecoyWindow&) = delete;
    DecoyWindow& operator=(const DecoyWindow&) = delete;
    HWND Window() const { return window_; }
    // Makes it the foreground window; false if it did not become one.
    bool Activate();

private:
    static DWORD WINAPI Run(void* self);
    HANDLE thread_ = nullptr;
    HANDLE ready_ = nullptr;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
};

// From here on, the programs' EVENT_SYSTEM_DIALOGSTART and END reach this
// thread as a screen reader gets them, out of context; inside each program
// GuardHooks.dll keeps where the focus was at the start.
void WatchDialogEvents();

// The stand-in's record of its calls, where the case registered it.
std::string StandInLog();

struct MessageBoxSeen {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
    std::vector<int> buttons;  // control IDs of the visible buttons: IDOK, IDYES, ...
};

// The class of the installer window of the edition an exe is:
// CerImportVista for CertInstallVista.exe, CerImport for the classic.
std::wstring WindowClassOf(const std::wstring& exe);

class Target {
public:
    // Starts the program; false if it could not be started.
    bool Start(const std::wstring& exe);
    ~Target();

    HWND MainWindow() const;  // the installer window, visible or not
    HWND Control(int id) const;
    bool MainVisible() const;
    std::vector<HWND> MessageBoxes() const;
    HWND FocusedWindow() const;
    HWND FirstVisibleWindow() const;  // of any class
    // The dialog events its thread raised so far, in order: " start end".
    std::wstring DialogEvents() const;
    DWORD Id() const { return process_.dwProcessId; }
    DWORD ThreadId() const { return process_.dwThreadId; }
    HANDLE Process() const { return process_.hProcess; }

    // Waits for the window to be visible, then painted (a failed check if not).
    bool WaitForMainWindow(DWORD timeoutMs = 20000);
    // Makes the window the foreground one, where keys and pixels go.
    bool BringToFront();
    // Waits for a box, checks that it is painted, and reads it.
    bool WaitForMessageBox(MessageBoxSeen& box, DWORD timeoutMs = 20000);
    void Press(HWND box, int buttonId);
    void ClickNext();
    void ClickExit();
    void CloseFromFrame();
    void Key(WORD virtualKey);

    // Waits for the process to end, failing on any message box that shows up
    // meanwhile. Returns the exit code, or -1 on a time-out (the process is killed).
    long WaitForExitWithoutBox(DWORD timeoutMs = 20000);
    long WaitForExit(DWORD timeoutMs = 20000);

private:
    PROCESS_INFORMATION process_ = {};
    std::wstring windowClass_;
};

// The Windows screen as a BMP file.
bool SaveScreenshot(const std::wstring& path);

// The certificate the program carries, as DER, and how many copies of it the
// current user's Root store holds.
std::vector<BYTE> CarriedCertificate();
// The bytes of the file that the environment variable names; empty if none.
std::vector<BYTE> FileBytes(const wchar_t* variable);
// The certificate a case expects the exe to carry: the DER file named by
// CERTINSTALL_EXPECTED_DER where the case sets it, else the carried one.
std::vector<BYTE> ExpectedCertificate();
// The certificate's simple display name, its common name where it has one.
std::wstring SubjectOf(const std::vector<BYTE>& certificate);
int CopiesInRootStore(const std::vector<BYTE>& certificate);
// The current user's certificate stores as a fresh prefix has them: none of
// its own. Cases that share a prefix each start so.
void ForgetUserCertificates();
