#include "platform/datetime.h"

#include <cstdio>

namespace qv {

namespace {

// Days from 0001-01-01 to y-m-d (m in 1..12), after H. Hinnant's days_from_civil.
int64_t daysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + 719162;  // shift the 1970 epoch to year 1
}

void civilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468 - 719162;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

int64_t floorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

}  // namespace

bool isLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static const int len[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12) return 0;
    return m == 2 && isLeapYear(y) ? 29 : len[m - 1];
}

int64_t DateTime::serial() const {
    return daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

DateTime DateTime::fromSerial(int64_t s) {
    DateTime t;
    const int64_t days = floorDiv(s, 86400);
    int64_t rest = s - days * 86400;
    civilFromDays(days, t.year, t.month, t.day);
    t.hour = static_cast<int>(rest / 3600);
    rest %= 3600;
    t.minute = static_cast<int>(rest / 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

DateTime DateTime::fromDate(int year, int month, int day) {
    // Months roll into years first, then the day is counted from the 1st of that month.
    int64_t m0 = static_cast<int64_t>(month) - 1;
    int64_t y = year + floorDiv(m0, 12);
    int m = static_cast<int>(m0 - floorDiv(m0, 12) * 12) + 1;
    return fromSerial((daysFromCivil(y, m, 1) + (static_cast<int64_t>(day) - 1)) * 86400);
}

DateTime DateTime::fromParts(int year, int month, int day, int hour, int minute, int second) {
    const int64_t tod = static_cast<int64_t>(hour) * 3600 + static_cast<int64_t>(minute) * 60 + second;
    return fromSerial(fromDate(year, month, day).serial() + tod);
}

std::string DateTime::toString() const {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
    return buf;
}

}  // namespace qv
