// What the notification icon says while a plan runs: the balloons before and at game time, and
// the tip with the time left.
#include "console/tray_status.h"

#include <gtest/gtest.h>

#include "plan.h"

namespace qv::test {

// Starts the plan and runs it second by second, noting each balloon as "SECONDS-LEFT:TEXT" (the
// seconds left in the period it came in).
static std::vector<std::string> balloons(const DateTime& now, const std::string& plan, int64_t seconds) {
    Plan p(now);
    p.plan(plan);
    std::vector<std::string> out;
    size_t seen = p.sim.tray.balloons.size();
    p.start();
    for (int64_t s = 0; s <= seconds; ++s) {
        for (; seen < p.sim.tray.balloons.size(); ++seen)
            out.push_back(std::to_string(p.app->secondsLeft) + ":" + p.sim.tray.balloons[seen].info);
        p.advance(1000);
    }
    return out;
}

static std::string tip(Plan& p) {
    return p.sim.tray.icons.at(999).tip;
}

TEST(TrayStatus, BalloonsAnnounceGameTimeAndWarnBeforeItsEndInEachMode) {
    const std::string begin6 = "360:Game time: 6 minutes",
                      five = "300:5 minutes of game time left: save your game now.",
                      one = "60:1 minute of game time left.";
    EXPECT_EQ(balloons(kSixPm, "every 6 1 all", 6 * 60 + 62 + 1),
              (std::vector<std::string>{begin6, five, one, begin6}))
        << "none in the break, again at the next game";

    // Periods no longer than a warning's lead skip that warning; a game of no time says nothing.
    EXPECT_EQ(balloons(kSixPm, "every 5 1", 300),
              (std::vector<std::string>{"300:Game time: 5 minutes", one}));
    EXPECT_EQ(balloons(kSixPm, "every 1 0", 100),
              (std::vector<std::string>{"60:Game time: 1 minute", "60:Game time: 1 minute"}));
    EXPECT_EQ(balloons(kSixPm, "every 0 1", 10), std::vector<std::string>{});

    // One time: the window opens after a wait; Bed time: started inside the window.
    EXPECT_EQ(balloons(DateTime{2026, 12, 6, 17, 59, 0}, "once 12 6 18 0 2 listed", 60 + 125),
              (std::vector<std::string>{"120:Game time: 2 minutes", one}));
    EXPECT_EQ(balloons(DateTime{2026, 12, 6, 17, 54, 0}, "bed 7 0 18 0", 362),
              (std::vector<std::string>{begin6, five, one}));
}

TEST(TrayStatus, AResumedGameIsNotAnnouncedButStillWarned) {
    Plan p(kSixPm, "every 60 5");
    p.advance(1000);  // the run state is stored
    p.store("FinalTime", "70");
    p.app.reset();
    const size_t before = p.sim.tray.balloons.size();
    p.startProgram(true);  // started by the guard: the stored game goes on at once
    EXPECT_EQ(p.left(), "game 70");
    p.advance(10'000);
    std::vector<std::string> seen;
    for (size_t i = before; i < p.sim.tray.balloons.size(); ++i) seen.push_back(p.sim.tray.balloons[i].info);
    EXPECT_EQ(seen, (std::vector<std::string>{"Click on the icon to begin", "1 minute of game time left."}));
    EXPECT_EQ(p.sim.tray.balloons.back().infoFlags, 2u) << "a warning's sign";
    EXPECT_EQ(p.sim.tray.balloons.back().infoTitle, "Quorvane");
}

TEST(TrayStatus, CountThatJumpedPastBothLeadsSaysOnlyTheNearer) {
    TrayStatus t;
    PlanState s;
    s.period = PlanState::Period::Game;
    s.secondsLeft = 400;
    EXPECT_EQ(t.update(s, false).balloon, nullptr) << "resumed, not begun";
    s.secondsLeft = 30;
    EXPECT_STREQ(t.update(s, false).balloon, "1 minute of game time left.");
}

TEST(TrayStatus, TipSaysTheTimeLeftAndChangesOnlyWithItsText) {
    Plan p(kSixPm, "every 12 5 all");
    EXPECT_EQ(tip(p), "Quorvane: game time, 12 minutes left");
    const auto modifies = [&p] {
        size_t n = 0;
        for (auto& c : p.sim.tray.calls) n += c.op == TrayOp::Modify && (c.record.flags & 4);
        return n;
    };
    p.advance(5'000);  // the icon refresh after start-up is over
    const size_t before = modifies();
    p.advance(56'000);
    EXPECT_EQ(tip(p), "Quorvane: game time, 11 minutes left") << "the minute under way counts";
    EXPECT_EQ(modifies(), before + 1) << "sent when the text changes, not at every tick";
    p.advance(11 * 60'000);
    EXPECT_EQ(tip(p), "Quorvane: break, 5 minutes left");
    p.advance(4 * 60'000 + 1000);
    EXPECT_EQ(tip(p), "Quorvane: break, 1 minute left");

    // Stopped with the password: the icon's own tip again.
    p.event([&] { p.app->frmMenuSystray().mnuStop.userClick(); });
    p.type("frmPassEnter", "txtPass1", "secret");
    p.click("frmPassEnter", "Command1");
    EXPECT_EQ(tip(p), "Quorvane 1.0");

    // Waits for a time of day say until when; a plan past its end says so.
    Plan bed(DateTime{2026, 12, 6, 21, 30, 0}, "bed 10 30 21 0");
    EXPECT_EQ(tip(bed), "Quorvane: locked until 10:30");
    Plan once(kSixPm, "once 12 8 13 1 90");
    EXPECT_EQ(tip(once), "Quorvane: locked until 13:01 on 8 December");
    Plan past(kSixPm, "once 12 6 16 0 30");
    EXPECT_EQ(tip(past), "Quorvane: the plan is over");

    PlanState s;
    s.period = PlanState::Period::Game;
    s.secondsLeft = 2400;
    s.tipSuffix = "; 40 minutes left today";
    char text[TrayStatus::kTipSize];
    TrayStatus::tipText(s, text);
    EXPECT_STREQ(text, "Quorvane: game time, 40 minutes left; 40 minutes left today");

    // A tick formats the tip only when something it says may change: the suffix alone, or a wait
    // for a time of day seen from a later moment, still does.
    TrayStatus t;
    EXPECT_STREQ(t.update(s, false).tip, text);
    EXPECT_EQ(t.update(s, false).tip, nullptr);
    s.tipSuffix = "; 39 minutes left today";
    EXPECT_STREQ(t.update(s, false).tip, "Quorvane: game time, 40 minutes left; 39 minutes left today");
    s = {PlanState::Period::Break, 3600, true, kSixPm, ""};
    EXPECT_STREQ(t.update(s, false).tip, "Quorvane: locked until 19:00");
    s.now = kSixPm.addSeconds(120);
    EXPECT_STREQ(t.update(s, false).tip, "Quorvane: locked until 19:02");
}

}  // namespace qv::test
