// Numbers held in range, and stored passwords that were edited by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/password.h"
#include "settings/convert.h"

namespace qv::test {

TEST(Numbers, HugeValuesAreHeldInRangeAndHalvesRoundToEven) {
    EXPECT_EQ(roundToInt16(2.5), 2);
    EXPECT_EQ(roundToInt16(3.5), 4);
    EXPECT_EQ(roundToInt16(1e12), 32767) << "not overflowed";
    EXPECT_EQ(roundToInt32(-1e300), INT32_MIN);
    EXPECT_EQ(leadingInt32("99999999999999999999999"), INT32_MAX);
    EXPECT_EQ(roundToInt16(std::nan("")), 0);
}

TEST(Password, MalformedStoredTextDecodesWhatItCan) {
    const std::pair<const char*, std::string> malformed[] = {
        {"1", ""},         // the read default of a store without a password
        {"x297", "a"},     // a leading non-digit keeps length 0 and is dropped
        {"3999297", "a"},  // a code above 255 appends nothing
        {"2ab297", "a"},   // a non-numeric code appends nothing
        {"9", ""},         // a length beyond the end
        {"0000", ""},     {"297298", "ab"},
    };
    for (auto& [stored, plain] : malformed) EXPECT_EQ(decodePassword(stored), plain) << stored;
}

}  // namespace qv::test
