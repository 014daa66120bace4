// The console: its layout, pickers, mode selection, settings round trips and option handlers.
#include <gtest/gtest.h>

#include <set>

#include "lock/frm_big.h"
#include "world.h"

namespace qv::test {

namespace {
// A program that has been through its first run and was started again.
struct Console : World {
    Console(const DateTime& t = DateTime{2026, 12, 6, 18, 0, 0}) : World(t) {
        completeFirstRun();
        click("frmMain", "Command2");
        startProgram();
    }
    void close() { click("frmMain", "Command2"); }
};
const char* const kAllLists[] = {"cmbGameTime",   "cmbBreakTime",  "cmbStartTimeH", "cmbStartTimeM",
                                 "cmbStartDateM", "cmbStartDateD", "cmbTotalTime",  "cmbStartH",
                                 "cmbStartM",     "cmbBedH",       "cmbBedM"};
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
        if (ui::Control* in = c->container()) {
            EXPECT_LE(r.left + r.width, in->rect().width) << c->name();
            EXPECT_LE(r.top + r.height, in->rect().height) << c->name();
        } else if (c->name() != "lblPassword") {
            EXPECT_LE(r.left + r.width, f.rect().width) << c->name();
            EXPECT_LE(r.top + r.height, f.rect().height) << c->name();
        }
    }
    EXPECT_EQ(tabs.size(), 33u);
    EXPECT_GT(f.control("lblPassword").rect().top, f.rect().height)
        << "the stored password is never on screen";
    EXPECT_TRUE(f.control("optEveryday").font().bold);
    EXPECT_TRUE(f.control("Command1").font().bold);
    EXPECT_FALSE(f.control("optOnlyListed").font().bold);
    EXPECT_EQ(f.control("txtMessage").font().face, "Verdana");
}

TEST(ConsolePickers, ListsHoldTheirItemsOnceAfterLoad) {
    Console w;
    FrmMain& f = w.console();
    struct {
        const char* list;
        size_t count;
        const char *first, *last;
    } cases[] = {
        {"cmbGameTime", 24, "0", "400"},  {"cmbBreakTime", 24, "0", "400"}, {"cmbTotalTime", 16, "0", "420"},
        {"cmbStartDateM", 12, "1", "12"}, {"cmbStartTimeH", 24, "1", "24"}, {"cmbStartH", 24, "1", "24"},
        {"cmbBedH", 24, "1", "24"},       {"cmbStartTimeM", 60, "0", "59"}, {"cmbStartM", 60, "0", "59"},
        {"cmbBedM", 60, "0", "59"},       {"cmbStartDateD", 31, "1", "31"},
    };
    for (auto& c : cases) {
        const auto& items = f.control(c.list).items();
        ASSERT_EQ(items.size(), c.count) << c.list;
        EXPECT_EQ(items.front(), c.first) << c.list;
        EXPECT_EQ(items.back(), c.last) << c.list;
    }
}

TEST(ConsolePickers, DayListFollowsTheMonthAndTheYear) {
    struct {
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
        EXPECT_EQ(w.console().control("cmbStartDateD").items().size(), c.days) << c.year << "/" << c.month;
        EXPECT_EQ(w.console().control("cmbStartDateD").text(), "1") << "picking a month starts the day at 1";
    }
    // A stored month that no list offers gives 28 days at load.
    for (const char* month : {"13", "0", "", "x", "-2"}) {
        Console w;
        w.restartWith({{"StartMonth", month}});
        EXPECT_EQ(w.console().control("cmbStartDateD").items().size(), 28u) << month;
    }
}

TEST(ConsolePickers, StoredDayIsShownAtLoadEvenBeyondTheMonth) {
    Console w;
    w.restartWith({{"StartMonth", "2"}, {"StartDay", "31"}, {"StartH", "0"}});
    EXPECT_EQ(w.console().control("cmbStartDateD").text(), "31");
    EXPECT_EQ(w.console().control("cmbStartDateD").items().size(), 28u);
    EXPECT_EQ(w.console().control("cmbStartTimeH").text(), "0") << "a stored hour 0 shows as text";
}

TEST(ModeSelection, EachModeEnablesExactlyItsLists) {
    struct {
        const char* option;
        std::set<std::string> enabled;
    } cases[] = {
        {"optEveryday", {"cmbGameTime", "cmbBreakTime"}},
        {"optOneTime", {"cmbStartTimeH", "cmbStartTimeM", "cmbStartDateM", "cmbStartDateD", "cmbTotalTime"}},
        {"optBedTime", {"cmbStartH", "cmbStartM", "cmbBedH", "cmbBedM"}},
    };
    Console w;
    w.pick("cmbGameTime", "60");
    for (auto& c : cases) {
        w.click("frmMain", c.option);
        for (const char* list : kAllLists)
            EXPECT_EQ(w.console().control(list).enabled(), c.enabled.count(list) == 1)
                << c.option << " " << list;
        EXPECT_TRUE(w.console().control("chkShutDown").enabled());
    }
    EXPECT_EQ(w.console().control("cmbGameTime").text(), "60") << "values in disabled lists are kept";
}

TEST(ModeSelection, StoredModeNumberChoosesTheOption) {
    struct {
        const char* made;
        const char* option;
    } cases[] = {{"1", "optEveryday"}, {"2", "optOneTime"},   {"3", "optBedTime"},
                 {"0", "optBedTime"},  {"abc", "optBedTime"}, {"2.4", "optOneTime"}};
    for (auto& c : cases) {
        Console w;
        w.restartWith({{"Made", c.made}});
        EXPECT_EQ(w.console().control(c.option).value(), 1) << c.made;
    }
}

TEST(ConsoleSettings, EveryControlSurvivesSaveAndReload) {
    Console w;
    w.click("frmMain", "optOneTime");
    w.pick("cmbGameTime", "120");
    w.pick("cmbBreakTime", "15");
    w.pick("cmbStartTimeH", "17");
    w.pick("cmbStartTimeM", "45");
    w.pick("cmbStartDateM", "4");
    w.pick("cmbStartDateD", "30");
    w.pick("cmbTotalTime", "45");
    w.pick("cmbStartH", "8");
    w.pick("cmbStartM", "15");
    w.pick("cmbBedH", "21");
    w.pick("cmbBedM", "5");
    w.press("frmMain", "chkShutDown");
    w.click("frmMain", "optOnlyListed");
    w.press("frmMain", "chkRingStart");
    w.press("frmMain", "chkRingEnd");
    w.press("frmMain", "chkShowTime");
    w.press("frmMain", "chkLaunch");
    w.type("frmMain", "txtMessage", "Dinner at seven\r\nthen bed");
    w.app->allowedNames = {"Chess", "Paint", "Chess"};
    w.app->allowedPaths = {"C:\\g\\chess.exe", "C:\\Windows\\mspaint.exe", "C:\\other\\chess.exe"};
    FrmMain& before = w.console();
    std::vector<std::pair<std::string, std::string>> expected;
    for (auto& c : before.controls())
        expected.emplace_back(c->name(), c->text() + "|" + std::to_string(c->value()));
    w.restartWith({});
    for (auto& [name, value] : expected) {
        ui::Control& c = w.console().control(name);
        EXPECT_EQ(c.text() + "|" + std::to_string(c.value()), value) << name;
    }
    EXPECT_EQ(w.app->allowedNames, (std::vector<std::string>{"Chess", "Paint", "Chess"}));
    EXPECT_EQ(w.app->allowedPaths[2], "C:\\other\\chess.exe");
    EXPECT_EQ(w.console().control("lstAllowed").items().size(), 3u);
    EXPECT_EQ(w.stored("ShutDown"), "1");
}

TEST(ConsoleSettings, StoredTextsConvertAsTheConsoleReadsThem) {
    struct {
        const char* name;
        const char* stored;
        const char* control;
        std::string text;
        int value;
    } cases[] = {
        {"Allowance", "02", "optOnlyListed", "Allow only listed games and programs", 1},
        {"Allowance", "2 ", "optOnlyListed", "Allow only listed games and programs", 1},
        {"Allowance", "2", "optEverything", "Allow everthing", 1},
        {"SoundBegin", "1abc", "chkRingStart", "Signal when game time begins", 1},
        {"SoundEnd", "abc", "chkRingEnd", "Signal when game time is about to end", 0},
        {"ShowTime", "7", "chkShowTime", "Show time left on the locked screen", 1},  // no such state: kept
        {"StartUp", "-3", "chkLaunch", "Launch on Windows Startup", 0},  // no such state: as created
        {"GameTime", "45 minutes", "cmbGameTime", "45 minutes", 0},
        {"Message", "", "txtMessage", "", 0},
    };
    for (auto& c : cases) {
        Console w;
        w.restartWith({{c.name, c.stored}});
        EXPECT_EQ(w.console().control(c.control).text(), c.text) << c.name << "=" << c.stored;
        EXPECT_EQ(w.console().control(c.control).value(), c.value) << c.name << "=" << c.stored;
    }
}

TEST(ConsoleSettings, BackgroundPictureAndMissingValues) {
    Console w;
    w.close();
    w.store("chkBackPicture", "1");
    w.app->settings().DeleteSetting("Controls", "BackPicture");
    w.startProgram();
    EXPECT_EQ(w.console().control("lblBackPicture").text(), "1") << "the read default shows";
    w.restartWith({{"chkBackPicture", "0"}, {"BackPicture", "C:\\sky.jpg"}});
    EXPECT_EQ(w.console().control("lblBackPicture").text(), "None");
}

TEST(ConsoleSettings, AllowedListIsRewrittenWholeAndPairedByOrder) {
    Console w;
    for (int i = 1; i <= 12; ++i) {
        w.app->allowedNames.push_back("Game " + std::to_string(i));
        w.app->allowedPaths.push_back("C:\\games\\g" + std::to_string(i) + ".exe");
    }
    w.restartWith({});
    ASSERT_EQ(w.app->allowedNames.size(), 12u);
    EXPECT_EQ(w.sim.registry.readString("HKCU\\Software\\Hollowmere\\Tarnwell\\ListOfGames", "Name10"),
              "Game 10");
    EXPECT_EQ(w.app->allowedPaths[11], "C:\\games\\g12.exe");
    // Each rebuild of the lock screen's list gives back the icons of the one before.
    w.sim.pictures.icons.insert("C:\\games\\g1.exe");
    w.app->refreshAllowedLists();
    w.app->refreshAllowedLists();
    EXPECT_EQ(w.sim.pictures.loaded.size(), 1u) << "one icon in use, the earlier one released";
    w.app->allowedNames.clear();
    w.app->allowedPaths.clear();
    w.restartWith({});
    EXPECT_EQ(w.sim.registry.findKey("HKCU\\Software\\Hollowmere\\Tarnwell\\ListOfGames"), nullptr);
    // Names without their paths cannot be started: they are not loaded as half entries.
    w.close();
    w.sim.registry.writeString("HKCU\\Software\\Hollowmere\\Tarnwell\\ListOfGames", "Name1", "Orphan");
    w.startProgram();
    EXPECT_TRUE(w.app->allowedNames.empty());
    EXPECT_EQ(w.app->allowedNames.size(), w.app->allowedPaths.size());
}

TEST(StartUpCheckBox, PressesSwitchTheRunValue) {
    Console w;
    const std::string run = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    ASSERT_EQ(w.console().control("chkLaunch").value(), 1) << "first-run default";
    w.press("frmMain", "chkLaunch");  // checked: removes a registration that was never made
    EXPECT_EQ(w.sim.registry.findValue(run, "Hollowmere"), nullptr);
    EXPECT_EQ(w.console().control("chkLaunch").value(), 0);
    w.press("frmMain", "chkLaunch");
    EXPECT_EQ(w.sim.registry.readString(run, "Hollowmere"), "C:\\Program Files\\Quorvane\\Quorvane 1.0.exe");
    w.press("frmMain", "chkLaunch", 2);  // right button: the box stays, the registration switches
    EXPECT_EQ(w.console().control("chkLaunch").value(), 1);
    EXPECT_EQ(w.sim.registry.findValue(run, "Hollowmere"), nullptr);
}

TEST(BackgroundPicture, CheckBoxAndEditFollowTheDialog) {
    Console w;
    w.sim.pictures.pictures.insert("C:\\pics\\sky.jpg");
    w.sim.dialogs.files.push_back({false, "C:\\pics\\sky.jpg"});
    w.press("frmMain", "chkBackPicture");
    EXPECT_EQ(w.sim.dialogs.fileFilters.back(), "Pictures |*.jpg;*.bmp;*.gif");
    EXPECT_EQ(w.console().control("chkBackPicture").value(), 1);
    EXPECT_EQ(w.console().control("lblBackPicture").text(), "C:\\pics\\sky.jpg");
    EXPECT_TRUE(w.shown("frmBig")) << "the lock screen shows the chosen picture";
    EXPECT_NE(w.app->frmBig().picture(), 0u);
    EXPECT_FALSE(w.app->frmBig().timer1.enabled());

    w.press("frmMain", "chkBackPicture");  // checked: no dialog, the click clears it
    EXPECT_EQ(w.console().control("chkBackPicture").value(), 0);
    EXPECT_EQ(w.console().control("lblBackPicture").text(), "C:\\pics\\sky.jpg");

    w.sim.dialogs.files.push_back({false, "C:\\pics\\notes.txt"});  // not a picture
    w.click("frmMain", "Command7");
    EXPECT_EQ(w.console().control("chkBackPicture").value(), 0);
    EXPECT_EQ(w.console().control("lblBackPicture").text(), "C:\\pics\\sky.jpg");

    w.sim.dialogs.files.push_back({false, "C:\\pics\\sky.jpg"});
    w.click("frmMain", "Command7");
    EXPECT_EQ(w.console().control("chkBackPicture").value(), 1);

    w.click("frmMain", "Command7");  // cancelled
    EXPECT_EQ(w.console().control("chkBackPicture").value(), 0);
    EXPECT_EQ(w.console().control("lblBackPicture").text(), "None");
}

TEST(ChangePassword, OpensEmptyEveryTimeAndTakesEffectAtOnce) {
    Console w;
    w.console().show();
    for (int i = 0; i < 2; ++i) {
        w.click("frmMain", "Command6");
        EXPECT_TRUE(w.shown("frmPassword"));
        EXPECT_EQ(w.form("frmPassword")->control("txtPass1").text(), "");
        EXPECT_EQ(w.form("frmPassword")->control("txtPass2").text(), "");
        w.type("frmPassword", "txtPass1", "new" + std::to_string(i));
        if (i == 0) w.click("frmPassword", "cmdClose");
    }
    w.type("frmPassword", "txtPass2", "new1");
    w.click("frmPassword", "Command1");
    EXPECT_EQ(w.app->currentPassword, "new1");
    EXPECT_EQ(w.stored("Password"), encodePassword("new1"));
    EXPECT_EQ(w.stored("Mode"), "5");
    EXPECT_FALSE(w.ended());
}

TEST(ConsoleCommands, MinimizeHidesWithoutSavingAndHelpOpensTheHelpFile) {
    Console w;
    w.console().show();
    w.pick("cmbGameTime", "5");
    w.click("frmMain", "Command4");
    EXPECT_FALSE(w.shown("frmMain"));
    EXPECT_EQ(w.app->consoleState, state::kIdle);
    EXPECT_EQ(w.stored("GameTime"), "90");
    EXPECT_TRUE(w.sim.tray.hasIcon(999));
    w.click("frmMain", "Command8");
    ASSERT_EQ(w.sim.dialogs.helps.size(), 1u);
    EXPECT_EQ(w.sim.dialogs.helps[0].file, "C:\\Program Files\\Quorvane\\Quorvane.hlp");
    EXPECT_EQ(w.sim.dialogs.helps[0].command, 3u);
    EXPECT_EQ(w.sim.dialogs.helps[0].data, 1u);
}

}  // namespace qv::test
