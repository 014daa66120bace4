// The lock screen's time-left text, and the Bed time window shared by the scheduler and the clock.
#pragma once
#include <cstdint>
#include <string>

#include "platform/datetime.h"

namespace qv {

class FrmMain;

// Hours, minutes and seconds joined by ":", each with a sign position: " 1: 2: 5", "-0:-1:-5".
std::string timeLeftText(int32_t seconds);

struct BedTimeWindow {
    DateTime start, bed;
};
BedTimeWindow bedTimeWindow(FrmMain& console, const DateTime& now);

}  // namespace qv
