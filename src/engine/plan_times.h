// The console's plan as numbers, read the way the scheduler reads its pickers, and the times of
// day that One time and Bed time plans open and close. Shared by the scheduler, the clock and the
// console's preview, so that what the preview says is what Start does.
#pragma once
#include <cstdint>

#include "platform/datetime.h"

namespace qv {

enum class PlanMode { None, Changing, OneTime, BedTime };

struct PlanChoice {
    PlanMode mode = PlanMode::None;
    int32_t gameSeconds = 0, breakSeconds = 0;                                           // Changing mode
    int startMonth = 0, startDay = 0, startHour = 0, startMinute = 0, totalMinutes = 0;  // One time
    int bedStartH = 0, bedStartM = 0, bedH = 0, bedM = 0;                                // Bed time
    bool onlyListed = false, everything = false;
    bool listEmpty = true;
    bool shutDown = false;
};

// One time mode's play window, in the current year of `now`; both ends belong to it.
struct OneTimeWindow {
    DateTime start, end;
};
OneTimeWindow oneTimeWindow(const PlanChoice& c, const DateTime& now);

// Start and latest time of Bed time mode, today; a latest time before the start on the clock
// face is tomorrow's.
struct BedTimeWindow {
    DateTime start, bed;
};
BedTimeWindow bedTimeWindow(const PlanChoice& c, const DateTime& now);

}  // namespace qv
