#pragma once

#include <windows.h>

#include <array>

#include "app/EventDispatch.h"
#include "app/Layout.h"
#include "app/WindowLayout.h"
#include "platform/Platform.h"
#include "platform/win32/Accessibility.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WindowIcons.h"
#include "platform/win32/WindowLook.h"

// The installer window built from the layout table: created hidden, shown once
// by start-up, hidden and destroyed by the handlers. Clicks of its buttons go
// to the event dispatch; a close from the frame destroys it with no handler.
// The edition's look gives its DPI and fonts. When its DPI changes (moved to
// a monitor of another scale), the user changes the text size, or its frame
// changes under it (a theme, the title bar's size), it is laid out again from
// the same table, around the texts in their new fonts.
class FormWindow : public Form {
public:
    // Control IDs are this plus the control's index in the layout; they stay
    // clear of IDOK and IDCANCEL, which the dialog keys send.
    static constexpr int kFirstControlId = 100;

    // Throws Error when creation fails; whatever was created by then is
    // destroyed on the way out. className: the edition's own window class.
    FormWindow(HINSTANCE instance, const WindowLook& look, const wchar_t* className);
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    void Connect(EventDispatch& dispatch) { dispatch_ = &dispatch; }
    // Keyboard navigation as on a dialog: Tab, Space, Enter on a focused button.
    bool TranslateDialogKeys(MSG& message);

    void Hide() override;
    void Unload() override;
    bool IsLoaded() const override { return static_cast<bool>(window_); }
    void Show() override;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
    void CreateControls();
    // Lays the window out anew for a DPI, with fonts made for it, and puts
    // it in the middle of area, within the work area of area's monitor;
    // while it is dragged, at area's corner, wherever that is.
    void Arrange(Dpi dpi, const RECT& area);
    // Where the controls go at a DPI, given its fonts, in a work area.
    WindowPlacement Place(Dpi dpi, HFONT labelFont, HFONT buttonFont, const RECT& work) const;
    SIZE FrameSize(Dpi dpi, PixelSize client) const;  // the window's outer size around a client area
    // Whether the look's label font at the window's DPI is no longer the one it uses.
    bool MessageFontChanged() const;
    // Whether the client area is no longer the one the layout made.
    bool ClientChanged() const;
    // Tells screen readers that the dialog started (as it shows, before the
    // focus moves into it) or ended (hidden or gone), once each per showing.
    void Announce(bool start);
    void Repaint() const;
    void PaintLines(HDC dc) const;
    void DrawBanner(const DRAWITEMSTRUCT& item);
    HWND Control(ControlName name) const { return controls_[name]; }

    HINSTANCE instance_;
    const WindowLook& look_;
    Dpi dpi_;
    WindowPlacement placement_{};
    std::array<HWND, kControlCount> controls_{};  // children, destroyed with the window
    HWND focus_ = nullptr;
    OwnedGdiObject<HFONT> labelFont_;
    OwnedGdiObject<HFONT> buttonFont_;
    OwnedGdiObject<HBITMAP> banner_;
    OwnedGdiObject<HPALETTE> halftone_;  // on a palette screen only
    bool bannerTried_ = false;
    WindowIcons icons_;  // before window_: they go once the window no longer shows them
    Accessibility accessibility_;  // before window_: a screen reader may ask until it goes
    EventDispatch* dispatch_ = nullptr;
    bool announced_ = false;  // screen readers were told the dialog started, and not yet that it ended
    bool arranging_ = false;  // Arrange is moving the window: its sizes are not final
    bool dragging_ = false;   // between WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE
    bool draggedToNewDpi_ = false;
    // Last, so that it is destroyed first: the window and its children go
    // while the font they use, and everything WM_NCDESTROY touches, still exist.
    OwnedWindow window_;
};
