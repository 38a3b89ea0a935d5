#pragma once

#include <windows.h>

// One program per session and edition. A second start, which a slow machine
// invites by a double-click done twice, must not open a second window exactly
// on top of the first: it brings the running program's window, or the box it
// shows, to the front and ends. Each edition has its own mutex and window
// class: a user whom the classic's box sends to the Vista edition starts it
// with the box still up, and must get its window, not the box again; with
// both running, a start of one brings forward its own window only.
//
// The running start owns the mutex until it has released everything, its
// last box included. A second start that finds nothing of it to bring
// forward waits for the mutex, and once it has it (the first released it,
// or ended without: WAIT_ABANDONED) it is the running start itself; after
// ten seconds with nothing to bring forward it runs as if it were alone.
class SingleInstance {
public:
    // mutex: the session's mutex of this edition, "Local\\...";
    // windowClass: the class of this edition's window.
    SingleInstance(const wchar_t* mutex, const wchar_t* windowClass);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this start is the running one: it owns the mutex, or there
    // is none to own. Otherwise it brings the running program's window or
    // box to the front, once it has one, and answers false; or it waits for
    // the running program to end, or ten seconds, and then answers true.
    bool Run();

private:
    HANDLE mutex_;
    bool owned_;
    bool denied_;
    const wchar_t* windowClass_;
};
