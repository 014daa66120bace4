// The readers of numbers in picker and stored texts; every line is one text.
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "input.h"
#include "settings/convert.h"

using namespace qv;

namespace {

template <class T>
void checkRounding(T (*round)(double), double a, double b) {
    const T ra = round(a), rb = round(b);
    if (a <= b) fuzz::require(ra <= rb, "rounding not monotonic");
    if (std::abs(a) < std::numeric_limits<T>::max())
        fuzz::require(std::abs(static_cast<double>(ra) - a) <= 0.5, "rounded further than half a unit");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const std::string& text : fuzz::lines(data, size)) {
        const double lead = leadingNumber(text);
        fuzz::require(std::isfinite(lead), "leading number not finite");
        if (const auto whole = parseNumber(text)) {
            fuzz::require(*whole == lead, "whole number differs from its leading number");
            // The C library agrees on the same text, short of its infinities.
            char* end = nullptr;
            const double ref = std::strtod(text.c_str(), &end);
            const size_t used = static_cast<size_t>(end - text.c_str());
            fuzz::require(text.find_first_not_of(" \t\r\n", used) == std::string::npos,
                          "C library stops early");
            fuzz::require(ref == *whole || std::isinf(ref), "the C library reads another number");
        }
        const double raw = fuzz::bitsOf<double>(text);
        checkRounding(roundToInt16, lead, raw);
        checkRounding(roundToInt32, raw, lead);
        const int64_t seconds = fuzz::bitsOf<int64_t>(text);
        if (seconds == static_cast<int32_t>(seconds))
            fuzz::require(clampedSeconds(seconds) == seconds, "seconds in range changed");
        leadingMinutesAsSeconds(text);
    }
    return 0;
}
