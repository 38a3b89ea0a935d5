// An exe that imports one function a supported Windows lacks, for the import
// check to refuse: EncodePointer (XP SP2) or GetTickCount64 (Vista), as the
// C runtime of a newer toolchain would pull in.
#include <windows.h>

extern "C" {
__declspec(dllimport) PVOID WINAPI EncodePointer(PVOID pointer);
__declspec(dllimport) ULONGLONG WINAPI GetTickCount64();
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
#ifdef PROBE_XP
    return EncodePointer(nullptr) != nullptr;
#else
    return static_cast<int>(GetTickCount64() & 1);
#endif
}
