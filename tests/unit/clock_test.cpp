// Running plans on the virtual clock: period switches, signals, run-state saves, restarts.
#include <gtest/gtest.h>

#include "plan.h"

namespace qv::test {

// Runs the plan for `seconds`, one tick at a time, noting each change of period as "second:period".
static std::string run(Plan& p, int64_t seconds) {
    std::string out, last = p.period();
    for (int64_t s = 1; s <= seconds; ++s) {
        p.advance(1000);
        if (p.period() != last) out += std::to_string(s) + ":" + (last = p.period()) + " ";
    }
    return out;
}

TEST(Clock, ChangingModeAlternatesOnTheRightTicks) {
    Plan p(kSixPm, "every 1 1");
    // A period of N seconds switches N + 1 ticks after it began.
    EXPECT_EQ(run(p, 250), "61:break 122:game 183:break 244:game ");
    EXPECT_EQ(p.big().control("lblTimeLeft").text(), " 0: 0: 54");

    Plan w(kSixPm, "every 50 10");  // a week keeps the rhythm: cycles of 3001 + 601 ticks
    w.advance(7LL * 86400 * 1000);
    EXPECT_EQ(w.period(), (7LL * 86400) % (3001 + 601) < 3001 ? "game" : "break");
}

TEST(Clock, SignalsRingAtTheListedMoments) {
    Plan p(kSixPm, "every 1 1 listed");
    std::vector<int32_t> rings;
    for (int s = 0; s < 122; ++s) {
        const size_t before = p.sim.sound.commands.size();
        p.advance(1000);
        if (p.sim.sound.commands.size() != before) rings.push_back(p.app->secondsLeft);
    }
    // Game: 50..0 every 10 s (60 is never reached after a count-down step); break: 10..0 every 2 s.
    EXPECT_EQ(rings, (std::vector<int32_t>{50, 40, 30, 20, 10, 0, 10, 8, 6, 4, 2, 0}));
    // A sound file is opened by its short path.
    p.sim.sound.files.insert("C:\\Program Files\\Quorvane\\sound.wav");
    p.sim.sound.commands.clear();
    p.app->ringBegin();
    EXPECT_EQ(p.sim.sound.commands[1],
              "open C:\\Program~Files\\Quorvane\\sound.wav type waveaudio alias voice1");
    // A volume without short names: the long path, quoted.
    p.sim.sound.files.clear();
    p.app->ringEnd();
    EXPECT_EQ(p.sim.sound.commands[4],
              "open \"C:\\Program Files\\Quorvane\\sound.wav\" type waveaudio alias voice1");
    // Shutdown: the system's own program, never one of that name in the current folder.
    p.app->shutDownComputer();
    EXPECT_EQ(p.sim.shutdown.runs,
              std::vector<std::string>{"\"C:\\Windows\\System32\\shutdown.exe\" -s -f -t 0"});
}

TEST(Clock, RunStateIsSavedOnEveryMultipleOfThirty) {
    Plan p(kSixPm, "every 60 5");
    p.advance(1000);
    EXPECT_EQ(p.stored("FinalTime") + p.stored("GameTimeOn") + p.stored("BreakTimeOn"), "3600-10");
    p.advance(29'000);
    EXPECT_EQ(p.stored("FinalTime"), "3600") << "nothing more until 3570";
    p.advance(1000);
    EXPECT_EQ(p.stored("FinalTime"), "3570");
}

TEST(Clock, OneTimePlanEndsOverWithNoTimerRunning) {
    Plan p(DateTime{2026, 12, 6, 15, 58, 0}, "once 12 6 16 0 1 listed");
    EXPECT_EQ(p.period(), "break");
    EXPECT_EQ(run(p, 122), "121:game ");
    p.big().setEnabled(false);  // a program started from the list disabled the screen
    EXPECT_EQ(run(p, 278), "60:over ") << "a one-minute game, ended on its 61st tick";
    EXPECT_EQ(p.status(), "over shown locked") << "\"Exit\" stays reachable when the plan is over";
    EXPECT_EQ(p.app->secondsLeft, 0);
    EXPECT_EQ(p.sim.clock.activeTimers(), 0u);
}

TEST(Clock, BedTimeRunsForDaysSwitchingAtTheSetTimes) {
    Plan p(DateTime{2026, 12, 30, 20, 0, 0}, "bed 7 0 21 30");
    std::vector<std::string> at;
    for (std::string last = p.period(); at.size() < 6;) {
        p.advance(1000);
        if (p.period() != last)
            at.push_back(p.sim.clock.now().toString().substr(5) + " " + (last = p.period()));
    }
    // Each switch comes one tick after the count reached zero, and each tick counts one second:
    // the next period's length is computed from the set times, so a second is lost per switch.
    EXPECT_EQ(
        at, (std::vector<std::string>{"12-30 21:30:01 break", "12-31 07:00:02 game", "12-31 21:30:03 break",
                                      "01-01 07:00:04 game", "01-01 21:30:05 break", "01-02 07:00:06 game"}));
}

TEST(Resume, BedTimeComputesItsPeriodFromTheClockAndStartBeginsANewPlan) {
    Plan p(DateTime{2026, 12, 6, 20, 0, 0}, "bed 7 0 21 0");
    p.advance(1000);  // a game period is stored
    p.app.reset();
    p.sim.clock.setNow(DateTime{2026, 12, 6, 22, 0, 0});
    p.startProgram();
    p.advance(61'000);
    EXPECT_EQ(p.status(), "break 32339 shown locked t1");
    p.big().hide();  // the parent has left the lock screen and opens the console
    p.console().show();
    p.plan("every 30 10");
    p.start();
    EXPECT_EQ(p.left(), "game 1800");
}

// A sleep pauses nothing but the Changing-mode count: Bed time and One time periods are times of
// day and are worked out again on waking; time the program was held up while awake counts.
TEST(Sleep, TimedPeriodsFollowTheClockAndAChangingPeriodCountsOnlyTimeAwake) {
    Plan bed(DateTime{2026, 12, 6, 20, 50, 0}, "bed 7 0 21 0 all");
    bed.advance(3000);
    bed.sim.sleep(2LL * 3600 * 1000 + 10 * 60 * 1000);  // woken at 23:00:03
    EXPECT_EQ(bed.status(), "break 28797 shown locked t1") << "the game ended while asleep";
    bed.sim.sleep(9LL * 3600 * 1000);  // a break slept through: 08:00:03
    EXPECT_EQ(bed.status(), "game 46797 t1");
    bed.sim.sleep(60'000);  // the same period: only the count moves
    EXPECT_EQ(bed.left(), "game 46737");
    bed.advance(1000);
    EXPECT_EQ(bed.left(), "game 46736");
    bed.sim.sleep(0);
    bed.sim.sleep(3LL * 86400 * 1000);  // three days, to the same time of day
    EXPECT_EQ(bed.status(), "game 46736 t1");

    Plan once(DateTime{2026, 12, 6, 15, 58, 0}, "once 12 6 16 0 1 listed");
    once.sim.sleep(3600'000);
    EXPECT_EQ(once.status(), "over shown locked") << "the whole plan passed while asleep";
    once.sim.sleep(3600'000);
    EXPECT_EQ(once.status(), "over shown locked");

    Plan every(kSixPm, "every 60 5 listed");
    every.advance(10'000);
    every.sim.sleep(3 * 3600'000);
    every.advance(1000);
    EXPECT_EQ(every.left(), "game 3589") << "nobody played while the machine slept";
    every.sim.clock.block(20'400);  // the program was held up while awake
    every.advance(0);               // the late tick
    EXPECT_EQ(every.left(), "game 3569");
    every.app->clockTick();  // a tick twice at one moment counts once
    every.advance(1000);     // the 0.4 s left over counts with the next second
    EXPECT_EQ(every.left(), "game 3568");
    every.sim.clock.block(3600'000);
    every.advance(0);
    EXPECT_EQ(every.left(), "game 0") << "a hold-up past the end ends the period at the next tick";
    every.advance(1000);
    EXPECT_EQ(every.status(), "break 300 shown locked t1");
}

// The stored run state (GameTimeOn, BreakTimeOn, FinalTime; null: none) is the child's to edit: whatever
// it holds, the plan resumes with a defined period of at most a whole game (60 min) or break (15 min).
TEST(Resume, StoredRunStateGarbageGivesADefinedPeriodOfAtMostAWholeOne) {
    const char* names[] = {"GameTimeOn", "BreakTimeOn", "FinalTime"};
    const char* cases[][4] = {
        {"-1", "0", "1234", "game 1234"},
        {"0", "-1", "77", "break 77"},
        {nullptr, nullptr, nullptr, "break 1"},  // no values at all
        {"abc", "xyz", "abc", "game 3600"} /* no period stored: a fresh game */,
        {"-1", "-1", "5", "break 5"},
        {"1", "0", "99999999999999", "game 3600"},
        {"-1", "0", "99999", "game 3600"},
        {"0", "-1", "3600", "break 900"},
    };
    for (auto& c : cases) {
        Plan p(kSixPm, "every 60 15");
        for (int i : {0, 1, 2})
            c[i] ? p.store(names[i], c[i]) : (void)p.app->settings().DeleteSetting("Controls", names[i]);
        p.app.reset();
        p.startProgram();
        p.advance(61'000);
        EXPECT_EQ(p.left(), c[3]) << &c - cases;
        p.advance(5'000);
        EXPECT_FALSE(p.ended());
    }
}

}  // namespace qv::test
