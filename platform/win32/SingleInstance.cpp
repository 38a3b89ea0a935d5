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
// thread waited for messages on, the call returns 0 at once, busy or not.
// Any other answer (not ours to ask, as an elevated first start is; the
// process gone) is taken as still starting: the caller then waits on, for
// a window or for the mutex, which is the safe guess.
bool StillStarting(DWORD processId) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (!process) return true;
    const bool starting = WaitForInputIdle(process, 0) != 0;
    CloseHandle(process);
    return starting;
}

// The running program's box, or else its visible window, brought to the
// front: true. False where there is nothing of it on the screen yet.
bool BroughtForward(HWND main, const wchar_t* windowClass) {
    Search search = {0, windowClass};
    GetWindowThreadProcessId(main, &search.process);
    EnumWindows(Consider, reinterpret_cast<LPARAM>(&search));
    // A box stands for the program while its window is hidden: the
    // version box, the control's confirmation, the outcome.
    HWND front = search.box ? search.box : search.window;
    // This start had the user's last input, so Windows lets it hand the
    // foreground on.
    if (front) SetForegroundWindow(front);
    return front != nullptr;
}

}  // namespace

SingleInstance::SingleInstance(const wchar_t* mutex, const wchar_t* windowClass)
    : mutex_(CreateMutexW(nullptr, TRUE, mutex)), windowClass_(windowClass) {
    const DWORD error = GetLastError();
    owned_ = mutex_ && error != ERROR_ALREADY_EXISTS;
    // A mutex an elevated start made refuses a normal one: another start runs
    // all the same. Any other failure leaves nothing to go by.
    denied_ = !mutex_ && error == ERROR_ACCESS_DENIED;
}

SingleInstance::~SingleInstance() {
    if (!mutex_) return;
    if (owned_) ReleaseMutex(mutex_);
    CloseHandle(mutex_);
}

bool SingleInstance::Run() {
    if (owned_ || (!mutex_ && !denied_)) return true;
    // The running program takes the mutex before it makes its window,
    // hidden, and shows it a moment later; it holds the mutex after the
    // window has gone, while it releases COM and crypt32 and while it shows
    // an error report. A mutex that refused us cannot be waited for: its
    // program is looked for five seconds. One that stays held with nothing
    // shown (a start stuck before its window, a crash that Windows Error
    // Reporting holds) is waited for ten seconds at most: past that this
    // start runs as if it were alone, rather than leave a user who sees
    // nothing happen an invisible process at each double-click.
    const DWORD start = GetTickCount(), limit = mutex_ ? 10000 : 5000;
    while (GetTickCount() - start < limit) {
        if (HWND main = FindWindowW(windowClass_, nullptr)) {
            if (BroughtForward(main, windowClass_)) return false;
            // Hidden with no box of its own, once past its start: Next is
            // under way and the question up, if any, belongs to another
            // process (on 2000 and XP crypt32's can), so there is nothing of
            // the program to bring forward, and waiting would only delay.
            DWORD process = 0;
            GetWindowThreadProcessId(main, &process);
            if (!StillStarting(process)) return false;
        }
        if (!mutex_) {
            Sleep(50);
            continue;
        }
        const DWORD waited = WaitForSingleObject(mutex_, 50);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
            owned_ = true;
            return true;
        }
    }
    return mutex_ != nullptr;
}
