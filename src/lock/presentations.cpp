// The lock screen's four presentations, its preview from the console, and its "Exit" label.
#include "console/frm_main.h"
#include "engine/app.h"
#include "engine/pass_enter.h"
#include "lock/frm_big.h"

namespace qv {

void App::present(Presentation p) {
    FrmBig& big = frmBig();
    ui::Control& list = big.listView1;
    if (p != Presentation::GameEverything) big.preview = false;
    endNotice(true);
    switch (p) {
        case Presentation::Break:
            big.setVisible(true);
            big.show();
            list.setVisible(false);
            lockLockScreen();
            break;
        case Presentation::GameOnlyListed:
            big.setVisible(true);
            big.setEnabled(true);
            big.show();
            list.setVisible(true);
            lockLockScreen();
            break;
        case Presentation::GameEverything:
            big.setVisible(false);
            // The parent typing the password at the lock screen keeps the request.
            if (FrmPassEnter* request = exitRequestOpen()) lockToWindow(request->nativeHandle(), 1);
            break;
        case Presentation::Over:
            big.setVisible(true);
            // Enabled again so that "Exit" can be reached even when a program started from the
            // list had disabled the screen when the plan ended.
            big.setEnabled(true);
            big.show();
            lockLockScreen();
            list.setVisible(false);
            big.lblTimeLeft.setVisible(false);
            big.timer1.setEnabled(false);
            big.timer2.setEnabled(false);
            break;
    }
}

// While the parent types the password that "Exit" asked for, a new period must not take the
// keyboard away from the request: the lock stays on it, with the lock screen disabled behind it.
void App::lockLockScreen() {
    FrmBig& big = frmBig();
    if (FrmPassEnter* request = exitRequestOpen()) {
        big.setEnabled(false);
        request->show();
        lockToWindow(request->nativeHandle(), 1);
        return;
    }
    lockToWindow(big.nativeHandle(), 1);
}

void App::relockLockScreen() {
    FrmBig& big = frmBig();
    big.setEnabled(true);
    if (!big.visible()) {  // game time with everything allowed began meanwhile: nothing to lock
        lockToWindow(0, 0);
        return;
    }
    big.show();
    lockToWindow(big.nativeHandle(), 1);
}

FrmPassEnter* App::exitRequestOpen() const {
    FrmPassEnter* request = frmPassEnter_.loaded();
    if (!request || request->unloading() || !request->visible()) return nullptr;
    return consoleState == state::kPlanRunning ? request : nullptr;
}

// The console shows the chosen background picture on the lock screen without starting anything.
// The preview is an ordinary window: the console stays reachable, and its "Exit" just closes it.
void App::previewLockScreen() {
    FrmBig& big = frmBig();
    big.preview = true;
    big.show();
}

void App::lockScreenExitClick() {
    FrmBig& big = frmBig();
    if (big.preview) {
        big.preview = false;
        big.hide();
        if (FrmMain* console = frmMainIfLoaded()) console->show();
        return;
    }
    setConsoleState(state::kPlanRunning);
    lockToWindow(0, 0);
    unhookKeyboard();
    big.setEnabled(false);
    FrmPassEnter& request = frmPassEnter();
    request.offerMoreTime(true);
    request.show();
    lockToWindow(request.nativeHandle(), 1);
}

}  // namespace qv
