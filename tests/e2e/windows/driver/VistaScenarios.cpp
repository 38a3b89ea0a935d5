// The Vista edition: its window laid out again at a changed DPI,
// a start while the classic's box is up, an install with no
// question (Wine's crypt32 asks none), and one whose store cannot be written.
#include "Scenarios.h"

#include <aclapi.h>

#include <cstdlib>

#include "Probe.h"
#include "app/Layout.h"

// Moved to a monitor of 144 DPI and back (WM_DPICHANGED, sent from inside
// the program as Windows sends it): client size, every control, the fonts
// and the banner follow, as the design lays them out at each DPI.
void DpiChanged() {
    Target program;
    std::optional<Probe> probe;
    if (!StartProbed(program, probe)) return;
    Check(ScreenDpi() == 96, L"the window starts at 96 DPI", std::to_wstring(ScreenDpi()));
    for (int dpi : {144, 96}) {
        MoveToDpi(program, *probe, dpi);
        CheckLayout(program, dpi);
        Shot(dpi == 144 ? L"dpi-changed" : L"dpi-changed-back");
    }
    program.ClickExit();
    ExpectEnd(program);
}

// A user of Windows 10 starts the classic, reads its box and starts this
// edition with the box still up: its window appears; it is not taken for a
// second start of the classic.
void AfterRefusal() {
    const std::wstring classic = Beside(g_exe, L"CertInstall.exe");
    Target refusing;
    if (!Check(refusing.Start(classic), L"the classic starts", classic)) return;
    MessageBoxSeen box;
    if (!Check(refusing.WaitForMessageBox(box), L"the classic shows its box")) return;
    ExpectBox(box, L"windows 版本错误，请使用 证书安装 vista版本", L"操作系统版本错误", {IDOK});
    Target program;
    if (StartShown(program)) {
        Shot(L"after-refusal");
        program.ClickExit();
        ExpectEnd(program);
    }
    refusing.Press(box.window, IDOK);
    ExpectEnd(refusing);
}

// Wine's crypt32 asks nothing before it adds to Root, so Next goes straight
// to the outcome. A second run finds the root trusted: no question, one copy.
void InstalledSilently() {
    const std::vector<BYTE> carried = ExpectedCertificate();
    Check(!carried.empty() && CopiesInRootStore(carried) == 0, L"Root does not hold it before");
    InstallOnce(carried, L"", false);
    Note(L"second run");
    InstallOnce(carried, L"second-", false);
}

// The user's Root lives in the registry: with its key closed to writing,
// crypt32 keeps the root in memory and cannot save it, so it is not there
// when the program looks. The program says so: cancelled, Root unchanged.
void RootUnwritable() {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\SystemCertificates\\Root\\Certificates", 0,
                    nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    EXPLICIT_ACCESSW rules[2] = {};
    BuildExplicitAccessWithNameW(&rules[0], const_cast<wchar_t*>(L"EVERYONE"), KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
                                 DENY_ACCESS, NO_INHERITANCE);
    BuildExplicitAccessWithNameW(&rules[1], const_cast<wchar_t*>(L"EVERYONE"), KEY_READ, GRANT_ACCESS,
                                 NO_INHERITANCE);
    PACL acl = nullptr;
    const DWORD made = SetEntriesInAclW(2, rules, nullptr, &acl);
    const DWORD set = made == ERROR_SUCCESS && key ? SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION,
                                                                     nullptr, nullptr, acl, nullptr)
                                                   : made;
    LocalFree(acl);
    if (key) RegCloseKey(key);
    if (!Check(set == ERROR_SUCCESS, L"Root's registry key refuses writing", Hex(set))) return;

    const std::vector<BYTE> carried = ExpectedCertificate();
    Target program;
    if (!StartShown(program)) return;
    program.ClickNext();
    EndWithOutcome(program, kCancelled, L"cancelled");
    Check(CopiesInRootStore(carried) == 0, L"Root is unchanged");
}
