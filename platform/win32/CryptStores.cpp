#include "platform/win32/CryptStores.h"

#include <windows.h>
#include <wincrypt.h>

#include <algorithm>

#include "platform/win32/Compat.h"
#include "platform/win32/Handles.h"
#include "platform/win32/SystemError.h"

namespace {

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

// crypt32, loaded from the system folder when Next needs it. Imported, it
// would be loaded at every start, most of which install nothing, and under
// Wine its loading alone costs some 40 ms before the window can show.
class Crypt32 {
public:
    Crypt32() : module_(LoadSystemLibrary(L"crypt32.dll")) {
        if (!module_.get()) throw LastError();
        Find(openStore, "CertOpenStore");
        Find(closeStore, "CertCloseStore");
        Find(enumCertificates, "CertEnumCertificatesInStore");
        Find(freeCertificate, "CertFreeCertificateContext");
        Find(compareNames, "CertCompareCertificateName");
        Find(addEncoded, "CertAddEncodedCertificateToStore");
    }

    decltype(&CertOpenStore) openStore;
    decltype(&CertCloseStore) closeStore;
    decltype(&CertEnumCertificatesInStore) enumCertificates;
    decltype(&CertFreeCertificateContext) freeCertificate;
    decltype(&CertCompareCertificateName) compareNames;
    decltype(&CertAddEncodedCertificateToStore) addEncoded;

private:
    template <class Function>
    void Find(Function& function, const char* name) {
        function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_.get(), name)));
        if (!function) throw LastError();
    }

    OwnedLibrary module_;
};

// A store handle, closed on every path.
class Store {
public:
    Store(const Crypt32& crypt, HCERTSTORE store) : crypt_(crypt), store_(store) {
        if (!store_) throw LastError();
    }
    ~Store() { crypt_.closeStore(store_, 0); }
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;
    HCERTSTORE get() const { return store_; }

private:
    const Crypt32& crypt_;
    HCERTSTORE store_;
};

class CryptStores : public CertificateStores {
public:
    std::vector<Certificate> OpenPkcs7(const std::vector<std::uint8_t>& pkcs7) override {
        CRYPT_DATA_BLOB blob = {static_cast<DWORD>(pkcs7.size()), const_cast<BYTE*>(pkcs7.data())};
        Store message(crypt_, crypt_.openStore(CERT_STORE_PROV_PKCS7, kEncoding, 0, 0, &blob));
        std::vector<Certificate> certificates;
        PCCERT_CONTEXT c = nullptr;
        try {
            while ((c = crypt_.enumCertificates(message.get(), c))) {
                // By name, not by signature: crypt32 before XP SP3 cannot
                // check a SHA-2 signature, and an operator's root may carry one.
                const bool selfSigned =
                    crypt_.compareNames(X509_ASN_ENCODING, &c->pCertInfo->Subject, &c->pCertInfo->Issuer) != FALSE;
                certificates.push_back({{c->pbCertEncoded, c->pbCertEncoded + c->cbCertEncoded}, selfSigned});
            }
        } catch (...) {
            // A context still held keeps the whole message in memory.
            crypt_.freeCertificate(c);
            throw;
        }
        return certificates;
    }

    bool InRoot(const Certificate& certificate) override {
        // Opened afresh, so what it sees is what the system store holds now.
        Store root(crypt_, OpenUserStore(L"Root", CERT_STORE_READONLY_FLAG));
        PCCERT_CONTEXT c = nullptr;
        while ((c = crypt_.enumCertificates(root.get(), c))) {
            if (c->cbCertEncoded == certificate.der.size() &&
                std::equal(certificate.der.begin(), certificate.der.end(), c->pbCertEncoded)) {
                crypt_.freeCertificate(c);
                return true;
            }
        }
        return false;
    }

    void Add(StoreName name, const Certificate& certificate) override {
        Store store(crypt_, OpenUserStore(name == StoreName::Root ? L"Root" : L"CA", 0));
        // The window is hidden, so another program is in front: Windows'
        // confirmation must come forward even if the user clicked elsewhere.
        LetRootQuestionComeForward();
        if (!crypt_.addEncoded(store.get(), X509_ASN_ENCODING, certificate.der.data(),
                               static_cast<DWORD>(certificate.der.size()), CERT_STORE_ADD_USE_EXISTING, nullptr))
            throw LastError();
    }

private:
    HCERTSTORE OpenUserStore(const wchar_t* name, DWORD flags) {
        return crypt_.openStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER | flags, name);
    }

    Crypt32 crypt_;
};

}  // namespace

std::unique_ptr<CertificateStores> CreateCryptStores() {
    return std::make_unique<CryptStores>();
}
