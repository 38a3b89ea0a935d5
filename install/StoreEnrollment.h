#pragma once

#include <memory>
#include <string>

#include "platform/CertificateStores.h"
#include "platform/Platform.h"

// The Vista edition's installation, where there is no enrollment control:
// each certificate of the carried text goes where the control would put it,
// a root into the user's Root (Windows asks the user first) and any other
// into CA. A root the user already trusts is left alone, so a second run
// asks nothing and adds no second copy.
class StoreEnrollment : public Enrollment {
public:
    explicit StoreEnrollment(std::unique_ptr<CertificateStores> stores) : stores_(std::move(stores)) {}

    void InstallPKCS7(const std::wstring& pkcs7) override;

private:
    std::unique_ptr<CertificateStores> stores_;
};
