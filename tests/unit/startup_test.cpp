// The three start-up roads, the first-run password dialog, Start, and ending the program.
#include <gtest/gtest.h>

#include "world.h"

namespace qv::test {

TEST(FirstRun, ShowsOnlyThePasswordDialogAndWritesTheDefaults) {
    World w(DateTime{2027, 3, 5, 9, 0, 0});
    w.startProgram();
    EXPECT_EQ(w.look(), "frmPassword state 6 Mode 6") << "no tray icon for the unloaded console";
    EXPECT_EQ(w.form("frmMain"), nullptr) << "the console is unloaded on the first run";
    EXPECT_EQ(w.storedAll({"StartMonth", "StartDay", "Password"}), "3 5 <missing>");
    ASSERT_NE(w.sim.registry.findKey(kControls), nullptr);
    EXPECT_EQ(w.sim.registry.findKey(kControls)->values.size(), 25u);
    EXPECT_EQ(w.sim.registry.findKey(kListKey), nullptr);
    EXPECT_EQ(w.sim.registry.openHandles(), 0u);
}

TEST(FirstRun, DifferentEntriesAreRefusedEqualOnesStoredAndTheConsoleOpens) {
    for (auto [pw, other] : {std::pair<std::string, std::string>{"abc", "abC"}, {"", "x"}}) {
        World w;
        w.startProgram();
        w.type("frmPassword", "txtPass1", pw);
        w.type("frmPassword", "txtPass2", other);
        w.click("frmPassword", "Command1");
        ASSERT_EQ(w.sim.dialogs.shown.size(), 1u);
        EXPECT_EQ(w.sim.dialogs.shown[0].text, "Passwords do not match");
        EXPECT_EQ(w.look() + " " + w.stored("Password"), "frmPassword state 6 Mode 6 <missing>");
        w.type("frmPassword", "txtPass2", pw);
        w.click("frmPassword", "Command1");
        EXPECT_EQ(w.stored("Password"), pw.empty() ? "" : "297298299");
        EXPECT_EQ(w.app->currentPassword, pw) << "the reload of the console must not reset it";
        EXPECT_EQ(w.look(), "frmMain tray state 5 Mode 5");
        EXPECT_EQ(w.form("frmPassword"), nullptr);
        EXPECT_EQ(w.sim.tray.icons[999].window, w.form("frmMain")->nativeHandle());
        EXPECT_EQ(w.sim.dialogs.shown.size(), 1u);
    }
}

TEST(FirstRun, CancelAndCloseBoxEndTheProgramAndTheNextStartAsksAgain) {
    for (bool useCloseBox : {false, true}) {
        World w;
        w.startProgram();
        useCloseBox ? w.closeBox("frmPassword") : w.click("frmPassword", "cmdClose");
        EXPECT_TRUE(w.ended() && w.sim.windowing.quitRequested()) << useCloseBox;
        EXPECT_EQ(w.look(), "state 6 Mode 6");
        w.startProgram();
        EXPECT_TRUE(w.shown("frmPassword")) << "an abandoned first run is a first run again";
    }
    World w;  // mode 6 with a chosen mode writes the defaults again
    w.store("Made", "2");
    w.store("Mode", "6");
    w.startProgram();
    EXPECT_TRUE(w.shown("frmPassword"));
    EXPECT_EQ(w.stored("Made"), "1");
}

TEST(NormalStart, WaitsHiddenInTheTrayWithTheBalloonOrArmsTheResumeTimer) {
    for (const char* mode : {"1", "3", "4", "5", "0", "garbage"}) {
        World w;
        w.completeFirstRun();
        w.sim.tray.balloons.clear();
        w.restartWith({{"Mode", mode}});
        EXPECT_EQ(w.look(), "tray state 5 Mode 5") << mode;
        EXPECT_EQ(w.form("frmPassword"), nullptr);
        EXPECT_EQ(w.sim.tray.icons[999].tip, "Quorvane 1.0");
        ASSERT_EQ(w.sim.tray.balloons.size(), 1u);
        EXPECT_EQ(w.sim.tray.balloons[0].infoTitle + ": " + w.sim.tray.balloons[0].info,
                  "Quorvane: Click on the icon to begin");
        EXPECT_EQ(w.app->currentPassword, "secret");
        EXPECT_FALSE(w.console().timer2.enabled());
    }
    World w;
    w.completeFirstRun();
    w.restartWith({{"Mode", "2"}});
    EXPECT_EQ(w.look(), "tray state 2 Mode 2") << "the resume road does not write Mode";
    EXPECT_EQ(w.app->resumeDelay, 60);
    w.advance(60 * 1000);
    EXPECT_TRUE(w.console().timer2.enabled());
    w.advance(1000);
    EXPECT_FALSE(w.console().timer2.enabled()) << "the plan restarts on the 61st tick";
}

TEST(Close, ReleasesEverythingStoresIdleAndUnloadsInOrder) {
    World w;
    w.completeFirstRun();
    w.app->lockToWindow(w.app->frmBig().nativeHandle(), 1);
    ASSERT_FALSE(w.sim.keyboard.hooks.empty());
    w.close();
    EXPECT_TRUE(w.ended());
    EXPECT_TRUE(w.sim.keyboard.hooks.empty());
    EXPECT_EQ(w.sim.windowLock.locked, 0u);
    EXPECT_EQ(w.look(), "state 5 Mode 5");
    const auto& order = w.sim.windowing.destroyedOrder();
    EXPECT_EQ(std::vector<std::string>(order.end() - 4, order.end()),
              (std::vector<std::string>{"frmBig", "frmMain", "frmMenuSystray", "Form1"}));
    EXPECT_EQ(w.sim.registry.openHandles(), 0u);
}

TEST(Start, SavesTheConsoleAndMarksThePlanRunning) {
    World w;
    w.completeFirstRun();
    w.main("cmbGameTime").userSelect(3);  // "10"
    w.click("frmMain", "Command1");
    EXPECT_EQ(w.storedAll({"GameTime", "Mode"}), "10 2");
    EXPECT_EQ(w.app->lastMinuteMark, w.sim.clock.now());
    EXPECT_FALSE(w.shown("frmMain"));
}

// No stored value may stop the program from coming up, nor keep the other values from loading.
TEST(BadInput, GarbageInEveryValueStillStarts) {
    for (const char* g :
         {"", "abc", "99999999999999999999", "-99999999999", "7", "1e400", "-", " 2", "\xff\xfe", "13"}) {
        for (auto& [name, def] : firstRunDefaults(DateTime{})) {
            World w;
            w.completeFirstRun();
            w.restartWith({{"Message", "still loaded"}, {name, g}});
            EXPECT_FALSE(w.ended()) << name << "=" << g;
            EXPECT_TRUE(w.shown("frmPassword") || w.sim.tray.hasIcon(999)) << name << "=" << g;
            if (ui::Form* console = w.form("frmMain"); console && name != "Message") {
                EXPECT_EQ(console->control("txtMessage").text(), "still loaded") << name << "=" << g;
            }
        }
    }
    World w;  // a shut-down value that is no whole number keeps the box, and loading goes on
    w.completeFirstRun();
    w.restartWith({{"ShutDown", "yes"}, {"Message", "Homework first"}});
    EXPECT_EQ(w.main("chkShutDown").value(), 0);
    EXPECT_EQ(w.main("txtMessage").text(), "Homework first");
    w.restartWith({{"ShutDown", "1.4"}});
    EXPECT_EQ(w.main("chkShutDown").value(), 1);
}

}  // namespace qv::test
