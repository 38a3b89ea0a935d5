#pragma once

// Each edition's window class. They differ so that a second start of one
// edition, which looks for its running window by class, never brings forward
// the other's; the test driver finds the windows by them too.
inline constexpr wchar_t kClassicWindowClass[] = L"CerImport";
inline constexpr wchar_t kVistaWindowClass[] = L"CerImportVista";

// Each edition's mutex, held by its running start: in the session's
// namespace, so that two users of one terminal server each run their own.
// Windows 2000 without Terminal Services ignores the prefix.
inline constexpr wchar_t kClassicRunningMutex[] = L"Local\\Corvane.CertInstall.Running";
inline constexpr wchar_t kVistaRunningMutex[] = L"Local\\Corvane.CertInstallVista.Running";
