// Starting a plan: the first period of every mode at chosen moments, and its presentation.
#include <gtest/gtest.h>

#include <tuple>

#include "plan.h"

namespace qv::test {

TEST(StartMode, FirstPeriodOfEveryModeAtChosenMoments) {
    const std::tuple<DateTime, const char*, const char*, const char*> cases[] = {
        {{2026, 12, 6, 18, 0, 0}, "every 90 30", "game 5400", "changing mode starts with game time"},
        {{2026, 12, 6, 15, 0, 0}, "once 12 6 16 0 120", "break 3600", "before the window"},
        {{2026, 12, 6, 17, 0, 0}, "once 12 6 16 0 120", "game 3600", "inside the window"},
        {{2026, 12, 6, 18, 0, 0}, "once 12 6 16 0 120", "game 0", "the window's last second"},
        {{2026, 12, 6, 18, 0, 1}, "once 12 6 16 0 120", "over", "past the window"},
        {{2026, 12, 6, 15, 40, 0}, "once 12 6 15 30 45", "game 2100", "minutes carry into the next hour"},
        {{2026, 12, 1, 10, 0, 0}, "once 11 31 12 0 60", "break 7200", "day 31 of a 30-day month: the 1st"},
        {{2026, 12, 6, 10, 0, 0}, "once 1 1 12 0 60", "over", "a date earlier this year is past"},
        {{2028, 2, 28, 23, 0, 0}, "once 2 28 24 0 30", "break 3600", "hour 24: the midnight into 29 Feb"},
        {{2026, 12, 31, 23, 50, 0}, "once 12 31 23 45 30", "game 1500", "the window runs into the new year"},
        {{2026, 12, 6, 20, 0, 0}, "bed 7 0 21 0", "game 3600", "bed time later today"},
        {{2026, 12, 6, 22, 0, 0}, "bed 7 0 21 0", "break 32400", "bed time passed: tomorrow's start"},
        {{2026, 12, 6, 6, 0, 0}, "bed 7 0 21 0", "break 3600", "before today's start"},
        {{2026, 12, 6, 7, 0, 0}, "bed 7 0 21 0", "game 50400", "exactly at the start"},
        {{2026, 12, 6, 21, 0, 0}, "bed 7 0 21 0", "break 36000", "exactly at bed time"},
        {{2026, 12, 31, 22, 0, 0}, "bed 7 0 21 0", "break 32400", "tomorrow is next year"},
        {{2026, 12, 6, 23, 0, 0}, "bed 18 0 1 0", "game 7200", "bed after midnight"},
        {{2026, 12, 6, 23, 0, 0}, "bed 18 0 24 0", "game 3600", "bed at hour 24 is not moved twice"},
        {{2026, 12, 6, 10, 30, 0}, "bed 10 30 10 30", "break 86400", "start equal to bed: a day's break"},
        {{2026, 12, 6, 9, 0, 0}, "bed 10 30 10 30", "break 5400", "start equal to bed, before it"},
    };
    for (auto& [now, plan, expected, note] : cases) EXPECT_EQ(Plan(now, plan).left(), expected) << note;
}

TEST(StartMode, ListedGamesShowTheListAndTheBoxHidesTheTimeLeft) {
    Plan p(DateTime{2026, 12, 6, 8, 0, 0});
    p.plan("bed 7 0 21 0 listed");
    p.press("frmMain", "chkShowTime");
    p.start();
    EXPECT_EQ(p.status(), "game 46800 shown locked t1");
    EXPECT_TRUE(p.big().control("ListView1").visible() && !p.big().control("lblTimeLeft").visible());

    // Monitors added and removed while locked: the lock screen covers all of them, and what it
    // says stays on the primary one (1024 x 768 pixels at the desktop's origin).
    auto at = [&](const char* name) {
        const ui::Rect r = name ? p.big().control(name).rect() : p.big().rect();
        return std::to_string(r.left / 15) + "," + std::to_string(r.top / 15) +
               (name ? "" : " " + std::to_string(r.width / 15) + "x" + std::to_string(r.height / 15));
    };
    for (int i = 0; i < 50; ++i) {
        p.sim.system.virtualPx = i % 2 ? ScreenArea{-1280, -200, 2304, 1024} : ScreenArea{};
        p.sim.windowing.broadcast(FrmBig::kDisplayChange);
    }
    EXPECT_EQ(at(nullptr) + " " + at("Label1") + " " + at("ListView1") + " " + at("lblMessage"),
              "-1280,-200 2304x1024 2237,329 1283,203 1458,429");
    EXPECT_EQ(p.status(), "game 46800 shown locked t1");
    p.sim.system.virtualPx = {};
    p.sim.windowing.broadcast(FrmBig::kDisplayChange);
    EXPECT_EQ(at(nullptr) + " " + at("Label1"), "0,0 1024x768 957,129");
}

TEST(StartMode, AnyPickerTextGivesADefinedPeriod) {
    for (const char* mode : {"optEveryday", "optOneTime", "optBedTime"})
        for (const char* list :
             {"cmbGameTime", "cmbBreakTime", "cmbTotalTime", "cmbStartTimeH", "cmbStartTimeM",
              "cmbStartDateM", "cmbStartDateD", "cmbStartH", "cmbStartM", "cmbBedH", "cmbBedM"}) {
            for (const char* g : {"", "abc", "99999999999", "-5", "1e9", "24x"}) {
                Plan p;
                p.click("frmMain", mode);
                p.pick(list, g);
                p.start();
                p.advance(3 * 86400 * 1000LL / 100);  // some hours of running
                EXPECT_FALSE(p.app->gameTimeOn && p.app->breakTimeOn) << mode << " " << list << "=" << g;
                EXPECT_FALSE(p.ended());
            }
        }
    // A date typed far ahead is a long wait, not a count that wraps below zero into game time.
    Plan p(kSixPm, "once 829 1 1 0 60");
    EXPECT_EQ(p.status(), "break 2147483647 shown locked t1");
}

TEST(LockScreen, UnloadingReleasesTheLockAFailedHookIsReportedAndAPictureGoneIsLeftOut) {
    Plan p(kSixAm, "bed 7 0 21 0");
    ASSERT_TRUE(p.locked());
    p.app->session().unload(p.big());
    p.app->session().afterEvent();
    EXPECT_EQ(p.sim.windowLock.locked, 0u);
    EXPECT_TRUE(p.sim.keyboard.hooks.empty());

    p.sim.pictures.pictures.insert("C:\\sky.jpg");
    p.sim.dialogs.files.push_back({false, "C:\\sky.jpg"});
    p.click("frmMain", "Command7");
    p.sim.pictures.pictures.clear();  // the file is gone by the time the plan starts
    p.sim.keyboard.failInstall = true;
    p.start();
    ASSERT_FALSE(p.sim.dialogs.shown.empty());
    EXPECT_EQ(p.sim.dialogs.shown.back().text, "Failed to install low-level keyboard hook - 1428");
    EXPECT_EQ(p.sim.windowLock.locked, p.big().nativeHandle()) << "the lock stays";
    EXPECT_EQ(p.status(), "break 3600 shown t1");
    EXPECT_EQ(p.big().picture(), 0u) << "the plain lock screen";
}

}  // namespace qv::test
