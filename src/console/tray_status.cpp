#include "console/tray_status.h"

#include <cstdio>
#include <cstring>

namespace qv {

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

// A parent reading "12 minutes left" expects the minute under way to count: 11:01 left is 12.
int minutesOf(int32_t seconds) {
    return seconds <= 60 ? 1 : static_cast<int>((static_cast<int64_t>(seconds) + 59) / 60);
}

const char* plural(int n) {
    return n == 1 ? "" : "s";
}

}  // namespace

void TrayStatus::tipText(const PlanState& s, char (&tip)[kTipSize]) {
    const int m = minutesOf(s.secondsLeft);
    int n;
    if (s.period == PlanState::Period::Over) {
        n = std::snprintf(tip, kTipSize, "Quorvane: the plan is over");
    } else if (s.period == PlanState::Period::Game || !s.breakUntilTimeOfDay) {
        n = std::snprintf(tip, kTipSize, "Quorvane: %s, %d minute%s left",
                          s.period == PlanState::Period::Game ? "game time" : "break", m, plural(m));
    } else {
        // The count runs on time awake, so its end need not fall on a whole minute of the clock.
        const DateTime end = s.now.addSeconds(static_cast<int64_t>(s.secondsLeft) + 30);
        n = std::snprintf(tip, kTipSize, "Quorvane: locked until %02d:%02d", end.hour, end.minute);
        if (s.secondsLeft >= 86400)  // a wait of days says which day
            n += std::snprintf(tip + n, kTipSize - n, " on %d %s", end.day, kMonths[(end.month - 1) % 12]);
    }
    if (n > 0 && n < kTipSize) std::snprintf(tip + n, kTipSize - n, "%s", s.tipSuffix);
}

TrayStatus::TipKey TrayStatus::keyOf(const PlanState& s) {
    TipKey k;
    k.period = s.period;
    if (s.period == PlanState::Period::Over) return k;
    k.untilTimeOfDay = s.period == PlanState::Period::Break && s.breakUntilTimeOfDay;
    // a wait says the minute of the clock it ends at, as tipText works it out
    k.value = k.untilTimeOfDay ? (s.now.serial() + s.secondsLeft + 30) / 60 : minutesOf(s.secondsLeft);
    return k;
}

TrayStatus::Change TrayStatus::update(const PlanState& s, bool began) {
    Change c;
    const TipKey key = keyOf(s);
    if (!tip_[0] || !(key == tipKey_) || std::strcmp(s.tipSuffix, tipSuffix_) != 0) {
        char tip[kTipSize];
        tipText(s, tip);
        tipKey_ = key;
        std::snprintf(tipSuffix_, sizeof tipSuffix_, "%s", s.tipSuffix);
        if (std::strcmp(tip, tip_) != 0) c.tip = std::strcpy(tip_, tip);
    }
    if (s.period != PlanState::Period::Game) {
        inGame_ = false;
        return c;
    }
    if (began) {
        // A game of no time ends at the next tick: nothing to announce.
        if (s.secondsLeft > 0) {
            const int m = minutesOf(s.secondsLeft);
            std::snprintf(balloon_, sizeof balloon_, "Game time: %d minute%s", m, plural(m));
            c.balloon = balloon_;
        }
    } else if (inGame_) {
        // Said when the count passes the lead, so a game no longer than a lead skips that warning,
        // and a count that jumped past both (a stalled tick) says only the nearer one.
        if (gameSeconds_ > kLastWarning && s.secondsLeft <= kLastWarning)
            c.balloon = "1 minute of game time left.";
        else if (gameSeconds_ > kFirstWarning && s.secondsLeft <= kFirstWarning)
            c.balloon = "5 minutes of game time left: save your game now.";
        c.warning = c.balloon != nullptr;
    }
    inGame_ = true;
    gameSeconds_ = s.secondsLeft;
    return c;
}

bool TrayStatus::idle() {
    inGame_ = false;
    if (!tip_[0]) return false;
    tip_[0] = '\0';
    return true;
}

}  // namespace qv
