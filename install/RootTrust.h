#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/CertificateStores.h"
#include "platform/Platform.h"

// Whether the user now trusts the root the program carries, judged from the
// user's own Root store rather than from what an installer reported.

// HRESULT_FROM_WIN32(ERROR_CANCELLED): what crypt32 answers when the user
// says No to adding a root.
inline constexpr std::int32_t kCancelledByUser = static_cast<std::int32_t>(0x800704C7);
// CRYPT_E_NOT_FOUND: the carried text holds no root.
inline constexpr std::int32_t kNoRoot = static_cast<std::int32_t>(0x80092004);

// The certificates of the carried text, opened by the system as a PKCS #7
// message. Throws when the text is not one, or holds no root.
std::vector<Certificate> OpenCarried(CertificateStores& stores, const std::wstring& pkcs7);

// Throws kCancelledByUser unless every root among the certificates is in Root.
void ConfirmRootsTrusted(CertificateStores& stores, const std::vector<Certificate>& certificates);

// The enrollment control, whose success counts only once the root is found
// in Root: Microsoft documents that a user who declines to put the root in
// Root does not make InstallPKCS7 fail, so S_OK alone does not mean installed.
// The text is opened before the control is called, so that a failure to open
// it cannot follow an install and read as a cancellation.
class ConfirmedEnrollment : public Enrollment {
public:
    ConfirmedEnrollment(std::unique_ptr<Enrollment> control, std::unique_ptr<CertificateStores> stores)
        : control_(std::move(control)), stores_(std::move(stores)) {}

    void InstallPKCS7(const std::wstring& pkcs7) override;

private:
    std::unique_ptr<Enrollment> control_;
    std::unique_ptr<CertificateStores> stores_;
};
