// The game time counted against the day's limit, with the date it belongs to. Stored with the run
// state ("GameDay", "GameDaySeconds" in "Controls"), at the same moments, so that a restart or a
// kill keeps what was played today.
#pragma once
#include <cstdint>
#include <limits>
#include <string>

#include "week/week_plan.h"

namespace qv {

class GameDay {
  public:
    static constexpr int32_t kNoLimit = std::numeric_limits<int32_t>::max();
    // A stored date further ahead than this is not believed (a corrupted value must not lock the
    // computer until some distant year); closer ones keep their count (the clock was moved back).
    static constexpr int kMostDaysAhead = 7;

    // From the stored texts; `now` decides whether the stored date is believed. An unreadable date
    // or count starts a new count today.
    void load(const std::string& date, const std::string& seconds, const DateTime& now);
    std::string dateText() const;
    std::string secondsText() const { return std::to_string(used_); }

    // A date after the counted day starts a new count; an earlier one (the clock moved back)
    // keeps the count and its day. True when a new day began.
    bool roll(const DateTime& now);
    // Ordinary game time played at `now`. Time the parent gave on top must not come here.
    void add(const DateTime& now, int32_t seconds);

    int32_t used() const { return used_; }
    // `now` falls on a day after the counted one.
    bool before(const DateTime& now) const { return dayKey(now) > dayKey_; }
    const DateTime& day() const { return day_; }
    // The counted day's limit is reached (it has one).
    bool spent(const WeekPlan& week) const;
    // Seconds of the counted day's limit that are left; kNoLimit when the day has none.
    int32_t left(const WeekPlan& week) const;
    // What is left of the limit of the day `now` falls on, counted or not yet (for the tray's tip
    // and the console's preview); kNoLimit when that day has none.
    int32_t leftAt(const WeekPlan& week, const DateTime& now) const;

  private:
    void setDay(const DateTime& day);
    static int dayKey(const DateTime& t) { return (t.year * 100 + t.month) * 100 + t.day; }
    DateTime day_;                  // midnight of the counted day
    int dayKey_ = 0, weekday_ = 0;  // the same, for the clock's tick to compare cheaply
    int32_t used_ = 0;
    bool hasDay_ = false;
};

// The tray tip's words on what is left of the day ("; 40 minutes left today"), made again only
// when the minutes they say change.
class DayLeftText {
  public:
    // `left`: seconds left today, GameDay::kNoLimit for no limit (no words).
    const char* of(int32_t left);

  private:
    int minutes_ = -1;  // -1: no limit; 0: none left
    char text_[40] = "";
};

// Whole seconds from `now` to the next midnight.
int32_t secondsToMidnight(const DateTime& now);

}  // namespace qv
