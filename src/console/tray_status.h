// What the notification icon tells the child about the running plan: the tooltip with the time
// left, and the balloons when game time begins and shortly before it ends. It is fed the plan's
// state (from the clock's tick, a Start, a resume) and says only what changed, so the icon is
// modified when its text changes, not at every tick. Plain character buffers: this runs in the
// shipped program, which is held to its size.
#pragma once
#include <cstdint>

#include "platform/datetime.h"

namespace qv {

struct PlanState {
    enum class Period { Game, Break, Over };
    Period period = Period::Over;
    int32_t secondsLeft = 0;
    // The break waits for a time of day (One time before its window, Bed time): its tip says until
    // when instead of how long.
    bool breakUntilTimeOfDay = false;
    DateTime now;
    // Appended to the tip of a running plan (for example the time left today).
    const char* tipSuffix = "";
};

class TrayStatus {
  public:
    static constexpr int kTipSize = 128;  // what the notification area keeps, with the NUL

    struct Change {
        const char* tip = nullptr;      // the new tip; null while it stays as it was
        const char* balloon = nullptr;  // null: none
        bool warning = false;           // the balloon warns of the end of game time
    };

    // The plan's state after a tick, a Start, a resume or a new period; `began` says that the
    // period has just begun (a switch, a Start, time given), not resumed. The texts stay valid
    // until the next call.
    Change update(const PlanState& s, bool began);
    // No plan runs any more; true when the tip of a plan was shown and must give way to the icon's own.
    bool idle();

    static void tipText(const PlanState& s, char (&tip)[kTipSize]);

    static constexpr int32_t kFirstWarning = 300;
    static constexpr int32_t kLastWarning = 60;

  private:
    // What the tip's words depend on, so that a tick that changes none of them formats nothing:
    // the period, whether it waits for a time of day, and the minutes left or (waiting) the minute
    // it ends at, with the suffix.
    struct TipKey {
        PlanState::Period period = PlanState::Period::Over;
        bool untilTimeOfDay = false;
        int64_t value = 0;
        friend bool operator==(const TipKey& a, const TipKey& b) {
            return a.period == b.period && a.untilTimeOfDay == b.untilTimeOfDay && a.value == b.value;
        }
    };
    static TipKey keyOf(const PlanState& s);

    char tip_[kTipSize] = "";  // the tip last sent; empty while idle
    TipKey tipKey_;            // and what it was made of
    char tipSuffix_[kTipSize] = "";
    char balloon_[32] = "";
    bool inGame_ = false;
    int32_t gameSeconds_ = 0;  // the game's seconds left at the last update
};

}  // namespace qv
