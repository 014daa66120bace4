// The lock-screen clock: counts the period down once a second, rings the signals, saves the run
// state, and at the end of a period switches between game and break.
#include "console/frm_main.h"
#include "engine/app.h"
#include "lock/frm_big.h"
#include "lock/time_text.h"
#include "settings/convert.h"

namespace qv {

void App::clockTick() {
    FrmMain& f = frmMain();
    FrmBig& big = frmBig();
    const DateTime now = platform_.clock.now();
    if (now.second == 0) takeMinuteMark(now);
    if (secondsLeft % 30 == 0) saveRunState();
    frontLaunched();
    endNotice(false);

    if (secondsLeft > 0) {
        --secondsLeft;
        if (f.chkRingEnd->value() == 1 && gameTimeOn && secondsLeft % 10 == 0 && secondsLeft <= 60) ringEnd();
        if (f.chkRingStart->value() == 1 && breakTimeOn && secondsLeft % 2 == 0 && secondsLeft <= 10)
            ringBegin();
    } else {
        big.timer1.setEnabled(false);
        if (gameTimeOn) {
            gameTimeOn = false;
            breakTimeOn = true;
            lockToWindow(0, 0);
            terminateLaunched();
            if (f.optOneTime->value()) {
                gameTimeOn = false;
                breakTimeOn = false;
                big.timer1.setEnabled(false);
                big.timer2.setEnabled(false);
            }
        } else if (breakTimeOn) {
            gameTimeOn = true;
            breakTimeOn = false;
            lockToWindow(0, 0);
            unhookKeyboard();
        }
        if (f.optOnlyListed->value() && gameTimeOn) {
            present(Presentation::GameOnlyListed);
        } else if (f.optEverything->value() && gameTimeOn) {
            present(Presentation::GameEverything);
        } else if (breakTimeOn) {
            present(Presentation::Break);
        } else if (!gameTimeOn) {
            present(Presentation::Over);
        }
        if (f.chkShutDown->value() != 0 && !gameTimeOn) shutDownComputer();
        nextPeriod();
        big.placeExit();
        if (breakTimeOn || gameTimeOn) big.timer1.setEnabled(true);
    }
    big.lblTimeLeft.setText(timeLeftText(secondsLeft));
}

void App::takeMinuteMark(const DateTime& now) {
    lastMinuteMark = now;
    minuteMarkTaken = true;
}

void App::nextPeriod() {
    FrmMain& f = frmMain();
    if (f.optEveryday->value()) {
        const ui::Control& combo = breakTimeOn ? *f.cmbBreakTime : *f.cmbGameTime;
        secondsLeft = leadingMinutesAsSeconds(combo.text());
    } else if (f.optOneTime->value()) {
        computeOneTimeStart();
        if (gameTimeOn) secondsLeft = leadingMinutesAsSeconds(f.cmbTotalTime->text());
    } else if (f.optBedTime->value()) {
        const DateTime now = platform_.clock.now();
        BedTimeWindow w = bedTimeWindow(f, now);
        if (gameTimeOn) {
            secondsLeft = clampedSeconds(secondsBetween(w.start, w.bed));
        } else if (now < w.start) {
            secondsLeft = clampedSeconds(secondsBetween(now, w.start));
        } else {
            secondsLeft = clampedSeconds(secondsBetween(w.bed, w.start.addDays(1)));
        }
    }
}

}  // namespace qv
