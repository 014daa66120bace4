// The lock screen's time-left text.
#pragma once
#include <cstdint>
#include <string>

namespace qv {

// Hours, minutes and seconds joined by ":", each with a sign position: " 1: 2: 5", "-0:-1:-5".
std::string timeLeftText(int32_t seconds);

}  // namespace qv
