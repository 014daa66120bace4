// The console state codes: what the program is doing, and what a password request was asked for.
// The code is stored as "Mode" and read back at the next start.
#pragma once
#include <cstdint>

namespace qv::state {
constexpr int16_t kConsoleOpen = 1;
constexpr int16_t kPlanRunning = 2;
constexpr int16_t kStopAsked = 3;
constexpr int16_t kExitAsked = 4;
constexpr int16_t kIdle = 5;
constexpr int16_t kFirstRun = 6;
constexpr int16_t kSettingClock = 7;
}  // namespace qv::state
