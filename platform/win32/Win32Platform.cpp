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
    // appears, so the box has no owner, and MB_SETFOREGROUND asks for the
    // foreground. After Next Windows may refuse it: once the user has
    // answered a question that belongs to another process (on 2000 and XP
    // crypt32's confirmation of a root does), the foreground is not ours to
    // take, and the outcome box would open behind the active window with only
    // a flashing taskbar button, so that the user takes the program for hung.
    // MB_TOPMOST keeps the outcome above the other windows regardless. Not
    // the version box: it sends the user to the Vista edition, whose window,
    // started with the box still up, must not lie under it.
    const std::wstring text(prompt);
    const std::wstring caption(title.value_or(L"" VERSION_PRODUCT_NAME));
    const UINT inFront = MB_SETFOREGROUND | (installing_ ? MB_TOPMOST : 0);
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), static_cast<UINT>(buttons) | inFront);
}

std::unique_ptr<Enrollment> Win32Platform::CreateEnroll() {
    installing_ = true;
    return createEnroll_();
}
