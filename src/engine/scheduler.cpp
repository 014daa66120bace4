// Turning the console's plan into a running period.
#include "console/frm_main.h"
#include "engine/app.h"

namespace qv {

void App::resumeTick() {
    FrmMain& console = frmMain();
    if (resumeDelay < 1) {
        console.timer2().setEnabled(false);
        if (breakTimeOn || gameTimeOn) resumePlan = true;
        startMode();
        return;
    }
    --resumeDelay;
}

void App::startMode() {
    // The period computation and the lock screen's presentations come with the scheduler;
    // for now Start only hides the console.
    frmMain().hide();
}

}  // namespace qv
