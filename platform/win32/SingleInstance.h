#pragma once

#include <windows.h>

// One program per session. A second start, which a slow machine invites by
// a double-click done twice, must not open a second window exactly on top of
// the first: it brings the running program's window, or the box it shows, to
// the front and ends.
class SingleInstance {
public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when another start of the program runs in this session.
    bool AnotherRuns() const { return anotherRuns_; }
    // Brings that program's window or box to the front, once it has one.
    static void BringRunningForward();

private:
    HANDLE mutex_;
    bool anotherRuns_;
};
