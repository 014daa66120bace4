// More time given from the lock screen: a game period of its own that begins at once, and the
// period the plan goes back to when it ends. The extra period stays recognisable as such (it is
// not the plan's own game time) for as long as it runs, also across a restart.
#pragma once
#include <cstdint>
#include <string>

namespace qv {

class ExtraTime {
  public:
    static constexpr int kMinMinutes = 1, kMaxMinutes = 240;
    static constexpr int32_t kMaxSeconds = kMaxMinutes * 60;

    // The minutes in a text picked or typed: a whole number from 1 to 240 with nothing else but
    // blanks around it, or 0.
    static int minutesFrom(const std::string& text);

    struct Period {
        bool game = false, brk = false;  // neither: no period runs (the plan is over)
        int32_t secondsLeft = 0;
    };

    bool active() const { return active_; }
    // What runs after the extra period (the period that was running when the first of them was given).
    const Period& then() const { return then_; }

    // An extra period begins while `running` runs. Given again during one, it replaces it and the
    // plan still goes back to the period from before the first.
    void give(const Period& running);
    // The extra period has ended: the period to go back to.
    Period end();
    void cancel() { active_ = false; }  // a new plan, or the plan stopped

    // Stored beside the plan's run state, in values of its own: written while an extra period
    // runs and once when it has ended; absent values read as no extra period.
    bool storeDue() const { return active_ || stored_; }
    void storedNow() { stored_ = active_; }
    // Stored as "ExtraTimeOn": 0 none, else what follows it (1 game, 2 a break, 3 no period), and
    // "ExtraTimeThen": the seconds left of that period.
    int storedCode() const { return !active_ ? 0 : then_.game ? 1 : then_.brk ? 2 : 3; }
    // `gameTimeOn` as read back: an extra period is a game period, anything else is not one.
    void restore(int code, int32_t thenSecondsLeft, bool gameTimeOn);

  private:
    bool active_ = false;
    bool stored_ = false;  // the store says that one runs
    Period then_;
};

}  // namespace qv
