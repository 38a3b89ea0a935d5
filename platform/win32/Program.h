#pragma once

#include <windows.h>

#include "install/VersionGate.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WindowLook.h"

// What makes an edition of the program, chosen in its own entry point.
struct Edition {
    // The mutex its running start holds (WindowClasses.h).
    const wchar_t* runningMutex;
    // The window's class, the edition's own: a second start looks for it,
    // and must not bring forward the other edition's window when both run.
    const wchar_t* windowClass;
    const VersionGate* gate;                      // nullptr: it runs on every Windows
    Win32Platform::EnrollmentFactory createEnroll;  // what Next installs through
    const WindowLook& look;
};

// The whole run of the program: one start per session, the window, its
// handlers and the message loop. Returns the process's exit code.
int RunProgram(HINSTANCE module, const Edition& edition);
