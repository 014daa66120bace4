// Guarding a plan: the password request and its outcomes, the tray menu, the keyboard and window
// lock on the simulated desktop, and the clock-change guard.
#include <gtest/gtest.h>

#include <set>

#include "plan.h"

namespace qv::test {

namespace {

struct Guarded : Plan {
    using Plan::Plan;
    void tray(const char* item) {
        event([&] { app->frmMenuSystray().menu().find(item)->userClick(); });
    }
    std::string items() {
        std::string s;
        for (auto& m : app->frmMenuSystray().menu().find("mnuMenuMain")->children())
            if (m->visible()) s += (s.empty() ? "" : " ") + m->caption();
        return s;
    }
    void answer(const std::string& password) {
        type("frmPassEnter", "txtPass1", password);
        click("frmPassEnter", "Command1");
    }
    uintptr_t handle(const char* form) { return app->session().findByName(form)->nativeHandle(); }
};

}  // namespace

TEST(PasswordRequest, TrayStartOpensTheConsoleOnlyWithTheRightPassword) {
    Guarded g;
    g.click("frmMain", "Command4");  // Minimize: idle in the tray
    g.tray("mnuStart");
    EXPECT_EQ(g.look(), "frmPassEnter tray state 1 Mode 1");
    for (const std::string wrong : {"Secret", "secret ", "", "tarpikwell5x"}) {
        g.answer(wrong);
        EXPECT_EQ(g.look(), "frmPassEnter tray state 1 Mode 1") << wrong;
        EXPECT_EQ(g.app->frmPassEnter().txtPass1.text(), wrong) << "the text stays";
    }
    g.click("frmPassEnter", "cmdClose");
    EXPECT_EQ(g.look(), "tray state 5 Mode 5");
    g.tray("mnuStart");
    EXPECT_EQ(g.app->frmPassEnter().txtPass1.text(), "") << "a new request starts empty";
    g.answer("secret");
    EXPECT_EQ(g.form("frmPassEnter"), nullptr);
    EXPECT_EQ(g.look(), "frmMain tray state 1 Mode 1");

    // A long password (a paste) is stored whole, in four digits a character, and read back in one
    // pass at the next start: all of it is needed, and it still opens the console.
    const std::string longOne(100'000, 'x');
    g.click("frmMain", "Command6");
    g.type("frmPassword", "txtPass1", longOne);
    g.type("frmPassword", "txtPass2", longOne);
    g.click("frmPassword", "Command1");
    EXPECT_EQ(g.stored("Password").size(), 400'000u);
    g.close();
    g.startProgram();
    g.tray("mnuStart");
    g.answer(longOne.substr(1));
    EXPECT_TRUE(g.shown("frmPassEnter"));
    g.answer(longOne);
    EXPECT_EQ(g.look(), "frmMain tray state 1 Mode 1");
}

// The console's close box is Minimize: the icon stays with the console's window, nothing is saved,
// and the tray's Start opens the console again as it was left.
TEST(PasswordRequest, ConsoleCloseBoxHidesItAndTheTrayOpensItAgain) {
    Guarded g;
    g.pick("cmbGameTime", "10");
    g.event([&] { g.console().userClose(); });
    EXPECT_EQ(g.look(), "tray state 5 Mode 5");
    EXPECT_FALSE(g.ended());
    EXPECT_EQ(g.stored("GameTime"), "90") << "nothing saved";
    g.tray("mnuStart");
    g.answer("secret");
    EXPECT_EQ(g.look(), "frmMain tray state 1 Mode 1");
    EXPECT_EQ(g.main("cmbGameTime").text(), "10");
}

TEST(PasswordRequest, TrayStopAndExitWhileAPlanRuns) {
    Guarded g(kSixPm, "every 60 15 all");  // game time, everything allowed: no lock screen
    g.tray("mnuExit");
    g.event([&] { g.form("frmPassEnter")->userClose(); });  // the close box is Cancel
    g.tray("mnuStop");
    g.tray("mnuExit");  // a second command while one is pending
    g.click("frmPassEnter", "cmdClose");
    EXPECT_EQ(g.look(), "tray state 2 Mode 2") << "Cancel goes back to before the first";
    EXPECT_EQ(g.status(), "game 3600 t1");

    g.advance(5000);
    g.tray("mnuExit");
    g.answer("secret");
    EXPECT_TRUE(g.ended());
    EXPECT_EQ(g.stored("Mode") + " " + g.stored("FinalTime"), "2 3595")
        << "the plan resumes at the next start";
    g.startProgram();
    // Stopped during the minute before the resume: it does not start again.
    g.tray("mnuStop");
    g.answer("secret");
    g.advance(70'000);
    EXPECT_FALSE(g.big().timer1.enabled());
}

TEST(PasswordRequest, APeriodEndingWhileTheParentTypesKeepsTheRequest) {
    Guarded g(kSixPm, "every 1 1 listed");  // game time, only listed games: the lock screen shows the list
    g.click("frmBig", "Label1");
    g.event([&] { g.form("frmPassEnter")->userClose(); });  // its close box
    EXPECT_EQ(g.status(), "game 60 shown locked t1") << "the lock screen takes the lock back";
    g.click("frmBig", "Label1");
    g.type("frmPassEnter", "txtPass1", "sec");
    g.advance(61'000);  // the game ends: a break
    EXPECT_EQ(g.status(), "break 60 shown disabled t1");
    EXPECT_EQ(g.sim.windowLock.locked, g.handle("frmPassEnter"));
    g.advance(61'000);  // and game time again
    EXPECT_EQ(g.sim.windowLock.locked, g.handle("frmPassEnter"));
    g.answer("secret");
    EXPECT_TRUE(g.shown("frmMain") && g.sim.windowLock.locked == 0);

    // With everything allowed the lock screen goes away at game time: Cancel then locks nothing.
    Guarded e(kSixPm, "every 0 1 all");
    e.advance(1000);  // the game of 0 minutes ends: a break under the lock screen
    e.click("frmBig", "Label1");
    e.advance(61'000);
    e.click("frmPassEnter", "cmdClose");
    EXPECT_EQ(e.status(), "game 0 t1");
    EXPECT_EQ(e.sim.windowLock.locked, 0u);
}

TEST(TrayMenu, ItemsFollowTheStateCodeAndEveryChangeIsStored) {
    Guarded g;
    const char *help = "Help - About Quorvane", *stop = "Stop Help - About Quorvane - Exit",
               *start = "Start Help - About Quorvane - Exit";
    const std::pair<int16_t, const char*> rows[] = {{1, help},  {2, stop},  {3, stop}, {4, stop},
                                                    {5, start}, {6, start}, {1, help}, {7, help}};
    for (auto [code, items] : rows) {  // 6 and 7 leave the items unchanged
        g.app->setConsoleState(code);
        EXPECT_EQ(g.items(), items) << code;
        EXPECT_EQ(g.stored("Mode"), std::to_string(code));
    }
}

TEST(TrayMenu, IconClicksAndHelp) {
    Guarded g;
    g.click("frmMain", "Command4");
    FrmMain& console = g.console();
    auto iconMessage = [&](int message) {
        const int before = g.sim.windowing.popups();
        g.event([&] { console.userMouseMove({0, 0, static_cast<float>(message * 15), 0}); });
        return g.sim.windowing.popups() != before;
    };
    EXPECT_TRUE(iconMessage(517)) << "right button up";
    EXPECT_EQ(g.sim.tray.foreground, console.nativeHandle());
    for (int other : {512, 513, 515, 516, 518, 519, 520, 521}) EXPECT_FALSE(iconMessage(other)) << other;
    EXPECT_TRUE(iconMessage(514)) << "the balloon asks for a click: the left button opens it too";
    g.sim.tray.icons.clear();  // the shell restarted
    g.sim.windowing.broadcast(kTaskbarCreated);
    ASSERT_TRUE(g.sim.tray.hasIcon(999)) << "the icon is added again";
    EXPECT_EQ(g.sim.tray.icons[999].tip, "Quorvane 1.0");

    g.tray("mnuHelp");
    EXPECT_EQ(g.sim.dialogs.documents, std::vector<std::string>{"C:\\Program Files\\Quorvane\\Quorvane.html"})
        << "no Windows Help on current systems: the page beside the program";

    Guarded r;  // the icon's refresh loads the request hidden; Close still stores idle
    r.advance(3200);
    ASSERT_NE(r.form("frmPassEnter"), nullptr);
    EXPECT_EQ(r.look(), "frmMain tray state 5 Mode 5");
    EXPECT_FALSE(r.console().timer1.enabled());
    r.close();
    EXPECT_TRUE(r.ended());
    EXPECT_EQ(r.stored("Mode"), "5");
}

TEST(WindowLock, OtherWindowsAreDisabledAndGivenBackExactlyAndTheTaskSwitchKeysSwallowed) {
    Guarded g(kSixAm);
    sim::SimWindowLock& lock = g.sim.windowLock;
    const uintptr_t editor = lock.openWindow(),
                    busy = lock.openWindow(false);  // busy: disabled by its program
    g.click("frmMain", "Command6");                 // "Change password" left open
    g.plan("bed 7 0 21 0");
    g.sim.system.administrator = true;  // told once that elevated windows are out of reach
    g.start();
    ASSERT_TRUE(g.locked());
    ASSERT_EQ(g.sim.dialogs.shown.size(), 1u);
    EXPECT_NE(g.sim.dialogs.shown[0].text.find("administrator"), std::string::npos);
    EXPECT_EQ(g.stored("AdminNoteShown"), "1");
    sim::SimKeyboard& kb = g.sim.keyboard;
    constexpr uint32_t kDown = 0x100, kUp = 0x101, kSysDown = 0x104, kSysUp = 0x105;
    const struct {
        uint32_t vk, flags, message;
        std::set<int> held;  // keys down as the key state reports them
        bool passes;
    } rows[] = {
        {0x09, 0x20, kSysDown, {}, false},           // Alt+Tab
        {0x09, 0xA0, kSysUp, {}, false},             // its release
        {0x1B, 0x20, kSysDown, {}, false},           // Alt+Esc
        {0x1B, 0x00, kDown, {0x11}, false},          // Ctrl+Esc, by the key state
        {0x1B, 0x80, kUp, {0x11}, false},            // its release
        {0x09, 0x00, kSysDown, {0x12}, false},       // Alt+Tab without the flag (as Wine reports it)
        {0x09, 0x00, kDown, {}, true},               // Tab
        {0x1B, 0x00, kDown, {}, true},               // Esc
        {0x09, 0x00, kDown, {0x11}, true},           // Ctrl+Tab
        {0x09, 0x00, kDown, {0x5B}, false},          // Win+Tab (Task View)
        {0x44, 0x00, kDown, {0x5C}, false},          // Win+D, the right Windows key
        {0x4D, 0x00, kDown, {0x5B}, false},          // Win+M
        {0x28, 0x00, kDown, {0x5B}, false},          // Win+Down
        {0x44, 0x00, kDown, {0x5B, 0x11}, false},    // Win+Ctrl+D (a new desktop)
        {0x27, 0x00, kDown, {0x5B, 0x11}, false},    // Win+Ctrl+Right
        {0x25, 0x80, kUp, {0x5C, 0x11}, false},      // Win+Ctrl+Left's release
        {0x5B, 0x00, kDown, {}, true},               // the Windows key
        {0x45, 0x00, kDown, {0x5B}, true},           // Win+E
        {0x27, 0x00, kDown, {0x5B}, true},           // Win+Right (no Ctrl)
        {0x44, 0x00, kDown, {}, true},               // D
        {0x73, 0x20, kSysDown, {}, true},            // Alt+F4 (the lock screen has no close box)
        {0x2E, 0x20, kSysDown, {0x11, 0x12}, true},  // Ctrl+Alt+Del
    };
    for (auto& r : rows) {
        kb.held = r.held;
        EXPECT_EQ(kb.press({r.vk, r.flags, r.message}), r.passes) << std::hex << r.vk << " " << r.flags;
    }
    const uintptr_t late = lock.openWindow();  // started from the Start menu meanwhile
    auto usable = [&](std::vector<uintptr_t> windows) {
        std::string s;
        for (uintptr_t w : windows) s += lock.usable(w) ? "1" : "0";
        return s;
    };
    const uintptr_t big = g.handle("frmBig"), password = g.handle("frmPassword");
    EXPECT_EQ(usable({big, editor, password, late}), "1000") << "the program's own windows too";
    g.click("frmBig", "Label1");  // the lock moves to the request
    EXPECT_EQ(usable({g.handle("frmPassEnter"), big, editor}), "100");
    EXPECT_EQ(kb.hooks.size(), 1u) << "a lock never leaves a second hook behind";
    g.answer("tarpikwell5");  // the master password
    EXPECT_EQ(g.status() + " Mode " + g.stored("Mode"), "break 3600 Mode 5") << "stopped, keeping its values";
    EXPECT_EQ(usable({editor, late, password, busy}), "1110") << "busy was disabled before the lock";
    kb.held.clear();
    EXPECT_TRUE(kb.press({0x09, 0x20, kSysDown})) << "released";

    // Windows left disabled by a killed program come back at the next start.
    g.start();
    EXPECT_EQ(g.sim.dialogs.shown.size(), 1u) << "the note only once";
    ASSERT_FALSE(lock.usable(editor));
    g.app.reset();  // killed: no release
    EXPECT_FALSE(lock.usable(editor));
    g.startProgram();
    EXPECT_TRUE(lock.usable(editor));
}

TEST(ClockGuard, SetsTheTimeOfDayBackOnlyWhileAPlanRuns) {
    Guarded g;
    g.sim.changeTime(DateTime{2026, 12, 6, 20, 0, 0});  // idle: allowed
    EXPECT_TRUE(g.sim.timeOfDay.sets.empty());

    g.plan("every 90 15");
    g.start();
    g.advance(75'000);  // the clock saw 20:01:00
    g.sim.changeTime(DateTime{2026, 12, 6, 21, 30, 10});
    ASSERT_EQ(g.sim.dialogs.shown.size(), 1u) << "not refused when idle, nor our own change back";
    EXPECT_EQ(g.sim.dialogs.shown[0].text, "You are not allowed to set up time in this mode");
    EXPECT_EQ(g.sim.clock.now(), (DateTime{2026, 12, 6, 20, 1, 0}));
    g.sim.changeTime(DateTime{2026, 12, 9, 20, 1, 30});  // only the date: it stays changed
    EXPECT_EQ(g.sim.dialogs.shown.size(), 2u);
    EXPECT_EQ(g.sim.clock.now(), (DateTime{2026, 12, 9, 20, 1, 0}));

    // A changed time zone is set back, the clock left alone, one message for a burst; a setting
    // other than the zone changes nothing.
    int more = 0;
    g.sim.dialogs.whileShown = [&](auto&) {
        for (; more < 100; ++more) g.sim.changeZone(more % 2 ? "Tokyo Standard Time" : "UTC", 3600);
    };
    g.sim.changeZone("Pacific Standard Time", -9 * 3600);
    EXPECT_EQ(g.sim.dialogs.shown.size(), 3u);
    EXPECT_EQ(g.sim.timeOfDay.zone, "W. Europe Standard Time");
    EXPECT_EQ(g.sim.timeOfDay.sets.size(), 2u) << "the clock is not set for a zone";
    g.sim.dialogs.whileShown = nullptr;
    g.sim.windowing.broadcast(0x001A);  // WM_SETTINGCHANGE
    EXPECT_EQ(g.sim.dialogs.shown.size(), 3u);
    g.sim.timeOfDay.zone = "UTC";  // the zone announced as a setting
    g.sim.windowing.broadcast(0x001A);
    EXPECT_EQ(g.sim.dialogs.shown.size(), 4u);
    EXPECT_EQ(g.sim.timeOfDay.zone, "W. Europe Standard Time");

    // Without the right to set the clock the message says so, and the plan goes on.
    g.sim.timeOfDay.privilege = false;
    g.sim.changeTime(DateTime{2026, 12, 9, 23, 0, 0});
    ASSERT_EQ(g.sim.dialogs.shown.size(), 5u);
    EXPECT_NE(g.sim.dialogs.shown[4].text.find("The clock could not be put back"), std::string::npos);
    EXPECT_EQ(g.sim.dialogs.shown[3].text, g.sim.dialogs.shown[0].text);
    EXPECT_TRUE(g.big().timer1.enabled());

    // With the guard service installed, it sets the clock back; its change is no new one.
    g.sim.guard.installed = true;
    g.sim.changeTime(DateTime{2026, 12, 9, 23, 30, 0});
    ASSERT_EQ(g.sim.dialogs.shown.size(), 6u);
    EXPECT_EQ(g.sim.dialogs.shown[5].text, g.sim.dialogs.shown[0].text);
    EXPECT_EQ(g.sim.guard.lines.back(), "settime 20 1 0");
    g.advance(1000);
    g.sim.changeTime(DateTime{2026, 12, 9, 20, 1, 1});  // as the guard sets it
    EXPECT_EQ(g.sim.dialogs.shown.size(), 6u);
}

// The target is the mark that stood when the change was noticed; a restart has none until the
// plan resumes; a plan stopped while the message was open keeps the time and its state.
TEST(ClockGuard, GoesBackOnlyToAMarkTakenBeforeTheChangeAndOnlyWhileThePlanRuns) {
    Guarded g(kSixPm, "every 90 15");
    g.app.reset();  // a restart: the plan resumes a minute after start-up
    g.startProgram();
    for (int i = 0; i < 100; ++i) g.sim.changeTime(DateTime{2026, 12, 6, 18, 5, i % 60});  // a burst
    EXPECT_TRUE(g.sim.dialogs.shown.empty() && g.sim.timeOfDay.sets.empty()) << "no mark yet: midnight";
    g.advance(61'500);
    ASSERT_EQ(g.left(), "game 5400");
    const DateTime resumed = g.sim.clock.now();
    int more = 0;
    g.sim.dialogs.whileShown = [&](auto&) {
        for (; more < 100; ++more) g.sim.changeTime(DateTime{2026, 12, 6, 23, 0, more % 60});
        g.advance(60'000);  // the clock ticks on in the box's loop, past a whole minute
    };
    g.sim.changeTime(DateTime{2026, 12, 6, 21, 30, 10});
    EXPECT_EQ(g.sim.dialogs.shown.size(), 1u);
    EXPECT_EQ(g.sim.timeOfDay.sets, std::vector<std::string>{resumed.toString().substr(11)});
    EXPECT_EQ(g.sim.clock.now(), resumed);

    g.sim.dialogs.whileShown = [&](auto&) {
        g.tray("mnuStop");
        g.answer("secret");
    };
    g.sim.changeTime(DateTime{2026, 12, 6, 21, 30, 10});
    EXPECT_EQ(g.sim.timeOfDay.sets.size(), 1u) << "stopped meanwhile: the time stays";
    EXPECT_EQ(g.look(), "tray state 5 Mode 5");
}

}  // namespace qv::test
