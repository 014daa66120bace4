// The week plan: its windows per weekday, its storage, the day's game time limit in running plans
// and the dialog that edits it.
#include <gtest/gtest.h>

#include "plan.h"
#include "week/week_store.h"

namespace qv::test {

namespace {

constexpr const char* kWeekKey = "HKCU\\Software\\Hollowmere\\Tarnwell\\Week";
const DateTime kSunday{2026, 12, 6, 18, 0, 0};  // kSixPm

WeekPlan everyDay(int limit, std::vector<DayWindow> windows = {}) {
    WeekPlan w;
    for (DayRule& d : w.days) d = {limit, windows};
    return w;
}

// "allowed 3600" or "locked 120": the state at `t` for the console window 7:00 to 21:00.
std::string stateText(const WeekPlan& w, const DateTime& t) {
    const WeekPlan::State s = w.stateAt(t, {7, 0, 21, 0});
    return (s.allowed ? "allowed " : "locked ") + std::to_string(s.secondsToChange);
}

}  // namespace

TEST(Week, WindowsPerWeekday) {
    WeekPlan w;
    w.days[0].windows = {{16 * 60, 19 * 60 + 30}};                // Monday: one window
    w.days[5].windows = {{9 * 60, 12 * 60}, {14 * 60, 20 * 60}};  // Saturday: two with a gap
    w.days[2].windows = {{0, 0}};                                 // Wednesday: locked all day
    w.days[3].windows = {{20 * 60, kMinutesADay}};                // Thursday into Friday's 0:00..
    w.days[4].windows = {{0, 60}};
    const struct {
        DateTime at;
        const char* want;
    } cases[] = {
        {{2026, 12, 6, 22, 0, 0}, "locked 64800"},   // Sunday (console's) after bed: to Monday 16:00
        {{2026, 12, 7, 17, 0, 0}, "allowed 9000"},   // Monday inside its window
        {{2026, 12, 7, 19, 30, 0}, "locked 41400"},  // at its end: Tuesday's console window 7:00
        {{2026, 12, 9, 12, 0, 0}, "locked 115200"},  // Wednesday locked all day: to Thursday 20:00
        {{2026, 12, 10, 23, 0, 0}, "allowed 7200"},  // Thursday's window runs on into Friday's
        {{2026, 12, 12, 12, 30, 0}, "locked 5400"},  // Saturday's gap
        {{2026, 12, 12, 14, 0, 0}, "allowed 21600"}, {{2026, 12, 12, 8, 59, 59}, "locked 1"},
    };
    for (auto& c : cases) EXPECT_EQ(stateText(w, c.at), c.want) << c.at.toString();
    EXPECT_EQ(weekdayOf(kSunday), 6);
    EXPECT_EQ(stateText(everyDay(0, {{0, 0}}), kSunday), "locked 604800") << "never: a week at most";
}

TEST(Week, DescribedInOneSentence) {
    WeekPlan w = everyDay(120, {{16 * 60, 19 * 60 + 30}});
    w.days[5] = w.days[6] = {180, {{9 * 60, 12 * 60}, {14 * 60, 20 * 60}}};
    EXPECT_EQ(w.describe(),
              "Monday to Friday: 120 minutes of game time, allowed 16:00-19:30; Saturday and Sunday: 180 "
              "minutes of game time, allowed 9:00-12:00 and 14:00-20:00.");
    EXPECT_EQ(everyDay(1).describe(), "Monday to Sunday: 1 minute of game time.");
}

TEST(Week, StoredAndReadBackWithBadValuesFallingBackOneByOne) {
    World w;
    w.completeFirstRun();
    CRegSettings& s = w.app->settings();
    WeekPlan plan = everyDay(0);
    plan.days[0] = {90, {{16 * 60, 19 * 60 + 30}, {20 * 60, kMinutesADay}}};
    plan.days[6] = {1440, {{0, 0}}};
    saveWeek(s, plan);
    LoadedWeek back = loadWeek(s);
    EXPECT_EQ(back.plan.days, plan.days);
    EXPECT_TRUE(back.notes.empty());

    const std::pair<const char*, const char*> bad[] = {
        {"TuesdayLimit", "0"},    {"WednesdayLimit", "-1"},  {"ThursdayLimit", "1441"},
        {"FridayLimit", "lots"},  {"TuesdayFrom1", "18:00"}, {"TuesdayTo1", "17:00"},
        {"FridayFrom1", "25:00"}, {"FridayTo1", "26:00"},    {"SaturdayFrom1", "9:00"},
        {"SaturdayTo1", "12:00"}, {"SaturdayFrom2", "9:00"}, {"SaturdayTo2", "12:00"},
        {"SundayFrom1", "8:00"},  {"SundayTo1", ""},
    };
    for (auto& [name, value] : bad) w.sim.registry.writeString(kWeekKey, name, value);
    // Ten thousand other values, put straight into the key (one by one the simulated registry
    // would take seconds to write them).
    auto& values = const_cast<sim::SimRegistry::Key*>(w.sim.registry.findKey(kWeekKey))->values;
    for (int i = 0; i < 10000; ++i) values.push_back({"Extra" + std::to_string(i), reg::kSz, {'9', 0}});
    back = loadWeek(s);
    EXPECT_EQ(back.notes.size(), 8u);  // four limits, four windows
    for (int d = 1; d <= 4; ++d) EXPECT_EQ(back.plan.days[static_cast<size_t>(d)].limitMinutes, 0) << d;
    EXPECT_TRUE(back.plan.days[1].windows.empty());
    EXPECT_EQ(back.plan.days[5].windows, (std::vector<DayWindow>{{9 * 60, 12 * 60}}));
    EXPECT_TRUE(back.plan.days[6].windows.empty()) << "a window without its end";
    EXPECT_EQ(back.plan.days[6].limitMinutes, 1440);
    EXPECT_EQ(back.plan.days[0], plan.days[0]) << "what could be read stays";

    saveWeek(s, WeekPlan{});
    EXPECT_EQ(w.sim.registry.findKey(kWeekKey), nullptr) << "an empty week leaves no section behind";
}

TEST(Week, CountedDayBelievesOnlyPlausibleDates) {
    const WeekPlan limit = everyDay(30);
    const struct {
        const char* date;
        const char* seconds;
        int32_t left;
    } cases[] = {
        {"2026-12-06", "600", 1200},   // today
        {"2026-12-05", "1800", 1800},  // yesterday's count is not today's
        {"2026-12-08", "1800", 0},     // later than today: the clock went back, the count stays
        {"1601-01-01", "1800", 1800},  {"30827-12-31", "1800", 1800}, {"2026-12-31", "1800", 1800},
        {"2026-12-06", "99999999", 0},  // more than the limit: spent, not negative
        {"2026-12-06", "-5", 1800},    {"garbage", "x", 1800},
    };
    for (auto& c : cases) {
        GameDay d;
        d.load(c.date, c.seconds, kSunday);
        d.roll(kSunday);
        EXPECT_EQ(d.left(limit), c.left) << c.date << " " << c.seconds;
    }
}

// A Changing-mode plan with a limit on the day's game time.
struct Limited : Plan {
    Limited(const WeekPlan& w, const std::string& words, const DateTime& at = kSunday) : Plan(at) {
        app->week = w;
        plan(words);
        start();
    }
    std::string message() { return big().lblMessage.text(); }
    std::string tip() { return sim.tray.icons.at(999).tip; }
    bool dayOver() { return message().rfind("No more game time today.\r\n", 0) == 0; }
};

TEST(WeekLimit, ReachedMidPeriodLocksUntilMidnightThenANewDayStarts) {
    Limited p(everyDay(90), "every 60 15");
    EXPECT_EQ(p.tip(), "Quorvane: game time, 60 minutes left; 90 minutes left today");
    p.advance(3601 * 1000);
    EXPECT_EQ(p.left(), "break 900");
    EXPECT_EQ(p.tip(), "Quorvane: break, 15 minutes left; 30 minutes left today");
    p.advance(901 * 1000);
    EXPECT_EQ(p.left(), "game 1800") << "the game period is cut to what is left of the day";
    p.advance(1801 * 1000);
    EXPECT_TRUE(p.dayOver()) << p.message();
    EXPECT_EQ(p.status(), "break 15297 shown locked t1");  // 19:45:03 to midnight
    EXPECT_EQ(p.big().lblTimeLeft.text(), " 4: 14: 57");
    EXPECT_EQ(p.tip(), "Quorvane: locked until 00:00; no more game time today");
    EXPECT_EQ(p.stored("GameDaySeconds"), "5400");
    EXPECT_EQ(p.app->gameDay.leftAt(p.app->week, p.sim.clock.now()), 0);
    EXPECT_EQ(p.app->gameDay.leftAt(p.app->week, {2026, 12, 7, 0, 0, 0}), 5400) << "tomorrow's";
    p.advance(15297 * 1000);
    EXPECT_EQ(p.left(), "game 3600") << "Monday begins as a new Start would";
    EXPECT_EQ(p.tip(), "Quorvane: game time, 60 minutes left; 90 minutes left today");
    EXPECT_FALSE(p.dayOver());
}

TEST(WeekLimit, SmallerThanAPeriodAndAcrossMidnight) {
    Limited p(everyDay(1), "every 5 1");
    p.advance(61 * 1000);
    EXPECT_TRUE(p.dayOver());
    EXPECT_EQ(p.left(), "break " + std::to_string(6 * 3600 - 61));

    // Midnight during game time: Monday's minutes count from zero, so the period runs its length.
    WeekPlan w = everyDay(0);
    w.days[6].limitMinutes = 45;
    w.days[0].limitMinutes = 20;
    Limited m(w, "every 30 5", {2026, 12, 6, 23, 50, 0});
    EXPECT_EQ(m.left(), "game 1800");
    m.advance(1200 * 1000);           // 00:10: ten minutes of Monday used
    EXPECT_EQ(m.left(), "game 599");  // the tick at midnight counts for Monday
    m.advance(601 * 1000);
    EXPECT_TRUE(m.dayOver()) << "Monday's 20 minutes are spent";
}

TEST(WeekLimit, MoreTimeIsGivenOnTopOfTheDayAndTheTipSaysWhatIsLeft) {
    Limited p(everyDay(3), "every 5 1");
    p.advance(61 * 1000);
    EXPECT_EQ(p.sim.tray.icons.at(999).tip, "Quorvane: game time, 2 minutes left; 2 minutes left today");
    const auto preview = [&p] {
        p.app->frmMain().refreshPreview();
        const std::string& text = p.app->frmMain().txtPlanPreview->text();
        return text.substr(text.rfind(". ") + 2);
    };
    EXPECT_EQ(preview(), "Left today: 2 minutes of game time.");
    p.advance(120 * 1000);
    ASSERT_TRUE(p.dayOver());
    EXPECT_EQ(p.sim.tray.icons.at(999).tip, "Quorvane: locked until 00:00; no more game time today");
    EXPECT_EQ(preview(), "Today's game time is used up: Start locks until midnight.");
    p.click("frmBig", "Label1");
    p.type("frmPassEnter", "txtPass1", "secret");
    p.event([&] { p.ctl("frmPassEnter", "cmbMoreTime").userEdit("2"); });
    p.click("frmPassEnter", "cmdGive");
    EXPECT_EQ(p.left(), "game 120") << "not cut to the day's nothing left";
    p.advance(100 * 1000);
    EXPECT_EQ(p.left(), "game 20");
    p.advance(21 * 1000);
    EXPECT_TRUE(p.dayOver()) << "the day's lock comes back";
    EXPECT_EQ(p.stored("GameDaySeconds"), "180") << "more time is not counted";
}

TEST(WeekLimit, MinutesUsedSurviveRestartsAndTheClockMovedBack) {
    Limited p(everyDay(10), "every 60 15");
    auto restart = [&p](const DateTime* at = nullptr) {
        p.app.reset();  // killed: what the last save of the run state holds goes on
        if (at) p.sim.clock.setNow(*at);
        p.startProgram(true);
    };
    p.advance(300 * 1000);
    restart();
    EXPECT_EQ(p.left(), "game 330") << "as the last save left it, 30 seconds before the kill";
    p.advance(331 * 1000);
    EXPECT_TRUE(p.dayOver());
    p.advance(60 * 1000);
    restart();
    EXPECT_TRUE(p.dayOver()) << "the lock comes back";
    EXPECT_EQ(p.app->secondsLeft, secondsToMidnight(p.sim.clock.now()));

    // The next start is a day later: the old lock gives way to game time; the clock set back a day
    // afterwards does not give that day again.
    const DateTime monday{2026, 12, 7, 9, 0, 0}, sunday{2026, 12, 6, 9, 0, 0};
    restart(&monday);
    EXPECT_EQ(p.left(), "game 600");
    p.advance(661 * 1000);
    EXPECT_TRUE(p.dayOver());
    restart(&sunday);
    EXPECT_TRUE(p.dayOver());
}

TEST(WeekLimit, UnusedWeekAndGarbageSectionLeaveThePlanAsItWas) {
    Plan a(kSunday, "every 1 1");
    a.advance(250 * 1000);
    EXPECT_EQ(a.stored("GameDay"), "<missing>");
    Plan b(kSunday);
    b.close();
    b.sim.registry.writeString(kWeekKey, "MondayLimit", "abc");
    b.sim.registry.writeString(kWeekKey, "SundayFrom1", "21:00");
    b.sim.registry.writeString(kWeekKey, "SundayTo1", "7:00");
    b.startProgram();
    EXPECT_TRUE(b.app->week.empty());
    EXPECT_EQ(b.app->weekNotes.size(), 2u);
    EXPECT_NE(b.sim.history.user.text.find("Week plan: the window"), std::string::npos)
        << "each fallback is in the history: " << b.sim.history.user.text;
    b.plan("every 1 1");
    b.start();
    b.advance(250 * 1000);
    EXPECT_EQ(a.status(), b.status());
}

// Bed time with windows per weekday, run on the clock.
TEST(WeekWindows, BedTimeFollowsEachDayAcrossTheWeekAndDaylightSaving) {
    WeekPlan w;
    w.days[6].windows = {{18 * 60 + 30, 19 * 60}, {20 * 60, 21 * 60}};  // Sunday
    w.days[0].windows = {{16 * 60, 17 * 60}};                           // Monday
    Plan p(kSunday);
    p.app->week = w;
    p.plan("bed 7 0 21 0");
    p.start();
    EXPECT_EQ(p.left(), "break 1800");
    p.advance(1800 * 1000);
    EXPECT_EQ(p.left(), "game 1800");
    p.advance(1800 * 1000);
    EXPECT_EQ(p.left(), "break 3600") << "the gap";
    p.advance(2 * 3600 * 1000);
    EXPECT_EQ(p.left(), "break " + std::to_string(19 * 3600)) << "Sunday ends; Monday opens at 16:00";
    // The clocks go forward an hour in the night (a day of 23 hours), later back (25 hours): each
    // change still comes at its time by the clock.
    auto nextChangeAt = [&p](int64_t shift) {
        p.advance(3600 * 1000);
        p.sim.clock.setNow(p.sim.clock.now().addSeconds(shift));
        const std::string was = p.period();
        while (p.period() == was) p.advance(1000);
        return p.sim.clock.now().toString();
    };
    EXPECT_EQ(nextChangeAt(3600), "2026-12-07 16:00:00");
    p.advance(3600 * 1000);
    EXPECT_EQ(p.period(), "break");
    EXPECT_EQ(nextChangeAt(-3600), "2026-12-08 07:00:00") << "Tuesday follows the console's window";
}

TEST(WeekDialog, EditedThroughItsControlsAndSavedWithTheConsole) {
    World w;
    w.completeFirstRun();
    w.click("frmMain", "cmdWeek");
    ASSERT_TRUE(w.shown("frmWeek"));
    w.type("frmWeek", "txtLimitMonday", "120");
    w.type("frmWeek", "txtFrom1Monday", "16:00");
    w.type("frmWeek", "txtTo1Monday", "19:30");
    w.click("frmWeek", "cmdSame");
    w.type("frmWeek", "txtFrom1Sunday", "21:00");
    w.type("frmWeek", "txtTo1Sunday", "7:00");
    w.click("frmWeek", "cmdOK");
    ASSERT_EQ(w.sim.dialogs.shown.size(), 1u);
    EXPECT_NE(w.sim.dialogs.shown[0].text.find("may not cross midnight"), std::string::npos);
    EXPECT_TRUE(w.shown("frmWeek"));
    w.type("frmWeek", "txtTo1Sunday", "22:00");
    w.type("frmWeek", "txtLimitSaturday", "");
    w.click("frmWeek", "cmdOK");
    EXPECT_FALSE(w.form("frmWeek"));
    w.close();
    EXPECT_EQ(w.sim.registry.readString(kWeekKey, "FridayTo1", ""), "19:30");
    EXPECT_EQ(w.sim.registry.readString(kWeekKey, "SundayFrom1", ""), "21:00");
    EXPECT_EQ(w.sim.registry.readString(kWeekKey, "SaturdayLimit", "?"), "");
    w.startProgram();
    w.click("frmMain", "cmdWeek");
    EXPECT_EQ(w.ctl("frmWeek", "txtLimitTuesday").text(), "120");
    w.type("frmWeek", "txtLimitTuesday", "5");
    w.click("frmWeek", "cmdCancel");
    EXPECT_EQ(w.app->week.days[1].limitMinutes, 120);
}

}  // namespace qv::test
