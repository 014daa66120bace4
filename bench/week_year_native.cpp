// Prints the CPU time a simulated year of each kind of week plan costs: the whole program ticked
// each second (with the simulated machine's own share for comparison), and the week's decisions
// alone, asked as the clock asks them.
#include <cstdio>
#include <ctime>
#include <functional>

#include "unit/plan.h"

using qv::DateTime;
using qv::DayRule;
using qv::DayWindow;
using qv::GameDay;
using qv::WeekPlan;
using qv::test::Plan;

namespace {

constexpr int64_t kYear = 365LL * 86400;
const DateTime kStart{2026, 12, 6, 18, 0, 0};

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

void line(const char* what, const char* name, double t) {
    std::printf("%-16s %-42s %7.3f s CPU for 365 days  [goal: <= 1 s%s]\n", what, name, t,
                t <= 1.0 ? "" : ": not met");
}

void programYear(const char* name, const char* words, const WeekPlan& week) {
    Plan p(kStart);
    p.app->week = week;
    p.plan(words);
    p.start();
    const double t0 = cpuSeconds();
    p.advance(kYear * 1000);
    line("whole program", name, cpuSeconds() - t0);
}

// The simulated machine's own cost of a year of ticks: a timer that does nothing.
void machineYear() {
    Plan p(kStart);
    qv::ui::Timer& t = p.big().timer1;  // the clock's timer, left without its work
    t.onTimer = [] {};
    t.setEnabled(true);
    const double t0 = cpuSeconds();
    p.advance(kYear * 1000);
    std::printf("%-16s %-42s %7.3f s CPU for 365 days (the floor under the lines above)\n", "simulation",
                "an empty one-second timer", cpuSeconds() - t0);
}

// One second on from `t`, the date worked out only at midnight, as a clock reading gives it.
void nextSecond(DateTime& t) {
    if (++t.second < 60) return;
    t.second = 0;
    if (++t.minute < 60) return;
    t.minute = 0;
    if (++t.hour < 24) return;
    t = t.date().addDays(1);
}

// What the clock asks of the week each second of Changing mode: the day's count of a game second
// (or a new day in a break), what is left of the day for the tip, and whether it is spent.
void limitDecisions(const char* name, const WeekPlan& week) {
    GameDay day;
    DateTime now = kStart;
    int64_t sink = 0;
    const double t0 = cpuSeconds();
    for (int64_t s = 0; s < kYear; ++s, nextSecond(now)) {
        const bool playing = s % 3600 < 2700;  // 45 minutes of game an hour
        if (playing && !day.spent(week)) {
            day.add(now, 1);
            sink += day.left(week);
        } else {
            day.roll(now);
        }
        sink += day.leftAt(week, now);
    }
    line("week decisions", name, cpuSeconds() - t0);
    if (sink == 42) std::puts("");  // keeps the work
}

// What the clock asks of the week in Bed time mode with windows: once a minute, the state at that
// moment and the time to the next change.
void windowDecisions(const char* name, const WeekPlan& week) {
    const qv::ConsoleWindow console{7, 0, 21, 0};
    DateTime now = kStart;
    int64_t sink = 0;
    const double t0 = cpuSeconds();
    for (int64_t s = 0; s < kYear; ++s, nextSecond(now))
        if (now.second == 0) sink += week.stateAt(now, console).secondsToChange;
    line("week decisions", name, cpuSeconds() - t0);
    if (sink == 42) std::puts("");
}

WeekPlan schoolWeek(bool limits, bool windows) {
    WeekPlan w;
    for (size_t d = 0; d < 7; ++d) {
        const bool weekend = d >= 5;
        DayRule& r = w.days[d];
        if (limits) r.limitMinutes = weekend ? 180 : 120;
        if (windows)
            r.windows = weekend ? std::vector<DayWindow>{{9 * 60, 12 * 60}, {14 * 60, 20 * 60}}
                                : std::vector<DayWindow>{{16 * 60, 19 * 60 + 30}};
    }
    return w;
}

}  // namespace

// Called by the benchmark's main after the simulated weeks.
void weekYears() {
    programYear("Changing mode, no week plan", "every 45 15", WeekPlan{});
    programYear("Changing mode, 2 h a day, 3 h at weekends", "every 45 15", schoolWeek(true, false));
    programYear("Bed time, no week plan", "bed 7 0 21 0", WeekPlan{});
    programYear("Bed time, windows per weekday", "bed 7 0 21 0", schoolWeek(false, true));
    machineYear();
    limitDecisions("Changing mode, 2 h a day, 3 h at weekends", schoolWeek(true, false));
    windowDecisions("Bed time, windows per weekday", schoolWeek(false, true));
}
