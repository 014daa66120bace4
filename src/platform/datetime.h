// Local calendar date-times and the date arithmetic the scheduler relies on.
#pragma once
#include <cstdint>
#include <string>

namespace qv {

struct DateTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;

    // Seconds since 0001-01-01 00:00:00 (proleptic Gregorian); comparisons and differences use it.
    int64_t serial() const;
    static DateTime fromSerial(int64_t s);

    // A calendar date built from year, month and day with out-of-range parts rolling over
    // (month 13 is January of the next year, day 32 of a 31-day month is the 1st of the next).
    static DateTime fromDate(int year, int month, int day);
    // fromDate plus a time of day; hours beyond 23 and minutes beyond 59 carry forward.
    static DateTime fromParts(int year, int month, int day, int hour, int minute, int second);

    DateTime addSeconds(int64_t s) const { return fromSerial(serial() + s); }
    DateTime addDays(int d) const { return fromParts(year, month, day + d, hour, minute, second); }
    DateTime date() const { return fromDate(year, month, day); }
    std::string toString() const;  // "2026-12-06 07:44:30"

    friend bool operator==(const DateTime& a, const DateTime& b) { return a.serial() == b.serial(); }
    friend bool operator<(const DateTime& a, const DateTime& b) { return a.serial() < b.serial(); }
    friend bool operator<=(const DateTime& a, const DateTime& b) { return a.serial() <= b.serial(); }
    friend bool operator>(const DateTime& a, const DateTime& b) { return a.serial() > b.serial(); }
    friend bool operator>=(const DateTime& a, const DateTime& b) { return a.serial() >= b.serial(); }
};

// Whole seconds from a to b (negative when b lies before a).
inline int64_t secondsBetween(const DateTime& a, const DateTime& b) {
    return b.serial() - a.serial();
}

bool isLeapYear(int year);
int daysInMonth(int year, int month);

}  // namespace qv
