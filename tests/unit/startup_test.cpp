// The start-up roads and ending the program.
#include <gtest/gtest.h>

#include "world.h"

namespace qv::test {

// Every stored state but a running plan (2, read as a leading number) waits idle in the tray.
TEST(NormalStart, WaitsHiddenInTheTrayWithTheBalloon) {
    World w;
    w.store("Made", "2");
    w.store("Mode", "6");  // a stored first-run state: the password is asked, the defaults written again
    w.completeFirstRun();
    EXPECT_EQ(w.stored("Made"), "1");
    for (const char* mode : {"1", "3", "4", "5", "0", "8", "-3", "70000", "garbage", "\xFF", "2x"}) {
        w.sim.tray.balloons.clear();
        w.restartWith({{"Mode", mode}});
        const bool resumes = mode == std::string("2x");
        EXPECT_EQ(w.look(), resumes ? "tray state 2 Mode 2x" : "tray state 5 Mode 5") << mode;
        EXPECT_EQ(w.form("frmPassword"), nullptr);
        EXPECT_EQ(w.app->currentPassword, "secret");
        if (resumes) continue;
        ASSERT_EQ(w.sim.tray.balloons.size(), 1u);
        EXPECT_EQ(w.sim.tray.balloons[0].infoTitle + ": " + w.sim.tray.balloons[0].info,
                  "Quorvane: Click on the icon to begin");
    }
}

TEST(Close, ReleasesEverythingStoresIdleAndUnloadsInOrder) {
    World w;
    w.completeFirstRun();
    w.app->lockToWindow(w.app->frmBig().nativeHandle(), 1);
    ASSERT_FALSE(w.sim.keyboard.hooks.empty());
    w.close();
    EXPECT_TRUE(w.ended() && w.sim.keyboard.hooks.empty() && w.sim.windowLock.locked == 0);
    EXPECT_EQ(w.look(), "state 5 Mode 5");
    const auto& order = w.sim.windowing.destroyedOrder();
    EXPECT_EQ(std::vector<std::string>(order.end() - 4, order.end()),
              (std::vector<std::string>{"frmBig", "frmMain", "frmMenuSystray", "Form1"}));
    EXPECT_EQ(w.sim.registry.openHandles(), 0u);
}

// No stored value may stop the program from coming up, nor keep the other values from loading.
TEST(BadInput, GarbageInEveryValueStillStarts) {
    for (const char* g :
         {"", "abc", "99999999999999999999", "-99999999999", "7", "1e400", "-", " 2", "\xff\xfe", "13"})
        for (auto& [name, def] : firstRunDefaults(DateTime{})) {
            World w;
            w.completeFirstRun();
            w.restartWith({{"Message", "still loaded"}, {name, g}});
            EXPECT_FALSE(w.ended()) << name << "=" << g;
            EXPECT_TRUE(w.shown("frmPassword") || w.sim.tray.hasIcon(999)) << name << "=" << g;
            ui::Form* console = w.form("frmMain");
            EXPECT_TRUE(!console || name == "Message" ||
                        console->control("txtMessage").text() == "still loaded")
                << name << "=" << g;
        }
}

}  // namespace qv::test
