#include "settings/convert.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace qv {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the number that starts at text[pos], or 0 when none does.
size_t scanNumber(const std::string& t, size_t pos) {
    size_t i = pos;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t digits = 0;
    while (i < t.size() && isDigit(t[i])) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && isDigit(t[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        if (j < t.size() && isDigit(t[j])) {
            while (j < t.size() && isDigit(t[j])) ++j;
            i = j;
        }
    }
    return i - pos;
}

double toDouble(const std::string& t, size_t pos, size_t len) {
    double v = std::strtod(t.substr(pos, len).c_str(), nullptr);
    if (!std::isfinite(v))
        v = v < 0 ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
    return v;
}

template <class T>
T roundClamped(double v) {
    if (std::isnan(v)) return 0;
    const double r = std::nearbyint(v);  // the default rounding mode rounds half to even
    if (r <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    if (r >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(r);
}

}  // namespace

double leadingNumber(const std::string& text) {
    size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    const size_t len = scanNumber(text, pos);
    return len ? toDouble(text, pos, len) : 0.0;
}

std::optional<double> parseNumber(const std::string& text) {
    size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    const size_t len = scanNumber(text, pos);
    if (!len) return std::nullopt;
    size_t end = pos + len;
    while (end < text.size() && isBlank(text[end])) ++end;
    if (end != text.size()) return std::nullopt;
    return toDouble(text, pos, len);
}

int16_t roundToInt16(double v) {
    return roundClamped<int16_t>(v);
}
int32_t roundToInt32(double v) {
    return roundClamped<int32_t>(v);
}

}  // namespace qv
