// The guard that sets the clock back while a plan runs; the hidden window hears of the change.
#include "engine/app.h"
#include "platform/resources.h"

namespace qv {

// Someone changed the system time. While a plan runs the change is refused: a message, then the
// time of day goes back to the last whole minute the lock-screen clock saw (the date stays). The
// target is the mark as it stood when the change was noticed: the clock goes on ticking while the
// message is open and would otherwise take the changed time as its next mark. Until a Start, a
// resume or a whole minute has set a mark there is nothing to go back to (the minute before a
// resume, when Windows often corrects its clock), and a plan stopped with the password while the
// message was open keeps the time and its state code.
void App::timeChanged() {
    if (consoleState == state::kSettingClock || consoleState != state::kPlanRunning || !minuteMarkTaken)
        return;
    // One message at a time: a burst of changes while it is open would otherwise stack boxes.
    if (guardMessageOpen_) return;
    const DateTime target = lastMinuteMark;
    guardMessageOpen_ = true;
    platform_.dialogs.messageBox(0, "You are not allowed to set up time in this mode", res::kProductName, 0);
    guardMessageOpen_ = false;
    if (consoleState != state::kPlanRunning) return;
    consoleState = state::kSettingClock;
    platform_.timeOfDay.setTimeOfDay(target.hour, target.minute, target.second);
    lastMinuteMark = target;
    platform_.timeOfDay.pumpMessages();  // our own change arrives here and is ignored
    if (consoleState == state::kSettingClock) consoleState = state::kPlanRunning;
}

}  // namespace qv
