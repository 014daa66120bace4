// The lock screen's four presentations and its "Exit" label.
#include "engine/app.h"
#include "lock/frm_big.h"

namespace qv {

void App::present(Presentation p) {
    FrmBig& big = frmBig();
    ui::Control& list = big.control("ListView1");
    switch (p) {
        case Presentation::Break:
            big.setVisible(true);
            big.show();
            list.setVisible(false);
            lockToWindow(big.nativeHandle(), 1);
            break;
        case Presentation::GameOnlyListed:
            big.setVisible(true);
            big.setEnabled(true);
            big.show();
            list.setVisible(true);
            lockToWindow(big.nativeHandle(), 1);
            break;
        case Presentation::GameEverything:
            big.setVisible(false);
            break;
        case Presentation::Over:
            big.setVisible(true);
            // Enabled again so that "Exit" can be reached even when a program started from the
            // list had disabled the screen when the plan ended.
            big.setEnabled(true);
            big.show();
            lockToWindow(big.nativeHandle(), 1);
            list.setVisible(false);
            big.control("lblTimeLeft").setVisible(false);
            big.timer1().setEnabled(false);
            big.timer2().setEnabled(false);
            break;
    }
}

void App::lockScreenExitClick() {
    // The password request that lets the parent out comes with its own window; until then the
    // request is recorded and the lock stays as it is.
    setConsoleState(state::kPlanRunning);
    ++exitRequests;
}

}  // namespace qv
