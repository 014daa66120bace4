// Guarding a plan: the password request and its final states, the tray menu, the keyboard and
// window lock on the simulated desktop, and the clock-change guard.
#include <gtest/gtest.h>

#include <set>

#include "console/frm_about.h"
#include "engine/pass_enter.h"
#include "plan.h"

namespace qv::test {

namespace {

constexpr const char* kMaster = "tarpikwell5";

struct Guarded : Plan {
    explicit Guarded(const DateTime& now = DateTime{2026, 12, 6, 18, 0, 0}) : Plan(now) {}
    FrmMenuSystray& menu() { return app->frmMenuSystray(); }
    void tray(const char* item) {
        event([&] { menu().menu().find(item)->userClick(); });
    }
    // The visible items, in order, as the menu shows them.
    std::string items() {
        std::string s;
        for (auto& m : menu().menu().find("mnuMenuMain")->children())
            if (m->visible()) s += (s.empty() ? "" : " ") + m->caption();
        return s;
    }
    bool requestShown() { return shown("frmPassEnter"); }
    void answer(const std::string& password) {
        type("frmPassEnter", "txtPass1", password);
        click("frmPassEnter", "Command1");
    }
    // A plan the tray can reach: game time with everything allowed hides the lock screen.
    void everythingAllowed() {
        changing("60", "15");
        click("frmMain", "optEverything");
        start();
    }
    uintptr_t handle(const char* form) { return app->session().findByName(form)->nativeHandle(); }
};

}  // namespace

TEST(PasswordRequest, TrayStartOpensTheConsoleOnlyWithTheRightPassword) {
    Guarded g;
    g.click("frmMain", "Command4");  // Minimize: idle in the tray
    g.tray("mnuStart");
    ASSERT_TRUE(g.requestShown());
    EXPECT_EQ(g.stored("Mode"), "1");
    EXPECT_EQ(g.items(), "Help - About Quorvane") << "nothing but help while the password is pending";
    const std::string wrongs[] = {"Secret", "secret ", "", kMaster + std::string("x")};
    for (const std::string& wrong : wrongs) {
        g.answer(wrong);
        EXPECT_TRUE(g.requestShown()) << wrong;
        EXPECT_EQ(g.app->frmPassEnter().txtPass1.text(), wrong) << "the text stays";
        EXPECT_FALSE(g.shown("frmMain"));
    }
    g.click("frmPassEnter", "cmdClose");
    EXPECT_EQ(g.form("frmPassEnter"), nullptr);
    EXPECT_EQ(g.stored("Mode"), "5");
    EXPECT_FALSE(g.shown("frmMain"));

    g.tray("mnuStart");
    EXPECT_EQ(g.app->frmPassEnter().txtPass1.text(), "") << "a new request starts empty";
    g.answer("secret");
    EXPECT_TRUE(g.shown("frmMain"));
    EXPECT_EQ(g.form("frmPassEnter"), nullptr);
    EXPECT_EQ(g.app->consoleState, state::kConsoleOpen);
    EXPECT_EQ(g.stored("Mode"), "1");
}

TEST(PasswordRequest, TrayStopAndExitWhileAPlanRuns) {
    Guarded g;
    g.everythingAllowed();
    ASSERT_EQ(g.stored("Mode"), "2");
    EXPECT_EQ(g.items(), "Stop Help - About Quorvane - Exit");
    g.tray("mnuExit");
    g.closeBox("frmPassEnter");  // the close box is Cancel
    EXPECT_EQ(g.stored("Mode"), "2");
    g.tray("mnuStop");
    g.tray("mnuExit");  // a second command while one is pending
    g.click("frmPassEnter", "cmdClose");
    EXPECT_EQ(g.app->consoleState, state::kPlanRunning) << "Cancel goes back to before the first";
    EXPECT_TRUE(g.big().timer1.enabled());

    g.tray("mnuStop");
    g.answer("secret");
    EXPECT_EQ(g.stored("Mode"), "5");
    EXPECT_FALSE(g.big().timer1.enabled() || g.big().timer2.enabled());
    EXPECT_TRUE(g.sim.keyboard.hooks.empty());
    const int32_t left = g.app->secondsLeft;
    g.advance(120'000);
    EXPECT_EQ(g.app->secondsLeft, left) << "stopped where it stood";

    g.tray("mnuStart");
    g.answer("secret");
    g.everythingAllowed();
    g.advance(5000);
    g.tray("mnuExit");
    g.answer("secret");
    EXPECT_TRUE(g.ended());
    EXPECT_EQ(g.stored("Mode"), "2") << "the plan resumes at the next start";
    EXPECT_EQ(g.stored("FinalTime"), "3595");
    g.startProgram();
    EXPECT_EQ(g.app->consoleState, state::kPlanRunning);
    EXPECT_TRUE(g.console().timer2.enabled());
    EXPECT_EQ(g.items(), "Start Stop Help - About Quorvane - Exit") << "as created until the state changes";

    // Stopped during the minute before the resume: it does not start again.
    g.tray("mnuStop");
    g.answer("secret");
    g.advance(70'000);
    EXPECT_FALSE(g.big().timer1.enabled());
    EXPECT_EQ(g.stored("Mode"), "5");
}

TEST(PasswordRequest, LockScreenExitAsksAgainOrStopsThePlan) {
    Guarded g(DateTime{2026, 12, 6, 6, 0, 0});
    g.bedTime("7", "0", "21", "0");  // a break until 7:00
    g.start();
    ASSERT_TRUE(g.locked());
    g.click("frmBig", "Label1");
    ASSERT_TRUE(g.requestShown());
    EXPECT_EQ(g.sim.windowLock.locked, g.handle("frmPassEnter")) << "the request is the only usable window";
    EXPECT_FALSE(g.sim.keyboard.hooks.empty());
    EXPECT_TRUE(g.shown("frmBig"));
    EXPECT_FALSE(g.big().enabled());
    EXPECT_EQ(g.stored("Mode"), "2");
    g.answer("Secret");
    const int32_t before = g.app->secondsLeft;
    g.advance(5000);
    g.click("frmPassEnter", "cmdClose");
    EXPECT_TRUE(g.locked());
    EXPECT_TRUE(g.big().enabled());
    EXPECT_EQ(g.app->secondsLeft, before - 5) << "the count-down went on";

    g.click("frmBig", "Label1");
    g.answer(kMaster);
    EXPECT_FALSE(g.shown("frmBig"));
    EXPECT_TRUE(g.big().enabled());
    EXPECT_TRUE(g.shown("frmMain"));
    EXPECT_EQ(g.sim.windowLock.locked, 0u);
    EXPECT_TRUE(g.sim.keyboard.hooks.empty());
    EXPECT_FALSE(g.big().timer1.enabled() || g.big().timer2.enabled());
    EXPECT_EQ(g.stored("Mode"), "5");
    EXPECT_EQ(g.app->secondsLeft, before - 5) << "the run state keeps its values";
    g.advance(10'000);
    g.start();
    EXPECT_EQ(g.app->secondsLeft, 3585) << "Start computes a new plan from the clock";
}

TEST(PasswordRequest, APeriodEndingWhileTheParentTypesKeepsTheRequest) {
    Guarded g;
    g.changing("1", "1");
    g.click("frmMain", "optOnlyListed");
    g.start();  // game time, only listed games: the lock screen shows the list
    g.click("frmBig", "Label1");
    g.type("frmPassEnter", "txtPass1", "sec");
    g.advance(61'000);  // the game ends: a break
    ASSERT_EQ(g.period(), "break");
    EXPECT_TRUE(g.requestShown());
    EXPECT_EQ(g.sim.windowLock.locked, g.handle("frmPassEnter"));
    EXPECT_FALSE(g.big().enabled());
    g.advance(61'000);  // and game time again
    EXPECT_EQ(g.sim.windowLock.locked, g.handle("frmPassEnter"));
    g.answer("secret");
    EXPECT_TRUE(g.shown("frmMain"));
    EXPECT_EQ(g.sim.windowLock.locked, 0u);

    // With everything allowed the lock screen goes away at game time: Cancel then locks nothing.
    Guarded e;
    e.changing("0", "1");
    e.click("frmMain", "optEverything");
    e.start();
    e.advance(1000);  // the game of 0 minutes ends: a break under the lock screen
    e.click("frmBig", "Label1");
    e.advance(61'000);
    ASSERT_EQ(e.period(), "game");
    e.click("frmPassEnter", "cmdClose");
    EXPECT_FALSE(e.shown("frmBig"));
    EXPECT_EQ(e.sim.windowLock.locked, 0u);
    EXPECT_TRUE(e.big().enabled());
}

TEST(TrayMenu, ItemsFollowTheStateCodeAndEveryChangeIsStored) {
    Guarded g;
    const std::pair<int16_t, const char*> rows[] = {
        {1, "Help - About Quorvane"},
        {2, "Stop Help - About Quorvane - Exit"},
        {3, "Stop Help - About Quorvane - Exit"},
        {4, "Stop Help - About Quorvane - Exit"},
        {5, "Start Help - About Quorvane - Exit"},
        {6, "Start Help - About Quorvane - Exit"},  // unchanged
        {1, "Help - About Quorvane"},
        {7, "Help - About Quorvane"},  // unchanged
    };
    for (auto [code, items] : rows) {
        g.app->setConsoleState(code);
        EXPECT_EQ(g.items(), items) << code;
        EXPECT_EQ(g.stored("Mode"), std::to_string(code));
    }
}

TEST(TrayMenu, IconClicksHelpAndAbout) {
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

    g.tray("mnuHelp");
    ASSERT_EQ(g.sim.dialogs.helps.size(), 1u);
    EXPECT_EQ(g.sim.dialogs.helps[0].file, "C:\\Program Files\\Quorvane\\Quorvane.hlp");
    EXPECT_EQ(g.sim.dialogs.helps[0].data, 0u);
    EXPECT_EQ(g.sim.dialogs.documents, std::vector<std::string>{"C:\\Program Files\\Quorvane\\Quorvane.html"})
        << "no Windows Help on current systems: the page beside the program";

    g.tray("mnuAbout");
    ASSERT_TRUE(g.shown("frmAbout"));
    EXPECT_EQ(g.app->frmAbout().lblVersion.text(), "Version 1.0");
    EXPECT_FALSE(g.requestShown()) << "no password for the About box";
    const size_t gone = g.sim.windowing.destroyedOrder().size();
    g.click("frmMain", "Command2");  // Close
    ASSERT_GT(g.sim.windowing.destroyedOrder().size(), gone);
    EXPECT_EQ(g.sim.windowing.destroyedOrder()[gone], "frmAbout") << "unloaded first";
}

TEST(TrayMenu, IconRefreshLoadsTheRequestHiddenAndCloseStillStoresIdle) {
    Guarded g;
    g.advance(3200);
    ASSERT_NE(g.form("frmPassEnter"), nullptr);
    EXPECT_FALSE(g.requestShown());
    EXPECT_FALSE(g.console().timer1.enabled());
    g.click("frmMain", "Command2");
    EXPECT_TRUE(g.ended());
    EXPECT_EQ(g.stored("Mode"), "5");
}

TEST(KeyboardHook, SwallowsOnlyTheTaskSwitchKeys) {
    Guarded g(DateTime{2026, 12, 6, 6, 0, 0});
    g.bedTime("7", "0", "21", "0");
    g.start();
    sim::SimKeyboard& kb = g.sim.keyboard;
    constexpr uint32_t kDown = 0x100, kUp = 0x101, kSysDown = 0x104, kSysUp = 0x105;
    struct Row {
        uint32_t vk, flags, message;
        std::set<int> held;  // keys down as the key state reports them
        bool passes;
    };
    const Row rows[] = {
        {0x09, 0x20, kSysDown, {}, false},           // Alt+Tab
        {0x09, 0xA0, kSysUp, {}, false},             // its release
        {0x1B, 0x20, kSysDown, {}, false},           // Alt+Esc
        {0x1B, 0x00, kDown, {0x11}, false},          // Ctrl+Esc, by the key state
        {0x1B, 0x80, kUp, {0x11}, false},            // its release
        {0x09, 0x00, kSysDown, {0x12}, false},       // Alt+Tab without the flag (as Wine reports it)
        {0x09, 0x00, kDown, {}, true},               // Tab
        {0x1B, 0x00, kDown, {}, true},               // Esc
        {0x09, 0x00, kDown, {0x11}, true},           // Ctrl+Tab
        {0x5B, 0x00, kDown, {}, true},               // the Windows key
        {0x73, 0x20, kSysDown, {}, true},            // Alt+F4 (the lock screen has no close box)
        {0x2E, 0x20, kSysDown, {0x11, 0x12}, true},  // Ctrl+Alt+Del
    };
    for (const Row& r : rows) {
        kb.held = r.held;
        EXPECT_EQ(kb.press({r.vk, r.flags, r.message}), r.passes) << std::hex << r.vk << " " << r.flags;
    }
    EXPECT_EQ(kb.hooks.size(), 1u) << "a lock never leaves a second hook behind";
    g.app->lockToWindow(0, 0);
    kb.held.clear();
    EXPECT_TRUE(kb.press({0x09, 0x20, kSysDown}));
}

TEST(WindowLock, OtherWindowsAreDisabledWhileLockedAndGivenBackExactly) {
    Guarded g(DateTime{2026, 12, 6, 6, 0, 0});
    sim::SimWindowLock& lock = g.sim.windowLock;
    const uintptr_t editor = lock.openWindow();
    const uintptr_t busy = lock.openWindow(false);  // disabled by its own program
    g.click("frmMain", "Command6");                 // "Change password" left open
    g.bedTime("7", "0", "21", "0");
    g.start();
    ASSERT_TRUE(g.locked());
    EXPECT_TRUE(lock.usable(g.handle("frmBig")));
    EXPECT_FALSE(lock.usable(editor));
    EXPECT_FALSE(lock.usable(g.handle("frmPassword"))) << "the program's own windows too";
    const uintptr_t late = lock.openWindow();  // started from the Start menu meanwhile
    EXPECT_FALSE(lock.usable(late));

    g.click("frmBig", "Label1");  // the lock moves to the request
    EXPECT_TRUE(lock.usable(g.handle("frmPassEnter")));
    EXPECT_FALSE(lock.usable(g.handle("frmBig")));
    EXPECT_FALSE(lock.usable(editor));
    g.answer("secret");
    EXPECT_TRUE(lock.usable(editor));
    EXPECT_TRUE(lock.usable(late));
    EXPECT_FALSE(lock.usable(busy)) << "never enabled: it was disabled before the lock";
    EXPECT_TRUE(lock.usable(g.handle("frmPassword")));
}

TEST(WindowLock, WindowsLeftDisabledByAKilledProgramComeBackAtTheNextStart) {
    Guarded g(DateTime{2026, 12, 6, 6, 0, 0});
    sim::SimWindowLock& lock = g.sim.windowLock;
    const uintptr_t editor = lock.openWindow();
    g.bedTime("7", "0", "21", "0");
    g.start();
    g.app.reset();  // killed: no release
    EXPECT_FALSE(lock.usable(editor));
    g.startProgram();
    EXPECT_TRUE(lock.usable(editor));
}

TEST(ClockGuard, SetsTheTimeOfDayBackOnlyWhileAPlanRuns) {
    Guarded g;
    const char* kRefused = "You are not allowed to set up time in this mode";
    g.sim.changeTime(DateTime{2026, 12, 6, 20, 0, 0});  // idle: allowed
    EXPECT_TRUE(g.sim.dialogs.shown.empty());
    EXPECT_TRUE(g.sim.timeOfDay.sets.empty());

    g.changing("90", "15");
    g.start();
    g.advance(75'000);  // the clock saw 20:01:00
    g.sim.changeTime(DateTime{2026, 12, 6, 21, 30, 10});
    ASSERT_EQ(g.sim.dialogs.shown.size(), 1u) << "our own change back is not refused again";
    EXPECT_EQ(g.sim.dialogs.shown[0].text, kRefused);
    EXPECT_EQ(g.sim.clock.now(), (DateTime{2026, 12, 6, 20, 1, 0}));
    EXPECT_EQ(g.app->consoleState, state::kPlanRunning);

    g.sim.changeTime(DateTime{2026, 12, 9, 20, 1, 30});  // only the date: it stays changed
    EXPECT_EQ(g.sim.dialogs.shown.size(), 2u);
    EXPECT_EQ(g.sim.clock.now(), (DateTime{2026, 12, 9, 20, 1, 0}));

    // A burst of changes while the message is up: one message, one restore.
    int burst = 0;
    g.sim.dialogs.whileShown = [&](const sim::SimDialogs::Shown&) {
        if (burst++ == 0)
            for (int i = 0; i < 100; ++i) g.sim.changeTime(DateTime{2026, 12, 9, 23, i % 60, 0});
    };
    g.sim.timeOfDay.sets.clear();
    g.sim.changeTime(DateTime{2026, 12, 9, 22, 0, 0});
    EXPECT_EQ(burst, 1);
    EXPECT_EQ(g.sim.timeOfDay.sets, std::vector<std::string>{"20:01:00"});

    // Without the right to set the clock nothing is reported and the plan goes on.
    g.sim.dialogs.whileShown = nullptr;
    g.sim.timeOfDay.privilege = false;
    g.sim.changeTime(DateTime{2026, 12, 9, 23, 0, 0});
    EXPECT_EQ(g.sim.dialogs.shown.size(), 4u);
    EXPECT_EQ(g.app->consoleState, state::kPlanRunning);
    EXPECT_TRUE(g.big().timer1.enabled());
}

TEST(BackgroundPreview, NeitherTrapsTheConsoleNorLeavesAPlanBehind) {
    Guarded g;
    g.sim.pictures.pictures.insert("C:\\pics\\sea.jpg");
    g.sim.dialogs.files.push_back({false, "C:\\pics\\sea.jpg"});
    g.press("frmMain", "chkBackPicture");
    ASSERT_TRUE(g.shown("frmBig"));
    EXPECT_EQ(g.sim.windowLock.locked, 0u);
    EXPECT_TRUE(g.sim.keyboard.hooks.empty());
    EXPECT_TRUE(g.sim.windowLock.usable(g.handle("frmMain")));
    g.click("frmBig", "Label1");
    EXPECT_FALSE(g.shown("frmBig"));
    EXPECT_TRUE(g.shown("frmMain"));
    EXPECT_FALSE(g.requestShown());
    EXPECT_EQ(g.stored("Mode"), "5");
}

TEST(BadInput, PasswordsAndStoredStatesOutsideTheUsual) {
    Guarded g;
    g.click("frmMain", "Command4");
    g.tray("mnuStart");
    g.answer(std::string(100'000, 'x'));
    EXPECT_TRUE(g.requestShown());
    g.click("frmPassEnter", "cmdClose");

    for (const std::string pw : {"\xE9t\xE9", ""}) {  // "été" in the Western code page; empty
        g.restartWith({{"Password", encodePassword(pw)}});
        g.click("frmMain", "Command4");
        g.tray("mnuStart");
        g.answer(pw);
        EXPECT_TRUE(g.shown("frmMain")) << pw.size();
    }
    for (const char* mode : {"0", "8", "-3", "70000", "2x", "\xFF"}) {
        g.restartWith({{"Mode", mode}});
        EXPECT_FALSE(g.ended()) << mode;
        EXPECT_EQ(g.app->consoleState, mode == std::string("2x") ? state::kPlanRunning : state::kIdle)
            << mode;
    }
}

}  // namespace qv::test
