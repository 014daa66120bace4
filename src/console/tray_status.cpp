#include "console/tray_status.h"

#include <cstdio>

namespace qv {

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

// "10:30", or "13:01 on 6 December" for a moment a day or more away.
std::string untilText(const DateTime& now, int32_t seconds) {
    // The count runs on time awake, so its end need not fall on a whole minute of the clock.
    DateTime end = now.addSeconds(seconds + 30);
    end.second = 0;
    char buf[48];
    if (seconds < 86400)
        std::snprintf(buf, sizeof buf, "%02d:%02d", end.hour, end.minute);
    else
        std::snprintf(buf, sizeof buf, "%02d:%02d on %d %s", end.hour, end.minute, end.day,
                      kMonths[(end.month - 1) % 12]);
    return buf;
}

}  // namespace

// A parent reading "12 minutes left" expects the minute under way to count: 11:01 left is 12.
std::string TrayStatus::minutesText(int32_t seconds) {
    const int64_t minutes = seconds <= 60 ? 1 : (static_cast<int64_t>(seconds) + 59) / 60;
    return std::to_string(minutes) + (minutes == 1 ? " minute" : " minutes");
}

std::string TrayStatus::tipText(const PlanState& s) {
    std::string tip;
    switch (s.period) {
        case PlanState::Period::Game:
            tip = "Quorvane: game time, " + minutesText(s.secondsLeft) + " left";
            break;
        case PlanState::Period::Break:
            tip = s.breakUntilTimeOfDay ? "Quorvane: locked until " + untilText(s.now, s.secondsLeft)
                                        : "Quorvane: break, " + minutesText(s.secondsLeft) + " left";
            break;
        case PlanState::Period::Over:
            tip = "Quorvane: the plan is over";
            break;
    }
    return tip + s.tipSuffix;
}

TrayStatus::Change TrayStatus::update(const PlanState& s, bool began) {
    Change c;
    c.tip = tipText(s);
    c.tipChanged = c.tip != tip_;
    tip_ = c.tip;
    if (s.period != PlanState::Period::Game) {
        inGame_ = false;
        return c;
    }
    if (began) {
        // A game of no time ends at the next tick: nothing to announce.
        if (s.secondsLeft > 0) c.balloon = "Game time: " + minutesText(s.secondsLeft);
    } else if (inGame_) {
        // Said when the count passes the lead, so a game no longer than a lead skips that warning,
        // and a count that jumped past both (a stalled tick) says only the nearer one.
        const auto passed = [&](int32_t lead) { return gameSeconds_ > lead && s.secondsLeft <= lead; };
        if (passed(kLastWarning)) {
            c.balloon = "1 minute of game time left.";
        } else if (passed(kFirstWarning)) {
            c.balloon = "5 minutes of game time left: save your game now.";
        }
        c.warning = !c.balloon.empty();
    }
    inGame_ = true;
    gameSeconds_ = s.secondsLeft;
    return c;
}

bool TrayStatus::idle() {
    inGame_ = false;
    if (tip_.empty()) return false;
    tip_.clear();
    return true;
}

}  // namespace qv
