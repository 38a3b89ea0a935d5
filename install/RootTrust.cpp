#include "install/RootTrust.h"

#include "install/Base64.h"
#include "platform/Error.h"

std::vector<Certificate> OpenCarried(CertificateStores& stores, const std::wstring& pkcs7) {
    std::vector<Certificate> certificates = stores.OpenPkcs7(DecodeBase64(pkcs7));
    for (const Certificate& c : certificates)
        if (c.selfSigned) return certificates;
    // Without a root there is nothing to trust, and nothing that could be
    // reported as installed.
    throw Error(kNoRoot, L"证书文本中没有根证书");
}

void ConfirmRootsTrusted(CertificateStores& stores, const std::vector<Certificate>& certificates) {
    for (const Certificate& c : certificates)
        if (c.selfSigned && !stores.InRoot(c)) throw Error(kCancelledByUser, L"根证书不在受信任的根证书存储中");
}

void ConfirmedEnrollment::InstallPKCS7(const std::wstring& pkcs7) {
    const std::vector<Certificate> certificates = OpenCarried(*stores_, pkcs7);
    control_->InstallPKCS7(pkcs7);
    ConfirmRootsTrusted(*stores_, certificates);
}
