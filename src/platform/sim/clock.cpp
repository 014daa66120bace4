#include "platform/sim/clock.h"

namespace qv::sim {

SimClock::SimClock(const DateTime& start) : baseSerial_(start.serial()) {}

DateTime SimClock::now() const {
    const int64_t s = baseSerial_ + nowMs_ / 1000;
    if (s < dayStart_ || s >= dayStart_ + 86400 || dayStart_ < 0) {
        day_ = DateTime::fromSerial(s);
        dayStart_ = s - (day_.hour * 3600 + day_.minute * 60 + day_.second);
    }
    DateTime t = day_;
    const int rest = static_cast<int>(s - dayStart_);
    t.hour = rest / 3600;
    t.minute = rest % 3600 / 60;
    t.second = rest % 60;
    return t;
}

TimerId SimClock::start(int intervalMs, std::function<void()> tick) {
    const TimerId id = nextId_++;
    if (intervalMs < 1) intervalMs = 1;
    timers_[id] =
        Entry{intervalMs, nowMs_ + intervalMs, std::make_shared<std::function<void()>>(std::move(tick))};
    return id;
}

void SimClock::stop(TimerId id) {
    timers_.erase(id);
}

void SimClock::advance(int64_t ms) {
    const int64_t end = nowMs_ + ms;
    while (true) {
        // The earliest due timer; equal deadlines fire in the order the timers were started.
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it)
            if (next == timers_.end() || it->second.due < next->second.due) next = it;
        if (next == timers_.end() || next->second.due > end) break;
        nowMs_ = next->second.due;
        next->second.due += next->second.interval;
        auto tick = next->second.tick;  // the tick may stop this very timer
        (*tick)();
        if (afterTick) afterTick();
    }
    nowMs_ = end;
}

void SimClock::block(int64_t ms) {
    nowMs_ += ms;
    for (auto& [id, t] : timers_)
        if (t.due < nowMs_) t.due = nowMs_;
}

void SimClock::setNow(const DateTime& t) {
    baseSerial_ = t.serial() - nowMs_ / 1000;
}

}  // namespace qv::sim
