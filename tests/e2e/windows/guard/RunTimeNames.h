#pragma once

// Every DLL and function the exes look up at run time, with the first
// Windows that has it: the "Minimum supported client" of its reference page
// on learn.microsoft.com. GuardHooks.dll hides from the program what the
// Windows a case names lacks, and reports any lookup this table does not list,
// so that a new one cannot slip past the Windows it would miss on.

enum class Windows { W2000, XP, Vista, Seven, Eight1, Ten1607, Ten1703 };

struct WindowsName {
    const char* name;  // as a case names it in CERTINSTALL_TEST_WINDOWS
    Windows windows;
};

inline constexpr WindowsName kWindowsNames[] = {
    {"2000", Windows::W2000},  {"xp", Windows::XP},          {"vista", Windows::Vista},
    {"7", Windows::Seven},     {"8.1", Windows::Eight1},     {"10-1607", Windows::Ten1607},
    {"10", Windows::Ten1703},
};

struct RunTimeName {
    const char* dll;
    const char* function;  // nullptr: the DLL itself, loaded by the program
    Windows first;
};

inline constexpr RunTimeName kRunTimeNames[] = {
    // "Windows Vista, Windows XP with SP1".
    {"kernel32.dll", "SetDllDirectoryW", Windows::XP},
    {"user32.dll", "GetDpiForWindow", Windows::Ten1607},
    {"user32.dll", "SystemParametersInfoForDpi", Windows::Ten1607},
    {"user32.dll", "GetSystemMetricsForDpi", Windows::Ten1607},
    {"user32.dll", "AdjustWindowRectExForDpi", Windows::Ten1607},
    {"user32.dll", "EnableNonClientDpiScaling", Windows::Ten1607},
    // shcore.dll ships with 8, its DPI functions with 8.1; 8 is not claimed.
    {"shcore.dll", nullptr, Windows::Eight1},
    {"shcore.dll", "GetDpiForMonitor", Windows::Eight1},
    {"comctl32.dll", "LoadIconWithScaleDown", Windows::Vista},
    // Active Accessibility 1.x, "Included in Windows 2000 and later".
    {"oleacc.dll", nullptr, Windows::W2000},
    {"oleacc.dll", "CreateStdAccessibleObject", Windows::W2000},
    {"oleacc.dll", "LresultFromObject", Windows::W2000},
    // Today's pages start at XP, where they begin; CryptoAPI 2.0 with these
    // functions is part of Windows 2000 (and of NT 4 with Internet Explorer 3.02).
    {"crypt32.dll", nullptr, Windows::W2000},
    {"crypt32.dll", "CertOpenStore", Windows::W2000},
    {"crypt32.dll", "CertCloseStore", Windows::W2000},
    {"crypt32.dll", "CertEnumCertificatesInStore", Windows::W2000},
    {"crypt32.dll", "CertFreeCertificateContext", Windows::W2000},
    {"crypt32.dll", "CertCompareCertificateName", Windows::W2000},
    {"crypt32.dll", "CertAddEncodedCertificateToStore", Windows::W2000},
};
