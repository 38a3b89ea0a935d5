#include "platform/win32/Accessibility.h"

#include <oleacc.h>
#include <uiautomationclient.h>
#include <uiautomationcore.h>

#include <new>

#include "platform/win32/Compat.h"

namespace {

// UI Automation asks a window for its provider with this object ID. Its
// header, uiautomationcoreapi.h, does not compile as C++ in mingw-w64 (a
// parameter named "new").
constexpr LONG kUiaRootObjectId = -25;

// The object Windows makes for the window's client area, but for its role.
class DialogAccessible final : public IAccessible {
public:
    explicit DialogAccessible(IAccessible* standard) : standard_(standard) {}
    DialogAccessible(const DialogAccessible&) = delete;
    DialogAccessible& operator=(const DialogAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF) return standard_->get_accRole(child, role);
        if (!role) return E_INVALIDARG;
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_DIALOG;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object) return E_POINTER;
        if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // The children's enumeration and the window behind the object are the
        // standard object's. Nothing else is handed out: through it a client
        // would reach the standard object itself, with its role.
        if (id == __uuidof(IEnumVARIANT) || id == __uuidof(IOleWindow)) return standard_->QueryInterface(id, object);
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            standard_->Release();
            delete this;
        }
        return left;
    }

    // The rest is the standard object's.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override {
        return standard_->GetIDsOfNames(id, names, count, locale, ids);
    }
    // A late-bound client (a script) asks accRole by name, through IDispatch,
    // which the standard object would answer with the client role.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
        if (member != DISPID_ACC_ROLE || !(flags & DISPATCH_PROPERTYGET) || !params || params->cArgs > 1)
            return standard_->Invoke(member, id, locale, flags, params, result, exception, argument);
        // No child named, or the optional one left out: the window itself.
        VARIANT child;
        VariantInit(&child);
        child.vt = VT_I4;
        child.lVal = CHILDID_SELF;
        if (params->cArgs == 1 && params->rgvarg[0].vt != VT_ERROR &&
            FAILED(VariantChangeType(&child, &params->rgvarg[0], 0, VT_I4)))
            return DISP_E_TYPEMISMATCH;
        VARIANT role;
        return get_accRole(child, result ? result : &role);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return standard_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override { return standard_->get_accName(child, name); }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return standard_->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return standard_->get_accHelp(child, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override { return standard_->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return standard_->accDoDefaultAction(child); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return standard_->put_accName(child, name); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    ~DialogAccessible() = default;

    IAccessible* standard_;
    ULONG references_ = 1;
};

// UI Automation's provider for the window: it is a dialog. The name, the
// control type and the children stay those of the host provider Windows
// makes for any window, to which every other property is left.
class DialogProvider final : public IRawElementProviderSimple {
public:
    DialogProvider(HWND window, const UiAutomationServer& server) : window_(window), server_(server) {}
    DialogProvider(const DialogProvider&) = delete;
    DialogProvider& operator=(const DialogProvider&) = delete;

    HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* options) override {
        if (!options) return E_POINTER;
        // Called on the window's own thread, through COM, like its other objects.
        *options = static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider | ProviderOptions_UseComThreading);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID, IUnknown** pattern) override {
        if (!pattern) return E_POINTER;
        *pattern = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* value) override {
        if (!value) return E_POINTER;
        VariantInit(value);  // VT_EMPTY: the host provider's value stands
        if (property == UIA_IsDialogPropertyId) {
            value->vt = VT_BOOL;
            value->boolVal = VARIANT_TRUE;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** host) override {
        if (!host) return E_POINTER;
        return server_.hostProviderFromHwnd(window_, host);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object) return E_POINTER;
        if (id == __uuidof(IUnknown) || id == __uuidof(IRawElementProviderSimple)) {
            *object = static_cast<IRawElementProviderSimple*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // COM may release it from another thread once a client lets go.
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

private:
    ~DialogProvider() = default;

    HWND window_;
    UiAutomationServer server_;
    LONG references_ = 1;
};

}  // namespace

bool Accessibility::Load() {
    if (!tried_) {
        tried_ = true;
        if (HMODULE module = LoadSystemLibrary(L"oleacc.dll")) {
            createStandard_ = reinterpret_cast<CreateStdAccessibleObjectFn>(
                reinterpret_cast<void*>(GetProcAddress(module, "CreateStdAccessibleObject")));
            lresultFromObject_ = reinterpret_cast<LresultFromObjectFn>(
                reinterpret_cast<void*>(GetProcAddress(module, "LresultFromObject")));
        }
    }
    return createStandard_ && lresultFromObject_;
}

LRESULT Accessibility::Answer(HWND window, WPARAM wparam, LPARAM lparam) {
    // lParam is a 32-bit object ID, sign-extended or not on 64-bit Windows.
    const LONG object = static_cast<LONG>(static_cast<DWORD>(lparam));
    if (object == OBJID_CLIENT) return AnswerClient(window, wparam, lparam);
    if (object == kUiaRootObjectId) return AnswerAutomation(window, wparam, lparam);
    return DefWindowProcW(window, WM_GETOBJECT, wparam, lparam);
}

LRESULT Accessibility::AnswerClient(HWND window, WPARAM wparam, LPARAM lparam) {
    if (!Load()) return DefWindowProcW(window, WM_GETOBJECT, wparam, lparam);
    IAccessible* standard = nullptr;
    if (FAILED(createStandard_(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))))
        return DefWindowProcW(window, WM_GETOBJECT, wparam, lparam);
    // A new object for each question, released once handed over: Windows
    // documents that a reference kept for the next one fails its client.
    auto* dialog = new (std::nothrow) DialogAccessible(standard);
    if (!dialog) {
        standard->Release();
        return DefWindowProcW(window, WM_GETOBJECT, wparam, lparam);
    }
    const LRESULT answer = lresultFromObject_(__uuidof(IAccessible), wparam, dialog);
    dialog->Release();
    return answer;
}

LRESULT Accessibility::AnswerAutomation(HWND window, WPARAM wparam, LPARAM lparam) {
    // Loaded once a UI Automation client asks, as oleacc is.
    if (!automationTried_) {
        automationTried_ = true;
        automation_ = LoadUiAutomationServer();
    }
    auto* provider = automation_.returnRawElementProvider ? new (std::nothrow) DialogProvider(window, automation_)
                                                          : nullptr;
    if (!provider) return DefWindowProcW(window, WM_GETOBJECT, wparam, lparam);
    const LRESULT answer = automation_.returnRawElementProvider(window, wparam, lparam, provider);
    provider->Release();
    return answer;
}

void Accessibility::Forget(HWND window) {
    if (automation_.returnRawElementProvider) automation_.returnRawElementProvider(window, 0, 0, nullptr);
}
