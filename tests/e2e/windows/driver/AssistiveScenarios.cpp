// The window as users of Windows' assistive settings meet it: read by a
// screen reader, and drawn in a high-contrast scheme.
#include "Scenarios.h"

#include <oleacc.h>

#include "Probe.h"
#include "app/Layout.h"

namespace {

// The object oleacc gives a screen reader for a window's client area, asked
// within 5 s (AccessibleObjectFromWindow sends WM_GETOBJECT with no limit).
IAccessible* ClientObject(HWND window) {
    IAccessible* object = nullptr;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT), SMTO_ABORTIFHUNG, 5000, &answer)) {
        Check(false, L"an answer to WM_GETOBJECT within 5 s", Describe(window));
        return nullptr;
    }
    if (answer)
        ObjectFromLresult(answer, IID_IAccessible, 0, reinterpret_cast<void**>(&object));
    else
        CreateStdAccessibleObject(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object));
    return object;
}

// The window's face, in its left margin, is the scheme's; between the banner
// and the first label, where the separator runs, a line is drawn in the
// scheme's text colour, which stands out from its face as the scheme's own
// texts do. (The design's grey lines stand out from black by 11.5:1 too, so
// only the colour tells a window that follows the scheme.)
void ExpectSeparatorInScheme(Target& program, const std::wstring& scheme, COLORREF face, COLORREF text) {
    HWND main = program.MainWindow();
    Check(WaitUntil([&] { return PixelAt(main, 2, 2) == face; }, 5000) && WaitPainted(main),
          scheme + L": the window's face is " + Colour(face), Colour(PixelAt(main, 2, 2)));
    RECT banner, label;
    GetWindowRect(program.Control(Picture1), &banner);
    GetWindowRect(program.Control(lblDesc), &label);
    POINT from = {(label.left + label.right) / 2, banner.bottom};
    ScreenToClient(main, &from);
    std::wstring seen;
    for (int y = from.y; y < from.y + label.top - banner.bottom; ++y) seen += L" " + Colour(PixelAt(main, from.x, y));
    Check(seen.find(Colour(text)) != std::wstring::npos, scheme + L": the separator is drawn in " + Colour(text), seen);
}

}  // namespace

// From this process, as a screen reader: the window is a dialog (to scripts
// and UI Automation too), announced before the focus moved into it, and its
// children read in order, each by its own object's name, the banner's the
// words its picture shows (Wine's objects for the child windows have none).
void CheckAccessible(Target& program) {
    CoInitialize(nullptr);
    Check(GetPropW(program.MainWindow(), L"CertInstallTest.FocusAtStart") == reinterpret_cast<HANDLE>(1),
          L"the dialog's start was announced before the focus moved into it");
    HMODULE uia = LoadLibraryW(L"uiautomationcore.dll");  // mingw-w64 has no import library for it
    const auto node = reinterpret_cast<HRESULT(WINAPI*)(HWND, void**)>(
        reinterpret_cast<void*>(GetProcAddress(uia, "UiaNodeFromHandle")));
    const auto property = reinterpret_cast<HRESULT(WINAPI*)(void*, int, VARIANT*)>(
        reinterpret_cast<void*>(GetProcAddress(uia, "UiaGetPropertyValue")));
    void* element = nullptr;
    VARIANT dialog = {};
    const HRESULT found = node && property ? node(program.MainWindow(), &element) : E_NOTIMPL;
    if (SUCCEEDED(found)) property(element, 30174 /* UIA_IsDialogPropertyId */, &dialog);
    Check(dialog.vt == VT_BOOL && dialog.boolVal == VARIANT_TRUE, L"UI Automation reads it as a dialog (IsDialog)",
          Hex(static_cast<unsigned long>(found)) + L", VARIANT type " + std::to_wstring(dialog.vt));
    IAccessible* window = ClientObject(program.MainWindow());
    if (Check(window != nullptr, L"oleacc gives the window's object")) {
        VARIANT self = {}, role = {}, late = {};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        window->get_accRole(self, &role);
        Check(role.vt == VT_I4 && role.lVal == ROLE_SYSTEM_DIALOG, L"it reads the window as a dialog (role 0x12)",
              L"role " + Hex(role.lVal));
        DISPPARAMS none = {};
        window->Invoke(DISPID_ACC_ROLE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &late, nullptr,
                       nullptr);
        Check(late.vt == VT_I4 && late.lVal == ROLE_SYSTEM_DIALOG, L"accRole asked by name (IDispatch) too",
              L"role " + Hex(late.lVal));
        LONG count = 0, got = 0;
        window->get_accChildCount(&count);
        std::vector<VARIANT> children(static_cast<std::size_t>(count));
        AccessibleChildren(window, 0, count, children.data(), &got);
        std::wstring read, wanted = L"|Corvane 加密邮局 · 根证书安装工具";
        for (ControlName c : {lblDesc, Label1, cmdNext, cmdExit}) wanted += std::wstring(L"|") + kControls[c].caption;
        for (LONG i = 0; i < got; ++i) {
            HWND control = nullptr;
            IAccessible* child = nullptr;
            if (children[i].vt == VT_DISPATCH &&
                SUCCEEDED(children[i].pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&child)))) {
                WindowFromAccessibleObject(child, &control);
                child->Release();
            }
            BSTR name = nullptr;
            if ((child = control ? ClientObject(control) : nullptr)) {
                child->get_accName(self, &name);
                child->Release();
            }
            read += L"|" + std::wstring(name ? name : L"");
            SysFreeString(name);
            VariantClear(&children[i]);
        }
        Note(L"role " + Hex(role.lVal) + L", children read: " + read);
        Check(got == count && read == wanted, L"it reads the banner's name, both labels and the buttons, in that order",
              read);
        window->Release();
    }
    CoUninitialize();
}

// High Contrast Black, which the prefix's colours and the flag give it from
// the start, then White, Black again and none, switched while the window
// shows: the separator stands out in each scheme, and the design's greys come
// back.
void HighContrast() {
    Target program;
    std::optional<Probe> probe;
    if (!StartProbed(program, probe)) return;
    HWND main = program.MainWindow();
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    ExpectSeparatorInScheme(program, L"High Contrast Black", black, white);
    Shot(L"high-contrast-black");
    probe->SetContrast(main, 1);
    ExpectSeparatorInScheme(program, L"switched to High Contrast White", white, black);
    Shot(L"high-contrast-white");
    probe->SetContrast(main, 2);
    ExpectSeparatorInScheme(program, L"and back to High Contrast Black", black, white);
    probe->SetContrast(main, 0);
    const int x = TwipsToPixels(kControls[Line1].left, ScreenDpi()), y = TwipsToPixels(kControls[Line1].top, ScreenDpi());
    Check(WaitUntil([&] { return PixelAt(main, x, y) == RGB(192, 192, 192); }, 5000),
          L"high contrast off: the design's grey line again", Colour(PixelAt(main, x, y)));
    program.ClickExit();
    ExpectEnd(program);
}
