// Turning the console's plan into a running period: the first period of each mode, the lock
// screen's presentation and look, and the restart of a plan that was running at the last exit.
#include <algorithm>
#include <cstdlib>

#include "console/frm_main.h"
#include "engine/app.h"
#include "engine/plan_times.h"
#include "lock/frm_big.h"
#include "lock/time_text.h"
#include "settings/convert.h"

namespace qv {

void App::resumeTick() {
    if (resumeDelay < 1) {
        frmMain().timer2.setEnabled(false);
        if (breakTimeOn || gameTimeOn) resumePlan = true;
        startMode();
        showPlanStatus(false);
        takeStartMarks();  // as Start does: the guard goes back to them
        if (consoleState == state::kPlanRunning) reportRunning();
        return;
    }
    --resumeDelay;
}

void App::resumeNow() {
    FrmMain* console = frmMainIfLoaded();
    if (!console || !console->timer2.enabled()) return;
    resumeDelay = 0;
    resumeTick();
}

void App::computeOneTimeStart() {
    oneTimeStartMoment = oneTimeWindow(frmMain().planChoice(), platform_.clock.now()).start;
}

// One time and Bed time periods are set by the time of day: the period that `now` falls in and the
// seconds to its end. False in the other modes.
bool App::timedPeriodAt(const DateTime& now) {
    FrmMain& f = frmMain();
    if (f.optOneTime->value()) {
        computeOneTimeStart();
        secondsLeft = clampedSeconds(secondsBetween(now, oneTimeStartMoment));
        const OneTimeWindow w = oneTimeWindow(f.planChoice(), now);
        const DateTime &start = w.start, &end = w.end;
        if (now < start) {
            secondsLeft = clampedSeconds(secondsBetween(now, start));
            breakTimeOn = true;
            gameTimeOn = false;
        } else if (now > end) {
            gameTimeOn = false;
            breakTimeOn = false;
        } else {
            secondsLeft = clampedSeconds(secondsBetween(now, end));
            gameTimeOn = true;
            breakTimeOn = false;
        }
        return true;
    }
    if (f.optBedTime->value() && week.hasWindows()) {
        const WeekPlan::State s = week.stateAt(now, consoleWindowOf(f));
        secondsLeft = clampedSeconds(s.secondsToChange);
        gameTimeOn = s.allowed;
        breakTimeOn = !s.allowed;
        return true;
    }
    if (f.optBedTime->value()) {
        BedTimeWindow w = bedTimeWindow(f.planChoice(), now);
        if (w.start <= now && now < w.bed) {
            secondsLeft = clampedSeconds(secondsBetween(now, w.bed));
            gameTimeOn = true;
            breakTimeOn = false;
        } else {
            if (now >= w.start) w.start = w.start.addDays(1);
            secondsLeft = clampedSeconds(secondsBetween(now, w.start));
            breakTimeOn = true;
            gameTimeOn = false;
        }
        return true;
    }
    return false;
}

// The machine woke up. A Bed time or One time period is worked out again from the clock, as after
// a restart, and a period that ended meanwhile is left as its end leaves it. A Changing-mode period
// is a length of play: while the machine slept nobody played, so it goes on with what was left
// (the clock counts only time awake).
void App::resumedFromSleep() {
    if (consoleState != state::kPlanRunning || !(gameTimeOn || breakTimeOn)) return;
    const DateTime now = platform_.clock.now();
    takeMinuteMark(now);          // the clock guard must not take the time asleep back
    if (extra_.active()) return;  // more time is a length of play, like a Changing-mode period
    const bool wasGame = gameTimeOn, wasBreak = breakTimeOn;
    if (!timedPeriodAt(now)) return;
    countedAwakeMs_ = platform_.clock.awakeMs();
    if (gameTimeOn == wasGame && breakTimeOn == wasBreak) {
        frmBig().lblTimeLeft.setText(timeLeftText(secondsLeft));
        showPlanStatus(false);
        return;
    }
    lockToWindow(0, 0);
    if (wasGame) terminateLaunched();
    if (wasBreak) unhookKeyboard();
    startMode();
    history_.periodBegun(gameTimeOn, breakTimeOn, secondsLeft);
    showPlanStatus(true);
}

void App::startMode() {
    FrmMain& f = frmMain();
    FrmBig& big = frmBig();
    const DateTime now = platform_.clock.now();
    big.preview = false;
    endNotice(true);
    big.lblMessage.setText(f.txtMessage->text());

    const bool resumed = resumePlan;
    const bool extraGoesOn = resumePlan && extra_.active();
    if (!extraGoesOn) extra_.cancel();
    if (extraGoesOn) {
        // More time was running at the last exit: it goes on, within what may be given at once.
        secondsLeft = std::min(secondsLeft, ExtraTime::kMaxSeconds);
        resumePlan = false;
    } else if (f.optEveryday->value() && !resumePlan) {
        secondsLeft = leadingMinutesAsSeconds(f.cmbGameTime->text());
        gameTimeOn = true;
        breakTimeOn = false;
        resumePlan = false;
    } else if (timedPeriodAt(now)) {
    } else {
        // A restored Changing-mode period goes on as it was, but never for longer than a whole
        // period of its kind: the stored seconds live in the child's own registry hive.
        if (f.optEveryday->value()) {
            const ui::Control* length = breakTimeOn ? f.cmbBreakTime : f.cmbGameTime;
            secondsLeft = std::min(secondsLeft, leadingMinutesAsSeconds(length->text()));
        }
        resumePlan = false;
    }
    if (f.optEveryday->value())
        dayLimitAtStart(now, resumed);
    else
        dayOver = false;

    countedAwakeMs_ = platform_.clock.awakeMs();  // the clock counts from here
    const bool onlyListed = f.optOnlyListed->value() != 0;
    const bool everything = f.optEverything->value() != 0;
    if (breakTimeOn) {
        present(Presentation::Break);
        big.timer1.setEnabled(true);
        big.timer2.setEnabled(!launched.empty());
    } else if (onlyListed && gameTimeOn) {
        present(Presentation::GameOnlyListed);
        big.timer1.setEnabled(true);
        big.timer2.setEnabled(!launched.empty());
    } else if (everything && gameTimeOn) {
        big.setVisible(false);
        big.timer1.setEnabled(true);
        big.timer2.setEnabled(!launched.empty());
    } else if (!gameTimeOn) {
        present(Presentation::Over);
    }

    f.hide();
    applyLockScreenLook();
    if (f.chkShutDown->value() != 0 && !gameTimeOn) shutDownComputer();

    ui::Control& left = big.lblTimeLeft;
    if (f.chkShowTime->value() != 1) {
        left.setVisible(false);
    } else if (breakTimeOn || gameTimeOn) {
        left.setVisible(true);
        left.setText(timeLeftText(secondsLeft));
    }
    big.placeExit();
}

void App::applyLockScreenLook() {
    FrmMain& f = frmMain();
    FrmBig& big = frmBig();
    const bool picture = f.chkBackPicture->value() == 1;
    const ui::Colour fore = picture ? ui::kSysButtonText : ui::rgb(168, 229, 252);
    for (ui::Control* label : {&big.label1, &big.lblMessage, &big.lblTimeLeft})
        label->setColours(fore, label->backColour(), true);
    ui::Control& list = big.listView1;
    list.setColours(fore, picture ? ui::rgb(35, 60, 91) : ui::rgb(239, 0, 133), false);
    const PictureHandle old = big.picture();
    PictureHandle now = 0;
    if (picture) {
        // A picture that can no longer be loaded leaves the plain colour; the plan starts anyway.
        now = platform_.pictures.load(
            f.lblBackPicture->text(), platform_.system.screenWidthTwips() / platform_.system.twipsPerPixelX(),
            platform_.system.screenHeightTwips() / platform_.system.twipsPerPixelY());
    }
    big.setPicture(now);
    if (old && old != now) platform_.pictures.release(old);
}

}  // namespace qv
