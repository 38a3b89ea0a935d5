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

// Every possible version word, under a point and a comma: the version is
// read once, and the window is refused, with one box and an unload, exactly
// from 6.00 on (a minor of 100 or more carries into the major).
TEST(VersionGate, EveryWordUnderBothSeparators) {
    for (const wchar_t* separator : {L".", L","}) {
        const char* name = separator[0] == L',' ? "comma" : "point";
        int wrong = 0;
        for (unsigned word = 0; word <= 0xFFFF; ++word) {
            const unsigned major = word % 256, minor = word / 256;
            Log log;
            FakeForm form(log);
            FakePlatform platform(log, form);
            platform.version = word;
            platform.separator = separator;
            CerImport window(platform, form, &kVistaAndLaterRefused);
            window.Form_Load();
            const Events expected = 100 * major + minor >= 600 ? Events{kRefusal, L"unload"} : Events{};
            if (log.events != expected || platform.versionQueries != 1) {
                if (++wrong <= 3) ADD_FAILURE() << major << "." << minor << " under a " << name;
            }
        }
        EXPECT_EQ(wrong, 0) << "versions wrong under a " << name;
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

TEST(VersionGate, RoundsRatherThanTruncates) {
    EXPECT_EQ(FormatFixed(5.00999999999, L"."), L"5.01");
    EXPECT_EQ(FormatFixed(5.994, L"."), L"5.99");
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
