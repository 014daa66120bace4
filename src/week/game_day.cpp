#include "week/game_day.h"

#include <algorithm>
#include <cstdio>

namespace qv {

namespace {

constexpr int32_t kMostSeconds = 86400 + 3600;  // a day of 25 hours

// "2026-12-06", strictly: four digits, two and two (no scanf: it would double the program's size).
bool parseDate(const std::string& s, DateTime& out) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-') return false;
    int parts[3] = {0, 0, 0};
    const size_t at[3][2] = {{0, 4}, {5, 7}, {8, 10}};
    for (int i = 0; i < 3; ++i)
        for (size_t k = at[i][0]; k < at[i][1]; ++k) {
            if (s[k] < '0' || s[k] > '9') return false;
            parts[i] = parts[i] * 10 + (s[k] - '0');
        }
    const int y = parts[0], m = parts[1], d = parts[2];
    if (y < 1900 || y > 9999 || m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m)) return false;
    out = DateTime::fromDate(y, m, d);
    return true;
}

}  // namespace

int32_t secondsToMidnight(const DateTime& now) {
    return static_cast<int32_t>(secondsBetween(now, now.date().addDays(1)));
}

void GameDay::setDay(const DateTime& day) {
    day_ = day.date();
    dayKey_ = dayKey(day_);
    weekday_ = weekdayOf(day_);
}

void GameDay::load(const std::string& date, const std::string& seconds, const DateTime& now) {
    const DateTime today = now.date();
    DateTime stored;
    hasDay_ = parseDate(date, stored) && secondsBetween(today, stored) <= kMostDaysAhead * 86400LL;
    setDay(hasDay_ ? stored : today);
    used_ = 0;
    if (!hasDay_) return;
    long long n = 0;
    bool digits = !seconds.empty() && seconds.size() <= 12;
    for (char c : seconds) digits = digits && c >= '0' && c <= '9';
    if (digits)
        for (char c : seconds) n = n * 10 + (c - '0');
    used_ = static_cast<int32_t>(std::min<long long>(n, kMostSeconds));
}

std::string GameDay::dateText() const {
    if (!hasDay_) return "";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", day_.year, day_.month, day_.day);
    return buf;
}

bool GameDay::roll(const DateTime& now) {
    if (hasDay_ && dayKey(now) <= dayKey_) return false;
    const bool newDay = hasDay_;
    setDay(now);
    hasDay_ = true;
    used_ = 0;
    return newDay;
}

void GameDay::add(const DateTime& now, int32_t seconds) {
    roll(now);
    if (seconds > 0) used_ = std::min(kMostSeconds, used_ + seconds);
}

bool GameDay::spent(const WeekPlan& week) const {
    const int32_t limit = week.days[static_cast<size_t>(weekday_)].limitMinutes * 60;
    return limit > 0 && used_ >= limit;
}

int32_t GameDay::left(const WeekPlan& week) const {
    const int32_t limit = week.days[static_cast<size_t>(weekday_)].limitMinutes * 60;
    return limit > 0 ? std::max(0, limit - used_) : kNoLimit;
}

int32_t GameDay::leftAt(const WeekPlan& week, const DateTime& now) const {
    if (hasDay_ && dayKey(now) <= dayKey_) return left(week);
    const int32_t limit = week.limitSeconds(now);
    return limit > 0 ? limit : kNoLimit;
}

const char* DayLeftText::of(int32_t left) {
    const int minutes = left == GameDay::kNoLimit ? -1
                        : left <= 0               ? 0
                                                  : static_cast<int>((int64_t{left} + 59) / 60);
    if (minutes == minutes_) return text_;
    minutes_ = minutes;
    if (minutes < 0)
        text_[0] = '\0';
    else if (minutes == 0)
        std::snprintf(text_, sizeof text_, "; no more game time today");
    else
        std::snprintf(text_, sizeof text_, "; %d minute%s left today", minutes, minutes == 1 ? "" : "s");
    return text_;
}

}  // namespace qv
