// What guards the program against its surroundings: a second start at any
// moment, the other edition running beside it, DLLs planted where a load by
// name would find them, a monitor of another DPI than the system's.
#include "Scenarios.h"

#include <cstdio>
#include <cstring>

#include "app/Layout.h"
#include "platform/win32/FormWindow.h"

namespace {

std::wstring Beside(const std::wstring& exe, const wchar_t* name) {
    return exe.substr(0, exe.find_last_of(L'\\') + 1) + name;
}

bool StartShownExe(Target& program, const std::wstring& exe) {
    if (!Check(program.Start(exe), L"the program starts", exe)) return false;
    return Check(program.WaitForMainWindow(), L"its window appears", exe);
}

// CERTINSTALL_TEST_WINDOW_DPI for the programs the driver starts from now.
void AnswerDpi(int dpi) {
    SetEnvironmentVariableW(L"CERTINSTALL_TEST_WINDOW_DPI", std::to_wstring(dpi).c_str());
}

}  // namespace

// Both editions run, each window once behind the other's: a second start of
// either brings forward its own edition's window, never the other's.
void EditionsSecondStart() {
    const std::wstring classicExe = Beside(g_exe, L"CertInstall.exe");
    const std::wstring vistaExe = Beside(g_exe, L"CertInstallVista.exe");
    DecoyWindow decoy;
    Target classic, vista;
    if (!StartShownExe(classic, classicExe) || !StartShownExe(vista, vistaExe)) return;
    struct Turn {
        Target& own;
        Target& other;
        const std::wstring& exe;
    };
    for (const Turn& turn : {Turn{classic, vista, classicExe}, Turn{vista, classic, vistaExe}}) {
        const std::wstring name = turn.exe.substr(turn.exe.find_last_of(L'\\') + 1);
        Note(L"a second start of " + name);
        Check(turn.other.BringToFront(), L"the other edition's window was in front last");
        Check(decoy.Activate(), L"another window is in front");
        StartAgain(turn.exe, L"of " + name);
        Check(WaitUntil([&] { return GetForegroundWindow() == turn.own.MainWindow(); }, 5000),
              L"its own edition's window is brought to the front", Describe(GetForegroundWindow()));
        Check(VisibleWindowsOf(turn.exe) == 1, L"one window of " + name);
    }
    classic.ClickExit();
    ExpectEnd(classic);
    vista.ClickExit();
    ExpectEnd(vista);
}

// After Next the window is hidden and, while another process's question
// would be up, the program shows no box of its own (the stand-in waits
// before it asks): a second start finds nothing to bring forward and ends
// at once, as quickly as one while the window shows, not after a search.
void SecondStartHidden() {
    wchar_t name[128] = L"";
    if (!Check(GetEnvironmentVariableW(L"CENROLL_STANDIN_WAIT_EVENT", name, 128) != 0,
               L"the case names the stand-in's event"))
        return;
    HANDLE go = CreateEventW(nullptr, FALSE, FALSE, name);
    Target program;
    if (!StartShown(program)) return;
    const long shown = StartAgain(g_exe, L"while the window shows");
    program.ClickNext();
    Check(WaitUntil([&] { return !program.MainVisible(); }, 5000), L"Next hides the window");
    Check(program.MessageBoxes().empty(), L"the program shows no box while the control works");
    const long hidden = StartAgain(g_exe, L"while the window is hidden and no box is up");
    Check(hidden >= 0 && hidden <= shown + 2000,
          L"it ends at once, within 2 s of the time a start while the window shows takes",
          std::to_wstring(hidden) + L" ms against " + std::to_wstring(shown) + L" ms");
    SetEvent(go);
    const MessageBoxSeen question = Confirmation(program);
    program.Press(question.window, IDYES);
    SetEvent(go);
    const MessageBoxSeen box = Outcome(program, kInstalled);
    program.Press(box.window, IDOK);
    ExpectEnd(program);
    CloseHandle(go);
}

// The race of a double-click done twice: the first start holds the mutex
// and has made its window, hidden, but shows nothing yet (a CBT hook holds
// it as the window's first control is made). A second start waits for that
// window to show, brings it forward and ends; one window appears.
void SecondStartEarly() {
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, L"CertInstallTest.Held");
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, L"CertInstallTest.Release");
    const DllHook hold(L"GuardHooks.dll", "HoldWindow", WH_CBT, 0);
    if (!Check(hold.Set(), L"a CBT hook holds the making of the window", BesideDriver(L"GuardHooks.dll"))) return;
    Target first;
    if (!Check(first.Start(g_exe), L"the first start", g_exe)) return;
    if (!Check(WaitForSingleObject(held, 30000) == WAIT_OBJECT_0, L"the first start is held as its window's first control is made"))
        return;
    Target second;
    if (!Check(second.Start(g_exe), L"a second start meanwhile", g_exe)) return;
    bool showed = false;
    const auto ended = [&] {
        showed = showed || second.FirstVisibleWindow() != nullptr;
        return WaitForSingleObject(second.Process(), 0) == WAIT_OBJECT_0;
    };
    Check(FindWindowW(WindowClassOf(g_exe).c_str(), nullptr) && !first.MainVisible(),
          L"the first start's window exists, hidden");
    Check(!WaitUntil(ended, 2000), L"the second start waits while the first shows nothing");
    const DWORD released = GetTickCount();
    SetEvent(release);
    if (!Check(first.WaitForMainWindow(), L"the first start's window appears")) return;
    Check(WaitUntil(ended, 10000) && second.WaitForExit(0) == 0, L"the second start ends with exit code 0");
    Note(L"it ended " + std::to_wstring(GetTickCount() - released) + L" ms after the first was let go");
    Check(!showed, L"the second start showed nothing of its own");
    Check(VisibleWindowsOf(g_exe) == 1, L"one installer window", std::to_wstring(VisibleWindowsOf(g_exe)));
    Check(WaitUntil([&] { return GetForegroundWindow() == first.MainWindow(); }, 5000),
          L"the window is in front", Describe(GetForegroundWindow()));
    first.ClickExit();
    ExpectEnd(first);
    CloseHandle(held);
    CloseHandle(release);
}

namespace {

// Beside the exe: what the program loads itself. In the current folder also
// dwmapi.dll, which the test's hook loads by name in the program's process
// (the exe's own folder is always searched first; nothing protects that).
const wchar_t* const kPlantedNames[] = {L"crypt32.dll", L"shcore.dll", L"dwmapi.dll"};

std::wstring PlantedLog() {
    return g_output + L"\\planted.log";
}

std::string ReadPlantedLog() {
    std::string text;
    if (FILE* in = _wfopen(PlantedLog().c_str(), L"rb")) {
        char buffer[512];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, got);
        std::fclose(in);
    }
    return text;
}

std::wstring Wide(const std::string& utf8) {
    std::wstring text(utf8.size(), L'\0');
    text.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
                            static_cast<int>(text.size()))));
    return text;
}

// A folder holding a copy of the planted DLL under the first count names.
bool Plant(const std::wstring& folder, int count) {
    CreateDirectoryW(folder.c_str(), nullptr);
    bool planted = true;
    for (int i = 0; i < count; ++i)
        planted = CopyFileW(BesideDriver(L"Planted.dll").c_str(), (folder + L"\\" + kPlantedNames[i]).c_str(), FALSE) &&
                  planted;
    return planted;
}

// Wine's own crypt32, shcore and dwmapi give way, in both editions, to a DLL
// of that name found first in the search (WINEDLLOVERRIDES does not reach a
// process that another Windows process starts); or no longer, for false.
void NativeFirst(bool on) {
    for (const wchar_t* exe : {L"CertInstall.exe", L"CertInstallVista.exe"}) {
        const std::wstring path = std::wstring(L"Software\\Wine\\AppDefaults\\") + exe + L"\\DllOverrides";
        HKEY key = nullptr;
        if (!on) {
            RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
            continue;
        }
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
        for (const wchar_t* dll : {L"crypt32", L"shcore", L"dwmapi"})
            RegSetValueExW(key, dll, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"native,builtin"),
                           sizeof L"native,builtin");
        if (key) RegCloseKey(key);
    }
}

}  // namespace

// A DLL of the test's, named crypt32.dll and shcore.dll, lies beside the
// exe and in the current folder, as in a browser's download folder, and as
// dwmapi.dll in the current folder. The prefix searches the current folder
// before the system's, as Windows 2000 and XP before SP2 do, and Wine takes a
// DLL found there over its own (DllOverrides native,builtin). Both editions go
// through Next, which loads crypt32, the Vista edition also shcore, for a
// GetDpiForWindow that fails as where it is absent; a hook of the test's
// loads dwmapi.dll by name in the program meanwhile. None of the planted
// DLLs may load; a load by name by another program does take one.
void DllPlanting() {
    const std::wstring app = g_output + L"\\app", downloads = g_output + L"\\downloads";
    if (!Check(Plant(app, 2) && Plant(downloads, 3), L"the DLLs are planted beside the exes and in the current folder"))
        return;
    const std::wstring classicExe = app + L"\\CertInstall.exe", vistaExe = app + L"\\CertInstallVista.exe";
    Check(CopyFileW(Beside(g_exe, L"CertInstall.exe").c_str(), classicExe.c_str(), FALSE) &&
              CopyFileW(Beside(g_exe, L"CertInstallVista.exe").c_str(), vistaExe.c_str(), FALSE),
          L"both exes are copied beside them");
    HKEY key = nullptr;
    const DWORD unsafe = 0;
    const LONG set = RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager", 0,
                                     nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    Check(set == ERROR_SUCCESS && RegSetValueExW(key, L"SafeDllSearchMode", 0, REG_DWORD,
                                                 reinterpret_cast<const BYTE*>(&unsafe), sizeof unsafe) == ERROR_SUCCESS,
          L"the current folder is searched before the system's (SafeDllSearchMode 0)");
    if (key) RegCloseKey(key);
    NativeFirst(true);
    SetEnvironmentVariableW(L"CERTINSTALL_PLANTED_LOG", PlantedLog().c_str());
    SetCurrentDirectoryW(downloads.c_str());
    DeleteFileW(PlantedLog().c_str());

    // The planting works here: a program that loads shcore.dll by name gets it.
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION byName = {};
    std::wstring command = L"\"" + BesideDriver(L"driver.exe") + L"\" load-by-name shcore.dll none";
    if (Check(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &byName) != FALSE,
              L"a program of the test's starts, to load shcore.dll by name")) {
        WaitForSingleObject(byName.hProcess, 30000);
        CloseHandle(byName.hThread);
        CloseHandle(byName.hProcess);
    }
    Check(ReadPlantedLog().find("downloads") != std::string::npos,
          L"a load by name takes the planted DLL from the current folder", Wide(ReadPlantedLog()));
    DeleteFileW(PlantedLog().c_str());

    const DllHook later(L"GuardHooks.dll", "LoadLater", WH_CBT, 0);
    Check(later.Set(), L"a CBT hook loads dwmapi.dll by name in the program");
    Note(L"the classic, Next and Yes");
    g_exe = classicExe;
    InstallConfirmed(L"planted-classic-");
    Note(L"the Vista edition, whose GetDpiForWindow fails, Next");
    g_exe = vistaExe;
    AnswerDpi(0);
    {
        const DllHook answer(L"GuardHooks.dll", "AnswerDpi", WH_CBT, 0);
        Check(answer.Set(), L"a CBT hook makes GetDpiForWindow fail in the program");
        Target program;
        if (StartShown(program)) {
            program.ClickNext();
            const MessageBoxSeen box = Outcome(program, kInstalled);
            program.Press(box.window, IDOK);
            ExpectEnd(program);
        }
    }
    const std::string loaded = ReadPlantedLog();
    Check(loaded.empty(), L"no planted DLL was loaded", Wide(loaded));
    // The prefix may serve other cases after this one.
    NativeFirst(false);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, L"SafeDllSearchMode");
        RegCloseKey(key);
    }
}

namespace {

// Each control's font, as the program's process sees it: ID, height, face.
struct ControlFont {
    int id;
    long height;
    std::wstring face;
};

std::wstring FontsFile() {
    return g_output + L"\\fonts.txt";
}

// Before the program starts: it inherits where the probe writes.
void NameFontsFile() {
    SetEnvironmentVariableW(L"CERTINSTALL_PROBE_OUT", FontsFile().c_str());
    DeleteFileW(FontsFile().c_str());
}

std::vector<ControlFont> ReadControlFonts(Target& program) {
    const std::wstring path = FontsFile();
    std::vector<ControlFont> fonts;
    const DllHook probe(L"GuardHooks.dll", "ControlFonts", WH_GETMESSAGE, program.ThreadId());
    if (!Check(probe.Set(), L"the font probe hooks the program's thread")) return fonts;
    PostMessageW(program.MainWindow(), RegisterWindowMessageW(L"CertInstallTest.Fonts"), 0, 0);
    WaitUntil(
        [&] {
            fonts.clear();
            if (FILE* in = _wfopen(path.c_str(), L"r")) {
                int id;
                long height;
                char face[128];
                while (std::fscanf(in, "%d %ld %127[^\n]", &id, &height, face) == 3)
                    fonts.push_back({id, height, Wide(face)});
                std::fclose(in);
            }
            return fonts.size() >= 4;
        },
        5000);
    return fonts;
}

}  // namespace

// The Vista edition opens on a monitor of 144 DPI while the system's is 96
// (a CBT hook makes GetDpiForWindow answer 144 in the program): it lays
// itself out at once for 144, client area, every control and the banner,
// and both fonts, the labels' and the buttons', are made for 144.
void OpenedAt144() {
    const int dpi = 144;
    Check(ScreenDpi() == 96, L"the system's DPI is 96", std::to_wstring(ScreenDpi()));
    AnswerDpi(dpi);
    const DllHook answer(L"GuardHooks.dll", "AnswerDpi", WH_CBT, 0);
    if (!Check(answer.Set(), L"a CBT hook makes GetDpiForWindow answer 144 in the program")) return;
    NameFontsFile();
    Target program;
    if (!Check(program.Start(g_exe), L"the program starts", g_exe)) return;
    if (!Check(WaitUntil([&] { return program.MainVisible(); }, 20000), L"the window appears")) return;
    // Sized for 96 DPI at first, it is placed again for 144, within the
    // test's 800 x 600 screen.
    ExpectWithinWorkArea(program.MainWindow());
    Check(WaitPainted(program.MainWindow()), L"the window is painted: the banner, both texts, both buttons");
    Check(program.BringToFront(), L"the window is in front");
    CheckLayout(program, dpi);

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const long wanted = MulDiv(metrics.lfMessageFont.lfHeight, dpi, ScreenDpi());
    const std::vector<ControlFont> fonts = ReadControlFonts(program);
    int checked = 0;
    for (const ControlFont& font : fonts) {
        const int index = font.id - FormWindow::kFirstControlId;
        if (index < 0 || index >= kControlCount) continue;
        const ControlLayout& control = kControls[index];
        if (control.kind != ControlKind::Label && control.kind != ControlKind::PushButton) continue;
        ++checked;
        const std::wstring name(control.name, control.name + std::strlen(control.name));
        Check(font.height - wanted <= 1 && wanted - font.height <= 1 && font.face == metrics.lfMessageFont.lfFaceName,
              name + L" is in the message font made for 144 DPI, height " + std::to_wstring(wanted),
              font.face + L" " + std::to_wstring(font.height));
    }
    Check(checked == 4, L"both labels' and both buttons' fonts were read", std::to_wstring(checked));
    Shot(L"opened-at-144");
    program.ClickExit();
    ExpectEnd(program);
}
