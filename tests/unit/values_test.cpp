// Calendar arithmetic, numbers read from texts, and the stored form of the password.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/password.h"
#include "platform/datetime.h"
#include "settings/convert.h"

namespace qv::test {

TEST(Calendar, OutOfRangePartsRollForwardAndDifferencesAreSigned) {
    const std::pair<DateTime, const char*> cases[] = {
        {DateTime::fromParts(2026, 4, 31, 10, 0, 0), "2026-05-01 10:00:00"},  // day 31 of a 30-day month
        {DateTime::fromParts(2026, 12, 6, 24, 0, 0), "2026-12-07 00:00:00"},  // hour 24 is next midnight
        {DateTime::fromParts(2026, 12, 31, 23, 75, 0), "2027-01-01 00:15:00"},
        {DateTime::fromParts(2026, 13, 1, 0, 0, 0), "2027-01-01 00:00:00"},
        {DateTime::fromParts(2028, 2, 29, 0, 0, 0), "2028-02-29 00:00:00"},
        {DateTime::fromParts(2027, 2, 29, 0, 0, 0), "2027-03-01 00:00:00"},
        {DateTime::fromParts(2026, 1, 0, 0, 0, 0), "2025-12-31 00:00:00"},
        {DateTime::fromParts(2026, 0, 1, 0, 0, 0), "2025-12-01 00:00:00"},
        {DateTime{2026, 12, 31, 8, 0, 0}.addDays(1), "2027-01-01 08:00:00"},
    };
    for (auto& [built, expected] : cases) EXPECT_EQ(built.toString(), expected);
    const DateTime a{2026, 12, 6, 22, 0, 0}, b{2026, 12, 7, 7, 0, 0};
    EXPECT_EQ(secondsBetween(a, b), 32400);
    EXPECT_EQ(secondsBetween(b, a), -32400);
    EXPECT_EQ(secondsBetween(DateTime{2024, 2, 28, 0, 0, 0}, DateTime{2024, 3, 1, 0, 0, 0}), 2 * 86400);
    EXPECT_EQ(DateTime::fromSerial(b.serial()).toString(), b.toString());
    EXPECT_EQ(daysInMonth(2100, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
}

TEST(Numbers, LeadingNumbersWholeNumbersAndSafeRounding) {
    const std::pair<const char*, double> cases[] = {
        {"45", 45},    {"45 minutes", 45}, {"  7", 7}, {"-1", -1},   {"+3", 3},
        {"2.5x", 2.5}, {"1e3", 1000},      {"1e", 1},  {"", 0},      {"abc", 0},
        {"-", 0},      {".", 0},           {"x45", 0}, {"0045", 45},
    };
    for (auto [text, value] : cases) EXPECT_DOUBLE_EQ(leadingNumber(text), value) << text;
    EXPECT_EQ(parseNumber(" 1 ").value(), 1);
    for (const char* text : {"1 2", "yes", ""}) EXPECT_FALSE(parseNumber(text).has_value()) << text;
    EXPECT_EQ(roundToInt16(2.5), 2) << "half to even";
    EXPECT_EQ(roundToInt16(3.5), 4);
    EXPECT_EQ(roundToInt16(1e12), 32767) << "huge values are held in range, not overflowed";
    EXPECT_EQ(roundToInt32(-1e300), INT32_MIN);
    EXPECT_EQ(leadingInt32("99999999999999999999999"), INT32_MAX);
    EXPECT_EQ(roundToInt16(std::nan("")), 0);
}

TEST(Password, StoredFormRoundTripsAndMalformedTextDecodesWhatItCan) {
    const std::pair<std::string, std::string> cases[] = {
        {"abc", "297298299"}, {"\t", "19"}, {"\xe9", "3233"}, {"", ""}, {"Zz 9", "2903122232257"},
    };
    for (auto& [plain, stored] : cases) {
        EXPECT_EQ(encodePassword(plain), stored);
        EXPECT_EQ(decodePassword(stored), plain);
    }
    std::string all;
    for (int i = 1; i < 256; ++i) all += static_cast<char>(i);
    EXPECT_EQ(decodePassword(encodePassword(all)), all);
    const std::pair<const char*, std::string> malformed[] = {
        {"1", ""},         // the read default of a store without a password
        {"x297", "a"},     // a leading non-digit keeps length 0 and is dropped
        {"3999297", "a"},  // a code above 255 appends nothing
        {"2ab297", "a"},   // a non-numeric code appends nothing
        {"9", ""},         // a length beyond the end
        {"0000", ""},     {"297298", "ab"},
    };
    for (auto& [stored, plain] : malformed) EXPECT_EQ(decodePassword(stored), plain) << stored;
    std::string noise;  // any text at all decodes without hanging
    for (int i = 0; i < 2000; ++i) noise += static_cast<char>('0' + (i * 7919) % 75);
    decodePassword(noise);
}

}  // namespace qv::test
