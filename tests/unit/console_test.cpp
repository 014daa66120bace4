// The console: its layout, pickers, mode selection, settings round trips and option handlers.
#include <gtest/gtest.h>

#include <set>

#include "world.h"

namespace qv::test {

namespace {
// A program that has been through its first run and was started again.
struct Console : World {
    explicit Console(const DateTime& t = DateTime{2026, 12, 6, 18, 0, 0}) : World(t) {
        completeFirstRun();
        restartWith({});
    }
    std::string box(const char* control) {
        return main(control).text() + "|" + std::to_string(main(control).value());
    }
};
}  // namespace

TEST(ConsoleLayout, EveryControlLiesInsideItsFrameAndTheTabOrderIsComplete) {
    Console w;
    FrmMain& f = w.console();
    std::set<int> tabs;
    for (auto& c : f.controls()) {
        if (c->tabIndex >= 0) {
            EXPECT_TRUE(tabs.insert(c->tabIndex).second) << c->name();
        }
        const ui::Rect& r = c->rect();
        const ui::Rect& in = c->container() ? c->container()->rect() : f.rect();
        if (c->name() == "lblPassword") continue;
        EXPECT_LE(r.left + r.width, in.width) << c->name();
        EXPECT_LE(r.top + r.height, in.height) << c->name();
    }
    EXPECT_EQ(tabs.size(), 33u);
    EXPECT_GT(w.main("lblPassword").rect().top, f.rect().height) << "the stored password is never on screen";
    EXPECT_TRUE(w.main("optEveryday").font().bold && w.main("Command1").font().bold);
    EXPECT_FALSE(w.main("optOnlyListed").font().bold);
    EXPECT_EQ(w.main("txtMessage").font().face, "Verdana");
}

TEST(ConsolePickers, ListsHoldTheirItemsOnceAfterLoad) {
    Console w;
    const std::pair<const char*, const char*> cases[] = {
        {"cmbGameTime", "24 0-400"},  {"cmbBreakTime", "24 0-400"}, {"cmbTotalTime", "16 0-420"},
        {"cmbStartDateM", "12 1-12"}, {"cmbStartTimeH", "24 1-24"}, {"cmbStartH", "24 1-24"},
        {"cmbBedH", "24 1-24"},       {"cmbStartTimeM", "60 0-59"}, {"cmbStartM", "60 0-59"},
        {"cmbBedM", "60 0-59"},       {"cmbStartDateD", "31 1-31"},
    };
    for (auto [list, expected] : cases) {
        const auto& items = w.main(list).items();
        ASSERT_FALSE(items.empty()) << list;
        EXPECT_EQ(std::to_string(items.size()) + " " + items.front() + "-" + items.back(), expected) << list;
    }
}

TEST(ConsolePickers, DayListFollowsTheMonthAndTheYear) {
    const struct {
        int year;
        const char* month;
        size_t days;
    } cases[] = {
        {2028, "2", 29}, {2027, "2", 28},  {2100, "2", 29},  // no century rule
        {2027, "4", 30}, {2027, "11", 30}, {2027, "1", 31}, {2027, "8", 31},
    };
    for (auto& c : cases) {
        Console w(DateTime{c.year, 6, 1, 12, 0, 0});
        w.pick("cmbStartDateD", "27");
        w.pick("cmbStartDateM", c.month);
        EXPECT_EQ(w.main("cmbStartDateD").items().size(), c.days) << c.year << "/" << c.month;
        EXPECT_EQ(w.main("cmbStartDateD").text(), "1") << "picking a month starts the day at 1";
    }
    Console w;  // a stored month that no list offers gives 28 days at load
    for (const char* month : {"13", "0", "", "x", "-2"}) {
        w.restartWith({{"StartMonth", month}});
        EXPECT_EQ(w.main("cmbStartDateD").items().size(), 28u) << month;
    }
    // A stored day is shown even beyond its month, and a stored hour 0 as text.
    w.restartWith({{"StartMonth", "2"}, {"StartDay", "31"}, {"StartH", "0"}});
    EXPECT_EQ(w.main("cmbStartDateD").text() + " " + w.main("cmbStartTimeH").text(), "31 0");
    EXPECT_EQ(w.main("cmbStartDateD").items().size(), 28u);
}

TEST(ModeSelection, EachModeEnablesExactlyItsListsAndTheStoredNumberChoosesIt) {
    const std::pair<const char*, std::set<std::string>> cases[] = {
        {"optEveryday", {"cmbGameTime", "cmbBreakTime"}},
        {"optOneTime", {"cmbStartTimeH", "cmbStartTimeM", "cmbStartDateM", "cmbStartDateD", "cmbTotalTime"}},
        {"optBedTime", {"cmbStartH", "cmbStartM", "cmbBedH", "cmbBedM"}},
    };
    Console w;
    w.pick("cmbGameTime", "60");
    for (auto& [option, enabled] : cases) {
        w.click("frmMain", option);
        for (auto& c : w.console().controls())
            if (c->name().rfind("cmb", 0) == 0) {
                EXPECT_EQ(c->enabled(), enabled.count(c->name()) == 1) << option << " " << c->name();
            }
        EXPECT_TRUE(w.main("chkShutDown").enabled());
    }
    EXPECT_EQ(w.main("cmbGameTime").text(), "60") << "values in disabled lists are kept";
    const std::pair<const char*, const char*> stored[] = {{"1", "optEveryday"},  {"2", "optOneTime"},
                                                          {"3", "optBedTime"},   {"0", "optBedTime"},
                                                          {"abc", "optBedTime"}, {"2.4", "optOneTime"}};
    for (auto [made, option] : stored) {
        w.restartWith({{"Made", made}});
        EXPECT_EQ(w.main(option).value(), 1) << made;
    }
}

TEST(ConsoleSettings, EveryControlSurvivesSaveAndReload) {
    Console w;
    w.click("frmMain", "optOneTime");
    for (auto [list, item] : {std::pair{"cmbGameTime", "120"},
                              {"cmbBreakTime", "15"},
                              {"cmbStartTimeH", "17"},
                              {"cmbStartTimeM", "45"},
                              {"cmbStartDateM", "4"},
                              {"cmbStartDateD", "30"},
                              {"cmbTotalTime", "45"},
                              {"cmbStartH", "8"},
                              {"cmbStartM", "15"},
                              {"cmbBedH", "21"},
                              {"cmbBedM", "5"}})
        w.pick(list, item);
    w.click("frmMain", "optOnlyListed");
    for (const char* box : {"chkShutDown", "chkRingStart", "chkRingEnd", "chkShowTime", "chkLaunch"})
        w.press("frmMain", box);
    w.type("frmMain", "txtMessage", "Dinner at seven\r\nthen bed");
    w.app->allowedNames = {"Chess", "Paint", "Chess"};
    w.app->allowedPaths = {"C:\\g\\chess.exe", "C:\\Windows\\mspaint.exe", "C:\\other\\chess.exe"};
    std::vector<std::pair<std::string, std::string>> expected;
    for (auto& c : w.console().controls()) expected.emplace_back(c->name(), w.box(c->name().c_str()));
    w.restartWith({});
    for (auto& [name, value] : expected) EXPECT_EQ(w.box(name.c_str()), value) << name;
    EXPECT_EQ(w.app->allowedNames, (std::vector<std::string>{"Chess", "Paint", "Chess"}));
    EXPECT_EQ(w.app->allowedPaths[2], "C:\\other\\chess.exe");
    EXPECT_EQ(w.main("lstAllowed").items().size(), 3u);
    EXPECT_EQ(w.stored("ShutDown"), "1");
}

TEST(ConsoleSettings, StoredTextsConvertAsTheConsoleReadsThem) {
    const char* listed = "Allow only listed games and programs|1";
    const struct {
        const char *name, *stored, *control;
        std::string box;
    } cases[] = {
        {"Allowance", "02", "optOnlyListed", listed},
        {"Allowance", "2 ", "optOnlyListed", listed},
        {"Allowance", "2", "optEverything", "Allow everthing|1"},
        {"SoundBegin", "1abc", "chkRingStart", "Signal when game time begins|1"},
        {"SoundEnd", "abc", "chkRingEnd", "Signal when game time is about to end|0"},
        {"ShowTime", "7", "chkShowTime", "Show time left on the locked screen|1"},  // no such state: kept
        {"StartUp", "-3", "chkLaunch", "Launch on Windows Startup|0"},  // no such state: as created
        {"GameTime", "45 minutes", "cmbGameTime", "45 minutes|0"},
        {"Message", "", "txtMessage", "|0"},
    };
    Console w;
    for (auto& c : cases) {
        w.restartWith({{c.name, c.stored}});
        EXPECT_EQ(w.box(c.control), c.box) << c.name << "=" << c.stored;
    }
    // The background picture: a missing path shows the read default.
    w.close();
    w.store("chkBackPicture", "1");
    w.app->settings().DeleteSetting("Controls", "BackPicture");
    w.startProgram();
    EXPECT_EQ(w.main("lblBackPicture").text(), "1");
    w.restartWith({{"chkBackPicture", "0"}, {"BackPicture", "C:\\sky.jpg"}});
    EXPECT_EQ(w.main("lblBackPicture").text(), "None");
}

TEST(ConsoleSettings, AllowedListIsRewrittenWholeAndPairedByOrder) {
    Console w;
    for (int i = 1; i <= 12; ++i) {
        w.app->allowedNames.push_back("Game " + std::to_string(i));
        w.app->allowedPaths.push_back("C:\\games\\g" + std::to_string(i) + ".exe");
    }
    w.restartWith({});
    ASSERT_EQ(w.app->allowedNames.size(), 12u);
    EXPECT_EQ(w.sim.registry.readString(kListKey, "Name10"), "Game 10");
    EXPECT_EQ(w.app->allowedPaths[11], "C:\\games\\g12.exe");
    // Each rebuild of the lock screen's list gives back the icons of the one before.
    w.sim.pictures.icons.insert("C:\\games\\g1.exe");
    w.app->refreshAllowedLists();
    w.app->refreshAllowedLists();
    EXPECT_EQ(w.sim.pictures.loaded.size(), 1u) << "one icon in use, the earlier one released";
    w.app->allowedNames.clear();
    w.app->allowedPaths.clear();
    w.restartWith({});
    EXPECT_EQ(w.sim.registry.findKey(kListKey), nullptr);
    // Names without their paths cannot be started: they are not loaded as half entries.
    w.close();
    w.sim.registry.writeString(kListKey, "Name1", "Orphan");
    w.startProgram();
    EXPECT_TRUE(w.app->allowedNames.empty() && w.app->allowedPaths.empty());
}

TEST(ConsoleOptions, StartUpBoxSwitchesTheRunValue) {
    Console w;
    ASSERT_EQ(w.main("chkLaunch").value(), 1) << "first-run default";
    w.press("frmMain", "chkLaunch");  // checked: removes a registration that was never made
    EXPECT_EQ(w.sim.registry.findValue(kRunKey, "Hollowmere"), nullptr);
    EXPECT_EQ(w.main("chkLaunch").value(), 0);
    w.press("frmMain", "chkLaunch");
    EXPECT_EQ(w.sim.registry.readString(kRunKey, "Hollowmere"), kExe);
    w.press("frmMain", "chkLaunch", 2);  // right button: the box stays, the registration switches
    EXPECT_EQ(w.main("chkLaunch").value(), 1);
    EXPECT_EQ(w.sim.registry.findValue(kRunKey, "Hollowmere"), nullptr);
}

TEST(ConsoleOptions, BackgroundPictureBoxAndEditFollowTheDialog) {
    Console w;
    auto picture = [&] {
        return std::to_string(w.main("chkBackPicture").value()) + " " + w.main("lblBackPicture").text();
    };
    w.console().show();
    w.sim.pictures.pictures.insert("C:\\pics\\sky.jpg");
    w.sim.dialogs.files.push_back({false, "C:\\pics\\sky.jpg"});
    w.press("frmMain", "chkBackPicture");
    EXPECT_EQ(w.sim.dialogs.fileFilters.back(), "Pictures |*.jpg;*.bmp;*.gif");
    EXPECT_EQ(picture(), "1 C:\\pics\\sky.jpg");
    // The lock screen shows the chosen picture, and neither traps the console nor starts a plan.
    EXPECT_EQ(w.look(), "frmMain frmBig tray state 5 Mode 5");
    EXPECT_NE(w.app->frmBig().picture(), 0u);
    EXPECT_FALSE(w.app->frmBig().timer1.enabled());
    EXPECT_EQ(w.sim.windowLock.locked, 0u);
    EXPECT_TRUE(w.sim.keyboard.hooks.empty());
    EXPECT_TRUE(w.sim.windowLock.usable(w.console().nativeHandle()));
    w.click("frmBig", "Label1");
    EXPECT_EQ(w.look(), "frmMain tray state 5 Mode 5") << "no password asked";
    w.press("frmMain", "chkBackPicture");  // checked: no dialog, the click clears it
    EXPECT_EQ(picture(), "0 C:\\pics\\sky.jpg");
    w.sim.dialogs.files.push_back({false, "C:\\pics\\notes.txt"});  // not a picture
    w.click("frmMain", "Command7");
    EXPECT_EQ(picture(), "0 C:\\pics\\sky.jpg");
    w.sim.dialogs.files.push_back({false, "C:\\pics\\sky.jpg"});
    w.click("frmMain", "Command7");
    EXPECT_EQ(picture(), "1 C:\\pics\\sky.jpg");
    w.click("frmMain", "Command7");  // cancelled
    EXPECT_EQ(picture(), "0 None");
}

TEST(ConsoleCommands, ChangePasswordMinimizeAndHelp) {
    Console w;
    w.console().show();
    for (int i = 0; i < 2; ++i) {  // the dialog opens empty every time
        w.click("frmMain", "Command6");
        EXPECT_TRUE(w.shown("frmPassword"));
        EXPECT_EQ(w.ctl("frmPassword", "txtPass1").text() + w.ctl("frmPassword", "txtPass2").text(), "");
        w.type("frmPassword", "txtPass1", "new" + std::to_string(i));
        if (i == 0) w.click("frmPassword", "cmdClose");
    }
    w.type("frmPassword", "txtPass2", "new1");
    w.click("frmPassword", "Command1");
    EXPECT_EQ(w.app->currentPassword, "new1") << "in effect at once";
    EXPECT_EQ(w.storedAll({"Password", "Mode"}), encodePassword("new1") + " 5");
    EXPECT_FALSE(w.ended());

    w.pick("cmbGameTime", "5");
    w.click("frmMain", "Command4");  // Minimize: hidden, not saved
    EXPECT_EQ(w.look(), "tray state 5 Mode 5");
    EXPECT_EQ(w.stored("GameTime"), "90");
    w.click("frmMain", "Command8");
    ASSERT_EQ(w.sim.dialogs.helps.size(), 1u);
    EXPECT_EQ(w.sim.dialogs.helps[0].file, "C:\\Program Files\\Quorvane\\Quorvane.hlp");
    EXPECT_EQ(w.sim.dialogs.helps[0].command, 3u);
    EXPECT_EQ(w.sim.dialogs.helps[0].data, 1u);
}

}  // namespace qv::test
