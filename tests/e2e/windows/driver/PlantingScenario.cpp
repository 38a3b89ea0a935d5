// DLLs planted where a load by name would find them: beside the exe and in
// the current folder, often a browser's download folder.
#include "Scenarios.h"

#include <cstdio>
#include <cstring>

#include "app/Layout.h"
#include "platform/win32/FormWindow.h"

namespace {

// Beside the exe: what the program loads itself. In the current folder also
// dwmapi.dll, which the test's hook loads by name in the program's process
// (the exe's own folder is always searched first; nothing protects that).
const wchar_t* const kPlantedNames[] = {L"crypt32.dll", L"shcore.dll", L"dwmapi.dll"};

std::wstring PlantedLog() {
    return g_output + L"\\planted.log";
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
    Check(FileText(PlantedLog()).find("downloads") != std::string::npos,
          L"a load by name takes the planted DLL from the current folder", Wide(FileText(PlantedLog())));
    DeleteFileW(PlantedLog().c_str());

    const DllHook later(L"GuardHooks.dll", "LoadLater", WH_CBT, 0);
    Check(later.Set(), L"a CBT hook loads dwmapi.dll by name in the program");
    Note(L"the classic, Next and Yes");
    g_exe = classicExe;
    InstallConfirmed(L"planted-classic-");
    Note(L"the Vista edition on 8.1, which has no GetDpiForWindow, so it asks shcore; Next");
    g_exe = vistaExe;
    RunAs(L"8.1");
    {
        Target program;
        if (StartShown(program)) {
            program.ClickNext();
            EndWithOutcome(program, kInstalled);
        }
    }
    const std::string loaded = FileText(PlantedLog());
    Check(loaded.empty(), L"no planted DLL was loaded", Wide(loaded));
    // The prefix may serve other cases after this one.
    NativeFirst(false);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, L"SafeDllSearchMode");
        RegCloseKey(key);
    }
}
