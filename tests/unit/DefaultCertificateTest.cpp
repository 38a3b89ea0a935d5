// The exact values of the committed default certificate; skipped when the
// build carries an operator's root instead.
#include "CarriedCertificate.h"

#include <openssl/rsa.h>
#include <openssl/sha.h>
#include <openssl/x509v3.h>

namespace {

using namespace carried;

class DefaultCertificate : public Certificate {
protected:
    void SetUp() override {
        if (!CARRIES_DEFAULT_CERTIFICATE) GTEST_SKIP() << "the build carries an operator's root";
        Certificate::SetUp();
        ASSERT_EQ(der.size(), 761u);
    }
};

TEST(DefaultCertificateText, Is1016CharactersWithOnePad) {
    if (!CARRIES_DEFAULT_CERTIFICATE) GTEST_SKIP() << "the build carries an operator's root";
    const std::string text = Text();
    EXPECT_EQ(text.size(), 1016u);
    EXPECT_EQ(text.find('='), text.size() - 1) << "one pad character, the last";
}

TEST_F(DefaultCertificate, EnvelopeHasItsLengths) {
    const Tlv info = Read(der.data());
    EXPECT_EQ(info.length, 757u);
    const Tlv content = Next(First(info));
    EXPECT_EQ(content.length, 742u);
    const Tlv signedData = First(content);
    EXPECT_EQ(signedData.length, 738u);
    const Tlv certificates = Next(Next(Next(First(signedData))));
    EXPECT_EQ(certificates.length, 714u);
}

TEST_F(DefaultCertificate, ComponentsHaveTheirLengthsAndOrder) {
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

TEST_F(DefaultCertificate, NameHasSevenAttributesInOrderWithTheirStringTypes) {
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

TEST_F(DefaultCertificate, ValidityIsTwentyYearsFrom2008) {
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

TEST_F(DefaultCertificate, KeyIsRsa1024WithExponent65537) {
    EVP_PKEY* key = X509_get0_pubkey(cert);
    ASSERT_EQ(EVP_PKEY_get_base_id(key), EVP_PKEY_RSA);
    EXPECT_EQ(EVP_PKEY_get_bits(key), 1024);
    BIGNUM* e = nullptr;
    ASSERT_TRUE(EVP_PKEY_get_bn_param(key, "e", &e));
    EXPECT_EQ(BN_get_word(e), 65537u);
    BN_free(e);
}

TEST_F(DefaultCertificate, ExtensionsAreCriticalCaThenKeyIdentifierOfTheKey) {
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

TEST_F(DefaultCertificate, IsSignedWithMd5AndRsa) {
    EXPECT_EQ(X509_get_signature_nid(cert), NID_md5WithRSAEncryption);
}


}  // namespace
