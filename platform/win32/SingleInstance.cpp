#include "platform/win32/SingleInstance.h"

namespace {

struct Search {
    DWORD process;
    const wchar_t* windowClass;
    HWND box = nullptr;
    HWND window = nullptr;
};

BOOL CALLBACK Consider(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window)) return TRUE;
    wchar_t type[32] = L"";
    GetClassNameW(window, type, 32);
    if (lstrcmpW(type, L"#32770") == 0) {
        search->box = window;
        return FALSE;
    }
    if (lstrcmpW(type, search->windowClass) == 0) search->window = window;
    return TRUE;
}

// Whether the process has yet to reach its first wait for input. Windows
// answers WaitForInputIdle only once per process: from the first time its
// thread waited for messages on, the call returns at once, busy or not.
bool StillStarting(DWORD processId) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    // Not ours to ask (an elevated first start): searching a while longer is
    // the safe guess, as it was before this question could be put.
    if (!process) return true;
    const bool starting = WaitForInputIdle(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return starting;
}

}  // namespace

SingleInstance::SingleInstance(const wchar_t* mutex, const wchar_t* windowClass)
    : mutex_(CreateMutexW(nullptr, FALSE, mutex)),
      anotherRuns_(mutex_ && GetLastError() == ERROR_ALREADY_EXISTS),
      windowClass_(windowClass) {}

SingleInstance::~SingleInstance() {
    if (mutex_) CloseHandle(mutex_);
}

void SingleInstance::BringRunningForward() const {
    // The running program takes the mutex before it makes its window, hidden,
    // and shows it a moment later: a start that races that beginning waits
    // for it a little.
    for (int tries = 0; tries < 100; ++tries) {
        if (HWND main = FindWindowW(windowClass_, nullptr)) {
            Search search = {0, windowClass_};
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
            // Hidden with no box of its own, once past its start: Next is
            // under way and the question up, if any, belongs to another
            // process (on 2000 and XP crypt32's can), so there is nothing of
            // the program to bring forward, and waiting would only delay.
            if (!StillStarting(search.process)) return;
        }
        Sleep(50);
    }
}
