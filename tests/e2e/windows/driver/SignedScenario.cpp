#include "Scenarios.h"

#include <softpub.h>
#include <wintrust.h>

namespace {

// WinVerifyTrust's answer for a file, with the Authenticode policy and no
// user interface or revocation check (the test root publishes no CRL).
LONG Trust(const std::wstring& path) {
    WINTRUST_FILE_INFO file = {};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = path.c_str();
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG status = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return status;
}

bool ChangeOneByte(const std::wstring& from, const std::wstring& to) {
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) return false;
    HANDLE file = CreateFileW(to.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BYTE b = 0;
    DWORD done = 0;
    SetFilePointer(file, 0x2000, nullptr, FILE_BEGIN);
    bool changed = ReadFile(file, &b, 1, &done, nullptr) && done == 1;
    b ^= 1;
    SetFilePointer(file, 0x2000, nullptr, FILE_BEGIN);
    changed = changed && WriteFile(file, &b, 1, &done, nullptr) && done == 1;
    CloseHandle(file);
    return changed;
}

}  // namespace

// The signed exe: WinVerifyTrust accepts it with the signing root in Root
// and refuses a copy with one byte changed; and it installs as the unsigned
// one does.
void Signed() {
    const std::vector<BYTE> root = FileBytes(L"CERTINSTALL_SIGNING_ROOT");
    if (!Check(!root.empty(), L"the signing root is given")) return;
    // Windows answers CERT_E_UNTRUSTEDROOT here; Wine 8 checks the digest
    // but not the chain, and accepts. Noted, so a later Wine shows up.
    const LONG untrusted = Trust(g_exe);
    Note(L"WinVerifyTrust(signed exe, root not in Root) = " + Hex(static_cast<unsigned long>(untrusted)));
    Check(AddToRootStore(root), L"the signing root is added to Root");
    const LONG signedStatus = Trust(g_exe);
    Note(L"WinVerifyTrust(signed exe) = " + Hex(static_cast<unsigned long>(signedStatus)));
    Check(signedStatus == ERROR_SUCCESS, L"WinVerifyTrust accepts the signed exe");
    const std::wstring changed = g_output + L"\\changed.exe";
    if (Check(ChangeOneByte(g_exe, changed), L"a copy with one byte changed")) {
        const LONG changedStatus = Trust(changed);
        Note(L"WinVerifyTrust(changed copy) = " + Hex(static_cast<unsigned long>(changedStatus)));
        Check(changedStatus == static_cast<LONG>(TRUST_E_BAD_DIGEST), L"WinVerifyTrust refuses the changed copy");
    }
    InstallConfirmed(L"signed-");
}
