#include "platform/win32/ComEnrollment.h"

#include <windows.h>
#include <xenroll.h>

#include "install/ControlStatus.h"
#include "platform/Error.h"
#include "platform/win32/Compat.h"
#include "platform/win32/EnrollmentIds.h"
#include "platform/win32/SystemError.h"

namespace {

// The control's own description of the failure where it set one.
std::wstring Describe(HRESULT status) {
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        BSTR text = nullptr;
        const bool has = SUCCEEDED(info->GetDescription(&text)) && text && *text;
        std::wstring description = has ? std::wstring(text, SysStringLen(text)) : std::wstring();
        SysFreeString(text);
        info->Release();
        if (has) return description;
    }
    return SystemMessage(status);
}

// Held through ICEnroll3, where InstallPKCS7 first appears; ICEnroll4 extends
// it, so one pointer serves either control.
class ComEnrollment : public Enrollment {
public:
    explicit ComEnrollment(ICEnroll3* control) : control_(control) {}
    ~ComEnrollment() override { control_->Release(); }
    ComEnrollment(const ComEnrollment&) = delete;
    ComEnrollment& operator=(const ComEnrollment&) = delete;

    void InstallPKCS7(const std::wstring& pkcs7) override {
        BSTR text = SysAllocStringLen(pkcs7.data(), static_cast<UINT>(pkcs7.size()));
        if (!text) throw Error(E_OUTOFMEMORY, SystemMessage(E_OUTOFMEMORY));
        // Drop any stale description so the one read below is this call's.
        SetErrorInfo(0, nullptr);
        // The window is hidden, so another program is in front; the
        // control's confirmation must come forward even if the user clicked
        // elsewhere meanwhile.
        LetRootQuestionComeForward();
        const HRESULT status = control_->InstallPKCS7(text);
        SysFreeString(text);
        if (ControlFailed(status)) throw Error(status, Describe(status));
    }

private:
    ICEnroll3* control_;
};

}  // namespace

std::unique_ptr<Enrollment> CreateComEnrollment() {
    void* control = nullptr;
    HRESULT status = CoCreateInstance(kClsidCEnroll, nullptr, CLSCTX_INPROC_SERVER, kIidICEnroll4, &control);
    if (SUCCEEDED(status)) return std::make_unique<ComEnrollment>(static_cast<ICEnroll4*>(control));
    // Some 2000 and XP installations carry a control that predates ICEnroll4
    // but has InstallPKCS7 all the same. Any other failure stands.
    if (status == E_NOINTERFACE)
        status = CoCreateInstance(kClsidCEnroll, nullptr, CLSCTX_INPROC_SERVER, kIidICEnroll3, &control);
    if (FAILED(status)) throw Error(status, SystemMessage(status));
    return std::make_unique<ComEnrollment>(static_cast<ICEnroll3*>(control));
}
