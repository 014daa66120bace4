// The week plan in a running plan: the day's game time limit of Changing mode (counting, the lock
// until midnight, the next day's new start) and the windows per weekday of Bed time mode.
#include <algorithm>

#include "console/frm_main.h"
#include "engine/app.h"
#include "lock/frm_big.h"
#include "lock/time_text.h"
#include "settings/convert.h"

namespace qv {

namespace {

constexpr const char* kNoMoreToday = "No more game time today.";

}  // namespace

void App::weekClick() {
    FrmWeek& dialog = frmWeek();
    dialog.fill(week);
    dialog.show();
}

void App::setWeekPlan(const WeekPlan& plan) {
    week = plan;
    if (FrmMain* f = frmMainIfLoaded()) f->refreshPreview();
}

void App::showDayMessage() {
    const std::string& own = frmMain().txtMessage->text();
    endNotice(true);
    frmBig().lblMessage.setText(dayOver ? std::string(kNoMoreToday) + "\r\n" + own : own);
}

// After startMode chose a Changing-mode period: a day whose game time is spent stays locked until
// midnight, also after a restart; a lock that belonged to an earlier day gives way to game time,
// as a new Start would.
void App::dayLimitAtStart(const DateTime& now, bool resumed) {
    const bool lockedEarlier = resumed && breakTimeOn && gameDay.spent(week);
    const bool newDay = gameDay.roll(now);
    const bool wasOver = dayOver;
    dayOver = false;
    if (!week.hasLimits()) {
        if (wasOver) showDayMessage();
        return;
    }
    if (lockedEarlier && newDay) {
        secondsLeft = leadingMinutesAsSeconds(frmMain().cmbGameTime->text());
        gameTimeOn = true;
        breakTimeOn = false;
    }
    if (extra_.active()) {
        // More time that was running goes on: it is given on top of the day's game time.
    } else if (gameDay.spent(week)) {
        gameTimeOn = false;
        breakTimeOn = true;
        dayOver = true;
        secondsLeft = secondsToMidnight(now);
    } else if (gameTimeOn && !extra_.active()) {
        secondsLeft = std::min(secondsLeft, gameDay.left(week));
    }
    showDayMessage();
}

// Ordinary game time of a Changing-mode plan counts against the day; the period never runs past
// what is left of the day (a new day may have a smaller limit than the period's rest).
void App::countGameTime(const DateTime& now, int32_t seconds) {
    if (!week.hasLimits() || extra_.active() || !frmMain().optEveryday->value()) return;
    gameDay.add(now, seconds);
    secondsLeft = std::min(secondsLeft, gameDay.left(week));
}

// A period's count ran out, but nothing changes at this moment: the day lock of a day longer than
// 24 hours (the clock went back an hour for the winter), or a Bed time window whose count drifted
// from the clock. The period goes on with the time to the real change.
bool App::periodEndKept(const DateTime& now) {
    if (extra_.active()) return false;  // more time ends at its own count
    FrmMain& f = frmMain();
    if (dayOver && f.optEveryday->value() && !gameDay.before(now)) {
        secondsLeft = std::max(1, secondsToMidnight(now));
        return true;
    }
    if (f.optBedTime->value() && week.hasWindows()) {
        const WeekPlan::State s = week.stateAt(now, consoleWindowOf(f));
        if (s.allowed == gameTimeOn) {
            secondsLeft = clampedSeconds(s.secondsToChange);
            return true;
        }
    }
    return false;
}

// After the clock switched a Changing-mode period: game time that reached the day's limit becomes
// the lock until midnight, and the lock's end begins the new day's game time.
void App::dayLimitAfterSwitch(const DateTime& now) {
    if (!frmMain().optEveryday->value() || (!week.hasLimits() && !dayOver)) return;
    gameDay.roll(now);
    if (gameTimeOn) {
        dayOver = false;
        if (!extra_.active()) secondsLeft = std::min(secondsLeft, gameDay.left(week));
        showDayMessage();
    } else if (breakTimeOn && gameDay.spent(week)) {
        dayOver = true;
        secondsLeft = secondsToMidnight(now);
        showDayMessage();
    }
}

// Once a minute, and each second of the day lock: a change of day or of window that the count
// would reach late (a day of 23 hours, a clock that drifted) ends the period now.
void App::checkWeekWindows(const DateTime& now) {
    FrmMain& f = frmMain();
    if (dayOver && gameDay.before(now)) {
        secondsLeft = 0;
        return;
    }
    if (now.second != 0 || !f.optBedTime->value() || !week.hasWindows() || !(gameTimeOn || breakTimeOn) ||
        extra_.active())
        return;
    const WeekPlan::State s = week.stateAt(now, consoleWindowOf(f));
    secondsLeft = s.allowed == gameTimeOn ? clampedSeconds(s.secondsToChange) : 0;
}

}  // namespace qv
