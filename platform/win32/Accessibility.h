#pragma once

#include <windows.h>

#include "platform/win32/Compat.h"

// What a screen reader is told of the installer window beyond what Windows
// knows of any window: that it is a dialog, so that Narrator, NVDA and the
// others read its texts when it opens, in the order of its children (the
// banner's name, both labels, then the focused button), not only its title
// and the button.
//
// It answers WM_GETOBJECT rather than annotating the window through
// IAccPropServices, which Microsoft recommends for changing a property:
// annotation needs oleacc 2.0, which Windows 2000 lacks, and its object would
// be made at every start, where this loads oleacc only once a screen reader
// asks. Every other question goes to the object Windows makes for any window.
//
// UI Automation's clients (Narrator from Windows 8 on) read that answer
// through a proxy that has no counterpart for the dialog role, so to them the
// window would be no dialog. Their sign of one is the IsDialog property
// (Windows 10 1809 and later), which the window gives through a provider for
// UI Automation's root, leaving everything else to the provider Windows makes
// for any window. Where uiautomationcore.dll is missing (Windows 2000, XP
// without its update) the window answers Active Accessibility alone.
class Accessibility {
public:
    // The answer to WM_GETOBJECT for the window.
    LRESULT Answer(HWND window, WPARAM wparam, LPARAM lparam);
    // For WM_DESTROY: UI Automation keeps the providers it was given, for the
    // events it may still route to them, until it is told the window is gone.
    void Forget(HWND window);

private:
    using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*);

    // Loads oleacc.dll, once. It is never freed: the objects given out run its
    // code, and a screen reader may hold them until COM shuts down, after the
    // window has gone.
    bool Load();
    LRESULT AnswerClient(HWND window, WPARAM wparam, LPARAM lparam);
    LRESULT AnswerAutomation(HWND window, WPARAM wparam, LPARAM lparam);

    bool tried_ = false;
    CreateStdAccessibleObjectFn createStandard_ = nullptr;
    LresultFromObjectFn lresultFromObject_ = nullptr;
    bool automationTried_ = false;
    UiAutomationServer automation_;
};
