#include "platform/sim/platform.h"

namespace qv::sim {

namespace {
constexpr uint32_t kTimeChange = 0x001E;      // WM_TIMECHANGE
constexpr uint32_t kPowerBroadcast = 0x0218;  // WM_POWERBROADCAST
constexpr intptr_t kResumeAutomatic = 0x12;   // PBT_APMRESUMEAUTOMATIC
}  // namespace

SimWorld::SimWorld(const DateTime& start)
    : clock(start),
      windowLock(windowing),
      processes(clock, windowLock),
      platform_{clock,    clock,      windowing, dialogs,  registry,  tray,     system, processes,
                keyboard, windowLock, sound,     shutdown, timeOfDay, pictures, guard,  history} {
    // Setting the time of day moves the virtual wall clock, keeping the date.
    timeOfDay.onSet = [this](int h, int m, int s) {
        const DateTime n = clock.now();
        clock.setNow(DateTime::fromParts(n.year, n.month, n.day, h, m, s));
    };
    timeOfDay.deliverTimeChange = [this] { windowing.broadcast(kTimeChange); };
    windowing.attachLock(windowLock);
}

void SimWorld::changeZone(const std::string& zone, int64_t shiftSeconds) {
    timeOfDay.zone = zone;
    clock.setNow(DateTime::fromSerial(clock.now().serial() + shiftSeconds));
    windowing.broadcast(kTimeChange);
}

void SimWorld::sleep(int64_t ms) {
    clock.sleep(ms);
    windowing.broadcast(kPowerBroadcast, kResumeAutomatic);
}

void SimWorld::changeTime(const DateTime& t) {
    clock.setNow(t);
    windowing.broadcast(kTimeChange);
}

}  // namespace qv::sim
