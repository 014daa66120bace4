// What the running program tells its guard service: the plan's run state as it is stored, and
// when the plan or the program ends deliberately. Without a guard every call does nothing.
#pragma once
#include <cstdint>
#include <string>

#include "platform/guardlink.h"

namespace qv {

class GuardReporter {
  public:
    explicit GuardReporter(IGuardLink& link) : link_(link) {}
    // The console state code and the period, at a start, a resume and every save of the run state.
    void running(int16_t consoleState, bool gameTimeOn, bool breakTimeOn, int32_t secondsLeft);
    void stopped();  // no plan runs any more (stopped or left with the password, or idle)
    void exited();   // the program ends through its own Exit or Close
    void ending();   // Windows ends the session
    // Asks the guard to set the clock's time of day back; false when no guard runs.
    bool setTime(int hour, int minute, int second);

  private:
    void tell(const std::string& line);
    IGuardLink& link_;
    bool exited_ = false;  // nothing more once the program said it ends
};

}  // namespace qv
