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
    guardTime(true);
}

// Many settings announce themselves this way; only a changed time zone matters here.
void App::settingsChanged() {
    guardTime(false);
}

// A changed time zone moves the local times that Bed time and One time periods are set by, and a
// standard account may change it: while a plan runs it is set back to the zone at Start or resume,
// and the clock is left alone. Setting the clock back needs a right that a standard account lacks;
// the message then says that the clock stays as it was set.
void App::guardTime(bool clockMessage) {
    if (consoleState == state::kSettingClock || consoleState != state::kPlanRunning || !minuteMarkTaken)
        return;
    ITimeOfDay& time = platform_.timeOfDay;
    const bool zoneMoved = planZoneTaken_ && time.timeZone() != planZone_;
    if (!clockMessage && !zoneMoved) return;
    // The guard service's own setting back arrives a moment later, from outside: it is no change.
    if (!zoneMoved && guardSetting_ && platform_.clock.awakeMs() < guardSetting_->untilMs) {
        // Only the time of day is set back; the date may have been moved before.
        const DateTime now = platform_.clock.now(), want = guardSetting_->target;
        const int off =
            (now.hour - want.hour) * 3600 + (now.minute - want.minute) * 60 + now.second - want.second;
        if (off >= -2 && off <= 5) {
            guardSetting_.reset();
            return;
        }
    }
    // One message at a time: a burst of changes while it is open would otherwise stack boxes.
    if (guardMessageOpen_) return;
    const DateTime target = lastMinuteMark;
    std::string text = "You are not allowed to set up time in this mode";
    const bool byGuard = !zoneMoved && !time.canSetTime() && platform_.guard.present();
    if (!zoneMoved && !time.canSetTime() && !byGuard)
        text += ".\n\nThe clock could not be put back: this account may not set the time.";
    history_.clockChangeRefused(zoneMoved);
    guardMessageOpen_ = true;
    platform_.dialogs.messageBox(0, text, res::kProductName, 0);
    guardMessageOpen_ = false;
    if (consoleState != state::kPlanRunning) return;
    consoleState = state::kSettingClock;
    if (zoneMoved) {
        time.setTimeZone(planZone_);
    } else {
        // A standard account may not set the clock; the guard service may, and does it for us.
        if (!time.setTimeOfDay(target.hour, target.minute, target.second) && byGuard &&
            guard_.setTime(target.hour, target.minute, target.second))
            guardSetting_ = GuardSetting{target, platform_.clock.awakeMs() + kGuardSettingMs};
        lastMinuteMark = target;
    }
    time.pumpMessages();  // our own change arrives here and is ignored
    if (consoleState == state::kSettingClock) consoleState = state::kPlanRunning;
}

}  // namespace qv
