#include "platform/sim/platform.h"

namespace qv::sim {

namespace {
constexpr uint32_t kTimeChange = 0x001E;  // WM_TIMECHANGE
}

SimWorld::SimWorld(const DateTime& start)
    : clock(start), windowLock(windowing), processes(clock, windowLock), platform_{clock, clock,    windowing, dialogs,  registry,
                                                     tray,  system,   processes, keyboard, windowLock,
                                                     sound, shutdown, timeOfDay, pictures, guard} {
    // Setting the time of day moves the virtual wall clock, keeping the date.
    timeOfDay.onSet = [this](int h, int m, int s) {
        const DateTime n = clock.now();
        clock.setNow(DateTime::fromParts(n.year, n.month, n.day, h, m, s));
    };
    timeOfDay.deliverTimeChange = [this] { windowing.broadcast(kTimeChange); };
    windowing.attachLock(windowLock);
}

void SimWorld::changeTime(const DateTime& t) {
    clock.setNow(t);
    windowing.broadcast(kTimeChange);
}

}  // namespace qv::sim
