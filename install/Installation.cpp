#include <cstdint>
#include <memory>

#include "app/CerImport.h"
#include "platform/Error.h"

namespace {
constexpr wchar_t kTitle[] = L"证书安装";
}

void CerImport::cmdNext_Click() {
    // Declared first so that it is released last, after the window has gone.
    std::unique_ptr<Enrollment> enroll;
    std::int32_t error = 0;
    try {
        // Hidden before anything can block, so no second click reaches us.
        form_.Hide();
        enroll = platform_.CreateEnroll();
        enroll->InstallPKCS7(strCert);
        platform_.MsgBox(L"证书已经安装完毕！", 0, kTitle);
        form_.Unload();
    } catch (const Error& e) {
        error = e.Number();
    }
    // Every failure reads as a cancellation, whatever its number or sign: a
    // positive number must not leave the window hidden and the process alive.
    // An error raised from here on is not ours to handle.
    if (error != 0) {
        platform_.MsgBox(L"证书安装已经取消！", 0, kTitle);
        form_.Unload();
    }
}
