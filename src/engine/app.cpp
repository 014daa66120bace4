#include "engine/app.h"

#include "console/frm_about.h"
#include "console/frm_list_entry.h"
#include "console/frm_main.h"
#include "console/systray.h"
#include "engine/pass_enter.h"
#include "engine/password.h"
#include "history/frm_history.h"
#include "lock/form1.h"
#include "lock/frm_big.h"
#include "settings/reg_settings.h"
#include "settings/schema.h"

namespace qv {

App::App(Platform& platform)
    : platform_(platform),
      session_(platform.windowing, platform.timers),
      settings_(std::make_unique<CRegSettings>(platform.registry, platform.system)),
      sysTray_(std::make_unique<SysTray>(platform.tray)),
      guard_(platform.guard),
      history_(platform.history, platform.clock, platform.guard),
      frmMain_(session_, [this] { return std::make_unique<FrmMain>(*this); }),
      frmPassword_(session_, [this] { return std::make_unique<FrmPassword>(*this); }),
      frmBig_(session_, [this] { return std::make_unique<FrmBig>(*this); }),
      frmMenuSystray_(session_, [this] { return std::make_unique<FrmMenuSystray>(*this); }),
      frmPassEnter_(session_, [this] { return std::make_unique<FrmPassEnter>(*this); }),
      frmAbout_(session_, [this] { return std::make_unique<FrmAbout>(session_, platform_.system); }),
      frmAddList_(session_, [this] { return std::make_unique<FrmAddList>(*this); }),
      frmEdit_(session_, [this] { return std::make_unique<FrmEdit>(*this); }),
      frmWeek_(session_, [this] { return std::make_unique<FrmWeek>(*this); }),
      form1_(session_, [this] { return std::make_unique<Form1>(*this); }),
      frmHistory_(session_, [this] { return std::make_unique<FrmHistory>(session_, history_); }) {}

App::~App() = default;

FrmMain& App::frmMain() {
    return frmMain_();
}
FrmPassword& App::frmPassword() {
    return frmPassword_();
}
FrmBig& App::frmBig() {
    return frmBig_();
}
FrmMenuSystray& App::frmMenuSystray() {
    return frmMenuSystray_();
}
FrmPassEnter& App::frmPassEnter() {
    return frmPassEnter_();
}
FrmAbout& App::frmAbout() {
    return frmAbout_();
}
FrmAddList& App::frmAddList() {
    return frmAddList_();
}
FrmEdit& App::frmEdit() {
    return frmEdit_();
}
FrmWeek& App::frmWeek() {
    return frmWeek_();
}
FrmPassEnter* App::frmPassEnterIfLoaded() const {
    return frmPassEnter_.loaded();
}
Form1& App::form1() {
    return form1_();
}
FrmMain* App::frmMainIfLoaded() const {
    return frmMain_.loaded();
}
FrmPassword* App::frmPasswordIfLoaded() const {
    return frmPassword_.loaded();
}
FrmBig* App::frmBigIfLoaded() const {
    return frmBig_.loaded();
}

void App::start() {
    frmMain();
    session_.afterEvent();
}

void App::showPasswordRequest() {
    FrmPassEnter& request = frmPassEnter();
    request.offerMoreTime(false);
    request.show();
    request.txtPass1.setFocus();
}

void App::setConsoleState(int16_t code) {
    consoleState = code;
    if (code >= 1 && code <= 5) {
        FrmMenuSystray& m = frmMenuSystray();
        const bool idle = code == state::kIdle, open = code == state::kConsoleOpen;
        m.mnuStart.setVisible(idle);
        m.mnuStop.setVisible(!idle && !open);
        m.mnuUnsub.setVisible(!open);
        m.mnuExit.setVisible(!open);
    }
    settings().SaveSetting(sect::kControls, "Mode", std::to_string(code));
    if (code == state::kPlanRunning) reportRunning();
    if (code == state::kIdle) {
        guard_.stopped();
        // The icon's own tip again once no plan runs.
        FrmMain* console = frmMainIfLoaded();
        if (trayStatus_.idle() && console) sysTray_->ChangeToolTip(*console, console->caption());
    }
}

void App::reportRunning() {
    guard_.running(consoleState, gameTimeOn, breakTimeOn, secondsLeft);
}

void App::sessionEnding() {
    history_.sessionEnding(consoleState == state::kPlanRunning);
    guard_.ending();
}

void App::showAbout() {
    frmAbout().show();
}

void App::showHistory() {
    FrmHistory& window = frmHistory_();
    window.refresh();
    window.show();
}

// The help file through Windows Help, as the program has always shipped it; current Windows can
// no longer show such files, so the HTML page beside the program takes its place then.
void App::showHelp(uintptr_t owner, uintptr_t data) {
    const std::string folder = platform_.system.programFolder();
    if (!platform_.dialogs.winHelp(owner, folder + "\\Quorvane.hlp", 3, data))
        platform_.dialogs.openDocument(folder + "\\Quorvane.html");
}

}  // namespace qv
