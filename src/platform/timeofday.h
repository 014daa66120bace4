// Setting the system's time of day and its time zone.
#pragma once
#include <string>

namespace qv {

class ITimeOfDay {
  public:
    virtual ~ITimeOfDay() = default;
    virtual bool setTimeOfDay(int hour, int minute, int second) = 0;
    // Whether this account holds the right to set the clock (a standard account does not).
    virtual bool canSetTime() = 0;
    // The time zone as an opaque value: two reads of the same zone compare equal. A standard
    // account may change the zone, so it may also set it back.
    virtual std::string timeZone() const = 0;
    virtual bool setTimeZone(const std::string& zone) = 0;
    // Lets pending window messages be processed once.
    virtual void pumpMessages() = 0;
};

}  // namespace qv
