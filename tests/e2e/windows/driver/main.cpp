// Drives CertInstall.exe through one user-visible path and checks what a user
// would see. Usage: driver SCENARIO PATH-TO-EXE OUTPUT-FOLDER
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "Harness.h"

#include <psapi.h>
#include <xenroll.h>
#include "app/Layout.h"
#include "install/VersionText.h"
#include "platform/win32/EnrollmentIds.h"

namespace {

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

bool StartShown(Target& program) {
    NoteWindowsVersion();
    if (!Check(program.Start(g_exe), L"the program starts", g_exe)) return false;
    if (!Check(program.WaitForMainWindow(), L"the window appears")) return false;
    Check(program.MessageBoxes().empty(), L"no message box beside the window");
    Check(WaitUntil([&] { return program.FocusedWindow() == program.Control(cmdNext); }, 5000),
          L"the focus starts on Next");
    return true;
}

void ExpectEnd(Target& program, long code = 0) {
    const long seen = program.WaitForExitWithoutBox();
    Check(seen == code, L"the program ends with exit code " + std::to_wstring(code),
          L"exit code " + std::to_wstring(seen));
    Note(L"exit code " + std::to_wstring(seen));
}

// Next, then the outcome box, which must come with the window out of sight.
MessageBoxSeen Outcome(Target& program, const wchar_t* text) {
    MessageBoxSeen box;
    if (!Check(program.WaitForMessageBox(box), L"a message box appears")) return box;
    Check(!program.MainVisible(), L"the window is hidden behind the box");
    Note(L"outcome: " + box.text);
    ExpectBox(box, text, kTitle, {IDOK});
    return box;
}

// The stand-in's Yes/No question before anything goes into Root.
MessageBoxSeen Confirmation(Target& program) {
    MessageBoxSeen box;
    if (!Check(program.WaitForMessageBox(box), L"the confirmation appears")) return box;
    Check(!program.MainVisible(), L"the window is hidden behind the confirmation");
    Check(box.buttons == std::vector<int>{IDYES, IDNO}, L"confirmation asks Yes or No",
          L"saw " + Buttons(box.buttons));
    Check(box.text.find(L"Corvane CA") != std::wstring::npos, L"confirmation names the subject",
          box.text);
    return box;
}

void Exit() {
    Target program;
    if (!StartShown(program)) return;
    Shot(L"window");
    program.ClickExit();
    ExpectEnd(program);
}

void Close() {
    Target program;
    if (!StartShown(program)) return;
    program.CloseFromFrame();
    ExpectEnd(program);
}

void Keys() {
    Target program;
    if (!StartShown(program)) return;
    Check(program.BringToFront(), L"the window is in front");
    program.Key(VK_ESCAPE);
    program.Key(VK_TAB);
    Check(WaitUntil([&] { return program.FocusedWindow() == program.Control(cmdExit); }, 5000),
          L"Tab moves the focus to Exit");
    Check(program.MainVisible() && program.MessageBoxes().empty(), L"Escape did nothing");
    program.Key(VK_RETURN);  // presses the focused button: Exit
    ExpectEnd(program);
}

// The creation of the control as the program makes it, from this process.
HRESULT CreateEnroll(ICEnroll4** control) {
    return CoCreateInstance(kClsidCEnroll, nullptr, CLSCTX_INPROC_SERVER, kIidICEnroll4,
                            reinterpret_cast<void**>(control));
}

void Cancelled() {
    CoInitialize(nullptr);
    ICEnroll4* control = nullptr;
    const HRESULT created = CreateEnroll(&control);
    Check(FAILED(created), L"no control to create in this prefix", Hex(static_cast<unsigned long>(created)));
    Note(L"CoCreateInstance(CEnroll) = " + Hex(static_cast<unsigned long>(created)));
    if (control) control->Release();
    CoUninitialize();

    Target program;
    if (!StartShown(program)) return;
    program.ClickNext();
    const MessageBoxSeen box = Outcome(program, kCancelled);
    Shot(L"cancelled");
    program.Press(box.window, IDOK);
    ExpectEnd(program);
}

// Next, Yes to the confirmation, then the outcome; the certificate is in Root.
void InstallConfirmed(const wchar_t* shotPrefix) {
    const std::vector<BYTE> carried = CarriedCertificate();
    Target program;
    if (!StartShown(program)) return;
    Shot((std::wstring(shotPrefix) + L"window").c_str());
    program.ClickNext();
    const MessageBoxSeen question = Confirmation(program);
    Shot((std::wstring(shotPrefix) + L"confirmation").c_str());
    program.Press(question.window, IDYES);
    const MessageBoxSeen box = Outcome(program, kInstalled);
    Shot((std::wstring(shotPrefix) + L"installed").c_str());
    const int copies = CopiesInRootStore(carried);
    Check(copies == 1, L"Root holds the carried certificate once, byte for byte",
          std::to_wstring(copies) + L" copies");
    program.Press(box.window, IDOK);
    ExpectEnd(program);
}

void Installed() {
    Check(CopiesInRootStore(CarriedCertificate()) == 0, L"Root does not hold it before");
    InstallConfirmed(L"");
}

void Declined() {
    const std::vector<BYTE> carried = CarriedCertificate();
    Target program;
    if (!StartShown(program)) return;
    program.ClickNext();
    const MessageBoxSeen question = Confirmation(program);
    program.Press(question.window, IDNO);
    const MessageBoxSeen box = Outcome(program, kCancelled);
    Shot(L"declined");
    Check(CopiesInRootStore(carried) == 0, L"Root is unchanged");
    program.Press(box.window, IDOK);
    ExpectEnd(program);
}

// A second run when the certificate is already there: the stand-in, like
// crypt32, keeps the existing copy and asks nothing.
void Again() {
    InstallConfirmed(L"first-");
    Note(L"second run");
    Target program;
    if (!StartShown(program)) return;
    program.ClickNext();
    const MessageBoxSeen box = Outcome(program, kInstalled);
    Shot(L"second-installed");
    Check(CopiesInRootStore(CarriedCertificate()) == 1, L"Root still holds one copy");
    program.Press(box.window, IDOK);
    ExpectEnd(program);
}

// Clicks queued behind the first one, or arriving while a box runs its modal
// loop, start no second install and show no second box.
void DoubleClick() {
    Target program;
    if (!StartShown(program)) return;
    program.ClickNext();
    program.ClickNext();
    const MessageBoxSeen question = Confirmation(program);
    program.Press(question.window, IDYES);
    const MessageBoxSeen box = Outcome(program, kInstalled);
    program.ClickNext();
    program.ClickExit();
    program.Press(box.window, IDOK);
    ExpectEnd(program);
    Check(CopiesInRootStore(CarriedCertificate()) == 1, L"Root holds one copy");
}

// Next queued behind Exit installs nothing.
void ExitThenNext() {
    Target program;
    if (!StartShown(program)) return;
    program.ClickExit();
    program.ClickNext();
    ExpectEnd(program);
    Check(CopiesInRootStore(CarriedCertificate()) == 0, L"Root is unchanged");
}

// The stand-in itself, called as the program calls it: failures come back as
// crypt32's status with a description, the methods it leaves out answer
// E_NOTIMPL, and the stack survives every slot's call.
void StandIn() {
    CoInitialize(nullptr);
    ICEnroll4* control = nullptr;
    const HRESULT created = CreateEnroll(&control);
    if (!Check(created == S_OK && control, L"CEnroll is created", Hex(static_cast<unsigned long>(created)))) return;

    struct Input {
        const wchar_t* what;
        const wchar_t* text;
    };
    const Input bad[] = {{L"text that is not base64", L"*** not base64 ***"},
                         {L"base64 of bytes that are not ASN.1", L"aGVsbG8gd29ybGQ="},
                         {L"an empty text", L""}};
    for (const Input& input : bad) {
        BSTR text = SysAllocString(input.text);
        const HRESULT status = control->InstallPKCS7(text);
        SysFreeString(text);
        IErrorInfo* info = nullptr;
        BSTR description = nullptr;
        if (GetErrorInfo(0, &info) == S_OK && info) {
            info->GetDescription(&description);
            info->Release();
        }
        Check(FAILED(status), std::wstring(input.what) + L" fails", Hex(static_cast<unsigned long>(status)));
        Check(description && *description, std::wstring(input.what) + L" has a description");
        Note(std::wstring(input.what) + L": " + Hex(static_cast<unsigned long>(status)) + L" " +
             (description ? description : L""));
        SysFreeString(description);
    }
    BSTR name = nullptr;
    LONG flags = 0;
    Check(control->get_MyStoreName(&name) == E_NOTIMPL && control->get_GenKeyFlags(&flags) == E_NOTIMPL &&
              control->put_HashAlgorithm(nullptr) == E_NOTIMPL,
          L"methods left out answer E_NOTIMPL");
    control->Release();
    Check(CopiesInRootStore(CarriedCertificate()) == 0, L"Root is unchanged");
    CoUninitialize();
}

// Not a test: how long from process start to a visible window, and the peak
// working set, for STARTUP_RUNS starts (5 unless set), one line each. One
// start to warm the caches goes uncounted.
void Startup() {
    wchar_t runsText[16] = L"5";
    GetEnvironmentVariableW(L"STARTUP_RUNS", runsText, 16);
    const int runs = std::max(1, _wtoi(runsText));
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> millis;
    std::vector<double> peaks;
    for (int run = 0; run <= runs; ++run) {
        LARGE_INTEGER start, shown;
        QueryPerformanceCounter(&start);
        Target program;
        if (!Check(program.Start(g_exe), L"the program starts", g_exe)) return;
        HWND window = nullptr;
        const DWORD limit = GetTickCount() + 20000;
        while (!(window = program.FirstVisibleWindow()) && GetTickCount() < limit) Sleep(1);
        QueryPerformanceCounter(&shown);
        if (!Check(window != nullptr, L"a window appears")) return;
        PROCESS_MEMORY_COUNTERS memory = {};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(program.Process(), &memory, sizeof memory);
        PostMessageW(window, WM_CLOSE, 0, 0);
        program.WaitForExit();
        if (run == 0) continue;
        millis.push_back(1000.0 * static_cast<double>(shown.QuadPart - start.QuadPart) /
                         static_cast<double>(frequency.QuadPart));
        peaks.push_back(static_cast<double>(memory.PeakWorkingSetSize) / 1024.0);
    }
    for (std::size_t i = 0; i < millis.size(); ++i)
        std::printf("startup: %.2f ms, peak working set %.0f KB\n", millis[i], peaks[i]);
}

void Refused() {
    NoteWindowsVersion();
    Target program;
    if (!Check(program.Start(g_exe), L"the program starts", g_exe)) return;
    bool everVisible = false;
    const bool boxSeen = WaitUntil(
        [&] {
            everVisible = everVisible || program.MainVisible();
            return !program.MessageBoxes().empty();
        },
        20000);
    if (!Check(boxSeen, L"a message box appears")) return;
    MessageBoxSeen box;
    program.WaitForMessageBox(box, 0);
    ExpectBox(box, L"windows 版本错误，请使用 证书安装 vista版本", L"操作系统版本错误", {IDOK});
    Shot(L"refused");
    program.Press(box.window, IDOK);
    ExpectEnd(program);
    Check(!everVisible, L"the window was never shown");
}

std::wstring Rect(const RECT& r) {
    return L"(" + std::to_wstring(r.left) + L", " + std::to_wstring(r.top) + L") " +
           std::to_wstring(r.right - r.left) + L" x " + std::to_wstring(r.bottom - r.top);
}

std::wstring Colour(COLORREF c) {
    return L"RGB(" + std::to_wstring(GetRValue(c)) + L"," + std::to_wstring(GetGValue(c)) + L"," +
           std::to_wstring(GetBValue(c)) + L")";
}

// Every screen pixel from (x0, y0) to (x1, y1) inclusive, in client
// coordinates, has the colour; names the first one that does not.
void ExpectPixels(HWND window, int x0, int y0, int x1, int y1, COLORREF colour, const std::wstring& what) {
    HDC screen = GetDC(nullptr);
    std::wstring first;
    for (int y = y0; y <= y1 && first.empty(); ++y) {
        for (int x = x0; x <= x1 && first.empty(); ++x) {
            POINT p = {x, y};
            ClientToScreen(window, &p);
            const COLORREF seen = GetPixel(screen, p.x, p.y);
            if (seen != colour)
                first = L"(" + std::to_wstring(x) + L", " + std::to_wstring(y) + L") is " + Colour(seen);
        }
    }
    ReleaseDC(nullptr, screen);
    Check(first.empty(), what + L" " + Colour(colour), first);
}

struct ExpectedControl {
    ControlName name;
    RECT rect;  // at 96 DPI, in the window's client area
    const wchar_t* type;
    DWORD style;  // the bits that must be set
    DWORD absent;  // the bits that must not be
};

void Layout() {
    Target program;
    if (!StartShown(program)) return;
    Check(program.BringToFront(), L"the window is in front");
    HWND main = program.MainWindow();
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    if (!Check(dpi == 96, L"the screen has 96 DPI", std::to_wstring(dpi))) return;

    RECT client;
    GetClientRect(main, &client);
    Check(client.right == 441 && client.bottom == 250, L"client area 441 x 250", Rect(client));
    wchar_t caption[64] = L"";
    GetWindowTextW(main, caption, 64);
    Check(std::wstring(caption) == L"证书安装工具", L"caption 证书安装工具", caption);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(main, GWL_STYLE));
    Check((style & (WS_CAPTION | WS_SYSMENU)) == (WS_CAPTION | WS_SYSMENU) &&
              !(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)),
          L"fixed frame, close box, no minimize or maximize box", Hex(style));
    // The icon is not checked here: Wine keeps icons and classes per process
    // and answers no other process about them. The resources of the built exe
    // are checked instead, and the screenshot shows the icon in the title bar.

    const DWORD child = WS_CHILD | WS_VISIBLE;
    const ExpectedControl expected[] = {
        {Picture1, {8, 8, 433, 81}, L"Static", child | SS_OWNERDRAW, WS_TABSTOP | WS_BORDER},
        {cmdExit, {256, 216, 329, 241}, L"Button", child | WS_TABSTOP, BS_DEFPUSHBUTTON},
        {cmdNext, {112, 216, 177, 241}, L"Button", child | WS_TABSTOP, BS_DEFPUSHBUTTON},
        {Label1, {16, 168, 425, 209}, L"Static", child | SS_NOPREFIX, WS_TABSTOP | WS_BORDER | SS_TYPEMASK},
        {lblDesc, {16, 96, 425, 169}, L"Static", child | SS_NOPREFIX, WS_TABSTOP | WS_BORDER | SS_TYPEMASK},
    };
    for (const ExpectedControl& e : expected) {
        const ControlLayout& layout = kControls[e.name];
        const std::wstring name(layout.name, layout.name + std::strlen(layout.name));
        HWND control = program.Control(e.name);
        if (!Check(control != nullptr, name + L" exists")) continue;
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        Check(EqualRect(&r, &e.rect) != FALSE, name + L" at " + Rect(e.rect), Rect(r));
        wchar_t type[32] = L"", text[512] = L"";
        GetClassNameW(control, type, 32);
        GetWindowTextW(control, text, 512);
        Check(std::wstring(type) == e.type, name + L" is a " + e.type, type);
        const std::wstring wanted = layout.caption ? layout.caption : L"";
        Check(text == wanted, name + L" reads \"" + wanted + L"\"", text);
        const DWORD s = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
        // SS_LEFT is 0, so for the labels "absent" includes the type bits.
        Check((s & e.style) == e.style && !(s & e.absent), name + L" style", Hex(s));
    }
    const LRESULT defId = SendMessageW(main, DM_GETDEFID, 0, 0);
    Check(HIWORD(defId) != DC_HASDEFID, L"the window has no default button", Hex(static_cast<unsigned long>(defId)));

    // The separator: mid grey over light grey, 424 pixels from x = 8.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    ExpectPixels(main, 8, 87, 431, 87, RGB(192, 192, 192), L"Line1 (8..431, 87)");
    ExpectPixels(main, 8, 88, 431, 88, RGB(224, 224, 224), L"Line2 (8..431, 88)");
    ExpectPixels(main, 432, 87, 432, 88, face, L"the lines stop before x = 432:");
    // The 424 x 72 banner leaves the box's last column and row to its background.
    ExpectPixels(main, 432, 8, 432, 80, face, L"Picture1's last column");
    ExpectPixels(main, 8, 80, 432, 80, face, L"Picture1's last row");
    HDC dc = GetDC(nullptr);
    POINT corner = {8 + 423, 8 + 71};
    ClientToScreen(main, &corner);
    Check(GetPixel(dc, corner.x, corner.y) != face, L"the banner covers (431, 79)");
    ReleaseDC(nullptr, dc);
    Shot(L"layout");

    program.ClickExit();
    ExpectEnd(program);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    struct Entry {
        const wchar_t* name;
        void (*run)();
    };
    const Entry scenarios[] = {
        {L"exit", Exit},           {L"close", Close},       {L"keys", Keys},
        {L"cancelled", Cancelled}, {L"installed", Installed}, {L"declined", Declined},
        {L"again", Again},         {L"refused", Refused},   {L"layout", Layout},
        {L"double-click", DoubleClick}, {L"exit-then-next", ExitThenNext},
        {L"startup", Startup},     {L"standin", StandIn},
    };
    if (argc != 4) {
        std::fwprintf(stderr, L"usage: driver SCENARIO EXE OUTPUT-FOLDER\n");
        return 2;
    }
    g_exe = argv[2];
    g_output = argv[3];
    for (const Entry& s : scenarios) {
        if (std::wcscmp(s.name, argv[1]) != 0) continue;
        s.run();
        std::printf("driver: %s\n", g_failures ? "FAILED" : "passed");
        return g_failures ? 1 : 0;
    }
    std::fwprintf(stderr, L"unknown scenario %ls\n", argv[1]);
    return 2;
}
