// The window as users of Windows' assistive settings meet it: read by a
// screen reader, and drawn in a high-contrast scheme.
#include "Scenarios.h"

#include <oleacc.h>

#include <cmath>

#include "Probe.h"
#include "app/Layout.h"

namespace {

std::wstring NameOf(IAccessible* object) {
    VARIANT self = {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    object->get_accName(self, &name);
    std::wstring text = name ? name : L"";
    SysFreeString(name);
    return text;
}

// WCAG's relative luminance of a colour and the contrast of two.
double Luminance(COLORREF c) {
    const auto linear = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(GetRValue(c)) + 0.7152 * linear(GetGValue(c)) + 0.0722 * linear(GetBValue(c));
}

double Contrast(COLORREF a, COLORREF b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

COLORREF PixelAt(HWND window, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(window, &p);
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

// The window's face, in its left margin, is the scheme's; the strongest
// colour between the banner and the first label, where the separator runs,
// stands out from it.
void ExpectSeparatorStandsOut(Target& program, const std::wstring& scheme, COLORREF wantedFace) {
    HWND main = program.MainWindow();
    Check(WaitUntil([&] { return PixelAt(main, 2, 2) == wantedFace; }, 5000) && WaitPainted(main),
          scheme + L": the window's face is " + Colour(wantedFace), Colour(PixelAt(main, 2, 2)));
    RECT banner, label;
    GetWindowRect(program.Control(Picture1), &banner);
    GetWindowRect(program.Control(lblDesc), &label);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&banner), 2);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&label), 2);
    double strongest = 1;
    for (int y = banner.bottom; y < label.top; ++y)
        strongest = std::max(strongest, Contrast(PixelAt(main, (label.left + label.right) / 2, y), wantedFace));
    wchar_t ratio[16];
    swprintf(ratio, 16, L"%.2f:1", strongest);
    Check(strongest >= 3, scheme + L": the separator stands out from it by 3:1 or more", ratio);
    Note(scheme + L": " + ratio);
}

}  // namespace

void CheckAccessible(Target& program) {
    CoInitialize(nullptr);
    IAccessible* window = nullptr;
    if (Check(SUCCEEDED(AccessibleObjectFromWindow(program.MainWindow(), OBJID_CLIENT, IID_IAccessible,
                                                   reinterpret_cast<void**>(&window))),
              L"a screen reader gets the window's object from oleacc")) {
        VARIANT self = {}, role = {};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        window->get_accRole(self, &role);
        Check(role.vt == VT_I4 && role.lVal == ROLE_SYSTEM_DIALOG, L"it reads the window as a dialog (role 0x12)",
              L"role " + Hex(role.vt == VT_I4 ? role.lVal : 0));
        // What it reads when the dialog opens, in order: its children's names.
        LONG count = 0, got = 0;
        window->get_accChildCount(&count);
        std::vector<VARIANT> children(static_cast<std::size_t>(count));
        AccessibleChildren(window, 0, count, children.data(), &got);
        // The banner by the words its picture shows.
        std::wstring read, wanted = L"|Corvane 加密邮局 · 根证书安装工具";
        for (ControlName c : {lblDesc, Label1, cmdNext, cmdExit}) wanted += std::wstring(L"|") + kControls[c].caption;
        // Each a child window, whose own object names it (Wine's objects for
        // the windows themselves have no name).
        for (LONG i = 0; i < got; ++i) {
            HWND control = nullptr;
            IAccessible* child = nullptr;
            if (children[i].vt == VT_DISPATCH && children[i].pdispVal &&
                SUCCEEDED(children[i].pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&child)))) {
                WindowFromAccessibleObject(child, &control);
                child->Release();
            }
            if (control && SUCCEEDED(AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_IAccessible,
                                                                reinterpret_cast<void**>(&child)))) {
                read += L"|" + NameOf(child);
                child->Release();
            }
            VariantClear(&children[i]);
        }
        Check(read == wanted, L"it reads the banner's name, both labels and the buttons, in that order", read);
        window->Release();
    }
    CoUninitialize();
}

// Under High Contrast Black, which the prefix's colours and the flag give it
// from the start, then White, Black again and none, switched while the
// window shows: the separator stands out in each scheme, and the design's
// greys come back.
void HighContrast() {
    Target program;
    std::optional<Probe> probe;
    if (!StartProbed(program, probe)) return;
    HWND main = program.MainWindow();
    ExpectSeparatorStandsOut(program, L"High Contrast Black", RGB(0, 0, 0));
    Shot(L"high-contrast-black");
    probe->SetContrast(main, 1);
    ExpectSeparatorStandsOut(program, L"switched to High Contrast White", RGB(255, 255, 255));
    Shot(L"high-contrast-white");
    probe->SetContrast(main, 2);
    ExpectSeparatorStandsOut(program, L"and back to High Contrast Black", RGB(0, 0, 0));
    probe->SetContrast(main, 0);
    const int dpi = ScreenDpi();
    const int y = TwipsToPixels(kControls[Line1].top, dpi), x = TwipsToPixels(kControls[Line1].left, dpi);
    Check(WaitUntil([&] { return PixelAt(main, x, y) == RGB(192, 192, 192); }, 5000),
          L"high contrast off: the design's grey line again", Colour(PixelAt(main, x, y)));
    program.ClickExit();
    ExpectEnd(program);
}
