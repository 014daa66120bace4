#include "lock/time_text.h"

namespace qv {

namespace {
// A number with its sign position: a blank for zero and positive numbers, "-" for negative ones.
std::string signedText(int32_t v) {
    std::string s(1, v < 0 ? '-' : ' ');
    s += std::to_string(v < 0 ? -static_cast<int64_t>(v) : static_cast<int64_t>(v));
    return s;
}
}  // namespace

std::string timeLeftText(int32_t seconds) {
    const int32_t h = seconds / 3600;
    const int32_t m = (seconds - 3600 * h) / 60;
    const int32_t s = seconds - 3600 * h - 60 * m;
    return signedText(h) + ":" + signedText(m) + ":" + signedText(s);
}

}  // namespace qv
