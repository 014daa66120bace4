// The console window, where the parent sets up the plan.
#pragma once
#include <cstdint>
#include <string>

#include "engine/plan_times.h"
#include "platform/forms.h"
#include "platform/pictures.h"

namespace qv {

struct Platform;
class CRegSettings;
class SysTray;
class FrmBig;
class FrmPassword;
class FrmPassEnter;
class WeekPlan;
class FrmMenuSystray;

// What the console needs of the running program.
class ConsoleHost {
  public:
    virtual ui::Session& session() = 0;
    virtual Platform& platform() = 0;
    virtual CRegSettings& settings() = 0;
    virtual SysTray& sysTray() = 0;
    virtual FrmBig& frmBig() = 0;
    virtual FrmPassword& frmPassword() = 0;
    virtual FrmPassEnter& frmPassEnter() = 0;
    virtual FrmMenuSystray& frmMenuSystray() = 0;

    virtual void consoleLoad() = 0;
    virtual void consoleUnload() = 0;
    virtual void startCommand() = 0;
    virtual void closeCommand() = 0;
    virtual void addNewClick() = 0;
    virtual void editClick() = 0;
    virtual void deleteClick() = 0;
    virtual void resumeTick() = 0;
    virtual void setConsoleState(int16_t code) = 0;
    virtual void showHelp(uintptr_t owner, uintptr_t data) = 0;
    virtual void previewLockScreen() = 0;
    virtual void showHistory() = 0;
    virtual void weekClick() = 0;  // "Week..."
    virtual const WeekPlan& weekPlan() const = 0;
    virtual int32_t gameSecondsLeftToday() const = 0;  // GameDay::kNoLimit: no limit today

  protected:
    ~ConsoleHost() = default;
};

class FrmMain : public ui::Form {
  public:
    explicit FrmMain(ConsoleHost& host);
    // Shows the console with "Launch on Windows Startup" read again and the plan preview made anew
    // (Form::show is not virtual: the console is shown through FrmMain).
    void show();

    // The controls the program's code reaches, bound from the layout table when the form is built.
    // Modes
    ui::Control* optEveryday = nullptr;  // Changing mode
    ui::Control* cmbGameTime = nullptr;
    ui::Control* cmbBreakTime = nullptr;
    ui::Control* optOneTime = nullptr;
    ui::Control* cmbStartTimeH = nullptr;
    ui::Control* cmbStartTimeM = nullptr;
    ui::Control* cmbStartDateM = nullptr;
    ui::Control* cmbStartDateD = nullptr;
    ui::Control* cmbTotalTime = nullptr;
    ui::Control* optBedTime = nullptr;
    ui::Control* cmbStartH = nullptr;
    ui::Control* cmbStartM = nullptr;
    ui::Control* cmbBedH = nullptr;
    ui::Control* cmbBedM = nullptr;
    ui::Control* chkShutDown = nullptr;
    ui::Control* cmdWeek = nullptr;  // "Week...": limits and windows per weekday
    // Allowed games and programs
    ui::Control* lstAllowed = nullptr;
    ui::Control* cmdAdd = nullptr;
    ui::Control* command3 = nullptr;  // "Edit"
    ui::Control* cmdDelete = nullptr;
    // Allowance
    ui::Control* optOnlyListed = nullptr;
    ui::Control* optEverything = nullptr;
    // Commands
    ui::Control* command1 = nullptr;  // "Start"
    ui::Control* command8 = nullptr;  // "Help"
    ui::Control* command2 = nullptr;  // "Close"
    ui::Control* command4 = nullptr;  // "Minimize"
    ui::Control* chkLaunch = nullptr;
    // Password, sounds, locked screen
    ui::Control* command6 = nullptr;  // "Change password"
    ui::Control* cmdHistory = nullptr;
    ui::Control* chkRingStart = nullptr;
    ui::Control* chkRingEnd = nullptr;
    ui::Control* chkShowTime = nullptr;
    ui::Control* chkBackPicture = nullptr;
    ui::Control* command7 = nullptr;  // "Edit" of the background picture
    ui::Control* lblBackPicture = nullptr;
    ui::Control* txtMessage = nullptr;
    ui::Control* lblPassword = nullptr;     // the stored form of the password, never shown
    ui::Control* txtPlanPreview = nullptr;  // what Start would do now, in words
    ui::Timer& timer1;                      // the icon refresh after start-up
    ui::Timer& timer2;                      // the resume delay of a plan running at the last exit

    void fillPickers();
    void fillDayList(int16_t month);
    void enableChangingMode();
    void enableOneTimeMode();
    void enableBedTimeMode();
    void applySelectedMode();  // the enabling routine of the selected option
    // "Launch on Windows Startup" shows whether the machine's Run value names this program.
    void showStartUpRegistration();

    // The plan as the console shows it, read as the scheduler reads it.
    PlanChoice planChoice() const;
    // Says again what Start would do now: after the parent changed the plan, a load or a list
    // change, and when the console is shown (time has passed).
    void refreshPreview();

    std::string backPicturePath;

  protected:
    void onLoad() override;
    void onUnload() override;

  private:
    void build();
    void wire();
    void setModeLists(bool changing, bool oneTime, bool bedTime);
    void minimizeClick();
    void helpClick();
    void startMonthClick();
    void launchMouseDown();
    void trayMessage(const ui::Mouse& m);
    PictureHandle choosePicture(int width, int height);
    void setLockScreenPicture(PictureHandle picture);
    void backPictureMouseDown();
    void editPictureClick();
    void changePasswordClick();
    void iconRefreshTick();
    static constexpr int kLeftButtonUp = 514, kRightButtonUp = 517;
    bool menuOpen_ = false;
    ConsoleHost& host_;
};

// A member of the console that holds one of its controls.
using ConsoleControl = ui::Control* FrmMain::*;

}  // namespace qv
