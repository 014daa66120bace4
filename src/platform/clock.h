// Local time of day and periodic timers that fire on the GUI thread.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/datetime.h"

namespace qv {

class IClock {
  public:
    virtual ~IClock() = default;
    virtual DateTime now() const = 0;  // local date and time, whole seconds
    // Milliseconds from a steady clock that stands still while the machine sleeps or hibernates:
    // how long the machine has been awake, for counting time that someone could have used.
    virtual int64_t awakeMs() const = 0;
};

using TimerId = uint32_t;

class ITimers {
  public:
    virtual ~ITimers() = default;
    // Calls tick every intervalMs on the GUI thread until stopped. Ticks are scheduled against a
    // steady deadline (start + n * interval), so a blocked thread does not make later ticks drift.
    virtual TimerId start(int intervalMs, std::function<void()> tick) = 0;
    virtual void stop(TimerId id) = 0;
};

}  // namespace qv
