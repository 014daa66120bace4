// The lock screen's time-left text.
#pragma once
#include <cstdint>
#include <string>

#include "week/week_plan.h"

namespace qv {

class FrmMain;

// Hours, minutes and seconds joined by ":", each with a sign position: " 1: 2: 5", "-0:-1:-5".
std::string timeLeftText(int32_t seconds);

// The console's Bed time pickers, which days of the week plan without windows of their own follow.
ConsoleWindow consoleWindowOf(FrmMain& console);

}  // namespace qv
