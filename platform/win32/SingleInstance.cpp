#include "platform/win32/SingleInstance.h"

namespace {

constexpr wchar_t kWindowClass[] = L"CerImport";

struct Search {
    DWORD process;
    HWND box = nullptr;
    HWND window = nullptr;
};

BOOL CALLBACK Consider(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window)) return TRUE;
    wchar_t type[16] = L"";
    GetClassNameW(window, type, 16);
    if (lstrcmpW(type, L"#32770") == 0) {
        search->box = window;
        return FALSE;
    }
    if (lstrcmpW(type, kWindowClass) == 0) search->window = window;
    return TRUE;
}

}  // namespace

SingleInstance::SingleInstance(const wchar_t* name)
    : mutex_(CreateMutexW(nullptr, FALSE, name)),
      anotherRuns_(mutex_ && GetLastError() == ERROR_ALREADY_EXISTS) {}

SingleInstance::~SingleInstance() {
    if (mutex_) CloseHandle(mutex_);
}

void SingleInstance::BringRunningForward() {
    // The running program makes its window, hidden, before anything else it
    // shows; a start that races its beginning waits for it a little.
    for (int tries = 0; tries < 100; ++tries) {
        if (HWND main = FindWindowW(kWindowClass, nullptr)) {
            Search search = {};
            GetWindowThreadProcessId(main, &search.process);
            EnumWindows(Consider, reinterpret_cast<LPARAM>(&search));
            // A box stands for the program while its window is hidden: the
            // version box, the control's confirmation, the outcome.
            if (HWND front = search.box ? search.box : search.window) {
                // This start had the user's last input, so Windows lets it
                // hand the foreground on.
                SetForegroundWindow(front);
                return;
            }
        }
        Sleep(50);
    }
}
