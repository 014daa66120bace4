// The console: the day picker, option handlers and commands.
#include <gtest/gtest.h>

#include <tuple>

#include "world.h"

namespace qv::test {

namespace {
struct Console : World {
    explicit Console(const DateTime& t = DateTime{2026, 12, 6, 18, 0, 0}) : World(t) {
        completeFirstRun();
        restartWith({});
    }
};
}  // namespace

TEST(ConsolePickers, DayListFollowsTheMonthAndTheYear) {
    const std::tuple<int, const char*, size_t> cases[] = {
        {2028, "2", 29}, {2027, "2", 28},  {2100, "2", 29},  // no century rule
        {2027, "4", 30}, {2027, "11", 30}, {2027, "1", 31}, {2027, "8", 31},
    };
    for (auto [year, month, days] : cases) {
        Console w(DateTime{year, 6, 1, 12, 0, 0});
        w.pick("cmbStartDateD", "27");
        w.pick("cmbStartDateM", month);
        EXPECT_EQ(w.main("cmbStartDateD").items().size(), days) << year << "/" << month;
        EXPECT_EQ(w.main("cmbStartDateD").text(), "1") << "picking a month starts the day at 1";
    }
    Console w;  // a stored month that no list offers gives 28 days at load
    for (const char* month : {"13", "x"}) {
        w.restartWith({{"StartMonth", month}});
        EXPECT_EQ(w.main("cmbStartDateD").items().size(), 28u) << month;
    }
    // A stored day is shown even beyond its month, and a stored hour 0 as text.
    w.restartWith({{"StartMonth", "2"}, {"StartDay", "31"}, {"StartH", "0"}});
    EXPECT_EQ(w.main("cmbStartDateD").text() + " " + w.main("cmbStartTimeH").text(), "31 0");
    EXPECT_EQ(w.main("cmbStartDateD").items().size(), 28u);
}

TEST(ConsoleOptions, StartUpBoxPictureBoxAndPasswordChange) {
    Console w;
    EXPECT_EQ(w.main("chkLaunch").value(), 0) << "the defaults register nothing, and the box says so";
    // The box follows the Run value whenever the console is shown, whoever wrote it.
    auto shownAgain = [&] {
        w.console().hide();
        w.console().show();
        return w.main("chkLaunch").value();
    };
    w.sim.registry.writeString(kRunKey, "Hollowmere", "\"c:\\program files\\quorvane\\QUORVANE 1.0.EXE\"");
    EXPECT_EQ(shownAgain(), 1);
    w.sim.registry.writeString(kRunKey, "Hollowmere", "C:\\Other\\Quorvane 1.0.exe");
    EXPECT_EQ(shownAgain(), 0) << "another copy's";
    w.sim.registry.writeString(kRunKey, "Hollowmere", kExe);
    w.restartWith({{"StartUp", "0"}});
    EXPECT_EQ(w.main("chkLaunch").value(), 1) << "loaded hidden: the Run value, not the stored StartUp";
    w.press("frmMain", "chkLaunch", 2);  // the right button switches only the Run value
    EXPECT_EQ(w.main("chkLaunch").value(), 1) << "the box stays";
    EXPECT_EQ(w.sim.registry.findValue(kRunKey, "Hollowmere"), nullptr);
    EXPECT_EQ(shownAgain(), 0);
    w.sim.registry.denyLocalMachineWrites = true;  // a standard account
    w.press("frmMain", "chkLaunch");
    ASSERT_EQ(w.sim.dialogs.shown.size(), 1u);
    EXPECT_EQ(w.sim.dialogs.shown[0].text.substr(0, 56),
              "Quorvane could not register itself to start with Windows");
    EXPECT_EQ(w.main("chkLaunch").value(), 0) << "the message took the click: the box tells the truth";
    w.restartWith({});
    EXPECT_EQ(w.stored("StartUp"), "0") << "still saved from the box";

    auto picture = [&] {
        return std::to_string(w.main("chkBackPicture").value()) + " " + w.main("lblBackPicture").text();
    };
    w.console().show();
    w.sim.pictures.pictures.insert("C:\\pics\\sky.jpg");
    w.sim.dialogs.files.push_back({false, "C:\\pics\\sky.jpg"});
    w.press("frmMain", "chkBackPicture");
    EXPECT_EQ(picture(), "1 C:\\pics\\sky.jpg");
    // The lock screen shows the chosen picture, and neither traps the console nor starts a plan.
    EXPECT_EQ(w.look(), "frmMain frmBig tray state 5 Mode 5");
    EXPECT_NE(w.app->frmBig().picture(), 0u);
    EXPECT_FALSE(w.app->frmBig().timer1.enabled());
    EXPECT_TRUE(w.sim.windowLock.locked == 0 && w.sim.keyboard.hooks.empty());
    w.click("frmBig", "Label1");
    EXPECT_EQ(w.look(), "frmMain tray state 5 Mode 5") << "no password asked";
    w.press("frmMain", "chkBackPicture");  // checked: no dialog, the click clears it
    EXPECT_EQ(picture(), "0 C:\\pics\\sky.jpg");
    w.sim.dialogs.files.push_back({false, "C:\\pics\\sky.jpg"});
    w.click("frmMain", "Command7");
    EXPECT_EQ(picture(), "1 C:\\pics\\sky.jpg");
    w.click("frmMain", "Command7");  // cancelled
    EXPECT_EQ(picture(), "0 None");

    // Change password opens empty every time and takes effect at once.
    w.click("frmMain", "Command6");
    w.type("frmPassword", "txtPass1", "new0");
    w.click("frmPassword", "cmdClose");
    w.click("frmMain", "Command6");
    EXPECT_EQ(w.ctl("frmPassword", "txtPass1").text(), "");
    w.type("frmPassword", "txtPass1", "new1");
    w.type("frmPassword", "txtPass2", "new1");
    w.click("frmPassword", "Command1");
    EXPECT_EQ(w.app->currentPassword, "new1");
    EXPECT_EQ(w.stored("Password") + " " + w.stored("Mode"), encodePassword("new1") + " 5");
    EXPECT_FALSE(w.ended());
}

}  // namespace qv::test
