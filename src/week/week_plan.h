// The week plan: for each weekday a limit on the day's game time and up to two windows in which
// the computer may be used. A day without windows of its own follows the console's Bed time
// window; a week without limits and windows leaves every plan as it was.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/datetime.h"

namespace qv {

constexpr int kMinutesADay = 1440;

// Monday is 0, Sunday 6.
int weekdayOf(const DateTime& t);
const char* weekdayName(int weekday);

// Minutes from midnight, both ends; `to` may be 1440 (the midnight that ends the day) and is never
// before `from`. A window whose ends are equal allows nothing: a day with only such a window is
// locked all day.
struct DayWindow {
    int from = 0, to = 0;
    friend bool operator==(const DayWindow& a, const DayWindow& b) {
        return a.from == b.from && a.to == b.to;
    }
};

struct DayRule {
    int limitMinutes = 0;            // 0: no limit
    std::vector<DayWindow> windows;  // at most two; empty: the console's window
    friend bool operator==(const DayRule& a, const DayRule& b) {
        return a.limitMinutes == b.limitMinutes && a.windows == b.windows;
    }
};

// The console's single Bed time window, as its pickers give it.
struct ConsoleWindow {
    int startH = 0, startM = 0, bedH = 0, bedM = 0;
};

class WeekPlan {
  public:
    static constexpr size_t kMaxWindows = 2;
    std::array<DayRule, 7> days;

    bool hasLimits() const;
    bool hasWindows() const;
    bool empty() const { return !hasLimits() && !hasWindows(); }

    // The limit of the day `t` falls on, in seconds; 0 for none.
    int32_t limitSeconds(const DateTime& t) const;

    // Bed time with windows per weekday: whether the computer may be used at `now` and the seconds
    // to the next change (a change more than a week away counts as a week).
    struct State {
        bool allowed = false;
        int64_t secondsToChange = 0;
    };
    State stateAt(const DateTime& now, const ConsoleWindow& console) const;

    // One sentence a parent can read: what each day allows, days alike taken together.
    std::string describe() const;
};

// "16:00"; 1440 is "24:00".
std::string clockText(int minutes);

}  // namespace qv
