// Reading numbers out of stored texts and picker texts.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace qv {

// The decimal number at the start of text (after leading blanks), with an optional sign,
// fraction and exponent; 0 when the text does not start with a number.
double leadingNumber(const std::string& text);

// The whole text as a number (blanks around it allowed), or nothing when it is not one.
std::optional<double> parseNumber(const std::string& text);

// Rounded half to even and held inside the type's range, so that a huge stored value cannot
// overflow.
int16_t roundToInt16(double v);
int32_t roundToInt32(double v);

inline int16_t leadingInt16(const std::string& t) {
    return roundToInt16(leadingNumber(t));
}
inline int32_t leadingInt32(const std::string& t) {
    return roundToInt32(leadingNumber(t));
}
// A count of seconds held inside the 32-bit range: a typed date far ahead must not wrap a long
// break into a negative count.
inline int32_t clampedSeconds(int64_t seconds) {
    return roundToInt32(static_cast<double>(seconds));
}
// A picker's minutes as seconds.
inline int32_t leadingMinutesAsSeconds(const std::string& t) {
    return roundToInt32(leadingNumber(t) * 60);
}

}  // namespace qv
