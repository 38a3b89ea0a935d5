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

