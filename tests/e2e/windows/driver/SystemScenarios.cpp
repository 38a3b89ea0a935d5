#include "Scenarios.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

// Not a test: how long from process start to a visible window and to a fully
// painted one (every control drawn, the banner among them), and the peak
// working set, for STARTUP_RUNS starts (5 unless set), one line each. One
// start to warm the caches goes uncounted.
void Startup() {
    wchar_t runsText[16] = L"5";
    GetEnvironmentVariableW(L"STARTUP_RUNS", runsText, 16);
    const int runs = std::max(1, _wtoi(runsText));
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const auto since = [&](const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
        return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
               static_cast<double>(frequency.QuadPart);
    };
    std::vector<double> visible, painted, peaks;
    for (int run = 0; run <= runs; ++run) {
        // The desktop repaints where the last window was before this one starts.
        Sleep(200);
        LARGE_INTEGER start, shown, drawn;
        QueryPerformanceCounter(&start);
        Target program;
        if (!Check(program.Start(g_exe), L"the program starts", g_exe)) return;
        HWND window = nullptr;
        const DWORD limit = GetTickCount() + 20000;
        while (!(window = program.FirstVisibleWindow()) && GetTickCount() < limit) Sleep(1);
        QueryPerformanceCounter(&shown);
        if (!Check(window != nullptr, L"a window appears")) return;
        while (!Painted(window) && GetTickCount() < limit) Sleep(1);
        QueryPerformanceCounter(&drawn);
        if (!Check(Painted(window), L"the window is painted")) return;
        PROCESS_MEMORY_COUNTERS memory = {};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(program.Process(), &memory, sizeof memory);
        PostMessageW(window, WM_CLOSE, 0, 0);
        program.WaitForExit();
        if (run == 0) continue;
        visible.push_back(since(start, shown));
        painted.push_back(since(start, drawn));
        peaks.push_back(static_cast<double>(memory.PeakWorkingSetSize) / 1024.0);
    }
    for (std::size_t i = 0; i < visible.size(); ++i)
        std::printf("startup: %.2f ms visible, %.2f ms painted, peak working set %.0f KB\n", visible[i],
                    painted[i], peaks[i]);
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
