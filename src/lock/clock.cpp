// The lock-screen clock: counts the period down once a second, rings the signals, saves the run
// state, and at the end of a period switches between game and break.
#include <algorithm>

#include "console/frm_main.h"
#include "engine/app.h"
#include "engine/plan_times.h"
#include "lock/frm_big.h"
#include "lock/time_text.h"
#include "settings/convert.h"

namespace qv {

namespace {

// Whether a count-down from `from` to `to` passed a value v <= limit with v % step == 0.
bool passes(int32_t from, int32_t to, int32_t limit, int32_t step) {
    const int32_t top = std::min(from - 1, limit);
    return top >= 0 && top / step * step >= to;
}

}  // namespace

// The clock counts time the machine was awake, not ticks: a GUI thread held up for a while (a
// busy moment, a stalled window) loses no time, and a sleep or hibernation pauses the count. A
// tick that comes early or twice counts nothing extra, and with regular ticks each counts one.
int32_t App::secondsToCount() {
    const int64_t awake = platform_.clock.awakeMs();
    const int64_t steps = std::max<int64_t>(0, (awake - countedAwakeMs_ + 500) / 1000);
    countedAwakeMs_ += steps * 1000;
    return static_cast<int32_t>(std::min<int64_t>(steps, 86400));
}

void App::clockTick() {
    FrmMain& f = frmMain();
    FrmBig& big = frmBig();
    const DateTime now = platform_.clock.now();
    if (now.second == 0) takeMinuteMark(now);
    const int32_t passed = secondsToCount();
    if (passed == 0) return;
    if (secondsLeft % 30 == 0 || passed > 1) saveRunState();
    frontLaunched();
    endNotice(false);
    checkWeekWindows(now);

    bool switched = false;
    if (secondsLeft > 0) {
        const int32_t from = secondsLeft;
        secondsLeft = std::max(0, secondsLeft - passed);
        const bool playGoesOn = extra_.active() && extra_.then().game;
        if (gameTimeOn) countGameTime(now, from - secondsLeft);
        if (f.chkRingEnd->value() == 1 && gameTimeOn && !playGoesOn && passes(from, secondsLeft, 60, 10))
            ringEnd();
        if (f.chkRingStart->value() == 1 && breakTimeOn && passes(from, secondsLeft, 10, 2)) ringBegin();
    } else if (periodEndKept(now)) {
    } else {
        big.timer1.setEnabled(false);
        const bool extraEnds = gameTimeOn && extra_.active();
        if (extraEnds) {
            moreTimeEnded();
        } else if (gameTimeOn) {
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
        if (extraEnds && gameTimeOn) {
            // Play goes on as it was, a program started from the list still in front.
        } else if (f.optOnlyListed->value() && gameTimeOn) {
            present(Presentation::GameOnlyListed);
        } else if (f.optEverything->value() && gameTimeOn) {
            present(Presentation::GameEverything);
        } else if (breakTimeOn) {
            present(Presentation::Break);
        } else if (!gameTimeOn) {
            present(Presentation::Over);
        }
        if (f.chkShutDown->value() != 0 && !gameTimeOn) shutDownComputer();
        if (!extraEnds) nextPeriod();
        dayLimitAfterSwitch(now);
        history_.periodBegun(gameTimeOn, breakTimeOn, secondsLeft, extraEnds);
        big.placeExit();
        countedAwakeMs_ = platform_.clock.awakeMs();  // the new period counts from here
        if (breakTimeOn || gameTimeOn) big.timer1.setEnabled(true);
        switched = true;
    }
    big.lblTimeLeft.setText(timeLeftText(secondsLeft));
    showPlanStatus(switched, switched ? platform_.clock.now() : now);  // a switch may have taken a while
}

void App::takeMinuteMark(const DateTime& now) {
    lastMinuteMark = now;
    minuteMarkTaken = true;
}

void App::takeStartMarks() {
    takeMinuteMark(platform_.clock.now());
    planZone_ = platform_.timeOfDay.timeZone();
    planZoneTaken_ = true;
}

void App::nextPeriod() {
    FrmMain& f = frmMain();
    if (f.optEveryday->value()) {
        const ui::Control& combo = breakTimeOn ? *f.cmbBreakTime : *f.cmbGameTime;
        secondsLeft = leadingMinutesAsSeconds(combo.text());
    } else if (f.optOneTime->value()) {
        computeOneTimeStart();
        if (gameTimeOn) secondsLeft = leadingMinutesAsSeconds(f.cmbTotalTime->text());
    } else if (f.optBedTime->value() && week.hasWindows()) {
        secondsLeft = clampedSeconds(week.stateAt(platform_.clock.now(), consoleWindowOf(f)).secondsToChange);
    } else if (f.optBedTime->value()) {
        const DateTime now = platform_.clock.now();
        BedTimeWindow w = bedTimeWindow(f.planChoice(), now);
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
