// The running program: its windows, the settings store, the tray icon and the program-wide state
// that the console, the scheduler and the lock screen share. One App exists per process.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/keyboard.h"
#include "platform/platform.h"

namespace qv {

class CRegSettings;
class SysTray;
class FrmMain;
class FrmPassword;
class FrmBig;
class FrmMenuSystray;
class FrmPassEnter;
class FrmAbout;
class FrmAddList;
class FrmEdit;
class Form1;

namespace state {
constexpr int16_t kConsoleOpen = 1;
constexpr int16_t kPlanRunning = 2;
constexpr int16_t kStopAsked = 3;
constexpr int16_t kExitAsked = 4;
constexpr int16_t kIdle = 5;
constexpr int16_t kFirstRun = 6;
constexpr int16_t kSettingClock = 7;
}  // namespace state

class App {
  public:
    explicit App(Platform& platform);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Loads the console window, whose load handler brings the program up.
    void start();

    Platform& platform() { return platform_; }
    ui::Session& session() { return session_; }
    CRegSettings& settings() { return *settings_; }
    SysTray& sysTray() { return *sysTray_; }

    // Windows, created on first reference.
    FrmMain& frmMain();
    FrmPassword& frmPassword();
    FrmBig& frmBig();
    FrmMenuSystray& frmMenuSystray();
    FrmPassEnter& frmPassEnter();
    FrmAbout& frmAbout();
    FrmAddList& frmAddList();
    FrmEdit& frmEdit();
    Form1& form1();
    FrmMain* frmMainIfLoaded() const;
    FrmPassword* frmPasswordIfLoaded() const;
    FrmBig* frmBigIfLoaded() const;
    FrmPassEnter* frmPassEnterIfLoaded() const;

    // Program-wide state.
    int16_t consoleState = 0;
    // The code before a tray request. Idle until the first request, so that ending the program
    // with the request window still loaded (the icon refresh loads it) stores the idle code.
    int16_t previousConsoleState = state::kIdle;
    bool firstRun = false;
    int16_t resumeDelay = 0;
    bool resumePlan = false;
    bool gameTimeOn = false;
    bool breakTimeOn = false;
    int32_t secondsLeft = 0;
    DateTime lastMinuteMark;
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
    void consoleLoad();    // the console's load handler: the three start-up roads
    void mainFormLoad();   // the normal and resume roads
    void startCommand();   // "Start"
    void closeCommand();   // "Close"
    void consoleUnload();  // the console window is unloading
    void closeProgram();   // ends the program in order

    // The allowed list.
    void refreshAllowedLists();
    void storeAllowedList();
    void addNewClick();
    void editClick();
    void deleteClick();
    bool addListEntry(const std::string& name, const std::string& location);     // false: nothing added
    bool changeListEntry(const std::string& name, const std::string& location);  // false: input missing

    // Programs started from the lock screen.
    std::optional<std::string> pathForName(const std::string& name) const;
    std::optional<std::string> pathForItem(int item, const std::string& name) const;
    uintptr_t findProcessWindow(uint32_t pid);
    void launchAllowedProgram();
    void watcherTick();
    void frontLaunched();
    void terminateLaunched();

    void startMode();  // computes and shows the plan
    void computeOneTimeStart();
    void applyLockScreenLook();
    void clockTick();  // the lock-screen clock, once a second
    void nextPeriod();
    void lockScreenExitClick();
    enum class Presentation { Break, GameOnlyListed, GameEverything, Over };
    void present(Presentation p);
    void previewLockScreen();  // shows the lock screen from the console, unlocked
    // The lock screen's own lock: on it, or on the password request that its "Exit" opened.
    void lockLockScreen();
    void relockLockScreen();  // after that request closed without the password
    FrmPassEnter* exitRequestOpen() const;
    void ringBegin();
    void ringEnd();
    void shutDownComputer();
    void resumeTick();  // the console's resume timer
    void setConsoleState(int16_t code);
    void showPasswordRequest();
    void showAbout();
    void showHelp(uintptr_t owner, uintptr_t data);
    void timeChanged();  // the system time was changed (the hidden window heard it)

    // Settings of the console, the allowed list and the run state.
    void loadSettings();
    void saveSettings();
    void saveAllSettings();
    void saveRunState();
    void loadRunState();

    // The window lock and the keyboard hook.
    void lockToWindow(uintptr_t window, int flag);
    void unhookKeyboard();
    bool keyboardFilter(const KeyEvent& e) const;  // true: the key is swallowed

  private:
    void installKeyboardHook();
    bool guardMessageOpen_ = false;
    std::pair<std::string, std::string> editing_;  // name and path of the entry being edited
    Platform& platform_;
    ui::Session session_;
    std::unique_ptr<CRegSettings> settings_;
    std::unique_ptr<SysTray> sysTray_;
    ui::FormSlot<FrmMain> frmMain_;
    ui::FormSlot<FrmPassword> frmPassword_;
    ui::FormSlot<FrmBig> frmBig_;
    ui::FormSlot<FrmMenuSystray> frmMenuSystray_;
    ui::FormSlot<FrmPassEnter> frmPassEnter_;
    ui::FormSlot<FrmAbout> frmAbout_;
    ui::FormSlot<FrmAddList> frmAddList_;
    ui::FormSlot<FrmEdit> frmEdit_;
    ui::FormSlot<Form1> form1_;
};

}  // namespace qv
