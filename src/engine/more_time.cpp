// More time from the lock screen: the extra game period begins, and when it ends the plan goes on
// with the period it interrupted.
#include <algorithm>

#include "console/frm_main.h"
#include "engine/app.h"
#include "lock/frm_big.h"
#include "lock/time_text.h"
#include "settings/convert.h"

namespace qv {

// Under the allowance in force, like any game period; from a break, from game time or from a plan
// that is over. The clock counts it from now.
void App::giveMoreTime(int minutes) {
    FrmMain& f = frmMain();
    FrmBig& big = frmBig();
    extra_.give({gameTimeOn, breakTimeOn, secondsLeft});
    gameTimeOn = true;
    breakTimeOn = false;
    secondsLeft = std::clamp(minutes, ExtraTime::kMinMinutes, ExtraTime::kMaxMinutes) * 60;
    dayOver = false;  // given on top of a day's game time that is spent
    countedAwakeMs_ = platform_.clock.awakeMs();
    saveRunState();  // at once: a restart must find the extra period, not the break it replaced
    lockToWindow(0, 0);
    present(f.optOnlyListed->value() ? Presentation::GameOnlyListed : Presentation::GameEverything);
    big.timer1.setEnabled(true);
    big.timer2.setEnabled(!launched.empty());
    if (f.chkShowTime->value() == 1) big.lblTimeLeft.setVisible(true);
    big.lblTimeLeft.setText(timeLeftText(secondsLeft));
    big.placeExit();
    moreTimeGiven(minutes);
    showPlanStatus(true);
}

void App::moreTimeGiven(int minutes) {
    history_.moreTimeGiven(minutes);
}

// The extra period is over. A Changing-mode plan goes on with the period that was running, with
// the time it had left; One time and Bed time periods are times of day and are taken from the
// clock, as after a restart. The caller presents the period and counts it.
void App::moreTimeEnded() {
    const ExtraTime::Period then = extra_.end();
    gameTimeOn = then.game;
    breakTimeOn = then.brk;
    secondsLeft = then.secondsLeft;
    FrmMain& f = frmMain();
    if (f.optEveryday->value()) {
        const ui::Control* length = breakTimeOn ? f.cmbBreakTime : f.cmbGameTime;
        secondsLeft = std::min(secondsLeft, leadingMinutesAsSeconds(length->text()));
    } else {
        timedPeriodAt(platform_.clock.now());
    }
    if (!gameTimeOn) {  // the extra game is over as any game is
        lockToWindow(0, 0);
        terminateLaunched();
    }
    saveRunState();
}

}  // namespace qv
