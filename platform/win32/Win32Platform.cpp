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
    // program's window: MB_SETFOREGROUND asks for the foreground. Windows may
    // still refuse it: once the user has answered a question that belongs to
    // another process (on 2000 and XP crypt32's confirmation of a root can),
    // the foreground is not ours to take, and the outcome box would open
    // behind the active window with only a flashing taskbar button, so that
    // the user takes the program for hung. MB_TOPMOST keeps it above the
    // other windows whether or not it gets the foreground.
    const std::wstring text(prompt);
    const std::wstring caption(title.value_or(L"" VERSION_PRODUCT_NAME));
    MessageBoxW(nullptr, text.c_str(), caption.c_str(),
                static_cast<UINT>(buttons) | MB_SETFOREGROUND | MB_TOPMOST);
}

std::unique_ptr<Enrollment> Win32Platform::CreateEnroll() {
    return createEnroll_();
}
