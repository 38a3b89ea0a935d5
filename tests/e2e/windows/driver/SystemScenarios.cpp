#include "Scenarios.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

// Not a test: how long from process start to a visible window, and the peak
// working set, for STARTUP_RUNS starts (5 unless set), one line each. One
// start to warm the caches goes uncounted.
void Startup() {
    wchar_t runsText[16] = L"5";
    GetEnvironmentVariableW(L"STARTUP_RUNS", runsText, 16);
    const int runs = std::max(1, _wtoi(runsText));
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> millis;
    std::vector<double> peaks;
    for (int run = 0; run <= runs; ++run) {
        LARGE_INTEGER start, shown;
        QueryPerformanceCounter(&start);
        Target program;
        if (!Check(program.Start(g_exe), L"the program starts", g_exe)) return;
        HWND window = nullptr;
        const DWORD limit = GetTickCount() + 20000;
        while (!(window = program.FirstVisibleWindow()) && GetTickCount() < limit) Sleep(1);
        QueryPerformanceCounter(&shown);
        if (!Check(window != nullptr, L"a window appears")) return;
        PROCESS_MEMORY_COUNTERS memory = {};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(program.Process(), &memory, sizeof memory);
        PostMessageW(window, WM_CLOSE, 0, 0);
        program.WaitForExit();
        if (run == 0) continue;
        millis.push_back(1000.0 * static_cast<double>(shown.QuadPart - start.QuadPart) /
                         static_cast<double>(frequency.QuadPart));
        peaks.push_back(static_cast<double>(memory.PeakWorkingSetSize) / 1024.0);
    }
    for (std::size_t i = 0; i < millis.size(); ++i)
        std::printf("startup: %.2f ms, peak working set %.0f KB\n", millis[i], peaks[i]);
}


namespace {

DWORD WINAPI ShowProbeBox(void*) {
    MessageBoxW(nullptr, L"locale", L"locale probe", MB_OK);
    return 0;
}

}  // namespace

// The prefix is the Chinese Windows the cases claim: Wine takes the locale
// from the host and falls back to US English where the host lacks zh_CN.
void Locale() {
    Check(GetUserDefaultLCID() == 0x0804, L"user locale 0x0804", Hex(GetUserDefaultLCID()));
    Check(GetSystemDefaultLCID() == 0x0804, L"system locale 0x0804", Hex(GetSystemDefaultLCID()));
    Check(GetACP() == 936, L"ANSI code page 936", std::to_wstring(GetACP()));
    HANDLE thread = CreateThread(nullptr, 0, ShowProbeBox, nullptr, 0, nullptr);
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindWindowW(L"#32770", L"locale probe")) != nullptr; }, 10000);
    wchar_t text[32] = L"";
    GetDlgItemTextW(box, IDOK, text, 32);
    Check(std::wstring(text) == L"确定", L"a box's button reads 确定", text);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
}
