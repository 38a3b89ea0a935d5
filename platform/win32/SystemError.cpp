#include "platform/win32/SystemError.h"

std::wstring SystemMessage(HRESULT status) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(status), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer, length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    return text;
}

Error LastError() {
    const HRESULT status = HRESULT_FROM_WIN32(GetLastError());
    // A failure that set no code still has to read as a failure.
    return Error(FAILED(status) ? status : E_FAIL, SystemMessage(status));
}
