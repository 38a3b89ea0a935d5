#pragma once
// The carried certificate text read back: base64 decoded with libcrypto and
// the DER walked by hand, so that lengths and order can be checked.

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/pkcs7.h>
#include <openssl/x509.h>

#include <memory>
#include <string>
#include <vector>

#include "install/CertificateText.h"

namespace carried {

using Bytes = std::vector<unsigned char>;

inline std::string Text() {
    const std::wstring wide = kCertificateText;
    return std::string(wide.begin(), wide.end());  // all ASCII, checked below
}

inline Bytes Decode(const std::string& text) {
    Bytes out(text.size() / 4 * 3);
    const int n = EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                  static_cast<int>(text.size()));
    if (n < 0) return {};
    // EVP_DecodeBlock counts the pad characters as zero bytes.
    std::size_t pad = 0;
    for (auto it = text.rbegin(); it != text.rend() && *it == '='; ++it) ++pad;
    out.resize(static_cast<std::size_t>(n) - pad);
    return out;
}

// A DER element: tag, content and where the next sibling starts.
struct Tlv {
    unsigned tag = 0;
    std::size_t length = 0;
    const unsigned char* content = nullptr;
    const unsigned char* end = nullptr;
    std::size_t headerSize = 0;
};

inline Tlv Read(const unsigned char* p) {
    Tlv t;
    const unsigned char* start = p;
    t.tag = *p++;
    if (*p < 0x80) {
        t.length = *p++;
    } else {
        const int count = *p++ & 0x7F;
        for (int i = 0; i < count; ++i) t.length = t.length << 8 | *p++;
    }
    t.content = p;
    t.end = p + t.length;
    t.headerSize = static_cast<std::size_t>(p - start);
    return t;
}

// The element after `t` within the same parent.
inline Tlv Next(const Tlv& t) { return Read(t.end); }
inline Tlv First(const Tlv& t) { return Read(t.content); }

struct Pkcs7Free {
    void operator()(PKCS7* p) const { PKCS7_free(p); }
};

class Certificate : public testing::Test {
protected:
    void SetUp() override {
        der = Decode(Text());
        const unsigned char* p = der.data();
        pkcs7.reset(d2i_PKCS7(nullptr, &p, static_cast<long>(der.size())));
        ASSERT_TRUE(pkcs7);
        EXPECT_EQ(p, der.data() + der.size()) << "bytes left over after the structure";
        ASSERT_TRUE(PKCS7_type_is_signed(pkcs7.get()));
        STACK_OF(X509)* certs = pkcs7->d.sign->cert;
        ASSERT_EQ(sk_X509_num(certs), 1);
        cert = sk_X509_value(certs, 0);
    }

    // The DER of the certificate and its tbsCertificate, walked by hand.
    Tlv CertificateDer() const {
        const Tlv content = Next(First(Read(der.data())));  // [0] after contentType
        const Tlv signedData = First(content);
        const Tlv certificates = Next(Next(Next(First(signedData))));
        return First(certificates);
    }

    Bytes der;
    std::unique_ptr<PKCS7, Pkcs7Free> pkcs7;
    X509* cert = nullptr;
};


}  // namespace carried
