#include "Scenarios.h"

#include <cwchar>

#include "app/Layout.h"
#include "install/VersionText.h"
#include "platform/win32/EnrollmentIds.h"

const wchar_t kTitle[] = L"证书安装";
const wchar_t kInstalled[] = L"证书已经安装完毕！";
const wchar_t kCancelled[] = L"证书安装已经取消！";

std::wstring g_exe, g_output;

void Shot(const wchar_t* name) {
    const std::wstring path = g_output + L"\\" + name + L".bmp";
    Check(SaveScreenshot(path), std::wstring(L"screenshot ") + name + L".bmp");
}

std::wstring Buttons(const std::vector<int>& ids) {
    std::wstring list;
    for (int id : ids) list += (list.empty() ? L"" : L",") + std::to_wstring(id);
    return L"{" + list + L"}";
}

void ExpectBox(const MessageBoxSeen& box, const std::wstring& text, const std::wstring& title,
               const std::vector<int>& buttons) {
    Check(box.text == text, L"box text \"" + text + L"\"", L"saw \"" + box.text + L"\"");
    Check(box.title == title, L"box title \"" + title + L"\"", L"saw \"" + box.title + L"\"");
    Check(box.buttons == buttons, L"box buttons " + Buttons(buttons), L"saw " + Buttons(box.buttons));
}

// What GetWinVer makes of this prefix: the same query and arithmetic, run here.
void NoteWindowsVersion() {
    const DWORD word = GetVersion() & 0xFFFF;
    wchar_t separator[8] = L".";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    Note(L"GetVersion reports " + std::to_wstring(word % 256) + L"." + std::to_wstring(word / 256) +
         L", GetWinVer text \"" + FormatFixed(word / 256 / 100.0 + word % 256, separator) + L"\"");
}

bool StartShown(Target& program, const std::wstring& exe) {
    NoteWindowsVersion();
    if (!Check(program.Start(exe), L"the program starts", exe)) return false;
    if (!Check(program.WaitForMainWindow(), L"the window appears")) return false;
    Check(program.MessageBoxes().empty(), L"no message box beside the window");
    Check(WaitUntil([&] { return program.FocusedWindow() == program.Control(cmdNext); }, 5000),
          L"the focus starts on Next");
    return true;
}

void ExpectEnd(Target& program, long code) {
    const long seen = program.WaitForExitWithoutBox();
    Check(seen == code, L"the program ends with exit code " + std::to_wstring(code),
          L"exit code " + std::to_wstring(seen));
    Note(L"exit code " + std::to_wstring(seen));
}

// What brings the box in front on Windows, where the foreground can be
// refused, as the program asked for it: Wine shows neither flag on the box
// (see BoxType.cpp), so the type is read as the hook recorded it.
void ExpectInFrontUnowned(HWND box, bool topmost) {
    const auto recorded = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(GetPropW(box, L"CertInstallTest.BoxType")));
    if (Check(recorded != 0, L"the hook recorded the box's type")) {
        const DWORD wanted = (topmost ? MB_TOPMOST : 0) | MB_SETFOREGROUND;
        Check((recorded & (MB_TOPMOST | MB_SETFOREGROUND)) == wanted,
              topmost ? L"the box is asked for topmost and in the foreground" : L"the box is asked in the foreground, not topmost",
              L"type " + Hex(recorded & 0x7FFFFFFF));
    }
    Note(L"Wine's extended style of the box: " + Hex(static_cast<DWORD>(GetWindowLongW(box, GWL_EXSTYLE))));
    const HWND owner = GetWindow(box, GW_OWNER);
    Check(owner == nullptr, L"the box has no owner", Describe(owner));
}

MessageBoxSeen Outcome(Target& program, const wchar_t* text) {
    MessageBoxSeen box;
    if (!Check(program.WaitForMessageBox(box), L"a message box appears")) return box;
    Check(!program.MainVisible(), L"the window is hidden behind the box");
    Check(program.DialogEvents() == L" start end", L"screen readers were told the dialog started, and ended with Next",
          program.DialogEvents());
    Note(L"outcome: " + box.text);
    ExpectBox(box, text, kTitle, {IDOK});
    ExpectInFrontUnowned(box.window, true);
    return box;
}

void EndWithOutcome(Target& program, const wchar_t* text, const std::wstring& shot) {
    const MessageBoxSeen box = Outcome(program, text);
    if (!shot.empty()) Shot(shot.c_str());
    program.Press(box.window, IDOK);
    ExpectEnd(program);
}

MessageBoxSeen Confirmation(Target& program) {
    MessageBoxSeen box;
    if (!Check(program.WaitForMessageBox(box), L"the confirmation appears")) return box;
    Check(!program.MainVisible(), L"the window is hidden behind the confirmation");
    Check(box.buttons == std::vector<int>{IDYES, IDNO}, L"confirmation asks Yes or No",
          L"saw " + Buttons(box.buttons));
    const std::wstring subject = SubjectOf(CarriedCertificate());
    Check(!subject.empty() && box.text.find(subject) != std::wstring::npos,
          L"confirmation names the subject " + subject, box.text);
    return box;
}

HRESULT CreateEnroll(ICEnroll4** control) {
    return CoCreateInstance(kClsidCEnroll, nullptr, CLSCTX_INPROC_SERVER, kIidICEnroll4,
                            reinterpret_cast<void**>(control));
}

std::wstring Rect(const RECT& r) {
    return L"(" + std::to_wstring(r.left) + L", " + std::to_wstring(r.top) + L") " +
           std::to_wstring(r.right - r.left) + L" x " + std::to_wstring(r.bottom - r.top);
}

void ExpectWithinWorkArea(HWND window) {
    RECT work, frame, inside;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &frame);
    IntersectRect(&inside, &frame, &work);
    Check(EqualRect(&inside, &frame) != FALSE, L"the window lies within the work area " + Rect(work), Rect(frame));
}

std::wstring BesideDriver(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring driver(path, length);
    return driver.substr(0, driver.find_last_of(L'\\') + 1) + name;
}

DllHook::DllHook(const wchar_t* dll, const char* procedure, int type, DWORD thread)
    : module_(LoadLibraryW(BesideDriver(dll).c_str())) {
    const auto hook = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(module_ ? GetProcAddress(module_, procedure) : nullptr));
    if (hook) hook_ = SetWindowsHookExW(type, hook, module_, thread);
}

DllHook::~DllHook() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (module_) FreeLibrary(module_);
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

std::wstring Colour(COLORREF c) {
    return L"RGB(" + std::to_wstring(GetRValue(c)) + L"," + std::to_wstring(GetGValue(c)) + L"," +
           std::to_wstring(GetBValue(c)) + L")";
}

void ExpectPixels(HWND window, int x0, int y0, int x1, int y1, COLORREF colour, const std::wstring& what) {
    std::wstring first;
    for (int y = y0; y <= y1 && first.empty(); ++y) {
        for (int x = x0; x <= x1 && first.empty(); ++x) {
            const COLORREF seen = PixelAt(window, x, y);
            if (seen != colour)
                first = L"(" + std::to_wstring(x) + L", " + std::to_wstring(y) + L") is " + Colour(seen);
        }
    }
    Check(first.empty(), what + L" " + Colour(colour), first);
}

std::wstring Beside(const std::wstring& exe, const wchar_t* name) {
    return exe.substr(0, exe.find_last_of(L'\\') + 1) + name;
}

void AnswerDpi(int dpi) {
    SetEnvironmentVariableW(L"CERTINSTALL_TEST_WINDOW_DPI", std::to_wstring(dpi).c_str());
}

void RunAs(const wchar_t* windows) {
    SetEnvironmentVariableW(L"CERTINSTALL_TEST_WINDOWS", windows);
}

std::wstring Wide(const std::string& utf8) {
    std::wstring text(utf8.size(), L'\0');
    text.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
                            static_cast<int>(text.size()))));
    return text;
}
