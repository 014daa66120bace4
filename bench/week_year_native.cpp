// Prints the CPU time the program needs to run a simulated year of each kind of week plan.
#include <cstdio>
#include <ctime>
#include <functional>

#include "unit/plan.h"

using qv::DateTime;
using qv::DayRule;
using qv::DayWindow;
using qv::WeekPlan;
using qv::test::Plan;

namespace {

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

void year(const char* name, const char* words, const WeekPlan& week) {
    Plan p(DateTime{2026, 12, 6, 18, 0, 0});
    p.app->week = week;
    p.plan(words);
    p.start();
    const double t0 = cpuSeconds();
    p.advance(365LL * 86400 * 1000);
    const double t = cpuSeconds() - t0;
    std::printf("%-44s %8.3f s CPU for 365 simulated days  [goal: <= 1 s]\n", name, t);
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
    year("Changing mode, no week plan", "every 45 15", WeekPlan{});
    year("Changing mode, 2 h a day, 3 h at weekends", "every 45 15", schoolWeek(true, false));
    year("Bed time, no week plan", "bed 7 0 21 0", WeekPlan{});
    year("Bed time, windows per weekday", "bed 7 0 21 0", schoolWeek(false, true));
}
