#pragma once

// Each edition's window class. They differ so that a second start of one
// edition, which looks for its running window by class, never brings forward
// the other's; the test driver finds the windows by them too.
inline constexpr wchar_t kClassicWindowClass[] = L"CerImport";
inline constexpr wchar_t kVistaWindowClass[] = L"CerImportVista";
