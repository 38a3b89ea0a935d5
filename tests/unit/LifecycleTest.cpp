#include <gtest/gtest.h>

#include "app/EventDispatch.h"
#include "install/CertificateText.h"
#include "tests/unit/FakePlatform.h"

namespace {

using Events = std::vector<std::wstring>;

struct Program {
    Log log;
    FakeForm form{log};
    FakePlatform platform{log, form};
    CerImport window{platform, form, &kVistaAndLaterRefused};
    EventDispatch dispatch{window, form, platform};
};

TEST(StartUp, PassingLoadShowsTheWindowAndNothingElse) {
    Program p;
    p.dispatch.Start();
    EXPECT_EQ(p.log.events, (Events{L"show"}));
    EXPECT_FALSE(p.dispatch.Ended());
}

TEST(StartUp, LoadThatUnloadsEndsTheProgramUnshown) {
    Program p;
    p.platform.version = 6;  // Vista
    p.dispatch.Start();
    ASSERT_EQ(p.log.events.size(), 2u);
    EXPECT_EQ(p.log.events[1], L"unload");
    EXPECT_TRUE(p.dispatch.Ended());
    EXPECT_EQ(p.dispatch.ExitCode(), 0);
}

TEST(Exit, UnloadsWithNoBoxAndInstallsNothing) {
    Program p;
    p.dispatch.Start();
    p.dispatch.Click(cmdExit);
    EXPECT_EQ(p.log.events, (Events{L"show", L"unload"}));
    EXPECT_TRUE(p.dispatch.Ended());
    EXPECT_EQ(p.dispatch.ExitCode(), 0);
}

TEST(Clicks, OnlyTheButtonsAreConnected) {
    Program p;
    p.dispatch.Start();
    for (ControlName other : {Picture1, Line2, Label1, Line1, lblDesc}) p.dispatch.Click(other);
    EXPECT_EQ(p.log.events, (Events{L"show"}));
}

TEST(Clicks, SecondClickQueuedBehindTheFirstIsDropped) {
    for (ControlName first : {cmdNext, cmdExit}) {
        for (ControlName second : {cmdNext, cmdExit}) {
            Program p;
            p.dispatch.Start();
            p.dispatch.Click(first);
            // The window is hidden or gone, but a posted click may still arrive.
            p.form.loaded = true;
            const auto before = p.log.events;
            p.dispatch.Click(second);
            EXPECT_EQ(p.log.events, before) << "first " << first << ", second " << second;
        }
    }
}

TEST(Clicks, ClickBeforeTheWindowIsShownIsDropped) {
    Program p;
    p.dispatch.Click(cmdNext);
    p.dispatch.Click(cmdExit);
    EXPECT_TRUE(p.log.events.empty());
}

TEST(UntrappedError, IsReportedOnceAndEndsTheProgramWithFailure) {
    Program p;
    p.dispatch.Start();
    p.form.unloadError = Error(-2147467259, L"unspecified");
    p.dispatch.Click(cmdExit);
    EXPECT_EQ(p.log.events,
              (Events{L"show", L"unload", L"hide",
                      L"box:运行时错误 '-2147467259':\r\n\r\nunspecified|<none>|buttons 16", L"unload"}));
    EXPECT_TRUE(p.dispatch.Ended());
    EXPECT_EQ(p.dispatch.ExitCode(), 1);
}

TEST(UntrappedError, InTheLoadKeepsTheWindowUnshown) {
    Program p;
    p.platform.separator = L"";  // a version text that cannot be read back
    p.dispatch.Start();
    EXPECT_EQ(p.log.events,
              (Events{L"hide", L"box:运行时错误 '13':\r\n\r\n类型不匹配|<none>|buttons 16", L"unload"}));
    EXPECT_EQ(p.dispatch.ExitCode(), 1);
}

}  // namespace
