// The console's plan preview: its words for each mode and each warning, and the console keeping
// it in step with the parent's changes.
#include <gtest/gtest.h>

#include "console/plan_preview.h"
#include "world.h"

namespace qv::test {

namespace {

PlanChoice changing(int game, int pause) {
    PlanChoice c;
    c.mode = PlanMode::Changing;
    c.gameSeconds = game * 60;
    c.breakSeconds = pause * 60;
    c.everything = true;
    return c;
}
PlanChoice oneTime(int month, int day, int hour, int minute, int total) {
    PlanChoice c;
    c.mode = PlanMode::OneTime;
    c.startMonth = month, c.startDay = day, c.startHour = hour, c.startMinute = minute;
    c.totalMinutes = total;
    c.everything = true;
    return c;
}
PlanChoice bedTime(int h, int m, int bedH, int bedM) {
    PlanChoice c;
    c.mode = PlanMode::BedTime;
    c.bedStartH = h, c.bedStartM = m, c.bedH = bedH, c.bedM = bedM;
    c.everything = true;
    return c;
}
template <class F>
PlanChoice with(PlanChoice c, F change) {
    change(c);
    return c;
}
DateTime at(int hour, int minute, int month = 12, int day = 6) {
    return DateTime{2026, month, day, hour, minute, 0};
}

const char* const kFree = " During game time everything is allowed.";
const char* const kShutsDown =
    "Warning: started now, the plan begins outside game time, so the computer shuts down at once.\r\n";

}  // namespace

TEST(PlanPreview, SaysWhatEachModeDoesAndWarnsOfPlansThatCannotWork) {
    struct Case {
        PlanChoice choice;
        DateTime now;
        std::string text;
    };
    const Case cases[] = {
        {changing(45, 15), at(18, 0),
         std::string("Games for 45 minutes from now, then a 15-minute break, in turn.") + kFree},
        {with(changing(1, 0),
              [](PlanChoice& c) {
                  c.everything = false, c.onlyListed = true, c.listEmpty = false, c.shutDown = true;
              }),
         at(18, 0),
         "Games for 1 minute at a time from now, with no break between them. During game time only the "
         "listed "
         "programs can be used. The computer shuts down when game time is over."},
        {changing(0, 15), at(18, 0),
         std::string(
             "Warning: a game time of 0 leaves no time to play.\r\nGames for 0 minutes from now, then a "
             "15-minute break, in turn.") +
             kFree},
        {with(changing(10, 5), [](PlanChoice& c) { c.gameSeconds = 150; }), at(18, 0),  // a typed "2.5"
         std::string("Games for 150 seconds from now, then a 5-minute break, in turn.") + kFree},
        // One time: waiting, inside the window, past, across midnight into the next year, no time.
        {oneTime(12, 6, 13, 1, 90), at(12, 0),
         std::string("One stretch of games on 6 December from 13:01 to 14:31; locked before and after.") +
             kFree},
        {oneTime(12, 6, 13, 1, 90), at(14, 31),
         std::string(
             "One stretch of games on 6 December from 13:01 to 14:31; locked before and after. Started now, "
             "it begins with games until 14:31.") +
             kFree},
        {with(oneTime(12, 6, 13, 1, 90), [](PlanChoice& c) { c.shutDown = true; }), at(14, 32),
         std::string(
             "Warning: that time has passed this year, so this plan is over as soon as it starts.\r\n") +
             kShutsDown + "One stretch of games on 6 December from 13:01 to 14:31; locked before and after." +
             kFree + " The computer shuts down when game time is over."},
        {oneTime(3, 1, 9, 0, 60), at(18, 0),  // an earlier date is this year's, not next year's
         std::string(
             "Warning: that time has passed this year, so this plan is over as soon as it starts.\r\nOne "
             "stretch of games on 1 March from 09:00 to 10:00; locked before and after.") +
             kFree},
        {oneTime(12, 31, 23, 30, 90), at(18, 0),
         std::string("One stretch of games from 31 December 23:30 to 1 January 2027 01:00; locked before and "
                     "after.") +
             kFree},
        {oneTime(12, 7, 9, 0, 0), at(18, 0),
         std::string(
             "Warning: a game time of 0 leaves no time to play.\r\nOne stretch of games on 7 December from "
             "09:00 to 09:00; locked before and after.") +
             kFree},
        // Bed time: before, inside and after today's hours; overnight, to midnight, none at all.
        {bedTime(10, 30, 11, 0), at(18, 0),
         std::string(
             "Every day from 10:30 to 11:00; locked from 11:00 until 10:30. Started now, it begins locked "
             "until 10:30 tomorrow.") +
             kFree},
        {with(bedTime(10, 30, 11, 0), [](PlanChoice& c) { c.shutDown = true; }), at(6, 0),
         std::string(kShutsDown) +
             "Every day from 10:30 to 11:00; locked from 11:00 until 10:30. Started now, it "
             "begins locked until 10:30." +
             kFree + " The computer shuts down when game time is over."},
        {bedTime(18, 0, 1, 0), at(23, 0),
         std::string(
             "Warning: the latest time is before the start time, so play goes on overnight until 01:00 the "
             "next day.\r\nEvery day from 18:00 to 01:00 the next day; locked from 01:00 until 18:00. "
             "Started now, it begins with games until 01:00.") +
             kFree},
        {bedTime(18, 0, 24, 0), at(23, 0),
         std::string(
             "Every day from 18:00 to midnight; locked from midnight until 18:00. Started now, it begins "
             "with games until midnight.") +
             kFree},
        {bedTime(7, 0, 7, 0), at(18, 0),
         std::string(
             "Warning: the latest time is not after the start time, so the computer is locked all day.\r\n"
             "Every day from 07:00 to 07:00.") +
             kFree},
        // The allowance, and no mode at all.
        {with(changing(60, 15), [](PlanChoice& c) { c.everything = false, c.onlyListed = true; }), at(18, 0),
         "Warning: \"Allow only listed\" is chosen but the list is empty, so there is nothing to "
         "play.\r\nGames for 60 "
         "minutes from now, then a 15-minute break, in turn. During game time only the listed programs can "
         "be used."},
        {PlanChoice{}, at(18, 0), "No mode is chosen."},
    };
    for (const Case& c : cases) EXPECT_EQ(PlanPreview(c.choice, c.now).text(), c.text) << c.now.toString();

    PlanPreview more(changing(45, 15), at(18, 0));  // other parts of a plan add their own words
    more.addSentence("On Sundays, no games.");
    more.addWarning("two plans overlap.");
    EXPECT_EQ(more.text(),
              std::string("Warning: two plans overlap.\r\nGames for 45 minutes from now, then a 15-minute "
                          "break, in turn.") +
                  kFree + " On Sundays, no games.");
}

TEST(PlanPreview, TheConsoleKeepsItInStepWithThePlan) {
    World w(at(12, 0));
    w.completeFirstRun();
    w.restartWith({});
    ui::Control& preview = w.main("txtPlanPreview");
    auto says = [&](const std::string& part) { return preview.text().find(part) != std::string::npos; };
    EXPECT_TRUE(says("Games for ")) << "the stored plan at start-up: " << preview.text();

    w.click("frmMain", "optOneTime");
    w.pick("cmbStartDateM", "12");  // the day starts at 1: long past
    EXPECT_TRUE(says("over as soon as it starts")) << preview.text();
    w.pick("cmbStartDateD", "6");
    w.pick("cmbStartTimeH", "13");
    w.pick("cmbStartTimeM", "1");
    w.pick("cmbTotalTime", "90");
    EXPECT_TRUE(says("on 6 December from 13:01 to 14:31")) << preview.text();
    EXPECT_FALSE(says("Warning"));
    w.advance(3 * 3600 * 1000);  // the console is shown again later: by then the time has passed
    w.console().show();
    EXPECT_TRUE(says("over as soon as it starts")) << preview.text();

    w.click("frmMain", "optBedTime");
    w.type("frmMain", "cmbBedH", "9");  // typed, and before the start
    w.pick("cmbStartH", "20");
    EXPECT_TRUE(says("overnight until 09:")) << preview.text();

    w.click("frmMain", "optOnlyListed");
    EXPECT_TRUE(says("the list is empty")) << preview.text();
    w.app->allowedNames = {"Chess"};
    w.app->allowedPaths = {"C:\\Games\\chess.exe"};
    w.app->refreshAllowedLists();
    EXPECT_FALSE(says("the list is empty")) << preview.text();
    w.click("frmMain", "chkShutDown");
    EXPECT_TRUE(says("The computer shuts down")) << preview.text();
}

}  // namespace qv::test
