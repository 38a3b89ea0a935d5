#include "platform/win32/FormWindow.h"

#include <algorithm>

#include "platform/win32/Compat.h"
#include "platform/win32/GdiTextMeasure.h"
#include "platform/win32/SystemError.h"
#include "resources/resource.h"

namespace {

// A fixed frame with a close box and neither minimize nor maximize.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

}  // namespace

FormWindow::FormWindow(HINSTANCE instance, const WindowLook& look, const wchar_t* className)
    : instance_(instance), look_(look), dpi_(look.StartDpi()) {
    WNDCLASSEXW type = {};
    type.cbSize = sizeof type;
    type.lpfnWndProc = Procedure;
    type.hInstance = instance;
    type.hIcon = look.ClassIcon(instance, IDI_PROGRAM);
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = className;
    if (!RegisterClassExW(&type)) throw LastError();

    // Hidden until start-up shows it, after the load handler; sized and
    // placed once its controls exist and their texts can be measured. If a
    // control cannot be created below (desktop heap runs out on XP), the throw
    // destroys the window through its owner before the error report's box
    // pumps any message to it.
    if (!CreateWindowExW(0, className, kWindow.caption, kStyle, 0, 0, 0, 0, nullptr, nullptr, instance, this))
        throw LastError();
    CreateControls();
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    Arrange(dpi_, work);
    // A per-monitor aware window sized for the system's DPI may have opened
    // on a monitor of another one.
    const Dpi actual = look_.WindowDpi(window_.get());
    if (!(actual == dpi_)) {
        RECT now;
        GetWindowRect(window_.get(), &now);
        Arrange(actual, now);
    }
    focus_ = Control(cmdNext);
}

void FormWindow::CreateControls() {
    for (int i = 0; i < kControlCount; ++i) {
        const ControlLayout& c = kControls[i];
        const wchar_t* type = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        switch (c.kind) {
            case ControlKind::Line: continue;  // windowless, drawn by WM_PAINT
            case ControlKind::PictureBox: style |= SS_OWNERDRAW; break;
            case ControlKind::Label: style |= SS_LEFT | SS_NOPREFIX; break;
            case ControlKind::PushButton:
                type = L"BUTTON";
                style |= BS_PUSHBUTTON | WS_TABSTOP;
                break;
        }
        controls_[i] = CreateWindowExW(0, type, c.caption ? c.caption : L"", style, 0, 0, 0, 0,
                                       window_.get(), reinterpret_cast<HMENU>(INT_PTR{kFirstControlId + i}),
                                       instance_, nullptr);
        if (!controls_[i]) throw LastError();
    }

    // Screen readers read a window's children in their order, which Tab
    // follows among those that take the focus: stack them as they are read,
    // top to bottom and left to right, the banner first and Next before Exit.
    std::array<int, kControlCount> order{};
    for (int i = 0; i < kControlCount; ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [](int a, int b) {
        return kControls[a].top != kControls[b].top ? kControls[a].top < kControls[b].top
                                                    : kControls[a].left < kControls[b].left;
    });
    for (int i : order)
        if (controls_[i])
            SetWindowPos(controls_[i], HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

namespace {

// The work area of the monitor that holds most of area, or the nearest one.
RECT WorkAreaAround(const RECT& area) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &monitor)) return monitor.rcWork;
    RECT work = area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

PixelRect Pixels(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The classic draws its texts in the design's fonts, for which the design's
// boxes were made: nothing of it grows.
class DesignFits : public TextMeasure {
public:
    int LabelHeight(ControlName, int) const override { return 0; }
    PixelSize Caption(ControlName) const override { return {0, 0}; }
};

}  // namespace

WindowPlacement FormWindow::Place(Dpi dpi, HFONT labelFont, HFONT buttonFont, const RECT& work) const {
    // Nothing of the classic grows, so no work area is too small for it.
    if (!look_.FitsText()) return PlaceControls(DesignFits(), dpi.x, dpi.y, kUnboundedScreen);
    // While the user drags the window across monitors, the size it is given
    // at a new DPI is the one it answered Windows for it (WM_GETDPISCALEDSIZE):
    // another would move it away from the cursor.
    Screen screen = kUnboundedScreen;
    if (!dragging_) {
        const SIZE frame = FrameSize(dpi, {0, 0});
        screen = {{work.right - work.left, work.bottom - work.top}, {frame.cx, frame.cy}};
    }
    return PlaceControls(GdiTextMeasure(labelFont, buttonFont), dpi.x, dpi.y, screen);
}

void FormWindow::Arrange(Dpi dpi, const RECT& area) {
    // Moving the window can take it to another monitor, whose WM_DPICHANGED
    // arranges it again from within: the outer call is not over when that ends.
    const bool outer = !arranging_;
    arranging_ = true;
    dpi_ = dpi;
    // The controls draw with the old fonts until they are given the new ones.
    const OwnedGdiObject<HFONT> oldLabelFont(labelFont_.Release()), oldButtonFont(buttonFont_.Release());
    labelFont_.Reset(look_.CreateLabelFont(dpi_.y));
    buttonFont_.Reset(look_.CreateButtonFont(dpi_.y));
    const RECT work = WorkAreaAround(area);
    placement_ = Place(dpi_, labelFont_.get(), buttonFont_.get(), work);
    for (int i = 0; i < kControlCount; ++i) {
        if (!controls_[i]) continue;
        const PixelBox& box = placement_.controls[i];
        SetWindowPos(controls_[i], nullptr, box.x, box.y, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
        HFONT font = kControls[i].kind == ControlKind::PushButton ? buttonFont_.get() : labelFont_.get();
        SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }

    icons_.Set(window_.get(), instance_, IDI_PROGRAM, look_.WindowIconSizes(dpi_.x));

    const auto put = [&](SIZE frame) {
        const PixelBox at = dragging_ ? PixelBox{area.left, area.top, frame.cx, frame.cy}
                                      : CentredWithin(Pixels(area), {frame.cx, frame.cy}, Pixels(work));
        SetWindowPos(window_.get(), nullptr, at.x, at.y, at.width, at.height, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    SIZE frame = FrameSize(dpi_, placement_.client);
    put(frame);
    // The frame is reckoned from metrics, which need not be what the window
    // draws at its new DPI (Windows scales the frame itself from 10 1703 on):
    // the client area has the last word.
    RECT client;
    GetClientRect(window_.get(), &client);
    if (client.right != placement_.client.width || client.bottom != placement_.client.height) {
        frame.cx += placement_.client.width - client.right;
        frame.cy += placement_.client.height - client.bottom;
        put(frame);
    }
    // Moving a control copies its old pixels along; every control draws
    // itself afresh in its new size and font. Before the first show nothing
    // has been drawn.
    if (IsWindowVisible(window_.get())) Repaint();
    if (outer) arranging_ = false;
}

bool FormWindow::MessageFontChanged() const {
    const OwnedGdiObject<HFONT> now(look_.CreateLabelFont(dpi_.y));
    LOGFONTW used = {}, current = {};
    GetObjectW(labelFont_.get(), sizeof used, &used);
    GetObjectW(now.get(), sizeof current, &current);
    return used.lfHeight != current.lfHeight || used.lfWeight != current.lfWeight ||
           used.lfCharSet != current.lfCharSet || lstrcmpW(used.lfFaceName, current.lfFaceName) != 0;
}

bool FormWindow::ClientChanged() const {
    RECT client;
    GetClientRect(window_.get(), &client);
    return client.right != placement_.client.width || client.bottom != placement_.client.height;
}

void FormWindow::Repaint() const {
    RedrawWindow(window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

SIZE FormWindow::FrameSize(Dpi dpi, PixelSize client) const {
    RECT frame = {0, 0, client.width, client.height};
    look_.AdjustFrame(frame, kStyle, dpi.y);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

bool FormWindow::TranslateDialogKeys(MSG& message) {
    return window_ && IsDialogMessageW(window_.get(), &message);
}

void FormWindow::Hide() {
    if (!window_) return;
    ShowWindow(window_.get(), SW_HIDE);
    Announce(false);
}

void FormWindow::Unload() {
    if (window_ && !DestroyWindow(window_.get())) throw LastError();
}

void FormWindow::Show() {
    // As the dialog manager does for a dialog: the focus rectangle and the
    // access keys show from the start if the user started the program from
    // the keyboard, else from the first key pressed.
    SendMessageW(window_.get(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
    // ShowWindow activates the window once it is visible, and WM_ACTIVATE
    // announces it before it puts the focus on Next; shown without being
    // activated (as a shortcut set to start minimized can ask), it is
    // announced here.
    ShowWindow(window_.get(), SW_SHOW);
    Announce(true);
    UpdateWindow(window_.get());
    SetFocus(Control(cmdNext));
}

void FormWindow::Announce(bool start) {
    // Windows announces its own dialogs as they show and as they close, and
    // readers that follow dialogs by these events read the texts of the one
    // that starts before the control the focus lands on, and drop the one
    // that ended ("Dialog Box", "Event Constants"). A window that is a
    // dialog to a screen reader does as Windows does.
    if (announced_ == start || (start && !IsWindowVisible(window_.get()))) return;
    announced_ = start;
    NotifyWinEvent(start ? EVENT_SYSTEM_DIALOGSTART : EVENT_SYSTEM_DIALOGEND, window_.get(), OBJID_WINDOW,
                   CHILDID_SELF);
}

LRESULT CALLBACK FormWindow::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        self->window_.Adopt(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return DefWindowProcW(window, message, wparam, lparam);
    return self->Handle(message, wparam, lparam);
}

LRESULT FormWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wparam);
            if (HIWORD(wparam) == BN_CLICKED && id >= kFirstControlId &&
                id < kFirstControlId + kControlCount) {
                if (dispatch_) dispatch_->Click(static_cast<ControlName>(id - kFirstControlId));
            } else if (id == IDOK && lparam == 0) {
                // Enter: the focused button is pressed, as on a dialog. The
                // window has no default button, and Escape (IDCANCEL) does nothing.
                HWND focused = GetFocus();
                if (focused == Control(cmdNext) || focused == Control(cmdExit))
                    SendMessageW(focused, BM_CLICK, 0, 0);
            }
            return 0;
        }
        case WM_ACTIVATE:
            // Keep the focus on a button across deactivation, as a dialog does.
            if (LOWORD(wparam) == WA_INACTIVE) {
                HWND focused = GetFocus();
                if (focused && IsChild(window_.get(), focused)) focus_ = focused;
            } else {
                Announce(true);
                if (focus_) SetFocus(focus_);
            }
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window_.get(), &paint);
            PaintLines(dc);
            EndPaint(window_.get(), &paint);
            return 0;
        }
        case WM_NCCREATE:
            look_.PrepareFrame(window_.get());
            break;
        case WM_GETDPISCALEDSIZE: {
            // Windows 10 1703 and later ask for the size at the new DPI before
            // they suggest a rectangle; the layout's size, in fonts made for
            // that DPI, keeps the rectangle where the window will really go.
            const Dpi dpi = {static_cast<int>(wparam), static_cast<int>(wparam)};
            const OwnedGdiObject<HFONT> labelFont(look_.CreateLabelFont(dpi.y)), buttonFont(look_.CreateButtonFont(dpi.y));
            RECT now;
            GetWindowRect(window_.get(), &now);
            *reinterpret_cast<SIZE*>(lparam) =
                FrameSize(dpi, Place(dpi, labelFont.get(), buttonFont.get(), WorkAreaAround(now)).client);
            return TRUE;
        }
        case WM_DPICHANGED:
            // The window takes its size from the layout at the new DPI. Left
            // alone, it is centred where the suggested rectangle is: Windows
            // before 10 1703 ask no size first, so the two sizes differ, and
            // were the window put at the rectangle's corner it could fall back
            // onto the monitor it left, and its DPI flip to and fro. Dragged,
            // it goes to the rectangle's corner, under the cursor, and is
            // fitted to its monitor's work area once let go.
            draggedToNewDpi_ = dragging_;
            Arrange({LOWORD(wparam), HIWORD(wparam)}, *reinterpret_cast<const RECT*>(lparam));
            return 0;
        case WM_ENTERSIZEMOVE:
            dragging_ = true;
            draggedToNewDpi_ = false;
            return 0;
        case WM_EXITSIZEMOVE:
            dragging_ = false;
            if (draggedToNewDpi_) {
                RECT now;
                GetWindowRect(window_.get(), &now);
                Arrange(dpi_, now);
            }
            return 0;
        case WM_SIZE:
            // A frame that changed under the window (a theme, a taller title
            // bar) leaves its client area smaller than the layout: laid out
            // again, the buttons are not cut off at the bottom.
            if (!arranging_ && wparam != SIZE_MINIMIZED && placement_.client.width && ClientChanged()) {
                RECT now;
                GetWindowRect(window_.get(), &now);
                Arrange(dpi_, now);
            }
            return 0;
        case WM_SETTINGCHANGE:
            // The user may have changed the message font, which sizes the text
            // of a window that fits its text (Windows 10's "Make text bigger",
            // the "Message Box" font of 7); Windows announces it with
            // SPI_SETNONCLIENTMETRICS, but whatever a setting's broadcast says,
            // a font that differs from the one in use is laid out anew, about
            // the window's middle. The classic's fonts are its own.
            if (look_.FitsText() && MessageFontChanged()) {
                RECT now;
                GetWindowRect(window_.get(), &now);
                Arrange(dpi_, now);
            }
            return 0;
        case WM_SYSCOLORCHANGE:
            // A colour scheme, high contrast on or off among them: what the
            // window paints itself follows, and the controls are told, as
            // Windows tells only top-level windows.
            for (HWND control : controls_)
                if (control) SendMessageW(control, WM_SYSCOLORCHANGE, 0, 0);
            Repaint();
            return 0;
        case WM_GETOBJECT:
            return accessibility_.Answer(window_.get(), wparam, lparam);
        case WM_DRAWITEM:
            DrawBanner(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
            return TRUE;
        case WM_DESTROY:
            // Exit or the close box: the dialog ends as the window goes.
            Announce(false);
            accessibility_.Forget(window_.get());
            break;
        case WM_NCDESTROY: {
            // The last message: later ones, a broadcast among them, must not
            // reach this object, which may be going too.
            HWND window = window_.get();
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            window_.Forget();
            controls_ = {};
            focus_ = nullptr;
            return DefWindowProcW(window, message, wparam, lparam);
        }
    }
    return DefWindowProcW(window_.get(), message, wparam, lparam);
}
