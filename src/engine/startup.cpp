// Bringing the program up, the console's Start and Close, and ending the program in order.
#include "console/frm_main.h"
#include "console/systray.h"
#include "engine/app.h"
#include "engine/password.h"
#include "lock/form1.h"
#include "lock/frm_big.h"
#include "platform/resources.h"
#include "settings/convert.h"
#include "settings/reg_settings.h"
#include "settings/schema.h"

namespace qv {

void App::consoleLoad() {
    FrmMain& console = frmMain();
    form1();
    platform_.system.loadLibrary(platform_.system.programFolder() + "\\dsmodal.dll");
    settings_->setCompany("Hollowmere");
    settings_->setAppName("Tarnwell");
    FrmBig& big = frmBig();
    big.timer1.setEnabled(false);
    big.timer2.setEnabled(false);
    sysTray_->ShowIcon(console);
    sysTray_->iconRefreshCount = 30;
    console.hide();
    firstRun = false;
    gameTimeOn = false;
    breakTimeOn = false;
    resumePlan = false;
    if (makeDefaults(*settings_, platform_.clock.now())) {
        firstRun = true;
        console.hide();
        consoleState = state::kFirstRun;
        FrmPassword& dialog = frmPassword();
        dialog.show();
        dialog.clearEntries();
        session_.unload(console);
        return;
    }
    mainFormLoad();
    sysTray_->ShellTrayModifyTip(console);
}

void App::mainFormLoad() {
    FrmMain& console = frmMain();
    FrmBig& big = frmBig();
    const ScreenArea all = platform_.system.virtualScreenTwips();
    big.setRect({all.left, all.top, all.width, all.height});
    console.fillPickers();
    loadSettings();
    console.fillDayList(leadingInt16(settings_->GetSetting(sect::kControls, "StartMonth", "1")));
    lockToWindow(0, 0);
    refreshAllowedLists();
    if (consoleState == state::kPlanRunning) {
        history_.startedWithPlan(resumeAtOnce);
        resumeDelay = resumeAtOnce ? 0 : 60;
        console.timer2.setEnabled(true);
        if (resumeAtOnce) resumeTick();  // started by the guard: the plan goes on with the start-up
    } else {
        resumeDelay = 0;
        console.hide();
        setConsoleState(state::kIdle);
    }
}

void App::startCommand() {
    // Start always begins the plan the console shows. A restart that resumed a One time or Bed
    // time plan leaves the resume mark set, and a later Changing-mode Start would otherwise carry
    // on that old period instead of starting a new one.
    resumePlan = false;
    startMode();
    const FrmMain& f = frmMain();
    history_.planStarted((f.optEveryday->value()  ? f.optEveryday
                          : f.optOneTime->value() ? f.optOneTime
                                                  : f.optBedTime)
                             ->text());
    history_.periodBegun(gameTimeOn, breakTimeOn, secondsLeft);
    showPlanStatus(true);
    setConsoleState(state::kPlanRunning);
    saveSettings();
    takeStartMarks();
    adminNote();
}

// An administrator can start programs elevated, and Windows does not let a program of ordinary
// rights disable their windows: said once, when the first plan starts.
void App::adminNote() {
    if (!platform_.system.userIsAdministrator()) return;
    if (settings_->GetSetting(sect::kControls, "AdminNoteShown", "0") == "1") return;
    settings_->SaveSetting(sect::kControls, "AdminNoteShown", "1");
    platform_.dialogs.messageBox(0,
                                 "This account is an administrator. Quorvane cannot hold down the windows of "
                                 "programs that run as administrator (elevated); give the child a standard "
                                 "account to keep them locked too.",
                                 res::kProductName, 0);
}

void App::closeCommand() {
    consoleState = state::kConsoleOpen;
    closeProgram();
}

void App::consoleUnload() {
    if (!firstRun) saveSettings();
    // On the first-run road the console goes away while the program lives on; its icon goes with it.
    sysTray_->windowGone(frmMain());
}

void App::closeProgram() {
    guard_.exited();
    unhookKeyboard();
    lockToWindow(0, 0);
    sysTray_->RemoveIcon(frmMain());
    consoleState = state::kIdle;
    saveAllSettings();
    frmBig().timer1.setEnabled(false);
    frmBig().timer2.setEnabled(false);
    for (const char* name : {"frmAbout", "frmAddList", "frmBig", "frmEdit", "frmWeek", "frmPassword",
                             "frmMain", "frmPassEnter", "frmMenuSystray", "frmHistory", "Form1"}) {
        if (ui::Form* f = session_.findByName(name)) session_.unload(*f);
    }
}

}  // namespace qv
