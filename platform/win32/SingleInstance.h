#pragma once

#include <windows.h>

// One program per session and edition. A second start, which a slow machine
// invites by a double-click done twice, must not open a second window exactly
// on top of the first: it brings the running program's window, or the box it
// shows, to the front and ends. Each edition has its own mutex and window
// class: a user whom the classic's box sends to the Vista edition starts it
// with the box still up, and must get its window, not the box again; with
// both running, a start of one brings forward its own window only.
class SingleInstance {
public:
    // mutex: the session's mutex of this edition, "Local\\...";
    // windowClass: the class of this edition's window.
    SingleInstance(const wchar_t* mutex, const wchar_t* windowClass);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another start of the program runs in this session.
    bool AnotherRuns() const { return anotherRuns_; }
    // Brings that program's window or box to the front, once it has one.
    void BringRunningForward() const;

private:
    HANDLE mutex_;
    bool anotherRuns_;
    const wchar_t* windowClass_;
};
