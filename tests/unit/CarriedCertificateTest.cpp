// What every certificate the exe carries must be, the committed default or an
// operator's: the form InstallPKCS7 takes, holding one self-signed CA.
#include "CarriedCertificate.h"

#include <openssl/sha.h>
#include <openssl/x509v3.h>

#include <cstdio>

namespace {

using namespace carried;

TEST(CertificateText, IsOneLineOfCanonicalBase64) {
    const std::string text = Text();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find_first_not_of(
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
              std::string::npos);
    EXPECT_EQ(text.size() % 4, 0u);
    const std::size_t pad = text.find('=');
    EXPECT_TRUE(pad == std::string::npos || pad >= text.size() - 2) << "pad characters only at the end";

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
    EXPECT_EQ(info.end, der.data() + der.size());
    EXPECT_EQ(OBJ_obj2nid(pkcs7->type), NID_pkcs7_signed);
    const Tlv content = Next(First(info));
    EXPECT_EQ(content.tag, 0xA0u);

    const Tlv signedData = First(content);
    const Tlv version = First(signedData);
    EXPECT_EQ(Bytes(version.content - 2, version.end), (Bytes{0x02, 0x01, 0x01}));
    const Tlv digests = Next(version);
    EXPECT_EQ(Bytes(digests.content - 2, digests.end), (Bytes{0x31, 0x00})) << "no digest algorithms";
    const Tlv inner = Next(digests);
    EXPECT_EQ(inner.length, 11u) << "contentType data, no content";
    EXPECT_EQ(OBJ_obj2nid(pkcs7->d.sign->contents->type), NID_pkcs7_data);
    const Tlv certificates = Next(inner);
    EXPECT_EQ(certificates.tag, 0xA0u);
    const Tlv signers = Next(certificates);
    EXPECT_EQ(Bytes(signers.content - 2, signers.end), (Bytes{0x31, 0x00})) << "no crls, no signers";
    EXPECT_EQ(signers.end, der.data() + der.size());
}

TEST_F(Certificate, IsOneSelfSignedCaWhoseSignatureVerifies) {
    EXPECT_EQ(X509_NAME_cmp(X509_get_subject_name(cert), X509_get_issuer_name(cert)), 0);
    EXPECT_EQ(X509_verify(cert, X509_get0_pubkey(cert)), 1);
    const auto* constraints =
        static_cast<BASIC_CONSTRAINTS*>(X509_get_ext_d2i(cert, NID_basic_constraints, nullptr, nullptr));
    ASSERT_TRUE(constraints) << "basicConstraints present";
    EXPECT_TRUE(constraints->ca);
    BASIC_CONSTRAINTS_free(const_cast<BASIC_CONSTRAINTS*>(constraints));
    EXPECT_EQ(EVP_PKEY_get_base_id(X509_get0_pubkey(cert)), EVP_PKEY_RSA);
}

// The committed default, pinned by its thumbprint: any change to
// resources/certificate.b64, or to how the build carries it, changes the SHA-1
// that the README publishes and Windows shows before it installs. Skipped
// when the build carries an operator's root.
class DefaultCertificate : public Certificate {
protected:
    void SetUp() override {
        if (!CARRIES_DEFAULT_CERTIFICATE) GTEST_SKIP() << "the build carries an operator's root";
        Certificate::SetUp();
    }
};

TEST_F(DefaultCertificate, IsTheCommittedRootByItsThumbprint) {
    const Tlv certificate = CertificateDer();
    unsigned char sha1[SHA_DIGEST_LENGTH];
    SHA1(certificate.content - certificate.headerSize, certificate.headerSize + certificate.length, sha1);
    std::string thumbprint;
    for (unsigned char b : sha1) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", b);
        thumbprint += hex;
    }
    EXPECT_EQ(thumbprint, "2D416C798C45E92AF2E15C5B1AF9946BEBA91919");
}

}  // namespace
