// Prints the CPU time the program needs to run seven simulated days of each mode.
#include <cstdio>
#include <ctime>
#include <functional>

#include "unit/plan.h"

using qv::DateTime;
using qv::test::Plan;

namespace {

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

void week(const char* name, const std::function<void(Plan&)>& setUp) {
    Plan p(DateTime{2026, 12, 6, 18, 0, 0});
    setUp(p);
    p.start();
    const double t0 = cpuSeconds();
    p.advance(7LL * 86400 * 1000);
    const double t = cpuSeconds() - t0;
    std::printf("%-34s %8.3f s CPU for 7 simulated days (%d ticks)%s\n", name, t, 7 * 86400,
                t < 1.0 ? "" : "  [goal: under 1 s]");
}

}  // namespace

void weekYears();  // week_year_native.cpp

int main() {
    week("Changing mode (60 / 15 min)", [](Plan& p) { p.plan("every 60 15"); });
    week("One time mode (ends on day 1)", [](Plan& p) { p.plan("once 12 6 20 0 120"); });
    week("Bed time mode (07:00 - 21:00)", [](Plan& p) { p.plan("bed 7 0 21 0"); });
    week("Changing mode, only listed", [](Plan& p) { p.plan("every 1 1 listed"); });
    weekYears();
    return 0;
}
