#include "platform/win32/Win32Platform.h"

#include <windows.h>

#include "resources/version.h"

std::uint32_t Win32Platform::GetVersion() {
    return ::GetVersion();
}

std::wstring Win32Platform::DecimalSeparator() {
    wchar_t separator[8];
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) <= 1) return L".";
    return separator;
}

void Win32Platform::MsgBox(std::wstring_view prompt, int buttons,
                           std::optional<std::wstring_view> title) {
    // The program's only window is hidden or not yet shown whenever a box
    // appears, so the box has no owner, and Windows has activated another
    // program's window: MB_SETFOREGROUND brings the box to the front rather
    // than leaving it flashing in the taskbar.
    const std::wstring text(prompt);
    const std::wstring caption(title.value_or(L"" VERSION_PRODUCT_NAME));
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), static_cast<UINT>(buttons) | MB_SETFOREGROUND);
}

std::unique_ptr<Enrollment> Win32Platform::CreateEnroll() {
    return createEnroll_();
}
