// Drives CertInstall.exe through one user-visible path and checks what a user
// would see. Usage: driver SCENARIO PATH-TO-EXE OUTPUT-FOLDER
#include <cstdio>
#include <cwchar>

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
        {L"startup", Startup},     {L"standin", StandIn},   {L"locale", Locale},
        {L"signed", Signed},       {L"older-control", OlderControl},
        {L"older-control-refused", OlderControlRefused}, {L"foreground", Foreground},
        {L"second-start", SecondStart}, {L"window-fails", WindowFails},
        {L"second-start-shown", SecondStartShown}, {L"themed-layout", ThemedLayout},
        {L"dpi-changed", DpiChanged}, {L"installed-silently", InstalledSilently},
        {L"root-unwritable", RootUnwritable}, {L"after-refusal", AfterRefusal},
    };
    if (argc != 4) {
        std::fwprintf(stderr, L"usage: driver SCENARIO EXE OUTPUT-FOLDER\n");
        return 2;
    }
    g_exe = argv[2];
    g_output = argv[3];
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
