#include "week/week_plan.h"

#include <algorithm>
#include <cstdio>

namespace qv {

namespace {

constexpr const char* kDayNames[7] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                      "Friday", "Saturday", "Sunday"};

struct Span {
    int64_t begin, end;  // serial seconds, end excluded
};

// The console's window of the day `d` (midnight): start to bed, bed taken tomorrow when it lies
// before the start on the clock face, exactly as the console's own plan does.
Span consoleSpan(const DateTime& d, const ConsoleWindow& c) {
    const DateTime start = DateTime::fromParts(d.year, d.month, d.day, c.startH, c.startM, 0);
    DateTime bed = DateTime::fromParts(d.year, d.month, d.day, c.bedH, c.bedM, 0);
    if ((bed.hour < start.hour && bed.hour != 0) || (bed.hour == start.hour && start.minute > bed.minute))
        bed = DateTime::fromParts(d.year, d.month, d.day + 1, c.bedH, c.bedM, 0);
    return {start.serial(), bed.serial()};
}

std::string dayRuleText(const DayRule& r) {
    std::string s = r.limitMinutes == 1  ? "1 minute of game time"
                    : r.limitMinutes > 0 ? std::to_string(r.limitMinutes) + " minutes of game time"
                                         : "no limit on game time";
    bool any = false;
    for (const DayWindow& w : r.windows) {
        if (w.from >= w.to) continue;
        s += any ? " and " : ", allowed ";
        s += clockText(w.from) + "-" + clockText(w.to);
        any = true;
    }
    if (!r.windows.empty() && !any) s += ", locked all day";
    return s;
}

}  // namespace

int weekdayOf(const DateTime& t) {
    // 0001-01-01 of the proleptic Gregorian calendar was a Monday.
    const int64_t days = t.date().serial() / 86400;
    return static_cast<int>(((days % 7) + 7) % 7);
}

const char* weekdayName(int weekday) {
    return kDayNames[((weekday % 7) + 7) % 7];
}

std::string clockText(int minutes) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d:%02d", minutes / 60, minutes % 60);
    return buf;
}

bool WeekPlan::hasLimits() const {
    return std::any_of(days.begin(), days.end(), [](const DayRule& d) { return d.limitMinutes > 0; });
}

bool WeekPlan::hasWindows() const {
    return std::any_of(days.begin(), days.end(), [](const DayRule& d) { return !d.windows.empty(); });
}

int32_t WeekPlan::limitSeconds(const DateTime& t) const {
    return days[static_cast<size_t>(weekdayOf(t))].limitMinutes * 60;
}

WeekPlan::State WeekPlan::stateAt(const DateTime& now, const ConsoleWindow& console) const {
    // The allowed spans from yesterday (a console window may reach past midnight) to a week ahead,
    // joined where one ends as the next begins.
    std::vector<Span> spans;
    const DateTime today = now.date();
    for (int i = -1; i <= 8; ++i) {
        const DateTime d = today.addDays(i);
        const DayRule& rule = days[static_cast<size_t>(weekdayOf(d))];
        if (rule.windows.empty()) {
            const Span s = consoleSpan(d, console);
            if (s.begin < s.end) spans.push_back(s);
            continue;
        }
        for (const DayWindow& w : rule.windows)
            if (w.from < w.to) spans.push_back({d.serial() + w.from * 60LL, d.serial() + w.to * 60LL});
    }
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.begin < b.begin; });
    std::vector<Span> joined;
    for (const Span& s : spans) {
        if (!joined.empty() && s.begin <= joined.back().end)
            joined.back().end = std::max(joined.back().end, s.end);
        else
            joined.push_back(s);
    }
    const int64_t t = now.serial();
    constexpr int64_t kWeek = 7 * 86400;
    for (const Span& s : joined) {
        if (s.begin <= t && t < s.end) return {true, std::min(s.end - t, kWeek)};
        if (s.begin > t) return {false, std::min(s.begin - t, kWeek)};
    }
    return {false, kWeek};
}

std::string WeekPlan::describe() const {
    if (empty()) return "Every day: no limit on game time, the console's times.";
    std::string s;
    for (size_t first = 0; first < days.size();) {
        size_t last = first;
        while (last + 1 < days.size() && days[last + 1] == days[first]) ++last;
        if (!s.empty()) s += "; ";
        s += kDayNames[first];
        if (last > first) s += std::string(last == first + 1 ? " and " : " to ") + kDayNames[last];
        s += ": " + dayRuleText(days[first]);
        first = last + 1;
    }
    return s + ".";
}

}  // namespace qv
