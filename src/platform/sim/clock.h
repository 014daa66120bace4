// A virtual local clock and timers that tests drive: a simulated day runs in milliseconds.
#pragma once
#include <functional>
#include <map>
#include <memory>

#include "platform/clock.h"

namespace qv::sim {

class SimClock : public IClock, public ITimers {
  public:
    explicit SimClock(const DateTime& start);
    DateTime now() const override;
    int64_t awakeMs() const override { return nowMs_; }
    TimerId start(int intervalMs, std::function<void()> tick) override;
    void stop(TimerId id) override;

    // Test control.
    int64_t elapsedMs() const { return nowMs_; }
    // Runs every timer that falls due within ms, in deadline order, moving the clock to each.
    void advance(int64_t ms);
    // The program's thread is blocked for ms (a wait on another process): time passes, and every
    // timer that fell due meanwhile fires once when the clock next advances, as WM_TIMER does.
    void block(int64_t ms);
    // Moves the wall clock without running timers (someone set the system time).
    void setNow(const DateTime& t);
    // The machine sleeps for ms: the wall clock moves on, the awake clock and the timers stand.
    void sleep(int64_t ms) { baseSerial_ += ms / 1000; }
    size_t activeTimers() const { return timers_.size(); }
    // Set by the owner: called after every tick, so forms unloaded by it are freed.
    std::function<void()> afterTick;

  private:
    struct Entry {
        int interval;
        int64_t due;
        std::shared_ptr<std::function<void()>> tick;
    };
    int64_t baseSerial_;  // wall-clock seconds at elapsed 0
    // The date of the last reading: a tick on the same day works out only the time of day.
    mutable int64_t dayStart_ = -1;
    mutable DateTime day_;
    int64_t nowMs_ = 0;  // awake time since the start
    std::map<TimerId, Entry> timers_;
    TimerId nextId_ = 1;
};

}  // namespace qv::sim
