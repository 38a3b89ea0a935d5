#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/pkcs7.h>
#include <openssl/rsa.h>
#include <openssl/sha.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "install/CertificateText.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::string Text() {
    const std::wstring wide = kCertificateText;
    return std::string(wide.begin(), wide.end());  // all ASCII, checked below
}

Bytes Decode(const std::string& text) {
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

Tlv Read(const unsigned char* p) {
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
Tlv Next(const Tlv& t) { return Read(t.end); }
Tlv First(const Tlv& t) { return Read(t.content); }

struct X509Free {
    void operator()(X509* x) const { X509_free(x); }
};
struct Pkcs7Free {
    void operator()(PKCS7* p) const { PKCS7_free(p); }
};

class Certificate : public testing::Test {
protected:
    void SetUp() override {
        der = Decode(Text());
        ASSERT_EQ(der.size(), 761u);
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

TEST(CertificateText, IsOneLineOfCanonicalBase64) {
    const std::string text = Text();
    EXPECT_EQ(text.size(), 1016u);
    EXPECT_EQ(text.find_first_not_of(
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
              std::string::npos);
    EXPECT_EQ(text.find('='), text.size() - 1) << "one pad character, the last";

    const Bytes der = Decode(text);
    std::string again(4 * ((der.size() + 2) / 3) + 1, '\0');
    again.resize(static_cast<std::size_t>(
        EVP_EncodeBlock(reinterpret_cast<unsigned char*>(again.data()), der.data(),
                        static_cast<int>(der.size()))));
    EXPECT_EQ(again, text);
}

TEST_F(Certificate, EnvelopeIsCertificatesOnlySignedData) {
    const Tlv info = Read(der.data());
    EXPECT_EQ(info.tag, 0x30u);
    EXPECT_EQ(info.length, 757u);
    EXPECT_EQ(OBJ_obj2nid(pkcs7->type), NID_pkcs7_signed);
    const Tlv content = Next(First(info));
    EXPECT_EQ(content.tag, 0xA0u);
    EXPECT_EQ(content.length, 742u);

    const Tlv signedData = First(content);
    EXPECT_EQ(signedData.length, 738u);
    const Tlv version = First(signedData);
    EXPECT_EQ(Bytes(version.content - 2, version.end), (Bytes{0x02, 0x01, 0x01}));
    const Tlv digests = Next(version);
    EXPECT_EQ(Bytes(digests.content - 2, digests.end), (Bytes{0x31, 0x00}));
    const Tlv inner = Next(digests);
    EXPECT_EQ(inner.length, 11u) << "contentType data, no content";
    EXPECT_EQ(OBJ_obj2nid(pkcs7->d.sign->contents->type), NID_pkcs7_data);
    const Tlv certificates = Next(inner);
    EXPECT_EQ(certificates.tag, 0xA0u);
    EXPECT_EQ(certificates.length, 714u);
    const Tlv signers = Next(certificates);
    EXPECT_EQ(Bytes(signers.content - 2, signers.end), (Bytes{0x31, 0x00})) << "no crls, no signers";
    EXPECT_EQ(signers.end, der.data() + der.size());
}

TEST_F(Certificate, ComponentsHaveTheirLengthsAndOrder) {
    const Tlv certificate = CertificateDer();
    EXPECT_EQ(certificate.length, 710u);
    const Tlv tbs = First(certificate);
    EXPECT_EQ(tbs.length, 559u);

    const Tlv version = First(tbs);
    EXPECT_EQ(Bytes(version.content - 2, version.end), (Bytes{0xA0, 0x03, 0x02, 0x01, 0x02}));
    const Tlv serial = Next(version);
    EXPECT_EQ(Bytes(serial.content - 2, serial.end), (Bytes{0x02, 0x01, 0x00}));
    const Bytes md5WithRsa = {0x30, 0x0D, 0x06, 0x09, 0x2A, 0x86, 0x48, 0x86,
                              0xF7, 0x0D, 0x01, 0x01, 0x04, 0x05, 0x00};
    const Tlv signature = Next(serial);
    EXPECT_EQ(Bytes(signature.content - 2, signature.end), md5WithRsa);
    const Tlv issuer = Next(signature);
    EXPECT_EQ(issuer.length, 142u);
    const Tlv validity = Next(issuer);
    EXPECT_EQ(validity.length, 30u);
    const Tlv subject = Next(validity);
    EXPECT_EQ(Bytes(subject.content, subject.end), Bytes(issuer.content, issuer.end));
    const Tlv key = Next(subject);
    EXPECT_EQ(key.length, 159u);
    const Tlv extensions = Next(key);
    EXPECT_EQ(extensions.tag, 0xA3u);
    EXPECT_EQ(extensions.length, 50u);
    EXPECT_EQ(extensions.end, tbs.end) << "no unique IDs, nothing after the extensions";

    const Tlv algorithm = Next(tbs);
    EXPECT_EQ(Bytes(algorithm.content - 2, algorithm.end), md5WithRsa);
    const Tlv value = Next(algorithm);
    EXPECT_EQ(value.tag, 0x03u);
    EXPECT_EQ(value.length, 129u);
    EXPECT_EQ(value.content[0], 0) << "unused bits";
}

TEST_F(Certificate, NameHasSevenAttributesInOrderWithTheirStringTypes) {
    struct Expected {
        int nid;
        int type;
        std::size_t length;
    };
    const Expected expected[] = {
        {NID_countryName, V_ASN1_PRINTABLESTRING, 2},
        {NID_stateOrProvinceName, V_ASN1_PRINTABLESTRING, 7},
        {NID_localityName, V_ASN1_PRINTABLESTRING, 7},
        {NID_organizationName, V_ASN1_PRINTABLESTRING, 7},
        {NID_organizationalUnitName, V_ASN1_PRINTABLESTRING, 4},
        {NID_commonName, V_ASN1_PRINTABLESTRING, 10},
        {NID_pkcs9_emailAddress, V_ASN1_IA5STRING, 22},
    };
    const X509_NAME* name = X509_get_subject_name(cert);
    ASSERT_EQ(X509_NAME_entry_count(name), 7);
    for (int i = 0; i < 7; ++i) {
        const X509_NAME_ENTRY* entry = X509_NAME_get_entry(name, i);
        const ASN1_STRING* value = X509_NAME_ENTRY_get_data(entry);
        EXPECT_EQ(OBJ_obj2nid(X509_NAME_ENTRY_get_object(entry)), expected[i].nid) << i;
        EXPECT_EQ(ASN1_STRING_type(value), expected[i].type) << i;
        EXPECT_EQ(static_cast<std::size_t>(ASN1_STRING_length(value)), expected[i].length) << i;
        EXPECT_EQ(X509_NAME_ENTRY_set(entry), i) << "one attribute per RDN";
    }
    const auto text = [&](int i) {
        const ASN1_STRING* v = X509_NAME_ENTRY_get_data(X509_NAME_get_entry(name, i));
        return std::string(reinterpret_cast<const char*>(ASN1_STRING_get0_data(v)),
                           static_cast<std::size_t>(ASN1_STRING_length(v)));
    };
    EXPECT_EQ(text(0), "cn");
    EXPECT_EQ(text(1), "beijing");
    EXPECT_EQ(text(2), "beijing");
    EXPECT_EQ(text(5), "Corvane CA");
    EXPECT_EQ(X509_NAME_cmp(name, X509_get_issuer_name(cert)), 0);
}

TEST_F(Certificate, ValidityIsTwentyYearsFrom2008) {
    const auto utc = [](const ASN1_TIME* t) {
        EXPECT_EQ(ASN1_STRING_type(t), V_ASN1_UTCTIME);
        return std::string(reinterpret_cast<const char*>(ASN1_STRING_get0_data(t)),
                           static_cast<std::size_t>(ASN1_STRING_length(t)));
    };
    EXPECT_EQ(utc(X509_get0_notBefore(cert)), "080626082310Z");
    EXPECT_EQ(utc(X509_get0_notAfter(cert)), "280621082310Z");
    int days = 0, seconds = 0;
    ASSERT_TRUE(ASN1_TIME_diff(&days, &seconds, X509_get0_notBefore(cert), X509_get0_notAfter(cert)));
    EXPECT_EQ(days, 7300);
    EXPECT_EQ(seconds, 0);
}

TEST_F(Certificate, KeyIsRsa1024WithExponent65537) {
    EVP_PKEY* key = X509_get0_pubkey(cert);
    ASSERT_EQ(EVP_PKEY_get_base_id(key), EVP_PKEY_RSA);
    EXPECT_EQ(EVP_PKEY_get_bits(key), 1024);
    BIGNUM* e = nullptr;
    ASSERT_TRUE(EVP_PKEY_get_bn_param(key, "e", &e));
    EXPECT_EQ(BN_get_word(e), 65537u);
    BN_free(e);
}

TEST_F(Certificate, ExtensionsAreCriticalCaThenKeyIdentifierOfTheKey) {
    ASSERT_EQ(X509_get_ext_count(cert), 2);
    X509_EXTENSION* basic = X509_get_ext(cert, 0);
    EXPECT_EQ(OBJ_obj2nid(X509_EXTENSION_get_object(basic)), NID_basic_constraints);
    EXPECT_EQ(X509_EXTENSION_get_critical(basic), 1);
    const ASN1_OCTET_STRING* basicValue = X509_EXTENSION_get_data(basic);
    EXPECT_EQ(Bytes(ASN1_STRING_get0_data(basicValue),
                    ASN1_STRING_get0_data(basicValue) + ASN1_STRING_length(basicValue)),
              (Bytes{0x30, 0x03, 0x01, 0x01, 0xFF}));

    X509_EXTENSION* ski = X509_get_ext(cert, 1);
    EXPECT_EQ(OBJ_obj2nid(X509_EXTENSION_get_object(ski)), NID_subject_key_identifier);
    EXPECT_EQ(X509_EXTENSION_get_critical(ski), 0);
    const ASN1_BIT_STRING* bits = X509_get0_pubkey_bitstr(cert);
    unsigned char sha1[SHA_DIGEST_LENGTH];
    SHA1(ASN1_STRING_get0_data(bits), static_cast<std::size_t>(ASN1_STRING_length(bits)), sha1);
    const ASN1_OCTET_STRING* id = X509_get0_subject_key_id(cert);
    ASSERT_TRUE(id);
    EXPECT_EQ(Bytes(ASN1_STRING_get0_data(id), ASN1_STRING_get0_data(id) + ASN1_STRING_length(id)),
              Bytes(sha1, sha1 + SHA_DIGEST_LENGTH));
}

TEST_F(Certificate, SignatureVerifiesWithItsOwnKey) {
    EXPECT_EQ(X509_get_signature_nid(cert), NID_md5WithRSAEncryption);
    EXPECT_EQ(X509_verify(cert, X509_get0_pubkey(cert)), 1);
}

}  // namespace
