// More time given on the lock screen's password request: the extra game period, what the plan
// does after it in each mode, its stored form across a restart, and the request's other roads.
#include <gtest/gtest.h>

#include "engine/extra_time.h"
#include "plan.h"

namespace qv::test {

namespace {

struct More : Plan {
    using Plan::Plan;
    // The lock screen's "Exit", the password, then "Give" with the minutes typed or picked.
    void give(const std::string& minutes, const std::string& password = "secret") {
        if (!shown("frmPassEnter")) click("frmBig", "Label1");
        type("frmPassEnter", "txtPass1", password);
        event([&] { ctl("frmPassEnter", "cmbMoreTime").userEdit(minutes); });
        click("frmPassEnter", "cmdGive");
    }
    std::string storedExtra() { return stored("ExtraTimeOn") + " " + stored("FinalTime"); }
};

}  // namespace

TEST(MoreTime, FromABreakPlaysUnderTheAllowanceThenTheBreakGoesOnWithItsTimeLeft) {
    More p(kSixPm, "every 1 5 listed");
    p.advance(61'000 + 20'000);
    ASSERT_EQ(p.left(), "break 280");
    p.give("1");
    EXPECT_EQ(p.status(), "game 60 shown locked t1") << "the listed games, the lock on the screen";
    EXPECT_TRUE(p.big().listView1.visible());
    EXPECT_FALSE(p.shown("frmPassEnter"));
    EXPECT_EQ(p.storedExtra(), "2 60") << "stored at once: a break follows";
    EXPECT_EQ(p.stored("ExtraTimeThen"), "280");
    p.advance(61'000);
    EXPECT_EQ(p.status(), "break 280 shown locked t1");
    EXPECT_EQ(p.storedExtra(), "0 280");
    p.advance(281'000);
    EXPECT_EQ(p.left(), "game 60") << "and the plan's own rhythm after it";

    More all(kSixPm, "every 0 5 all");
    all.advance(1000);
    all.give("15");  // picked from the list
    EXPECT_EQ(all.status(), "game 900 t1") << "everything allowed: the lock screen goes away";
    EXPECT_EQ(all.sim.windowLock.locked, 0u);
    EXPECT_TRUE(all.sim.keyboard.hooks.empty());
    all.advance(901'000);
    EXPECT_EQ(all.status(), "break 300 shown locked t1");
}

TEST(MoreTime, FromGameTimeThePlayGoesOnWithoutEndingTheProgramStartedFromTheList) {
    More p(kSixPm, "every 5 5 listed");
    p.advance(10'000);
    ProcessInfo game;
    p.sim.processes.start("game.exe", -1, &game);
    p.app->launched.push_back({game.pid, game.process, 0});
    p.give("1");
    EXPECT_EQ(p.left(), "game 60");
    const size_t rings = p.sim.sound.commands.size();
    p.advance(61'000);
    EXPECT_EQ(p.left(), "game 290");
    EXPECT_EQ(p.sim.sound.commands.size(), rings) << "no end signal: play goes on";
    EXPECT_TRUE(p.sim.processes.running(*p.sim.processes.byPid(game.pid)));

    p.give("1");  // and again while the first extra period runs: it replaces it
    p.advance(20'000);
    p.give("1");
    p.advance(61'000);
    EXPECT_EQ(p.left(), "game 290") << "back to the period from before the first";
}

TEST(MoreTime, OneTimeOverAndBedTimeBreakFollowTheClockAfterIt) {
    More once(DateTime{2026, 12, 6, 15, 58, 0}, "once 12 6 16 0 1 listed");
    once.advance(300'000);
    ASSERT_EQ(once.status(), "over shown locked");
    once.give("1");
    EXPECT_EQ(once.status(), "game 60 shown locked t1");
    EXPECT_TRUE(once.big().lblTimeLeft.visible());
    once.advance(61'000);
    EXPECT_EQ(once.status(), "over shown locked") << "locked again, no timer running";

    More bed(DateTime{2026, 12, 6, 22, 0, 0}, "bed 7 0 21 0 all");
    ASSERT_EQ(bed.left(), "break 32400");
    bed.give("1");
    EXPECT_EQ(bed.status(), "game 60 t1");
    bed.sim.sleep(3600'000);  // asleep: more time is a length of play, not a time of day
    EXPECT_EQ(bed.status(), "game 60 t1");
    bed.advance(61'000);
    EXPECT_EQ(bed.status(), "break 28739 shown locked t1") << "the break to 07:00, by the clock";
}

TEST(MoreTime, SurvivesAKillAndARestartAndOldStoresHaveNone) {
    More p(kSixPm, "every 1 5 listed");
    p.advance(61'000);
    p.give("10");
    p.advance(31'000);  // stored at 570 left
    p.app.reset();      // killed
    p.startProgram();
    p.advance(61'000);
    EXPECT_EQ(p.left(), "game 570") << "more than a whole game period of the plan: it is more time";
    p.advance(571'000);
    EXPECT_EQ(p.left(), "break 300");

    // A stored extra period longer than may be given goes on for 240 minutes at most.
    More q(kSixPm, "every 1 5 listed");
    q.advance(61'000);
    q.give("1");
    q.app.reset();
    q.store("FinalTime", "99999");
    q.startProgram();
    q.advance(61'000);
    EXPECT_EQ(q.left(), "game 14400");

    // Start begins a new plan: what was given before is gone.
    q.click("frmBig", "Label1");
    q.type("frmPassEnter", "txtPass1", "secret");
    q.click("frmPassEnter", "Command1");
    q.start();
    EXPECT_EQ(q.stored("ExtraTimeOn"), "2") << "not before the next save";
    q.advance(61'000);
    EXPECT_EQ(q.status(), "break 300 shown locked t1");
    EXPECT_EQ(q.stored("ExtraTimeOn"), "0");
}

TEST(MoreTime, AWrongPasswordOrABadNumberGivesNothing) {
    More p(kSixPm, "every 0 5 listed");
    p.advance(1000);
    p.give("10", "Secret");
    EXPECT_EQ(p.status(), "break 300 shown disabled t1") << "the request stays, as for Enter";
    EXPECT_TRUE(p.shown("frmPassEnter"));
    EXPECT_TRUE(p.sim.dialogs.shown.empty());
    for (const char* bad : {"0", "-5", "99999", "241", "abc", "", "1.5", "10 min"}) {
        p.give(bad);
        EXPECT_EQ(p.period(), "break") << bad;
        ASSERT_EQ(p.sim.dialogs.shown.size(), 1u) << bad;
        EXPECT_EQ(p.sim.dialogs.shown.back().text,
                  "More time: choose or type a number of minutes from 1 to 240.");
        p.sim.dialogs.shown.clear();
    }
    EXPECT_TRUE(p.shown("frmPassEnter"));
    for (const char* good : {"1", " 240 ", "007"}) EXPECT_GT(ExtraTime::minutesFrom(good), 0) << good;
}

TEST(MoreTime, OnlyTheLockScreensRequestOffersItAndGrowsForIt) {
    More p(kSixPm, "every 0 5 listed");
    p.advance(1000);
    p.click("frmBig", "Label1");
    ui::Form& request = *p.form("frmPassEnter");
    EXPECT_TRUE(p.ctl("frmPassEnter", "cmdGive").visible());
    EXPECT_EQ(request.rect().height, 2100);
    EXPECT_EQ(joined(p.ctl("frmPassEnter", "cmbMoreTime")), "10;15;30;60;");
    p.click("frmPassEnter", "cmdClose");

    p.event([&] { p.app->frmMenuSystray().menu().find("mnuStop")->userClick(); });
    ui::Form& tray = *p.form("frmPassEnter");
    EXPECT_EQ(tray.rect().height, 1500);
    EXPECT_FALSE(p.ctl("frmPassEnter", "cmbMoreTime").visible());
    p.type("frmPassEnter", "txtPass1", "secret");
    p.click("frmPassEnter", "cmdGive");  // not offered: nothing happens
    EXPECT_EQ(p.status(), "break 300 shown locked t1");
    EXPECT_EQ(p.app->consoleState, state::kStopAsked);
}

}  // namespace qv::test
