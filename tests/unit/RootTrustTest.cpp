// Installing the carried root without the enrollment control (the Vista
// edition), and believing the control only once the root is in Root (the
// classic), against a recording fake of the user's stores.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/CerImport.h"
#include "install/Base64.h"
#include "install/RootTrust.h"
#include "install/StoreEnrollment.h"
#include "tests/unit/CarriedCertificate.h"
#include "tests/unit/FakePlatform.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Events = std::vector<std::wstring>;

constexpr std::int32_t kAccessDenied = static_cast<std::int32_t>(0x80070005);

const Certificate kRoot = {{0x30, 0x01}, true};
const Certificate kIntermediate = {{0x30, 0x02}, false};

// What the stores hold and answer, shared with the test after the fake has
// gone into an enrollment.
struct Stores {
    Events log;
    std::vector<Certificate> message = {kRoot};  // what the PKCS #7 holds
    std::vector<Bytes> root, ca;
    std::optional<Error> openError, rootAddError;
    bool addIsLost = false;  // the add reports success and nothing is kept
    Bytes opened;
};

class FakeStores : public CertificateStores {
public:
    explicit FakeStores(Stores& s) : s_(s) {}

    std::vector<Certificate> OpenPkcs7(const Bytes& pkcs7) override {
        s_.log.push_back(L"open");
        s_.opened = pkcs7;
        if (s_.openError) throw *s_.openError;
        return s_.message;
    }
    bool InRoot(const Certificate& c) override {
        s_.log.push_back(L"in root?");
        return std::find(s_.root.begin(), s_.root.end(), c.der) != s_.root.end();
    }
    void Add(StoreName store, const Certificate& c) override {
        s_.log.push_back(store == StoreName::Root ? L"add to Root" : L"add to CA");
        if (store == StoreName::Root && s_.rootAddError) throw *s_.rootAddError;
        if (!s_.addIsLost) (store == StoreName::Root ? s_.root : s_.ca).push_back(c.der);
    }

private:
    Stores& s_;
};

// The number Next's trap would see, or 0 when the install succeeds.
std::int32_t Outcome(Enrollment& enrollment) {
    try {
        enrollment.InstallPKCS7(kCertificateText);
        return 0;
    } catch (const Error& e) {
        return e.Number();
    }
}

std::int32_t StoreInstall(Stores& s) {
    StoreEnrollment enrollment(std::make_unique<FakeStores>(s));
    return Outcome(enrollment);
}

TEST(StoreEnrollment, AddsTheRootToRootAndConfirmsItIsThere) {
    Stores s;
    EXPECT_EQ(StoreInstall(s), 0);
    EXPECT_EQ(s.log, (Events{L"open", L"in root?", L"add to Root", L"in root?"}));
    EXPECT_EQ(s.root, std::vector<Bytes>{kRoot.der});
    // The system opens exactly the DER the carried base64 stands for.
    const carried::Bytes der = carried::Decode(carried::Text());
    EXPECT_EQ(s.opened, Bytes(der.begin(), der.end()));
}

TEST(StoreEnrollment, AlreadyTrustedRootIsNeitherAskedForNorAddedAgain) {
    Stores s;
    s.root = {kRoot.der};
    EXPECT_EQ(StoreInstall(s), 0);
    EXPECT_EQ(s.log, (Events{L"open", L"in root?", L"in root?"}));
    EXPECT_EQ(s.root.size(), 1u);
}

TEST(StoreEnrollment, OtherCertificatesGoToCAAndTheRootToRoot) {
    Stores s;
    s.message = {kIntermediate, kRoot};
    EXPECT_EQ(StoreInstall(s), 0);
    EXPECT_EQ(s.ca, std::vector<Bytes>{kIntermediate.der});
    EXPECT_EQ(s.root, std::vector<Bytes>{kRoot.der});
}

TEST(StoreEnrollment, EveryFailureCarriesItsNumberOut) {
    Stores declined;  // the user answered No to Windows' question
    declined.rootAddError = Error(kCancelledByUser, L"cancelled");
    EXPECT_EQ(StoreInstall(declined), kCancelledByUser);
    EXPECT_TRUE(declined.root.empty());

    Stores refused;  // the store itself fails
    refused.rootAddError = Error(kAccessDenied, L"access denied");
    EXPECT_EQ(StoreInstall(refused), kAccessDenied);

    Stores unreadable;  // crypt32 cannot open the text as PKCS #7
    unreadable.openError = Error(static_cast<std::int32_t>(0x8009310B), L"bad tag");
    EXPECT_EQ(StoreInstall(unreadable), static_cast<std::int32_t>(0x8009310B));
    EXPECT_EQ(unreadable.log, (Events{L"open"}));

    Stores lost;  // the add says yes but Root does not have it afterwards
    lost.addIsLost = true;
    EXPECT_EQ(StoreInstall(lost), kCancelledByUser);

    Stores rootless;  // nothing that could be trusted
    rootless.message = {kIntermediate};
    EXPECT_EQ(StoreInstall(rootless), kNoRoot);
    EXPECT_TRUE(rootless.ca.empty()) << "nothing is added when there is no root";
}

// Next of the Vista edition: a declined root reads as a cancellation.
TEST(StoreEnrollment, DeclinedRootShowsTheCancellation) {
    struct StorePlatform : FakePlatform {
        using FakePlatform::FakePlatform;
        Stores* stores = nullptr;
        std::unique_ptr<Enrollment> CreateEnroll() override {
            return std::make_unique<StoreEnrollment>(std::make_unique<FakeStores>(*stores));
        }
    };
    Log log;
    FakeForm form(log);
    StorePlatform platform(log, form);
    Stores s;
    s.rootAddError = Error(kCancelledByUser, L"cancelled");
    platform.stores = &s;
    CerImport window(platform, form, nullptr);
    window.Form_Load();
    form.Show();
    window.cmdNext_Click();
    EXPECT_EQ(log.events, (Events{L"show", L"hide", L"box:证书安装已经取消！|证书安装", L"unload"}));
}

// The classic: the control's success stands only once the root is in Root.
std::int32_t ControlInstall(Stores& s, std::int32_t controlStatus, Log& log) {
    std::wstring received;
    ConfirmedEnrollment enrollment(std::make_unique<FakeEnrollment>(log, controlStatus, received),
                                   std::make_unique<FakeStores>(s));
    return Outcome(enrollment);
}

TEST(ConfirmedEnrollment, ControlSuccessCountsOnlyWithTheRootInRoot) {
    Log log;
    Stores trusted;
    trusted.root = {kRoot.der};
    EXPECT_EQ(ControlInstall(trusted, 0, log), 0);
    EXPECT_EQ(trusted.log, (Events{L"open", L"in root?"}));

    Stores declined;  // the user said No and the control returned S_OK all the same
    EXPECT_EQ(ControlInstall(declined, 0, log), kCancelledByUser);
    EXPECT_EQ(declined.log, (Events{L"open", L"in root?"})) << "the check adds nothing itself";
}

// The text is opened before the control is called, and a control that
// fails is not second-guessed.
TEST(ConfirmedEnrollment, ControlFailureStandsAndRootIsNotAsked) {
    Log log;
    Stores s;
    EXPECT_EQ(ControlInstall(s, static_cast<std::int32_t>(0x80092004), log), static_cast<std::int32_t>(0x80092004));
    EXPECT_EQ(s.log, (Events{L"open"}));
}

TEST(ConfirmedEnrollment, TextThatCannotBeOpenedIsNeverHandedToTheControl) {
    Log log;
    Stores s;
    s.openError = Error(static_cast<std::int32_t>(0x8009310B), L"bad tag");
    EXPECT_EQ(ControlInstall(s, 0, log), static_cast<std::int32_t>(0x8009310B));
    EXPECT_EQ(log.events, (Events{L"release"})) << "the control is released, never called";
}

TEST(Base64, DecodesTheCarriedTextAsLibcryptoDoes) {
    const carried::Bytes expected = carried::Decode(carried::Text());
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(DecodeBase64(kCertificateText), Bytes(expected.begin(), expected.end()));
    EXPECT_EQ(DecodeBase64(L"TWFu"), (Bytes{'M', 'a', 'n'}));
    EXPECT_EQ(DecodeBase64(L"TWE="), (Bytes{'M', 'a'}));
    EXPECT_EQ(DecodeBase64(L"TQ=="), (Bytes{'M'}));
}

TEST(Base64, RefusesAnythingButOneLineOfCanonicalBase64) {
    for (const wchar_t* bad : {L"", L"TWF", L"TW\nFu", L"TW=u", L"T===", L"TWF*", L"TR==", L"TWF=", L"TWF=TWFu"})
        EXPECT_THROW(DecodeBase64(bad), Error) << "accepted \"" << std::string(bad, bad + wcslen(bad)) << "\"";
}

}  // namespace
