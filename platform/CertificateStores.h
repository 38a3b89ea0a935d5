#pragma once

#include <cstdint>
#include <vector>

// The current user's certificate stores, as the installation needs them.
// Failures are thrown as Error with the system's status.

struct Certificate {
    std::vector<std::uint8_t> der;
    bool selfSigned;  // its subject is its issuer: a root
};

enum class StoreName { Root, CA };

class CertificateStores {
public:
    virtual ~CertificateStores() = default;
    // The certificates of a DER PKCS #7 message.
    virtual std::vector<Certificate> OpenPkcs7(const std::vector<std::uint8_t>& pkcs7) = 0;
    // True when the user's Root, whose view includes the machine's, holds it.
    virtual bool InRoot(const Certificate& certificate) = 0;
    // Adds it unless the store has it. Windows asks the user before a root
    // goes in; a No throws ERROR_CANCELLED.
    virtual void Add(StoreName store, const Certificate& certificate) = 0;
};
