// Setting the system's time of day.
#pragma once

namespace qv {

class ITimeOfDay {
  public:
    virtual ~ITimeOfDay() = default;
    virtual bool setTimeOfDay(int hour, int minute, int second) = 0;
    // Lets pending window messages be processed once.
    virtual void pumpMessages() = 0;
};

}  // namespace qv
