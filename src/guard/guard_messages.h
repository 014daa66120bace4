// The lines Quorvane sends its guard, one per connection:
//   "running MODE GAMETIMEON BREAKTIMEON FINALTIME"  a plan started, resumed or saved its period
//   "stopped"                                      the plan was stopped or left with the password
//   "exited"                                       the program was ended with the password
//   "ending"                                       Windows is ending the session (log-off, shutdown)
// The values are the texts Quorvane stores in "Controls".
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/guard.h"

namespace qv {

struct GuardMessage {
    enum class Kind { Running, Stopped, Exited, Ending } kind = Kind::Stopped;
    GuardRunState state;  // with Running
};

constexpr size_t kGuardMessageMax = 128;  // a longer line is no message of ours

std::string guardRunningLine(const GuardRunState& state);
// Anything but a well-formed line, within kGuardMessageMax, is nothing.
std::optional<GuardMessage> parseGuardMessage(std::string_view line);

}  // namespace qv
