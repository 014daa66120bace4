#include "engine/plan_times.h"

namespace qv {

OneTimeWindow oneTimeWindow(const PlanChoice& c, const DateTime& now) {
    OneTimeWindow w;
    w.start = DateTime::fromParts(now.year, c.startMonth, c.startDay, c.startHour, c.startMinute, 0);
    w.end = DateTime::fromParts(now.year, c.startMonth, c.startDay, c.startHour,
                                c.startMinute + c.totalMinutes, 0);
    return w;
}

BedTimeWindow bedTimeWindow(const PlanChoice& c, const DateTime& now) {
    BedTimeWindow w;
    w.start = DateTime::fromParts(now.year, now.month, now.day, c.bedStartH, c.bedStartM, 0);
    w.bed = DateTime::fromParts(now.year, now.month, now.day, c.bedH, c.bedM, 0);
    // Hours and minutes as built: a latest time of 24:00 already lies at tomorrow's hour 0.
    if ((w.bed.hour < w.start.hour && w.bed.hour != 0) ||
        (w.bed.hour == w.start.hour && w.start.minute > w.bed.minute)) {
        w.bed = DateTime::fromParts(now.year, now.month, now.day + 1, c.bedH, c.bedM, 0);
    }
    return w;
}

}  // namespace qv
