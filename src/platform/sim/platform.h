// The simulated machine: every service of the platform, deterministic, with a test-control
// surface. Each test builds a fresh world.
#pragma once
#include <memory>

#include "platform/platform.h"
#include "platform/sim/clock.h"
#include "platform/sim/dialogs.h"
#include "platform/sim/guard.h"
#include "platform/sim/history_store.h"
#include "platform/sim/keyboard.h"
#include "platform/sim/registry.h"
#include "platform/sim/services.h"
#include "platform/sim/system.h"
#include "platform/sim/tray.h"
#include "platform/sim/windowing.h"
#include "platform/sim/windowlock.h"

namespace qv::sim {

class SimWorld {
  public:
    explicit SimWorld(const DateTime& start = DateTime{2026, 12, 6, 18, 0, 0});
    Platform& platform() { return platform_; }
    // Someone sets the system time: the clock moves and every window hears of it.
    void changeTime(const DateTime& t);
    // Someone sets another time zone: the local time moves by the zones' difference.
    void changeZone(const std::string& zone, int64_t shiftSeconds);
    // The machine sleeps for ms and wakes: the wall clock moves on, then Windows says so.
    void sleep(int64_t ms);

    SimClock clock;
    SimWindowing windowing;
    SimDialogs dialogs;
    SimRegistry registry;
    SimTray tray;
    SimSystem system;
    SimWindowLock windowLock;
    SimProcesses processes;
    SimKeyboard keyboard;
    SimSound sound;
    SimShutdown shutdown;
    SimTimeOfDay timeOfDay;
    SimPictures pictures;
    SimGuardLink guard;
    SimHistoryStore history;

  private:
    Platform platform_;
};

}  // namespace qv::sim
