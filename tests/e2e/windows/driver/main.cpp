// Drives CertInstall.exe through one user-visible path and checks what a user
// would see. Usage: driver SCENARIO PATH-TO-EXE OUTPUT-FOLDER
#include <cstdio>
#include <cwchar>
#include <optional>

#include "Scenarios.h"

int wmain(int argc, wchar_t** argv) {
    struct Entry {
        const wchar_t* name;
        void (*run)();
    };
    const Entry scenarios[] = {
        {L"exit", Exit},           {L"close", Close},       {L"keys", Keys},
        {L"cancelled", Cancelled}, {L"installed", Installed}, {L"declined", Declined},
        {L"again", Again},         {L"refused", Refused},   {L"layout", Layout},
        {L"double-click", DoubleClick}, {L"exit-then-next", ExitThenNext},
        {L"startup", Startup},     {L"locale", Locale},     {L"older-control", OlderControl},
        {L"older-control-refused", OlderControlRefused},
        {L"second-start", SecondStart}, {L"window-fails", WindowFails},
        {L"second-start-shown", SecondStartShown},
        {L"dpi-changed", DpiChanged}, {L"text-size", TextSize}, {L"installed-silently", InstalledSilently},
        {L"root-unwritable", RootUnwritable}, {L"after-refusal", AfterRefusal},
        {L"editions-second-start", EditionsSecondStart}, {L"second-start-hidden", SecondStartHidden},
        {L"second-start-early", SecondStartEarly}, {L"dll-planting", DllPlanting},
        {L"opened-at-144", OpenedAt144},
        {L"windows", OnWindows}, {L"high-contrast", HighContrast},
    };
    if (argc != 4) {
        std::fwprintf(stderr, L"usage: driver SCENARIO EXE OUTPUT-FOLDER\n");
        return 2;
    }
    // Not a scenario: a program of the test's that loads a DLL by name, as a
    // program that does not guard its search would, for the DLL-planting case.
    // It sets no hook and touches no store: the case it serves is running.
    if (std::wcscmp(argv[1], L"load-by-name") == 0) return LoadLibraryW(argv[2]) ? 0 : 1;
    g_exe = argv[2];
    g_output = argv[3];
    // Every box's type is recorded from before the program starts, and the
    // program finds the functions of the Windows the case names; the
    // start-up measurement runs the program as it is, without the hooks.
    std::optional<DllHook> boxType, functions;
    if (std::wcscmp(argv[1], L"startup") != 0) {
        boxType.emplace(L"BoxType.dll", "RecordBoxType", WH_CALLWNDPROC, 0);
        functions.emplace(L"GuardHooks.dll", "WindowsFunctions", WH_CBT, 0);
        WatchDialogEvents();
    }
    for (const Entry& s : scenarios) {
        if (std::wcscmp(s.name, argv[1]) != 0) continue;
        ForgetUserCertificates();
        s.run();
        std::printf("driver: %s\n", g_failures ? "FAILED" : "passed");
        return g_failures ? 1 : 0;
    }
    std::fwprintf(stderr, L"unknown scenario %ls\n", argv[1]);
    return 2;
}
