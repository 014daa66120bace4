// The three start-up roads, the first-run password dialog, and ending the program.
#include <gtest/gtest.h>

#include "world.h"

namespace qv::test {

TEST(FirstRun, ShowsOnlyThePasswordDialogAndWritesTheDefaults) {
    World w(DateTime{2027, 3, 5, 9, 0, 0});
    w.startProgram();
    EXPECT_TRUE(w.shown("frmPassword"));
    for (ui::Form* f : w.app->session().loadedForms()) {
        if (f->name() != "frmPassword") {
            EXPECT_FALSE(f->visible()) << f->name();
        }
    }
    EXPECT_EQ(w.form("frmMain"), nullptr) << "the console is unloaded on the first run";
    EXPECT_FALSE(w.sim.tray.hasIcon(999)) << "no icon lingers for the unloaded console";
    EXPECT_EQ(w.app->consoleState, state::kFirstRun);
    EXPECT_EQ(w.stored("Mode"), "6");
    EXPECT_EQ(w.stored("StartMonth"), "3");
    EXPECT_EQ(w.stored("StartDay"), "5");
    EXPECT_EQ(w.stored("Password"), "<missing>");
    const auto* key = w.sim.registry.findKey(kControls);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->values.size(), 25u);
    EXPECT_EQ(w.sim.registry.findKey("HKCU\\Software\\Hollowmere\\Tarnwell\\ListOfGames"), nullptr);
    EXPECT_EQ(w.sim.registry.openHandles(), 0u);
}

TEST(FirstRun, EqualEntriesStoreThePasswordAndOpenTheConsole) {
    World w;
    w.completeFirstRun("abc");
    EXPECT_FALSE(w.ended());
    EXPECT_EQ(w.form("frmPassword"), nullptr);
    EXPECT_TRUE(w.shown("frmMain"));
    EXPECT_EQ(w.stored("Mode"), "5");
    EXPECT_EQ(w.stored("Password"), "297298299");
    EXPECT_EQ(w.app->currentPassword, "abc") << "the reload of the console must not reset the new password";
    EXPECT_EQ(w.app->consoleState, state::kIdle);
    EXPECT_TRUE(w.sim.tray.hasIcon(999));
    EXPECT_EQ(w.sim.tray.icons[999].window, w.form("frmMain")->nativeHandle());
    EXPECT_TRUE(w.sim.dialogs.shown.empty());
}

TEST(FirstRun, DifferentEntriesAreRefusedAndNothingIsStored) {
    World w;
    w.startProgram();
    w.type("frmPassword", "txtPass1", "abc");
    w.type("frmPassword", "txtPass2", "abC");
    w.click("frmPassword", "Command1");
    ASSERT_EQ(w.sim.dialogs.shown.size(), 1u);
    EXPECT_EQ(w.sim.dialogs.shown[0].text, "Passwords do not match");
    EXPECT_TRUE(w.shown("frmPassword"));
    EXPECT_EQ(w.stored("Password"), "<missing>");
    EXPECT_EQ(w.stored("Mode"), "6");
    w.type("frmPassword", "txtPass2", "abc");
    w.click("frmPassword", "Command1");
    EXPECT_EQ(w.stored("Password"), "297298299");
}

TEST(FirstRun, EmptyPasswordIsAllowedAndStoredAsEmptyText) {
    World w;
    w.completeFirstRun("");
    EXPECT_EQ(w.stored("Password"), "");
    EXPECT_EQ(w.stored("Mode"), "5");
}

TEST(FirstRun, CancelAndCloseBoxEndTheProgramAndTheNextStartAsksAgain) {
    for (bool useCloseBox : {false, true}) {
        World w;
        w.startProgram();
        if (useCloseBox) {
            w.closeBox("frmPassword");
        } else {
            w.click("frmPassword", "cmdClose");
        }
        EXPECT_TRUE(w.ended()) << useCloseBox;
        EXPECT_TRUE(w.sim.windowing.quitRequested());
        EXPECT_EQ(w.stored("Mode"), "6");
        EXPECT_FALSE(w.sim.tray.hasIcon(999));
        w.startProgram();
        EXPECT_TRUE(w.shown("frmPassword")) << "an abandoned first run is a first run again";
    }
}

TEST(FirstRun, ModeSixWithAChosenModeWritesTheDefaultsAgain) {
    World w;
    w.store("Made", "2");
    w.store("Mode", "6");
    w.startProgram();
    EXPECT_TRUE(w.shown("frmPassword"));
    EXPECT_EQ(w.stored("Made"), "1");
}

TEST(NormalStart, WaitsHiddenInTheTrayWithTheBalloon) {
    for (const char* mode : {"1", "3", "4", "5", "0", "garbage"}) {
        World w;
        w.completeFirstRun();
        w.click("frmMain", "Command2");  // Close
        ASSERT_TRUE(w.ended());
        w.store("Mode", mode);
        w.sim.tray.balloons.clear();
        w.startProgram();
        EXPECT_FALSE(w.ended());
        EXPECT_FALSE(w.shown("frmMain")) << mode;
        EXPECT_EQ(w.form("frmPassword"), nullptr);
        EXPECT_TRUE(w.sim.tray.hasIcon(999));
        EXPECT_EQ(w.sim.tray.icons[999].tip, "Quorvane 1.0");
        ASSERT_EQ(w.sim.tray.balloons.size(), 1u);
        EXPECT_EQ(w.sim.tray.balloons[0].info, "Click on the icon to begin");
        EXPECT_EQ(w.sim.tray.balloons[0].infoTitle, "Quorvane");
        EXPECT_EQ(w.stored("Mode"), "5") << mode;
        EXPECT_EQ(w.app->consoleState, state::kIdle);
        EXPECT_EQ(w.app->currentPassword, "secret");
        EXPECT_FALSE(w.app->frmMain().timer2.enabled());
    }
}

TEST(NormalStart, ARunningPlanArmsTheResumeTimer) {
    World w;
    w.completeFirstRun();
    w.click("frmMain", "Command2");
    w.store("Mode", "2");
    w.startProgram();
    EXPECT_FALSE(w.shown("frmMain"));
    EXPECT_EQ(w.app->consoleState, state::kPlanRunning);
    EXPECT_EQ(w.app->resumeDelay, 60);
    EXPECT_TRUE(w.app->frmMain().timer2.enabled());
    EXPECT_EQ(w.stored("Mode"), "2") << "the resume road does not write Mode";
    w.advance(60 * 1000);
    EXPECT_TRUE(w.app->frmMain().timer2.enabled());
    w.advance(1000);
    EXPECT_FALSE(w.app->frmMain().timer2.enabled()) << "the plan restarts on the 61st tick";
}

TEST(Close, ReleasesEverythingStoresIdleAndUnloadsInOrder) {
    World w;
    w.completeFirstRun();
    w.app->lockToWindow(w.app->frmBig().nativeHandle(), 1);
    ASSERT_FALSE(w.sim.keyboard.hooks.empty());
    w.click("frmMain", "Command2");
    EXPECT_TRUE(w.ended());
    EXPECT_TRUE(w.sim.keyboard.hooks.empty());
    EXPECT_EQ(w.sim.windowLock.locked, 0u);
    EXPECT_FALSE(w.sim.tray.hasIcon(999));
    EXPECT_EQ(w.stored("Mode"), "5");
    const auto& order = w.sim.windowing.destroyedOrder();
    std::vector<std::string> tail(order.end() - 4, order.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"frmBig", "frmMain", "frmMenuSystray", "Form1"}));
    EXPECT_EQ(w.sim.registry.openHandles(), 0u);
}

TEST(Start, SavesTheConsoleAndMarksThePlanRunning) {
    World w;
    w.completeFirstRun();
    w.app->frmMain().control("cmbGameTime").userSelect(3);  // "10"
    w.click("frmMain", "Command1");
    EXPECT_EQ(w.stored("GameTime"), "10");
    EXPECT_EQ(w.stored("Mode"), "2");
    EXPECT_EQ(w.app->lastMinuteMark, w.sim.clock.now());
    EXPECT_FALSE(w.shown("frmMain"));
}

// No stored value may stop the program from coming up.
// No stored value may stop the program from coming up, nor keep the other values from loading.
TEST(BadInput, GarbageInEveryValueStillStarts) {
    const char* garbage[] = {
        "", "abc", "99999999999999999999", "-99999999999", "7", "1e400", "-", " 2", "\xff\xfe", "13"};
    for (const char* g : garbage) {
        for (auto& [name, def] : firstRunDefaults(DateTime{})) {
            World w;
            w.completeFirstRun();
            const bool message = name == "Message";
            w.restartWith({{"Message", "still loaded"}, {name, g}});
            EXPECT_FALSE(w.ended()) << name << "=" << g;
            EXPECT_TRUE(w.shown("frmPassword") || w.sim.tray.hasIcon(999)) << name << "=" << g;
            if (ui::Form* console = w.form("frmMain"); console && !message) {
                EXPECT_EQ(console->control("txtMessage").text(), "still loaded") << name << "=" << g;
            }
        }
    }
}

TEST(BadInput, ShutdownThatIsNoWholeNumberKeepsTheBoxAndLoadingGoesOn) {
    World w;
    w.completeFirstRun();
    w.restartWith({{"ShutDown", "yes"}, {"Message", "Homework first"}});
    EXPECT_EQ(w.app->frmMain().control("chkShutDown").value(), 0);
    EXPECT_EQ(w.app->frmMain().control("txtMessage").text(), "Homework first");
    w.restartWith({{"ShutDown", "1.4"}});
    EXPECT_EQ(w.app->frmMain().control("chkShutDown").value(), 1);
}

}  // namespace qv::test
