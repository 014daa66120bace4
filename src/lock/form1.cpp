#include "lock/form1.h"

namespace qv {

Form1::Form1(ClockGuardHost& host) : ui::Form(host.session(), "Form1"), host_(host) {
    setCaption("Form1");
    showInTaskbar = false;
    setClientSize(3000, 2000);
    onMessage = [this](uint32_t message, intptr_t wParam, intptr_t) {
        if (message == kTimeChange) host_.timeChanged();
        if (message == kQueryEndSession) host_.sessionEnding();
        if (message == kResumeNow) host_.resumeNow();
        if (message == kSettingChange) host_.settingsChanged();
        if (message == kPowerBroadcast && wParam == kResumeAutomatic) host_.resumedFromSleep();
    };
}

}  // namespace qv
