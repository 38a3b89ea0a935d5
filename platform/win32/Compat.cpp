#include "platform/win32/Compat.h"

#include <windows.h>

void RemoveCurrentDirectoryFromDllSearch() {
    using SetDllDirectoryFn = BOOL(WINAPI*)(const wchar_t*);
    // kernel32 is mapped into every process, so this load searches nothing.
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    const auto setDllDirectory = reinterpret_cast<SetDllDirectoryFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel32, "SetDllDirectoryW")));
    if (setDllDirectory) setDllDirectory(L"");
}
