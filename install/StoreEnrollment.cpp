#include "install/StoreEnrollment.h"

#include "install/RootTrust.h"

void StoreEnrollment::InstallPKCS7(const std::wstring& pkcs7) {
    const std::vector<Certificate> certificates = OpenCarried(*stores_, pkcs7);
    for (const Certificate& c : certificates) {
        if (!c.selfSigned)
            stores_->Add(StoreName::CA, c);
        else if (!stores_->InRoot(c))
            stores_->Add(StoreName::Root, c);
    }
    // The same test the classic makes of the control: believed when seen.
    ConfirmRootsTrusted(*stores_, certificates);
}
