// Starting a plan: the first period of every mode at chosen moments, and its presentation.
#include <gtest/gtest.h>

#include "plan.h"

namespace qv::test {

TEST(StartMode, ChangingModeStartsWithGameTime) {
    Plan p(DateTime{2026, 12, 6, 18, 0, 0});
    p.changing("90", "30");
    p.start();
    EXPECT_EQ(p.period(), "game");
    EXPECT_EQ(p.app->secondsLeft, 5400);
    EXPECT_EQ(p.big().control("lblTimeLeft").text(), " 1: 30: 0");
    EXPECT_TRUE(p.big().control("lblTimeLeft").visible());
    EXPECT_FALSE(p.shown("frmMain"));
    EXPECT_FALSE(p.shown("frmBig")) << "\"Allow everthing\" leaves the computer free";
    EXPECT_FALSE(p.locked());
    EXPECT_TRUE(p.big().timer1.enabled());
    EXPECT_EQ(p.big().control("lblMessage").text(), "");
}

struct Moment {
    DateTime now;
    std::function<void(Plan&)> setUp;
    std::string period;
    int32_t seconds;
    const char* note;
};

TEST(StartMode, OneTimeAndBedTimeAtChosenMoments) {
    auto oneTime16 = [](Plan& p) { p.oneTime("12", "6", "16", "0", "120"); };
    auto bed7to21 = [](Plan& p) { p.bedTime("7", "0", "21", "0"); };
    const Moment cases[] = {
        {{2026, 12, 6, 15, 0, 0}, oneTime16, "break", 3600, "before the window"},
        {{2026, 12, 6, 17, 0, 0}, oneTime16, "game", 3600, "inside the window"},
        {{2026, 12, 6, 18, 0, 0}, oneTime16, "game", 0, "the window's last second"},
        {{2026, 12, 6, 18, 0, 1}, oneTime16, "over", 0, "past the window"},
        {{2026, 12, 6, 15, 40, 0},
         [](Plan& p) { p.oneTime("12", "6", "15", "30", "45"); },
         "game",
         2100,
         "minutes carry into the next hour"},
        {{2026, 12, 1, 10, 0, 0},
         [](Plan& p) { p.oneTime("11", "31", "12", "0", "60"); },
         "break",
         7200,
         "day 31 of a 30-day month is the 1st of the next"},
        {{2026, 12, 6, 10, 0, 0},
         [](Plan& p) { p.oneTime("1", "1", "12", "0", "60"); },
         "over",
         0,
         "a date earlier this year is past"},
        {{2028, 2, 28, 23, 0, 0},
         [](Plan& p) { p.oneTime("2", "28", "24", "0", "30"); },
         "break",
         3600,
         "hour 24 is the midnight into 29 February"},
        {{2026, 12, 31, 23, 50, 0},
         [](Plan& p) { p.oneTime("12", "31", "23", "45", "30"); },
         "game",
         1500,
         "the window runs into the new year"},
        {{2026, 12, 6, 20, 0, 0}, bed7to21, "game", 3600, "bed time later today"},
        {{2026, 12, 6, 22, 0, 0}, bed7to21, "break", 32400, "bed time passed: tomorrow's start"},
        {{2026, 12, 6, 6, 0, 0}, bed7to21, "break", 3600, "before today's start"},
        {{2026, 12, 6, 7, 0, 0}, bed7to21, "game", 50400, "exactly at the start"},
        {{2026, 12, 6, 21, 0, 0}, bed7to21, "break", 36000, "exactly at bed time"},
        {{2026, 12, 31, 22, 0, 0}, bed7to21, "break", 32400, "tomorrow is next year"},
        {{2026, 12, 6, 23, 0, 0},
         [](Plan& p) { p.bedTime("18", "0", "1", "0"); },
         "game",
         7200,
         "bed after midnight"},
        {{2026, 12, 6, 23, 0, 0},
         [](Plan& p) { p.bedTime("18", "0", "24", "0"); },
         "game",
         3600,
         "bed at hour 24 is not moved twice"},
        {{2026, 12, 6, 10, 30, 0},
         [](Plan& p) { p.bedTime("10", "30", "10", "30"); },
         "break",
         86400,
         "start equal to latest: the whole day is a break"},
        {{2026, 12, 6, 9, 0, 0},
         [](Plan& p) { p.bedTime("10", "30", "10", "30"); },
         "break",
         5400,
         "start equal to latest, before it"},
    };
    for (const Moment& m : cases) {
        Plan p(m.now);
        m.setUp(p);
        p.start();
        EXPECT_EQ(p.period(), m.period) << m.note;
        if (m.period != "over") {
            EXPECT_EQ(p.app->secondsLeft, m.seconds) << m.note;
        }
    }
}

TEST(StartMode, PresentationFollowsThePeriodAndTheAllowance) {
    {
        Plan p(DateTime{2026, 12, 6, 6, 0, 0});
        p.bedTime("7", "0", "21", "0");
        p.start();
        EXPECT_TRUE(p.shown("frmBig"));
        EXPECT_FALSE(p.big().control("ListView1").visible());
        EXPECT_TRUE(p.locked());
        EXPECT_TRUE(p.big().timer1.enabled() && p.big().timer2.enabled());
        EXPECT_EQ(p.big().control("Label1").rect().top, 500);
    }
    {
        Plan p(DateTime{2026, 12, 6, 8, 0, 0});
        p.bedTime("7", "0", "21", "0");
        p.click("frmMain", "optOnlyListed");
        p.start();
        EXPECT_TRUE(p.shown("frmBig"));
        EXPECT_TRUE(p.big().control("ListView1").visible());
        EXPECT_TRUE(p.locked());
        EXPECT_EQ(p.big().control("Label1").rect().top, 11520 / 8 + 500);
    }
    {
        Plan p(DateTime{2026, 12, 6, 10, 0, 0});
        p.oneTime("1", "1", "12", "0", "60");
        p.press("frmMain", "chkShutDown");
        p.start();
        EXPECT_EQ(p.period(), "over");
        EXPECT_TRUE(p.shown("frmBig"));
        EXPECT_TRUE(p.locked());
        EXPECT_FALSE(p.big().control("lblTimeLeft").visible());
        EXPECT_FALSE(p.big().timer1.enabled() || p.big().timer2.enabled());
        EXPECT_EQ(p.sim.shutdown.runs, (std::vector<std::string>{"shutdown.exe -s -f"}))
            << "a plan started outside game time with the box checked shuts down at once";
    }
    {
        Plan p(DateTime{2026, 12, 6, 10, 0, 0});
        p.press("frmMain", "chkShowTime");
        p.changing("5", "5");
        p.start();
        EXPECT_FALSE(p.big().control("lblTimeLeft").visible());
    }
}

TEST(StartMode, LockScreenLookWithAndWithoutPicture) {
    Plan p(DateTime{2026, 12, 6, 6, 0, 0});
    p.bedTime("7", "0", "21", "0");
    p.type("frmMain", "txtMessage", "Homework first");
    p.start();
    EXPECT_EQ(p.big().control("lblMessage").text(), "Homework first");
    EXPECT_EQ(p.big().control("lblMessage").foreColour(), ui::rgb(168, 229, 252));
    EXPECT_EQ(p.big().control("ListView1").backColour(), ui::rgb(239, 0, 133));
    EXPECT_EQ(p.big().picture(), 0u);

    Plan q(DateTime{2026, 12, 6, 6, 0, 0});
    q.bedTime("7", "0", "21", "0");
    q.sim.pictures.pictures.insert("C:\\sky.jpg");
    q.sim.dialogs.files.push_back({false, "C:\\sky.jpg"});
    q.click("frmMain", "Command7");
    q.sim.pictures.pictures.clear();  // the file is gone by the time the plan starts
    q.start();
    EXPECT_EQ(q.period(), "break");
    EXPECT_TRUE(q.shown("frmBig"));
    EXPECT_EQ(q.big().picture(), 0u);
    EXPECT_EQ(q.big().control("Label1").foreColour(), ui::kSysButtonText);
}

TEST(StartMode, StartPressedTwiceRecomputesFromTheConsole) {
    Plan p(DateTime{2026, 12, 6, 18, 0, 0});
    p.changing("90", "30");
    p.start();
    p.advance(10'000);
    p.app->frmMain().show();
    p.pick("cmbGameTime", "10");
    p.start();
    EXPECT_EQ(p.app->secondsLeft, 600);
}

TEST(StartMode, AnyPickerTextGivesADefinedPeriod) {
    const char* garbage[] = {"", "abc", "99999999999", "-5", "1e9", "24x"};
    const char* lists[] = {"cmbGameTime",   "cmbBreakTime",  "cmbTotalTime",  "cmbStartTimeH",
                           "cmbStartTimeM", "cmbStartDateM", "cmbStartDateD", "cmbStartH",
                           "cmbStartM",     "cmbBedH",       "cmbBedM"};
    for (const char* mode : {"optEveryday", "optOneTime", "optBedTime"}) {
        for (const char* list : lists) {
            for (const char* g : garbage) {
                Plan p(DateTime{2026, 12, 6, 18, 0, 0});
                p.click("frmMain", mode);
                p.pick(list, g);
                p.start();
                p.advance(3 * 86400 * 1000LL / 100);  // some hours of running
                EXPECT_FALSE(p.app->gameTimeOn && p.app->breakTimeOn) << mode << " " << list << "=" << g;
                EXPECT_FALSE(p.ended());
            }
        }
    }
    // A date typed far ahead is a long wait, not a count that wraps below zero into game time.
    Plan p(DateTime{2026, 12, 6, 18, 0, 0});
    p.oneTime("829", "1", "1", "0", "60");
    p.start();
    EXPECT_EQ(p.period(), "break");
    EXPECT_EQ(p.app->secondsLeft, INT32_MAX);
}

}  // namespace qv::test

namespace qv::test {

TEST(LockScreen, LaysItselfOutOverTheScreen) {
    Plan p(DateTime{2026, 12, 6, 18, 0, 0});  // a 1024 x 768 screen at 15 twips per pixel
    FrmBig& big = p.big();
    auto rect = [&](const char* n) {
        const ui::Rect& r = big.control(n).rect();
        return std::vector<int>{r.left, r.top, r.width, r.height};
    };
    EXPECT_EQ(rect("ListView1"), (std::vector<int>{50, 50, 15310, 1440}));
    EXPECT_EQ(rect("Label1"), (std::vector<int>{14360, 1940, 1005, 375}));
    EXPECT_EQ(rect("lblMessage"), (std::vector<int>{2680, 3440, 10000, 1575}));
    EXPECT_EQ(rect("lblTimeLeft"), (std::vector<int>{3180, 7680, 9000, 2895}));
    EXPECT_EQ(big.rect().width, 15360);
    EXPECT_EQ(big.rect().height, 11520);
    EXPECT_FALSE(big.visible()) << "loaded hidden, timers off";
    EXPECT_FALSE(big.timer1.enabled() || big.timer2.enabled());
}

TEST(LockScreen, UnloadingItReleasesTheLockAndTheHook) {
    Plan p(DateTime{2026, 12, 6, 6, 0, 0});
    p.bedTime("7", "0", "21", "0");
    p.start();
    ASSERT_TRUE(p.locked());
    p.app->session().unload(p.big());
    p.app->session().afterEvent();
    EXPECT_EQ(p.sim.windowLock.locked, 0u);
    EXPECT_TRUE(p.sim.keyboard.hooks.empty());
}

TEST(LockScreen, AFailedHookIsReportedAndTheLockStays) {
    Plan p(DateTime{2026, 12, 6, 6, 0, 0});
    p.bedTime("7", "0", "21", "0");
    p.sim.keyboard.failInstall = true;
    p.start();
    ASSERT_FALSE(p.sim.dialogs.shown.empty());
    EXPECT_EQ(p.sim.dialogs.shown.back().text, "Failed to install low-level keyboard hook - 1428");
    EXPECT_EQ(p.sim.windowLock.locked, p.big().nativeHandle());
}

}  // namespace qv::test
