// The guard that sets the clock back while a plan runs; the hidden window hears of the change.
#include "engine/app.h"
#include "platform/resources.h"

namespace qv {

// Someone changed the system time. While a plan runs the change is refused: a message, then the
// time of day goes back to the last whole minute the lock-screen clock saw (the date stays).
void App::timeChanged() {
    if (consoleState == state::kSettingClock || consoleState != state::kPlanRunning) return;
    // One message at a time: a burst of changes while it is open would otherwise stack boxes.
    if (guardMessageOpen_) return;
    guardMessageOpen_ = true;
    platform_.dialogs.messageBox(0, "You are not allowed to set up time in this mode", res::kProductName, 0);
    guardMessageOpen_ = false;
    // The parent may have stopped the plan with the password while the message was up.
    const int16_t after = consoleState;
    consoleState = state::kSettingClock;
    platform_.timeOfDay.setTimeOfDay(lastMinuteMark.hour, lastMinuteMark.minute, lastMinuteMark.second);
    platform_.timeOfDay.pumpMessages();  // our own change arrives here and is ignored
    if (consoleState == state::kSettingClock) consoleState = after;
}

}  // namespace qv
