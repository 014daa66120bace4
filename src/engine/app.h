// The running program: its windows, the settings store, the tray icon and the program-wide state
// that the console, the scheduler and the lock screen share. One App exists per process.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "console/frm_list_entry.h"
#include "console/frm_main.h"
#include "console/icon_cache.h"
#include "console/systray.h"
#include "console/tray_status.h"
#include "engine/console_state.h"
#include "engine/extra_time.h"
#include "engine/pass_enter.h"
#include "engine/password.h"
#include "guard/reporter.h"
#include "history/history.h"
#include "lock/form1.h"
#include "lock/frm_big.h"
#include "platform/keyboard.h"
#include "platform/platform.h"
#include "week/frm_week.h"
#include "week/game_day.h"
#include "week/week_plan.h"

namespace qv {

class CRegSettings;
class FrmAbout;
class FrmHistory;

// The windows reach the program through the narrow host interfaces declared beside them.
class App final : public ConsoleHost,
                  public LockScreenHost,
                  public ClockGuardHost,
                  public PasswordHost,
                  public PasswordRequestHost,
                  public TrayMenuHost,
                  public ListEntryHost,
                  public WeekHost {
  public:
    explicit App(Platform& platform);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Loads the console window, whose load handler brings the program up.
    void start();

    Platform& platform() override { return platform_; }
    ui::Session& session() override { return session_; }
    CRegSettings& settings() override { return *settings_; }
    SysTray& sysTray() override { return *sysTray_; }
    History& history() override { return history_; }

    // Windows, created on first reference.
    FrmMain& frmMain() override;
    FrmPassword& frmPassword() override;
    FrmBig& frmBig() override;
    FrmMenuSystray& frmMenuSystray() override;
    FrmPassEnter& frmPassEnter() override;
    FrmAbout& frmAbout();
    FrmAddList& frmAddList();
    FrmEdit& frmEdit();
    FrmWeek& frmWeek();
    Form1& form1();
    FrmMain* frmMainIfLoaded() const override;
    FrmPassword* frmPasswordIfLoaded() const;
    FrmBig* frmBigIfLoaded() const;
    FrmPassEnter* frmPassEnterIfLoaded() const override;

    // The state the windows read and set through their host interfaces.
    const std::string& password() const override { return currentPassword; }
    void setPassword(const std::string& password) override { currentPassword = password; }
    int16_t consoleStateCode() const override { return consoleState; }
    int16_t previousConsoleStateCode() const override { return previousConsoleState; }
    void setPreviousConsoleState(int16_t code) override { previousConsoleState = code; }

    // Program-wide state.
    int16_t consoleState = 0;
    // The code before a tray request. Idle until the first request, so that ending the program
    // with the request window still loaded (the icon refresh loads it) stores the idle code.
    int16_t previousConsoleState = state::kIdle;
    bool firstRun = false;
    bool resumeAtOnce = false;  // started by the guard service: a running plan goes on at once
    int16_t resumeDelay = 0;
    bool resumePlan = false;
    bool gameTimeOn = false;
    bool breakTimeOn = false;
    int32_t secondsLeft = 0;
    DateTime lastMinuteMark;
    bool minuteMarkTaken = false;  // by a whole minute of the clock, a Start or a resume
    std::string currentPassword;
    std::vector<std::string> allowedNames, allowedPaths;
    uintptr_t keyboardHook = 0;
    uintptr_t lockedWindow = 0;
    DateTime oneTimeStartMoment;
    int16_t editIndex = 0;  // 1-based position of the entry in the edit dialog
    struct Launched {
        uint32_t pid;
        uintptr_t process;  // handle, kept until the watcher sees the process end
        uintptr_t window;
    };
    std::vector<Launched> launched;  // programs started from the lock screen, newest last

    // Start-up and run control.
    void consoleLoad() override;    // the console's load handler: the three start-up roads
    void mainFormLoad();            // the normal and resume roads
    void startCommand() override;   // "Start"
    void adminNote();               // once: an administrator's elevated windows are out of reach
    void closeCommand() override;   // "Close"
    void consoleUnload() override;  // the console window is unloading
    void closeProgram() override;   // ends the program in order

    // The allowed list.
    void refreshAllowedLists();
    void storeAllowedList();
    void addNewClick() override;
    void editClick() override;
    void deleteClick() override;
    bool addListEntry(const std::string& name, const std::string& location) override;
    bool changeListEntry(const std::string& name, const std::string& location) override;

    // Programs started from the lock screen.
    std::optional<std::string> pathForName(const std::string& name) const;
    std::optional<std::string> pathForItem(int item, const std::string& name) const;
    uintptr_t findProcessWindow(uint32_t pid);
    uintptr_t newestLaunchedWindow() const;  // the newest program's window, 0 when none shows one
    void launchAllowedProgram() override;
    void watcherTick() override;
    void frontLaunched();
    void showNotice(const std::string& text);  // shown in the message's place for a few seconds
    void endNotice(bool now);                  // a second of it is over, or the whole of it
    int noticeSeconds = 0;
    std::string noticeKeeps;  // the message the notice stands in for
    void terminateLaunched();

    // The week plan: limits on the day's game time (Changing mode) and windows per weekday (Bed
    // time mode). Callers that show what is left today ask `gameDay.leftAt(week, now)`.
    WeekPlan week;
    GameDay gameDay;
    std::vector<std::string> weekNotes;  // the values that fell back when the week was read
    bool dayOver = false;                // locked until midnight: the day's game time is spent
    const WeekPlan& weekPlan() const override { return week; }
    void setWeekPlan(const WeekPlan& plan) override;
    int32_t gameSecondsLeftToday() const override { return gameDay.leftAt(week, platform_.clock.now()); }
    void weekClick() override;
    void dayLimitAtStart(const DateTime& now, bool resumed);
    void countGameTime(const DateTime& now, int32_t seconds);
    bool periodEndKept(const DateTime& now);  // the period's end was no change: it goes on
    void dayLimitAfterSwitch(const DateTime& now);
    void checkWeekWindows(const DateTime& now);
    void showDayMessage();

    void startMode();  // computes and shows the plan
    bool timedPeriodAt(const DateTime& now);
    void computeOneTimeStart();
    void applyLockScreenLook();
    void clockTick() override;  // the lock-screen clock, once a second
    void nextPeriod();
    void lockScreenExitClick() override;

    // More time given on the lock screen, and the plan going on after it.
    void giveMoreTime(int minutes) override;
    void moreTimeEnded();
    void moreTimeGiven(int minutes);
    const ExtraTime& extraTime() const { return extra_; }
    enum class Presentation { Break, GameOnlyListed, GameEverything, Over };
    void present(Presentation p);
    void previewLockScreen() override;  // shows the lock screen from the console, unlocked
    // The lock screen's own lock: on it, or on the password request that its "Exit" opened.
    void lockLockScreen();
    void relockLockScreen() override;  // after that request closed without the password
    FrmPassEnter* exitRequestOpen() const;
    // The icon's tip and balloons follow the plan: after every count, a Start or a resume, and
    // with `began` when a period has just begun.
    void showPlanStatus(bool began);
    void showPlanStatus(bool began, const DateTime& now);  // `now`: the clock's, as the caller read it
    void ringBegin();
    void ringEnd();
    void shutDownComputer();
    void resumeTick() override;  // the console's resume timer
    void setConsoleState(int16_t code) override;
    void showPasswordRequest() override;
    void showAbout() override;
    void showHistory() override;
    void showHelp(uintptr_t owner, uintptr_t data) override;
    void timeChanged() override;    // the system time was changed (the hidden window heard it)
    void sessionEnding() override;  // Windows is ending the session
    void resumeNow() override;      // a plan waiting to resume goes on at the next tick
    void reportRunning();
    void settingsChanged() override;
    void resumedFromSleep() override;

    // Settings of the console, the allowed list and the run state.
    void loadSettings();
    void saveSettings();
    void saveAllSettings();
    void saveRunState();
    void loadRunState();

    // The window lock and the keyboard hook.
    void takeMinuteMark(const DateTime& now);
    void takeStartMarks();  // at Start and resume: the minute mark and the time zone to keep
    void lockToWindow(uintptr_t window, int flag) override;
    void releaseWindows();  // the windows only; the task-switch keys stay as they are
    void unhookKeyboard() override;
    bool keyboardFilter(const KeyEvent& e) const;  // true: the key is swallowed

  private:
    void installKeyboardHook();
    void guardTime(bool clockMessage);
    int32_t secondsToCount();  // whole seconds awake since the clock last counted
    bool guardMessageOpen_ = false;
    struct GuardSetting {
        DateTime target;  // the time of day asked for
        int64_t untilMs;  // its own time-change notice is expected before this (time awake)
    };
    std::optional<GuardSetting> guardSetting_;  // the guard service was asked to set the clock back
    static constexpr int64_t kGuardSettingMs = 5'000;
    ExtraTime extra_;
    std::string planZone_;  // the time zone at Start or resume
    bool planZoneTaken_ = false;
    int64_t countedAwakeMs_ = 0;                   // the awake time up to which the clock has counted
    std::pair<std::string, std::string> editing_;  // name and path of the entry being edited
    Platform& platform_;
    IconCache allowedIcons_{platform_.pictures};  // outlives the forms that show its icons
    ui::Session session_;
    std::unique_ptr<CRegSettings> settings_;
    std::unique_ptr<SysTray> sysTray_;
    TrayStatus trayStatus_;
    DayLeftText dayLeftText_;  // the tip's words on what is left of today
    GuardReporter guard_;
    History history_;
    ui::FormSlot<FrmMain> frmMain_;
    ui::FormSlot<FrmPassword> frmPassword_;
    ui::FormSlot<FrmBig> frmBig_;
    ui::FormSlot<FrmMenuSystray> frmMenuSystray_;
    ui::FormSlot<FrmPassEnter> frmPassEnter_;
    ui::FormSlot<FrmAbout> frmAbout_;
    ui::FormSlot<FrmAddList> frmAddList_;
    ui::FormSlot<FrmEdit> frmEdit_;
    ui::FormSlot<FrmWeek> frmWeek_;
    ui::FormSlot<Form1> form1_;
    ui::FormSlot<FrmHistory> frmHistory_;
};

}  // namespace qv
