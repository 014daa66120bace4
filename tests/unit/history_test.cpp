// The history: an evening's events as the parent reads them, the cut at 5,000 lines, the guard's
// copy that outlives a deleted file, and what the guard does with bad lines.
#include <gtest/gtest.h>

#include "guard/guard.h"
#include "guard/guard_messages.h"
#include "history/frm_history.h"
#include "plan.h"

namespace qv::test {

namespace {

constexpr uint32_t kSession = 1, kQuorvane = 900;

std::string texts(const std::vector<std::string>& lines) {  // without the stamps
    std::string s;
    for (const std::string& l : lines) s += l.substr(20) + "\n";
    return s;
}

std::string stamped(int i) {
    return "2026-12-06 18:00:00 event " + std::to_string(i);
}

}  // namespace

TEST(History, AnEveningIsRecordedOnceEachAndCopiedToTheGuard) {
    Plan p;
    p.sim.guard.installed = true;
    p.click("frmMain", "cmdAdd");
    p.sim.dialogs.files.push_back({false, "C:\\games\\chess.exe"});
    p.click("frmAddList", "Command7");
    p.type("frmAddList", "txtName", "Chess");
    p.click("frmAddList", "Command1");
    p.plan("every 1 1 listed");
    p.start();
    ui::Control& list = p.big().listView1;
    p.event([&] { list.userMouseDown(ui::Mouse{.item = 0}); });
    p.event([&] { list.userSelect(0); });
    p.event([&] { list.userDblClick(); });
    p.advance(61'000);  // game time over: the program is ended, the break begins
    p.sim.changeTime(DateTime{2026, 12, 6, 17, 0, 0});
    p.event([&] { p.app->frmMenuSystray().menu().find("mnuStop")->userClick(); });
    for (const char* typed : {"no", "nope", "secret"}) {
        p.type("frmPassEnter", "txtPass1", typed);
        p.click("frmPassEnter", "Command1");
    }
    p.start();
    p.startProgram();   // the process was ended without Exit while its plan ran
    p.advance(61'000);  // the resume minute: a restart records no new plan

    const std::string evening =
        "Plan started (Changing mode)\nGame time began (1 minute)\nListed program started: Chess\n"
        "Listed program ended: Chess\nBreak began (1 minute)\nA clock change was refused\n"
        "2 wrong passwords at the request to stop the plan\nPlan stopped from the tray\n"
        "Plan started (Changing mode)\nGame time began (1 minute)\n"
        "Quorvane was ended without Exit while a plan ran\n";
    const auto lines = HistoryLog::readableLines(p.sim.history.user.text, true);
    EXPECT_EQ(texts(lines), evening);
    EXPECT_EQ(lines.front(), "2026-12-06 18:00:00 Plan started (Changing mode)");

    // Every line went to the guard as it was written.
    std::vector<std::string> told;
    for (const std::string& l : p.sim.guard.lines)
        if (const auto m = parseGuardMessage(l); m && m->kind == GuardMessage::Kind::History)
            told.push_back(m->text);
    EXPECT_EQ(told, lines);

    // The console's History button: newest first, nothing said about where it started.
    p.click("frmMain", "cmdHistory");
    ASSERT_TRUE(p.shown("frmHistory"));
    FrmHistory& window = static_cast<FrmHistory&>(*p.form("frmHistory"));
    EXPECT_EQ(window.lstHistory.items().front(), lines.back());
    EXPECT_EQ(window.lstHistory.items().back(), lines.front());
    EXPECT_FALSE(window.lblStarted.visible());
    p.click("frmHistory", "cmdClose");
    EXPECT_FALSE(p.form("frmHistory"));
}

TEST(History, TheFileKeepsTheNewest5000AndSkipsWhatCannotBeRead) {
    sim::SimHistoryFile file;
    for (int i = 0; i < 5'499; ++i) file.text += stamped(i) + "\n";
    HistoryLog log(file);
    EXPECT_TRUE(log.add(stamped(5'499)));
    EXPECT_EQ(file.replaced, 0) << "appended until 500 past the cut";
    EXPECT_TRUE(log.add(stamped(5'500)));
    std::vector<std::string> kept = log.lines();
    ASSERT_EQ(kept.size(), HistoryLog::kKeep);
    EXPECT_EQ(kept.front(), stamped(501));
    EXPECT_EQ(kept.back(), stamped(5'500));
    for (int i = 0; i < 499; ++i) log.add(stamped(6'000 + i));
    EXPECT_EQ(file.replaced, 1) << "one rewrite per 500 lines, not one per line";
    EXPECT_FALSE(log.add("not stamped")) << "only stamped lines are kept";

    // A file of 50 MB with binary garbage and a torn last line: the first line written cuts it
    // to its readable tail, and the new line is not glued to the torn one.
    sim::SimHistoryFile big;
    big.text = std::string(50 << 20, '\x01') + "\n" + stamped(1) + "\n" + std::string("\0\xff\n", 3) +
               "2026-13-06 18:00:00 no such month\n" + stamped(2) + "\n2026-12-06 18:0";
    HistoryLog damaged(big);
    EXPECT_EQ(damaged.lines(), (std::vector<std::string>{stamped(1), stamped(2)}));
    EXPECT_TRUE(damaged.add(stamped(3)));
    EXPECT_EQ(big.text, stamped(1) + "\n" + stamped(2) + "\n" + stamped(3) + "\n");
}

TEST(History, TheGuardsCopyOutlivesADeletedFile) {
    Plan p;
    p.sim.guard.installed = true;
    p.plan("every 1 1");
    p.start();
    sim::SimGuardSystem sys;
    sys.procs[kQuorvane] = {kSession, true};
    Guard guard(sys);
    p.advance(61'000);
    p.event([&] { p.app->frmMenuSystray().menu().find("mnuExit")->userClick(); });
    p.type("frmPassEnter", "txtPass1", "secret");
    p.click("frmPassEnter", "Command1");
    for (const std::string& l : p.sim.guard.lines) guard.message(0, kSession, kQuorvane, l);
    const std::string before = p.sim.history.user.text;
    EXPECT_EQ(sys.histories[kSession].text, before);

    // The child deletes the file; the next day the program starts again and writes a new one.
    p.sim.history.user.text.clear();
    p.sim.history.guard.text = sys.histories[kSession].text;
    p.sim.clock.setNow(DateTime{2026, 12, 7, 9, 0, 0});
    p.startProgram();
    p.start();
    p.app->showHistory();  // as the console's button does
    FrmHistory& window = static_cast<FrmHistory&>(*p.form("frmHistory"));
    EXPECT_EQ(window.lblStarted.text(), "History started on 7 December 2026");
    EXPECT_TRUE(window.lblStarted.visible());
    EXPECT_EQ(window.lstHistory.items().back(), HistoryLog::readableLines(before, true).front());
    EXPECT_EQ(window.lstHistory.items().front(), "2026-12-06 18:01:01 Quorvane ended from the tray");
}

TEST(History, TheGuardKeepsOnlyQuorvanesWellFormedLinesWithinTheCap) {
    sim::SimGuardSystem sys;
    sys.procs[kQuorvane] = {kSession, true};
    sys.procs[901] = {kSession, false};
    Guard guard(sys);
    const std::string good = guardHistoryLine(stamped(0));
    for (const std::string& bad : std::vector<std::string>{
             std::string("history"), std::string("history "), "history " + std::string(200, 'x'),
             "history 2026-12-06 18:00:00 bell\a", "history " + stamped(0) + std::string(120, 'y'),
             "History " + stamped(0), std::string("history \0\0\0", 11)}) {
        EXPECT_FALSE(parseGuardMessage(bad)) << bad;
        guard.message(0, kSession, kQuorvane, bad);
    }
    guard.message(0, kSession, 901, good);  // another program may not write in it
    EXPECT_EQ(sys.histories[kSession].text, "");
    EXPECT_EQ(guard.record(), "") << "a history line changes nothing else";

    // A client that floods the pipe with well-formed lines: the file stays within the cut.
    for (int i = 0; i < 20'000; ++i) guard.message(0, kSession, kQuorvane, guardHistoryLine(stamped(i)));
    const auto kept = HistoryLog::readableLines(sys.histories[kSession].text, true);
    EXPECT_LE(kept.size(), HistoryLog::kCutAbove);
    EXPECT_EQ(kept.back(), stamped(19'999));

    // Its own events: the end it saw and the start it made.
    guard.message(0, kSession, kQuorvane, "running 2 -1 0 600");
    sys.procs.erase(kQuorvane);  // End task
    guard.ended(1'000, kSession, kQuorvane);
    const auto after = HistoryLog::readableLines(sys.histories[kSession].text, true);
    EXPECT_EQ(texts({after.end() - 2, after.end()}),
              "Quorvane was ended without Exit while a plan ran (seen by the guard)\n"
              "Quorvane was started again by the guard\n");
}

}  // namespace qv::test
