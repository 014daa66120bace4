#include "guard/reporter.h"

#include <string>

#include "guard/guard_messages.h"

namespace qv {

void GuardReporter::running(int16_t consoleState, bool gameTimeOn, bool breakTimeOn, int32_t secondsLeft) {
    tell(guardRunningLine({std::to_string(consoleState), gameTimeOn ? "-1" : "0", breakTimeOn ? "-1" : "0",
                           std::to_string(secondsLeft)}));
}

void GuardReporter::stopped() {
    tell("stopped");
}

void GuardReporter::exited() {
    tell("exited");
    exited_ = true;
}

void GuardReporter::ending() {
    tell("ending");
}

bool GuardReporter::setTime(int hour, int minute, int second) {
    if (exited_ || !link_.present()) return false;
    link_.tell(guardSetTimeLine(hour, minute, second));
    return true;
}

void GuardReporter::tell(const std::string& line) {
    if (!exited_) link_.tell(line);
}

}  // namespace qv
