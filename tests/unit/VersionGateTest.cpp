#include <gtest/gtest.h>

#include <cstdint>

#include "app/CerImport.h"
#include "install/CertificateText.h"
#include "install/VersionText.h"
#include "tests/unit/FakePlatform.h"

namespace {

using Events = std::vector<std::wstring>;

const std::wstring kRefusal = L"box:windows 版本错误，请使用 证书安装 vista版本|操作系统版本错误";

std::uint32_t Version(unsigned major, unsigned minor) {
    return major | minor << 8;
}

// What the gate wrote, read from the same arithmetic the window uses.
std::wstring WinVerText(unsigned major, unsigned minor, const wchar_t* separator) {
    return FormatFixed(minor / 100.0 + major, separator);
}

struct Row {
    unsigned major, minor;
    const wchar_t* text;
    bool refused;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.major << "." << row.minor;
}

class VersionTable : public testing::TestWithParam<Row> {};

TEST_P(VersionTable, TextAndOutcome) {
    const Row& row = GetParam();
    EXPECT_EQ(WinVerText(row.major, row.minor, L"."), row.text);

    Log log;
    FakeForm form(log);
    FakePlatform platform(log, form);
    platform.version = Version(row.major, row.minor);
    CerImport window(platform, form, &kVistaAndLaterRefused);
    window.Form_Load();
    EXPECT_EQ(platform.versionQueries, 1);
    const Events expected = row.refused ? Events{kRefusal, L"unload"} : Events{};
    EXPECT_EQ(log.events, expected);
}

INSTANTIATE_TEST_SUITE_P(Windows, VersionTable,
                         testing::Values(Row{4, 0, L"4.00", false},    // 95, NT 4.0
                                         Row{4, 10, L"4.10", false},   // 98
                                         Row{4, 90, L"4.90", false},   // Me
                                         Row{5, 0, L"5.00", false},    // 2000
                                         Row{5, 1, L"5.01", false},    // XP
                                         Row{5, 2, L"5.02", false},    // Server 2003
                                         Row{6, 0, L"6.00", true},     // Vista
                                         Row{6, 1, L"6.01", true},     // 7
                                         Row{6, 2, L"6.02", true},     // 8
                                         Row{10, 0, L"10.00", true},   // 10
                                         Row{5, 99, L"5.99", false},
                                         Row{5, 100, L"6.00", true},   // the minor carries
                                         Row{255, 255, L"257.55", true}),
                         [](const testing::TestParamInfo<Row>& info) {
                             return "v" + std::to_string(info.param.major) + "_" +
                                    std::to_string(info.param.minor);
                         });

// Every possible version word, under a point and a comma: the text has the
// digits of 100 x major + minor, and the window refuses exactly from 6.00 on.
TEST(VersionGate, EveryWordUnderBothSeparators) {
    for (const wchar_t* separator : {L".", L","}) {
        int wrongTexts = 0, wrongOutcomes = 0;
        for (unsigned word = 0; word <= 0xFFFF; ++word) {
            const unsigned major = word % 256, minor = word / 256;
            const unsigned hundredths = 100 * major + minor;
            const std::wstring expected = std::to_wstring(hundredths / 100) + separator +
                                          static_cast<wchar_t>(L'0' + hundredths % 100 / 10) +
                                          static_cast<wchar_t>(L'0' + hundredths % 10);
            if (WinVerText(major, minor, separator) != expected) ++wrongTexts;

            Log log;
            FakeForm form(log);
            FakePlatform platform(log, form);
            platform.version = word;
            platform.separator = separator;
            CerImport window(platform, form, &kVistaAndLaterRefused);
            window.Form_Load();
            if (form.loaded == (hundredths >= 600)) ++wrongOutcomes;
        }
        EXPECT_EQ(wrongTexts, 0) << "separator '" << separator << "'";
        EXPECT_EQ(wrongOutcomes, 0) << "separator '" << separator << "'";
    }
}

TEST(VersionGate, HighBitsPlayNoPart) {
    for (std::uint32_t high : {0x00000000u, 0x0A280000u, 0x80000000u, 0xFFFF0000u}) {
        for (std::uint32_t low : {Version(5, 1), Version(6, 0)}) {
            Log log;
            FakeForm form(log);
            FakePlatform platform(log, form);
            platform.version = high | low;
            CerImport window(platform, form, &kVistaAndLaterRefused);
            window.Form_Load();
            EXPECT_EQ(form.loaded, low == Version(5, 1)) << std::hex << (high | low);
        }
    }
}

TEST(VersionGate, CommaLocaleGivesTheSameOutcome) {
    EXPECT_EQ(WinVerText(5, 1, L","), L"5,01");
    EXPECT_DOUBLE_EQ(ParseFixed(L"5,01", L","), 5.01);
    EXPECT_DOUBLE_EQ(ParseFixed(L"6,00", L","), 6.0);
}

TEST(VersionGate, RoundsRatherThanTruncates) {
    EXPECT_EQ(FormatFixed(5.00999999999, L"."), L"5.01");
    EXPECT_EQ(FormatFixed(5.994, L"."), L"5.99");
}

TEST(VersionGate, RefusalStillFillsTheCertificateText) {
    Log log;
    FakeForm form(log);
    FakePlatform platform(log, form);
    platform.version = Version(6, 1);
    CerImport window(platform, form, &kVistaAndLaterRefused);
    window.Form_Load();
    // The handler is called directly here, as nothing could click an unloaded window.
    window.cmdNext_Click();
    EXPECT_EQ(platform.installed, std::wstring(kCertificateText));
}

TEST(VersionText, MalformedTextIsATypeMismatch) {
    for (const wchar_t* text : {L"", L"5", L".01", L"5.", L"5.0x", L"五.01"}) {
        try {
            ParseFixed(text, L".");
            ADD_FAILURE() << "no error for \"" << text << "\"";
        } catch (const Error& e) {
            EXPECT_EQ(e.Number(), 13);
        }
    }
}

}  // namespace
