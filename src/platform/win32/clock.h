// The local clock and periodic timers on the GUI thread (WM_TIMER of a message-only window).
#pragma once
#include <windows.h>

#include <map>
#include <memory>

#include "platform/clock.h"

namespace qv::win32 {

class Win32Clock : public IClock {
  public:
    DateTime now() const override;
    int64_t awakeMs() const override;
};

class Win32Timers : public ITimers {
  public:
    Win32Timers();
    ~Win32Timers() override;
    TimerId start(int intervalMs, std::function<void()> tick) override;
    void stop(TimerId id) override;

    size_t active() const { return timers_.size(); }
    // Milliseconds until timer n fires next when it is now `nowMs` (exposed for the checks).
    static int64_t nextDelay(int64_t startMs, int intervalMs, int64_t nowMs, int64_t* ticksDone);

  private:
    struct Entry {
        int interval;
        int64_t startMs;  // monotonic time the timer was started
        int64_t ticks;    // deadlines passed so far
        bool running;     // its callback is on the stack (a modal loop inside it)
        int64_t armedMs;  // the period the native timer was last given
        std::shared_ptr<std::function<void()>> tick;
    };
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void fire(TimerId id);
    void arm(TimerId id, Entry& e);
    void setNative(TimerId id, Entry& e, int64_t ms);

    HWND window_ = nullptr;
    std::map<TimerId, Entry> timers_;
    TimerId nextId_ = 1;
};

// Milliseconds from a steady clock that never goes back.
int64_t monotonicMs();

}  // namespace qv::win32
