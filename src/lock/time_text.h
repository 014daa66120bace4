// The lock screen's time-left text, and the Bed time window shared by the scheduler and the clock.
#pragma once
#include <cstdint>
#include <string>

#include "platform/datetime.h"
#include "week/week_plan.h"

namespace qv {

class FrmMain;

// Hours, minutes and seconds joined by ":", each with a sign position: " 1: 2: 5", "-0:-1:-5".
std::string timeLeftText(int32_t seconds);

struct BedTimeWindow {
    DateTime start, bed;
};
BedTimeWindow bedTimeWindow(FrmMain& console, const DateTime& now);
// The same pickers for the week plan, whose days without windows of their own follow them.
ConsoleWindow consoleWindowOf(FrmMain& console);

}  // namespace qv
