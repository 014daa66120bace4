// Running plans on the virtual clock: period switches, signals, run-state saves, restarts.
#include <gtest/gtest.h>

#include "lock/time_text.h"
#include "plan.h"

namespace qv::test {

namespace {
struct Switch {
    int64_t second;  // seconds after Start
    std::string to;
};
// Runs the plan for `seconds`, one tick at a time, noting every change of period.
std::vector<Switch> run(Plan& p, int64_t seconds) {
    std::vector<Switch> out;
    std::string last = p.period();
    for (int64_t s = 1; s <= seconds; ++s) {
        p.advance(1000);
        if (p.period() != last) out.push_back({s, last = p.period()});
    }
    return out;
}
std::string text(const std::vector<Switch>& v) {
    std::string s;
    for (auto& x : v) s += std::to_string(x.second) + ":" + x.to + " ";
    return s;
}
}  // namespace

TEST(Clock, TimeLeftText) {
    EXPECT_EQ(timeLeftText(3725), " 1: 2: 5");
    EXPECT_EQ(timeLeftText(0), " 0: 0: 0");
    EXPECT_EQ(timeLeftText(-3725), "-1:-2:-5");
    EXPECT_EQ(timeLeftText(59), " 0: 0: 59");
}

TEST(Clock, ChangingModeAlternatesOnTheRightTicks) {
    Plan p(DateTime{2026, 12, 6, 18, 0, 0});
    p.changing("1", "1");
    p.start();
    // A period of N seconds switches N + 1 ticks after it began.
    EXPECT_EQ(text(run(p, 250)), "61:break 122:game 183:break 244:game ");
    EXPECT_EQ(p.app->secondsLeft, 54);
    EXPECT_EQ(p.big().control("lblTimeLeft").text(), " 0: 0: 54");
}

TEST(Clock, SignalsRingAtTheListedMoments) {
    Plan p(DateTime{2026, 12, 6, 18, 0, 0});
    p.changing("1", "1");
    p.click("frmMain", "optOnlyListed");
    p.start();
    std::vector<int32_t> rings;
    for (int s = 0; s < 122; ++s) {
        const size_t before = p.sim.sound.commands.size();
        p.advance(1000);
        if (p.sim.sound.commands.size() != before) rings.push_back(p.app->secondsLeft);
    }
    // Game: 50..0 every 10 s (60 is never reached after a count-down step); break: 10..0 every 2 s.
    EXPECT_EQ(rings, (std::vector<int32_t>{50, 40, 30, 20, 10, 0, 10, 8, 6, 4, 2, 0}));
    ASSERT_GE(p.sim.sound.commands.size(), 3u);
    EXPECT_EQ(p.sim.sound.commands[0], "close voice1");
    EXPECT_EQ(p.sim.sound.commands[1], "open  type waveaudio alias voice1") << "no sound file: an empty path";
    EXPECT_EQ(p.sim.sound.commands[2], "play voice1");
}

TEST(Clock, SoundFileIsOpenedByItsShortPath) {
    Plan p(DateTime{2026, 12, 6, 18, 0, 0});
    p.sim.sound.files.insert("C:\\Program Files\\Quorvane\\sound.wav");
    p.app->ringBegin();
    EXPECT_EQ(p.sim.sound.commands[1],
              "open C:\\Program~Files\\Quorvane\\sound.wav type waveaudio alias voice1");
}

TEST(Clock, RunStateIsSavedOnEveryMultipleOfThirty) {
    Plan p(DateTime{2026, 12, 6, 18, 0, 0});
    p.changing("60", "5");
    p.start();
    p.advance(1000);
    EXPECT_EQ(p.stored("FinalTime"), "3600");
    EXPECT_EQ(p.stored("GameTimeOn"), "-1");
    EXPECT_EQ(p.stored("BreakTimeOn"), "0");
    p.advance(29'000);
    EXPECT_EQ(p.stored("FinalTime"), "3600") << "nothing more until 3570";
    p.advance(1000);
    EXPECT_EQ(p.stored("FinalTime"), "3570");
}

TEST(Clock, EverythingAllowedHidesTheScreenAndBreaksLockIt) {
    Plan p(DateTime{2026, 12, 6, 18, 0, 0});
    p.changing("1", "1");
    p.press("frmMain", "chkShutDown");
    p.start();
    EXPECT_FALSE(p.shown("frmBig"));
    run(p, 61);
    EXPECT_EQ(p.period(), "break");
    EXPECT_TRUE(p.shown("frmBig"));
    EXPECT_TRUE(p.locked());
    EXPECT_EQ(p.sim.shutdown.runs.size(), 1u) << "game time over with the box checked";
    run(p, 61);
    EXPECT_EQ(p.period(), "game");
    EXPECT_FALSE(p.shown("frmBig"));
    EXPECT_FALSE(p.locked()) << "lock and hook released when game time begins";
}

TEST(Clock, OneTimePlanEndsOverWithNoTimerRunning) {
    Plan p(DateTime{2026, 12, 6, 15, 58, 0});
    p.oneTime("12", "6", "16", "0", "1");
    p.click("frmMain", "optOnlyListed");
    p.start();
    EXPECT_EQ(p.period(), "break");
    EXPECT_EQ(text(run(p, 122)), "121:game ");
    p.big().setEnabled(false);  // a program started from the list disabled the screen
    EXPECT_EQ(text(run(p, 278)), "60:over ") << "a one-minute game, ended on its 61st tick";
    EXPECT_TRUE(p.shown("frmBig"));
    EXPECT_TRUE(p.big().enabled()) << "\"Exit\" stays reachable when the plan is over";
    EXPECT_TRUE(p.locked());
    EXPECT_FALSE(p.big().timer1.enabled() || p.big().timer2.enabled());
    EXPECT_EQ(p.app->secondsLeft, 0);
    EXPECT_EQ(p.sim.clock.activeTimers(), 0u);
}

TEST(Clock, BedTimeRunsForDaysSwitchingAtTheSetTimes) {
    Plan p(DateTime{2026, 12, 30, 20, 0, 0});
    p.bedTime("7", "0", "21", "30");
    p.start();
    std::vector<std::string> at;
    std::string last = p.period();
    for (int s = 0; s < 3 * 86400; ++s) {
        p.advance(1000);
        if (p.period() != last) {
            last = p.period();
            at.push_back(p.sim.clock.now().toString().substr(5) + " " + last);
        }
    }
    // Each switch comes one tick after the count reached zero, and each tick counts one second:
    // the next period's length is computed from the set times, so a second is lost per switch.
    EXPECT_EQ(
        at, (std::vector<std::string>{"12-30 21:30:01 break", "12-31 07:00:02 game", "12-31 21:30:03 break",
                                      "01-01 07:00:04 game", "01-01 21:30:05 break", "01-02 07:00:06 game"}));
}

TEST(Clock, SimulatedWeekOfChangingModeKeepsItsRhythm) {
    Plan p(DateTime{2026, 12, 6, 18, 0, 0});
    p.changing("50", "10");
    p.start();
    p.advance(7LL * 86400 * 1000);
    // Each game + break cycle lasts 3001 + 601 ticks.
    const int64_t t = 7LL * 86400;
    const int64_t cycle = 3001 + 601;
    const int64_t into = t % cycle;
    EXPECT_EQ(p.period(), into < 3001 ? "game" : "break");
}

TEST(Resume, RestartInTheMiddleOfAGameContinuesTheStoredPeriod) {
    Plan p(DateTime{2026, 12, 6, 18, 0, 0});
    p.changing("60", "15");
    p.start();
    p.advance(620'000);  // 3600 - 620 = 2980 left; the last save was at 3000
    EXPECT_EQ(p.stored("FinalTime"), "3000");
    p.app.reset();  // the computer was switched off
    p.startProgram();
    EXPECT_EQ(p.app->consoleState, state::kPlanRunning);
    EXPECT_FALSE(p.shown("frmBig"));
    p.advance(60'000);
    EXPECT_FALSE(p.app->frmBig().timer1.enabled()) << "not yet";
    p.advance(1000);
    EXPECT_EQ(p.period(), "game");
    EXPECT_EQ(p.app->secondsLeft, 3000);
    EXPECT_TRUE(p.app->frmBig().timer1.enabled());
    p.advance(3001'000);
    EXPECT_EQ(p.period(), "break");
    EXPECT_EQ(p.app->secondsLeft, 900);
}

TEST(Resume, BedTimeComputesItsPeriodFromTheClockAgain) {
    Plan p(DateTime{2026, 12, 6, 20, 0, 0});
    p.bedTime("7", "0", "21", "0");
    p.start();
    p.advance(1000);  // a game period is stored
    p.app.reset();
    p.sim.clock.setNow(DateTime{2026, 12, 6, 22, 0, 0});
    p.startProgram();
    p.advance(61'000);
    EXPECT_EQ(p.period(), "break");
    EXPECT_EQ(p.app->secondsLeft, 32400 - 61);
}

TEST(Resume, StoredRunStateGarbageGivesADefinedPeriod) {
    struct {
        const char *game, *brk, *seconds, *period;
    } cases[] = {
        {"-1", "0", "1234", "game"},
        {"0", "-1", "77", "break"},
        {nullptr, nullptr, nullptr, "break"},
        {"abc", "xyz", "abc", "game"} /* no period stored: a fresh game */,
        {"-1", "-1", "5", "break"},
        {"1", "0", "99999999999999", "game"},
    };
    for (auto& c : cases) {
        Plan p(DateTime{2026, 12, 6, 18, 0, 0});
        p.changing("60", "15");
        p.start();
        p.app.reset();
        for (auto [name, v] :
             {std::pair{"GameTimeOn", c.game}, {"BreakTimeOn", c.brk}, {"FinalTime", c.seconds}}) {
            if (v) {
                p.store(name, v);
            } else {
                p.app = nullptr;
                qv::sim::SimRegistry& r = p.sim.registry;
                r.writeString(kControls, name, "");
                RegKey k;
                r.openKey(reg::kCurrentUser, "Software\\Hollowmere\\Tarnwell\\Controls", reg::kKeyAllAccess,
                          &k);
                r.deleteValue(k, name);
                r.closeKey(k);
            }
        }
        p.startProgram();
        p.advance(61'000);
        EXPECT_EQ(p.period(), c.period) << (c.game ? c.game : "-") << "/" << (c.brk ? c.brk : "-");
        p.advance(5'000);
        EXPECT_FALSE(p.ended());
    }
}

TEST(Resume, StartAfterAResumedBedTimePlanBeginsANewPlan) {
    Plan p(DateTime{2026, 12, 6, 22, 0, 0});
    p.bedTime("7", "0", "21", "0");
    p.start();
    p.advance(1000);  // the first tick stores the running break
    p.app.reset();
    p.startProgram();
    p.advance(61'000);
    ASSERT_EQ(p.period(), "break");
    p.app->frmBig().hide();  // the parent has left the lock screen and opens the console
    p.app->frmMain().show();
    p.changing("30", "10");
    p.start();
    EXPECT_EQ(p.period(), "game");
    EXPECT_EQ(p.app->secondsLeft, 1800);
}

}  // namespace qv::test
