#include "platform/sim/platform.h"

namespace qv::sim {

SimWorld::SimWorld(const DateTime& start)
    : clock(start), platform_{clock,     clock,    windowing,  dialogs, registry, tray,      system,
                              processes, keyboard, windowLock, sound,   shutdown, timeOfDay, pictures} {
    // Setting the time of day moves the virtual wall clock, keeping the date.
    timeOfDay.onSet = [this](int h, int m, int s) {
        const DateTime n = clock.now();
        clock.setNow(DateTime::fromParts(n.year, n.month, n.day, h, m, s));
    };
}

}  // namespace qv::sim
