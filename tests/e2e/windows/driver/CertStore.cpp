#include "Harness.h"

#include <shlwapi.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstdio>

#include "install/CertificateText.h"

std::vector<BYTE> CarriedCertificate() {
    // An exe built with an operator's root (the release test's) carries that
    // root, not the one this driver was built with.
    std::vector<BYTE> other = FileBytes(L"CERTINSTALL_EXPECTED_DER");
    if (!other.empty()) return other;
    DWORD size = 0;
    if (!CryptStringToBinaryW(kCertificateText, 0, CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr))
        return {};
    std::vector<BYTE> pkcs7(size);
    CryptStringToBinaryW(kCertificateText, 0, CRYPT_STRING_BASE64, pkcs7.data(), &size, nullptr, nullptr);

    CRYPT_DATA_BLOB blob = {size, pkcs7.data()};
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_PKCS7, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                                     0, &blob);
    if (!store) return {};
    std::vector<BYTE> der;
    if (PCCERT_CONTEXT cert = CertEnumCertificatesInStore(store, nullptr)) {
        der.assign(cert->pbCertEncoded, cert->pbCertEncoded + cert->cbCertEncoded);
        CertFreeCertificateContext(cert);
    }
    CertCloseStore(store, 0);
    return der;
}

std::vector<BYTE> FileBytes(const wchar_t* variable) {
    wchar_t path[MAX_PATH] = L"";
    std::vector<BYTE> der;
    if (!GetEnvironmentVariableW(variable, path, MAX_PATH)) return der;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return der;
    der.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!ReadFile(file, der.data(), static_cast<DWORD>(der.size()), &read, nullptr) || read != der.size())
        der.clear();
    CloseHandle(file);
    return der;
}

std::vector<BYTE> ExpectedCertificate() {
    std::vector<BYTE> expected = FileBytes(L"CERTINSTALL_EXPECTED_DER");
    return expected.empty() ? CarriedCertificate() : expected;
}

std::wstring SubjectOf(const std::vector<BYTE>& certificate) {
    PCCERT_CONTEXT cert = CertCreateCertificateContext(X509_ASN_ENCODING, certificate.data(),
                                                       static_cast<DWORD>(certificate.size()));
    if (!cert) return L"";
    wchar_t name[256] = L"";
    CertGetNameStringW(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, 256);
    CertFreeCertificateContext(cert);
    return name;
}

void ForgetUserCertificates() {
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Microsoft\\SystemCertificates");
}

int CopiesInRootStore(const std::vector<BYTE>& certificate) {
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0,
                                    CERT_SYSTEM_STORE_CURRENT_USER | CERT_STORE_READONLY_FLAG, L"Root");
    if (!root) return -1;
    int copies = 0;
    PCCERT_CONTEXT cert = nullptr;
    while ((cert = CertEnumCertificatesInStore(root, cert)))
        if (cert->cbCertEncoded == certificate.size() &&
            std::equal(certificate.begin(), certificate.end(), cert->pbCertEncoded))
            ++copies;
    CertCloseStore(root, 0);
    return copies;
}

std::string StandInLog() {
    wchar_t path[MAX_PATH];
    return GetEnvironmentVariableW(L"CENROLL_STANDIN_LOG", path, MAX_PATH) ? FileText(path) : "";
}

