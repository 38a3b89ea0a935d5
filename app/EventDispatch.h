#pragma once

#include "app/CerImport.h"
#include "app/Layout.h"
#include "platform/Error.h"
#include "platform/Platform.h"

// Start-up and the event connections of the window: load, then show unless the
// load unloaded it, then the clicks of cmdNext and cmdExit and nothing else.
// An error that escapes a handler is reported with its number and description
// and ends the program.
class EventDispatch {
public:
    EventDispatch(CerImport& window, Form& form, Platform& platform)
        : window_(window), form_(form), platform_(platform) {}

    void Start();
    void Click(ControlName control);

    // True once no window remains or an error has ended the run.
    bool Ended() const { return failed_ || !form_.IsLoaded(); }
    int ExitCode() const { return failed_ ? 1 : 0; }

private:
    void Run(void (CerImport::*handler)());

    CerImport& window_;
    Form& form_;
    Platform& platform_;
    bool shown_ = false;
    bool clicked_ = false;
    bool failed_ = false;
};

// The report of an error no handler trapped.
void ReportError(Platform& platform, const Error& error);
