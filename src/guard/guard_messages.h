// The lines Quorvane sends its guard, one per connection:
//   "running MODE GAMETIMEON BREAKTIMEON FINALTIME"  a plan started, resumed or saved its period
//   "stopped"                                      the plan was stopped or left with the password
//   "exited"                                       the program was ended with the password
//   "ending"                                       Windows is ending the session (log-off, shutdown)
//   "settime HOUR MINUTE SECOND"                   set the clock's time of day back (the program may
//                                                  not, in a standard account)
//   "history STAMPED-LINE"                         an event for the guard's copy of the history
// The values are the texts Quorvane stores in "Controls".
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/guard.h"

namespace qv {

struct GuardMessage {
    enum class Kind { Running, Stopped, Exited, Ending, SetTime, History } kind = Kind::Stopped;
    GuardRunState state;                   // with Running
    int hour = 0, minute = 0, second = 0;  // with SetTime
    std::string text{};                    // with History: the stamped line
};

constexpr size_t kGuardMessageMax = 128;  // a longer line is no message of ours

std::string guardRunningLine(const GuardRunState& state);
std::string guardSetTimeLine(int hour, int minute, int second);
std::string guardHistoryLine(const std::string& stamped);
// Anything but a well-formed line, within kGuardMessageMax, is nothing.
std::optional<GuardMessage> parseGuardMessage(std::string_view line);

}  // namespace qv
