#pragma once

#include <windows.h>


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
class Accessibility {
public:
    // The answer to WM_GETOBJECT for the window.
    LRESULT Answer(HWND window, WPARAM wparam, LPARAM lparam);

private:
    using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*);

    // Loads oleacc.dll, once. It is never freed: the objects given out run its
    // code, and a screen reader may hold them until COM shuts down, after the
    // window has gone.
    bool Load();

    bool tried_ = false;
    CreateStdAccessibleObjectFn createStandard_ = nullptr;
    LresultFromObjectFn lresultFromObject_ = nullptr;
};
