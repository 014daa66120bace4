// The allowed games and programs: editing the list, starting a program from the lock screen, the
// watcher, and ending the programs when game time is over.
#include <gtest/gtest.h>

#include <tuple>

#include "plan.h"

namespace qv::test {

namespace {

constexpr const char* kChess = "C:\\Program Files\\Chess\\chess.exe";
constexpr const char* kPaint = "C:\\games\\paint.exe";

struct Listed : Plan {
    using Plan::Plan;
    // "Add new", "..." with the file chosen, the name typed over (unless empty), "Add".
    void add(const std::string& name, const std::string& path) {
        click("frmMain", "cmdAdd");
        sim.dialogs.files.push_back({false, path});
        click("frmAddList", "Command7");
        if (!name.empty()) type("frmAddList", "txtName", name);
        click("frmAddList", "Command1");
    }
    void select(int i) {
        event([&] { main("lstAllowed").userSelect(i); });
    }
    void edit(int i) {
        select(i);
        click("frmMain", "Command3");
    }
    std::string entries() { return joined(main("lstAllowed")); }
    std::string onLockScreen() { return joined(big().control("ListView1")); }
    void playListed() { plan("every 10 5 listed"), start(); }  // the list is on the lock screen
    // A double-click as Windows delivers it: the press over an item (-1: empty space) selects it,
    // then the double click. Gives the time it took.
    int64_t doubleClick(int item) {
        const int64_t at = sim.clock.elapsedMs();
        ui::Control& list = big().control("ListView1");
        event([&] { list.userMouseDown(ui::Mouse{.item = item}); });
        if (item >= 0) event([&] { list.userSelect(item); });
        event([&] { list.userDblClick(); });
        return sim.clock.elapsedMs() - at;
    }
    sim::SimProcesses& procs() { return sim.processes; }
    bool running(const char* program) { return procs().running(*procs().byProgram(program)); }
    // Who has the only usable window ("screen", a program, "none"), and how many are watched.
    std::string lockState() {
        std::string who = locked() ? "screen" : "none";
        for (auto& pr : procs().procs)
            if (sim.windowLock.locked == pr.window && sim.windowLock.usable(pr.window) &&
                !sim.windowLock.usable(big().nativeHandle()) && !sim.keyboard.hooks.empty())
                who = pr.program;
        return who + (big().enabled() ? "" : " disabled") + " watching " +
               std::to_string(app->launched.size());
    }
};

}  // namespace

TEST(AllowedList, DialogsEditTheListAndEveryChangeIsStoredAtOnce) {
    Listed p;
    p.add("", kChess);  // the name box is filled from the file
    p.type("frmAddList", "txtName", "No file");
    p.click("frmAddList", "Command1");  // the location is "None": nothing added, nothing said
    p.add("Paint", kPaint);
    p.add("chess.exe", "C:\\other\\chess.exe");  // an equal name
    EXPECT_EQ(p.entries(), "chess.exe;Paint;chess.exe;");

    // Edit opens the entry selected, not the first of its name; Change moves it to the end.
    p.edit(2);
    EXPECT_EQ(p.app->frmEdit().txtFileLocation.text(), "C:\\other\\chess.exe");
    p.click("frmEdit", "cmdClose");
    p.edit(0);
    p.type("frmEdit", "txtName", "Chess");
    p.click("frmEdit", "Command1");
    EXPECT_EQ(p.entries() + p.onLockScreen(), "Paint;chess.exe;Chess;Paint;chess.exe;Chess;");
    EXPECT_EQ(p.main("lstAllowed").listIndex(), -1) << "no selection after a rebuild";

    // The edit dialog does not block the console: an entry before the one being edited is
    // deleted, then the edited one too.
    auto editWhileDeleting = [&](int edited, int deleted, const char* name) {
        p.edit(edited);
        p.select(deleted);
        p.click("frmMain", "cmdDelete");
        p.type("frmEdit", "txtName", name);
        p.click("frmEdit", "Command1");
    };
    editWhileDeleting(2, 0, "Chess 2");
    EXPECT_EQ(p.entries(), "chess.exe;Chess 2;") << "Change follows its entry, not its old position";
    editWhileDeleting(1, 1, "Renamed");
    EXPECT_EQ(p.entries(), "chess.exe;") << "the entry is gone: nothing else is touched";
    EXPECT_FALSE(p.shown("frmEdit"));

    p.select(0);
    p.click("frmMain", "cmdDelete");
    EXPECT_EQ(p.entries() + p.onLockScreen(), "");
    EXPECT_EQ(p.sim.registry.findKey(kListKey), nullptr) << "stored at once";
    p.click("frmMain", "cmdDelete");  // nothing left, nothing selected
    p.click("frmMain", "Command3");
    EXPECT_FALSE(p.shown("frmEdit"));
}

TEST(AllowedList, StoredListLoadsInNumberOrder) {
    Listed p;
    p.close();
    // Wine lists values by name: Name1, Name10, Name11, Name2, ...
    for (const char* n : {"1", "10", "11", "2", "3", "4", "5", "6", "7", "8", "9"}) {
        p.sim.registry.writeString(kListKey, std::string("Name") + n, std::string("Game ") + n);
        p.sim.registry.writeString(kPathKey, std::string("Path") + n, std::string("C:\\g") + n + ".exe");
    }
    p.startProgram();
    EXPECT_EQ(p.entries(), "Game 1;Game 2;Game 3;Game 4;Game 5;Game 6;Game 7;Game 8;Game 9;Game 10;Game 11;");
    EXPECT_EQ(p.app->allowedPaths[9], "C:\\g10.exe");
    // A file's icon is read once however often the lists are rebuilt, and entries of one file
    // share it; it is released when no entry lists the file any more, then only.
    p.close();
    p.sim.pictures.iconReads = 0;
    p.sim.pictures.icons = {"C:\\g1.exe", "C:\\g2.exe"};
    p.sim.registry.writeString(kPathKey, "Path3", "C:\\g2.exe");
    p.startProgram();
    p.app->refreshAllowedLists();
    EXPECT_EQ(p.sim.pictures.iconReads, 10) << "11 entries of 10 files";
    ui::Control& icons = p.big().control("ListView1");
    const PictureHandle g2 = icons.itemIcon(1);
    EXPECT_TRUE(g2 && icons.itemIcon(2) == g2 && icons.itemIcon(3) == 0);
    for (int deleted : {1, 2}) {
        p.select(1);
        p.click("frmMain", "cmdDelete");
        EXPECT_EQ(p.sim.pictures.loaded.count(g2), deleted == 1 ? 1u : 0u) << deleted;
    }
    EXPECT_EQ(p.sim.pictures.iconReads, 10);
    p.close();
    p.app.reset();
    EXPECT_TRUE(p.sim.pictures.loaded.empty());
    EXPECT_EQ(p.sim.pictures.badReleases, 0);
    p.startProgram();
    // Names without their paths cannot be started: they are not loaded as half entries.
    p.close();
    p.app->settings().DeleteSetting("PathOfGames");
    p.startProgram();
    EXPECT_TRUE(p.app->allowedNames.empty() && p.app->allowedPaths.empty());
}

TEST(Launcher, ProgramIsStartedQuotedLockedAndWatched) {
    Listed p;
    p.add("Chess", kChess);
    p.add("Chess", kPaint);  // the same name: each item starts its own entry
    p.app->previewLockScreen();
    p.doubleClick(0);  // the picture's preview has no plan behind it
    p.click("frmBig", "Label1");
    p.playListed();
    p.doubleClick(-1);  // empty space: nothing starts, the lock stays
    ui::Control& list = p.big().listView1;
    p.event([&] { list.userMouseDown(ui::Mouse{.item = 1}); });  // pressed on one, another selected
    p.event([&] { list.userSelect(0); });
    p.event([&] { list.userDblClick(); });
    EXPECT_TRUE(p.procs().procs.empty());
    EXPECT_EQ(p.lockState(), "screen watching 0");

    p.procs().scripts[kChess] = {3000, -1};  // its window comes up after 3 s
    EXPECT_EQ(p.doubleClick(0), 3000);
    ASSERT_NE(p.procs().byProgram(kChess), nullptr) << "the whole path is one file, blanks and all";
    const auto chess = *p.procs().byProgram(kChess);
    EXPECT_EQ(chess.commandLine, std::string("\"") + kChess + "\"");
    EXPECT_EQ(p.lockState(), kChess + std::string(" disabled watching 1"));
    // Its other windows work too (a main window after the splash); others' windows do not.
    EXPECT_TRUE(p.sim.windowLock.usable(p.sim.windowLock.openWindow(true, chess.pid)));
    EXPECT_FALSE(p.sim.windowLock.usable(p.sim.windowLock.openWindow()));

    // A second program (the list reached while the first runs): the lock moves to it, and back.
    p.doubleClick(1);
    EXPECT_EQ(p.lockState(), kPaint + std::string(" disabled watching 2"));
    p.procs().exit(p.procs().byProgram(kPaint)->pid);
    p.advance(500);
    EXPECT_EQ(p.lockState(), kChess + std::string(" disabled watching 1"));
    p.procs().exit(chess.pid);  // before the watcher looks, its id is given to another process
    auto& other = p.procs().spawnOther(chess.pid);
    p.app->terminateLaunched();
    EXPECT_TRUE(p.procs().running(other)) << "ended by the handle of its start, never by id";
    p.advance(500);
    EXPECT_EQ(p.lockState(), "screen watching 0");
    EXPECT_FALSE(p.big().timer2.enabled()) << "nothing left to watch: the clock alone ticks";
    p.app->terminateLaunched();  // nothing recorded: nothing happens
    EXPECT_TRUE(p.procs().running(other));
    EXPECT_TRUE(p.procs().openHandles.empty()) << "handles of ended programs are closed";
    EXPECT_EQ(p.procs().badHandleUses, 0);

    // A record left over into game time with everything allowed: dropping it locks nothing.
    Listed e(kSixPm, "every 60 5 all");
    ProcessInfo left;
    e.procs().start("left.exe", -1, &left);
    e.app->launched.push_back({left.pid, left.process, 0});
    e.big().timer2.setEnabled(true);  // as the launch did
    e.procs().exit(left.pid);
    e.advance(500);
    EXPECT_EQ(e.lockState(), "none watching 0");
}

TEST(Launcher, ProgramsWithoutAWindowNeverLeaveTheDesktopFree) {
    Listed p;
    for (const char* path :
         {"C:\\slow.exe", "C:\\quick.exe", "C:\\gone.exe", "C:\\games\\a\" b.exe", "C:\\admin.exe"})
        p.add("Game", path);
    p.playListed();
    p.procs().scripts["C:\\slow.exe"] = {8000, -1};  // its window after 8 s
    p.procs().scripts["C:\\quick.exe"] = {-1, 0};    // hands over to 20 processes and exits at once
    p.procs().missing.insert("C:\\gone.exe");
    int swallowed = 0;
    p.procs().duringWait = [&] {  // keys pressed as fast as they come while the launch waits
        p.sim.keyboard.held = {0x12};
        swallowed += !p.sim.keyboard.press({0x09, 0x20, 0x104});
    };
    EXPECT_EQ(p.doubleClick(0), 5100) << "the first wait and 50 retries";
    EXPECT_EQ(swallowed, 51) << "the task-switch keys stay blocked while the program comes up";
    EXPECT_EQ(p.lockState(), "screen watching 1") << "kept, and the lock screen locked again at once";
    p.advance(3000);
    EXPECT_EQ(p.lockState(), "C:\\slow.exe disabled watching 1") << "locked once its window shows";
    EXPECT_EQ(p.procs().foreground.back(), p.procs().byProgram("C:\\slow.exe")->window);

    std::vector<uintptr_t> handedTo;
    p.procs().duringWait = [&] {
        for (uint32_t pid = 9000; handedTo.size() < 20 && pid < 9080; pid += 4)
            handedTo.push_back(p.procs().spawnOther(pid).window);
    };
    p.procs().exit(p.procs().byProgram("C:\\slow.exe")->pid);
    p.advance(500);
    EXPECT_EQ(p.doubleClick(1), 0) << "a program that exits at once costs no 5 s";
    EXPECT_EQ(p.lockState(), "screen watching 0");
    ASSERT_EQ(handedTo.size(), 20u);
    for (uintptr_t w : handedTo) EXPECT_FALSE(p.sim.windowLock.usable(w));
    // Nothing could be started (no file, a quote in the path): enabled and locked again at once.
    for (int item : {2, 3}) {
        EXPECT_EQ(p.doubleClick(item), 0);
        EXPECT_EQ(p.lockState(), "screen watching 0");
    }
    EXPECT_EQ(p.procs().procs.size(), 22u) << "nothing started that is not listed as it stands";
    EXPECT_TRUE(p.procs().openHandles.empty()) << "abandoned handles are closed";
    // One that needs an administrator: said in the message's place for 5 s, and locked again.
    const std::string message = p.big().lblMessage.text();
    p.procs().elevated.insert("C:\\admin.exe");
    EXPECT_EQ(p.doubleClick(4), 0);
    EXPECT_EQ(p.lockState(), "screen watching 0");
    p.advance(4000);
    EXPECT_EQ(p.big().lblMessage.text(), "This program needs an administrator and cannot be started here.");
    p.advance(1000);
    EXPECT_EQ(p.big().lblMessage.text(), message) << "the parent's message back";

    // A program that never shows a window is still ended with game time.
    p.procs().scripts["C:\\slow.exe"] = {-1, -1};
    p.doubleClick(0);
    p.advance(600'000);
    EXPECT_FALSE(p.running("C:\\slow.exe"));
    EXPECT_EQ(p.period(), "break");
}

TEST(Termination, GameEndEndsTheStartedProgramsInEveryMode) {
    const std::tuple<DateTime, const char*, bool> modes[] = {
        {{2026, 12, 6, 18, 0, 0}, "every 1 5 listed", true},
        {{2026, 12, 6, 17, 59, 0}, "once 12 6 18 0 1 listed", false},  // the end of a one-time plan stops it
        {{2026, 12, 6, 20, 59, 0}, "bed 7 0 21 0 listed", true},
    };
    for (auto& [now, plan, watcherAfter] : modes) {
        SCOPED_TRACE(plan);
        Listed p(now);
        p.add("Chess", kChess);
        p.add("Paint", kPaint);
        p.plan(plan);
        p.start();
        for (int s = 0; s < 100 && p.period() != "game"; ++s) p.advance(1000);  // the play window opens
        ASSERT_EQ(p.period(), "game");
        p.doubleClick(0);
        p.doubleClick(1);
        ASSERT_EQ(p.app->launched.size(), 2u);
        for (int s = 0; s < 100 && p.period() == "game"; ++s) {
            EXPECT_TRUE(p.running(kChess));
            p.advance(1000);
        }
        EXPECT_FALSE(p.running(kChess) || p.running(kPaint));
        p.advance(1000);
        EXPECT_EQ(p.lockState(), watcherAfter ? "screen watching 0" : "screen watching 2")
            << "the watcher drops them while it runs";
    }
}

}  // namespace qv::test
