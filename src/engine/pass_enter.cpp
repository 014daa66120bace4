#include "engine/pass_enter.h"

#include "console/frm_main.h"
#include "engine/console_state.h"
#include "engine/extra_time.h"
#include "history/history.h"
#include "lock/frm_big.h"
#include "platform/platform.h"
#include "platform/resources.h"

namespace qv {

namespace {
// Accepted besides the parent's own password, so that a forgotten password never locks a family
// out of its computer.
constexpr const char* kMasterPassword = "tarpikwell5";

// The codes of a tray request (and the states it may meet when it closes): closing it puts the
// code from before the request back. Code 2 is the lock screen's own request.
bool restoresPreviousCode(int16_t code) {
    return code == state::kConsoleOpen || code == state::kStopAsked || code == state::kExitAsked ||
           code == state::kIdle || code == state::kFirstRun;
}
}  // namespace

bool passwordAccepted(const std::string& typed, const std::string& current) {
    return typed == current || typed == kMasterPassword;
}

FrmPassEnter::FrmPassEnter(PasswordRequestHost& host)
    : ui::Form(host.session(), "frmPassEnter"),
      host_(host),
      label3(add(ui::Kind::Label, "Label3", nullptr, "Enter password", {240, 300, 1815, 255})),
      txtPass1(add(ui::Kind::TextBox, "txtPass1", nullptr, "", {2160, 240, 2415, 315})),
      command1(add(ui::Kind::Button, "Command1", nullptr, "Enter", {1080, 840, 1215, 375})),
      cmdClose(add(ui::Kind::Button, "cmdClose", nullptr, "Cancel", {2520, 840, 1215, 375})),
      lblMoreTime(add(ui::Kind::Label, "lblMoreTime", nullptr, "More time", {240, 1500, 1815, 255})),
      cmbMoreTime(add(ui::Kind::ComboBox, "cmbMoreTime", nullptr, "", {2160, 1440, 1215, 315})),
      cmdGive(add(ui::Kind::Button, "cmdGive", nullptr, "Give", {3600, 1410, 975, 375})) {
    setCaption("Password request");
    setClientSize(4815, 1500);
    setIcon(res::kIconMain);
    txtPass1.passwordChar = '*';
    txtPass1.tabIndex = 0;
    command1.tabIndex = 1;
    cmdClose.tabIndex = 2;
    cmbMoreTime.tabIndex = 3;
    cmdGive.tabIndex = 4;
    command1.isDefault = true;
    cmdClose.isCancel = true;
    command1.onClick = [this] { enterClick(); };
    cmdClose.onClick = [this] { cancelClick(); };
    cmdGive.onClick = [this] { giveClick(); };
    for (const char* minutes : {"10", "15", "30", "60"}) cmbMoreTime.addItem(minutes);
    offerMoreTime(false);
}

void FrmPassEnter::offerMoreTime(bool offer) {
    for (ui::Control* c : {&lblMoreTime, &cmbMoreTime, &cmdGive}) c->setVisible(offer);
    setClientSize(4815, offer ? 2100 : 1500);
}

// A wrong password changes nothing: no message, the text stays, and there is no limit on tries.
// Every road unloads this window before it is done; the window itself is freed only after the
// event, so the steps after an unload still run here.
void FrmPassEnter::enterClick() {
    if (!passwordAccepted(txtPass1.text(), host_.password())) {
        if (wrong_++ == 0) wrongAt_ = host_.consoleStateCode();
        return;
    }
    PasswordRequestHost& host = host_;
    host.history().wrongPasswords(wrong_, wrongAt_);  // before what the password opens
    wrong_ = 0;
    switch (host.consoleStateCode()) {
        case state::kConsoleOpen:
            host.frmMain().show();
            session().unload(*this);
            host.setConsoleState(state::kConsoleOpen);
            break;
        case state::kPlanRunning: {
            // The plan stops where it stands: the run state keeps its values.
            host.history().planLeft();
            host.lockToWindow(0, 0);
            session().unload(*this);
            FrmBig& big = host.frmBig();
            big.setEnabled(true);
            big.setVisible(false);
            host.frmMain().show();
            host.lockToWindow(0, 0);
            big.timer1.setEnabled(false);
            big.timer2.setEnabled(false);
            host.setConsoleState(state::kIdle);
            break;
        }
        case state::kStopAsked: {
            host.history().planStopped();
            session().unload(*this);
            host.setConsoleState(state::kIdle);
            host.unhookKeyboard();
            FrmBig& big = host.frmBig();
            big.timer1.setEnabled(false);
            big.timer2.setEnabled(false);
            // Stopped also means not started again by the resume timer a minute after start-up.
            if (FrmMain* console = host.frmMainIfLoaded()) console->timer2.setEnabled(false);
            break;
        }
        case state::kExitAsked:
            host.history().endedFromTray();
            host.closeProgram();
            break;
        default:
            break;
    }
}

// A game period of the chosen length begins now; a wrong password does what it does for "Enter".
void FrmPassEnter::giveClick() {
    if (!cmdGive.visible() || host_.consoleStateCode() != state::kPlanRunning) return;
    if (!passwordAccepted(txtPass1.text(), host_.password())) return;
    const int minutes = ExtraTime::minutesFrom(cmbMoreTime.text());
    if (minutes == 0) {
        host_.platform().dialogs.messageBox(nativeHandle(),
                                            "More time: choose or type a number of minutes from 1 to 240.",
                                            res::kProductName, 0);
        return;
    }
    PasswordRequestHost& host = host_;
    session().unload(*this);  // locks the lock screen again, as Cancel does
    host.giveMoreTime(minutes);
}

void FrmPassEnter::cancelClick() {
    PasswordRequestHost& host = host_;
    const int16_t code = host.consoleStateCode();
    if (restoresPreviousCode(code)) {
        session().unload(*this);
        host.setConsoleState(host.previousConsoleStateCode());
    } else if (code == state::kPlanRunning) {
        host.platform().windowLock.makeModal(0, 0, 0);
        session().unload(*this);
        host.relockLockScreen();
    }
}

// Closing the request any way (Cancel, the close box, an answer, the end of the program) puts the
// previous state back, or locks the lock screen again when the request came from it.
void FrmPassEnter::onUnload() {
    host_.history().wrongPasswords(wrong_, wrongAt_);  // one line for the whole request
    wrong_ = 0;
    const int16_t code = host_.consoleStateCode();
    if (restoresPreviousCode(code)) {
        host_.setConsoleState(host_.previousConsoleStateCode());
    } else if (code == state::kPlanRunning) {
        host_.platform().windowLock.makeModal(0, 0, 0);
        host_.relockLockScreen();
    }
}

}  // namespace qv
