#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/CerImport.h"
#include "install/CertificateText.h"
#include "tests/unit/FakePlatform.h"

namespace {

using Events = std::vector<std::wstring>;

const std::wstring kSuccess = L"box:证书已经安装完毕！|证书安装";
const std::wstring kCancelled = L"box:证书安装已经取消！|证书安装";

// A window that has loaded and is shown, waiting for Next.
struct Shown {
    Log log;
    FakeForm form{log};
    FakePlatform platform{log, form};
    CerImport window{platform, form, &kVistaAndLaterRefused};

    Shown() {
        window.Form_Load();
        form.Show();
        log.events.clear();
    }
};

struct StatusCase {
    std::int32_t status;
    std::wstring box;
};

void PrintTo(const StatusCase& c, std::ostream* out) {
    *out << std::hex << static_cast<std::uint32_t>(c.status);
}

class InstallStatus : public testing::TestWithParam<StatusCase> {};

TEST_P(InstallStatus, OneBoxThenOneUnloadThenRelease) {
    Shown s;
    s.platform.installStatus = GetParam().status;
    s.window.cmdNext_Click();
    EXPECT_EQ(s.log.events,
              (Events{L"hide", L"create", L"install", GetParam().box, L"unload", L"release"}));
    EXPECT_FALSE(s.form.loaded);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, InstallStatus,
    testing::Values(StatusCase{0, kSuccess},                                  // S_OK
                    StatusCase{1, kSuccess},                                  // S_FALSE still succeeds
                    StatusCase{static_cast<std::int32_t>(0x80092004), kCancelled},  // CRYPT_E_NOT_FOUND
                    StatusCase{static_cast<std::int32_t>(0x800704C7), kCancelled},  // declined by the user
                    StatusCase{INT32_MIN, kCancelled}),
    [](const testing::TestParamInfo<StatusCase>& info) {
        char name[16];
        std::snprintf(name, sizeof name, "x%08X", static_cast<unsigned>(info.param.status));
        return std::string(name);
    });

TEST(Install, ControlReceivesTheCertificateTextUnchanged) {
    Shown s;
    s.window.cmdNext_Click();
    EXPECT_EQ(s.platform.installed, std::wstring(kCertificateText));
}

TEST(Install, ControlThatCannotBeCreatedIsNeverCalled) {
    Shown s;
    s.platform.createError = Error(static_cast<std::int32_t>(0x80040154), L"class not registered");
    s.window.cmdNext_Click();
    EXPECT_EQ(s.log.events, (Events{L"hide", L"create", kCancelled, L"unload"}));
}

// A positive error number would otherwise leave the window hidden and the
// process running with nothing on the screen.
TEST(Install, PositiveErrorNumberIsReportedAsCancellation) {
    Shown s;
    s.platform.createError = Error(429, L"cannot create object");
    s.window.cmdNext_Click();
    EXPECT_EQ(s.log.events, (Events{L"hide", L"create", kCancelled, L"unload"}));
    EXPECT_FALSE(s.form.loaded);
}

// The unload after the success box fails: the trap reports it as a
// cancellation and unloads again; that second failure is not trapped.
TEST(Install, ErrorWhileReportingAnErrorLeavesTheHandler) {
    Shown s;
    s.form.unloadError = Error(-5, L"cannot unload");
    EXPECT_THROW(s.window.cmdNext_Click(), Error);
    EXPECT_EQ(s.log.events, (Events{L"hide", L"create", L"install", kSuccess, L"unload", kCancelled,
                                    L"unload", L"release"}));
}

}  // namespace
