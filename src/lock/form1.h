// The hidden window that hears about changes of the system time, and the guard that sets the
// clock back while a plan runs.
#pragma once
#include "platform/forms.h"
#include "platform/guardlink.h"

namespace qv {

// What the hidden window needs of the running program.
class ClockGuardHost {
  public:
    virtual ui::Session& session() = 0;
    virtual void timeChanged() = 0;       // the system time was changed
    virtual void sessionEnding() = 0;     // Windows asks whether the session may end
    virtual void resumeNow() = 0;         // another start asks a waiting plan to resume at once
    virtual void settingsChanged() = 0;   // a system setting changed, the time zone perhaps
    virtual void resumedFromSleep() = 0;  // the machine woke from sleep or hibernation

  protected:
    ~ClockGuardHost() = default;
};

class Form1 : public ui::Form {
  public:
    explicit Form1(ClockGuardHost& host);
    static constexpr uint32_t kTimeChange = 0x001E;       // WM_TIMECHANGE
    static constexpr uint32_t kQueryEndSession = 0x0011;  // WM_QUERYENDSESSION
    static constexpr uint32_t kResumeNow = kResumeNowMessage;
    static constexpr uint32_t kSettingChange = 0x001A;   // WM_SETTINGCHANGE
    static constexpr uint32_t kPowerBroadcast = 0x0218;  // WM_POWERBROADCAST
    static constexpr intptr_t kResumeAutomatic = 0x12;   // PBT_APMRESUMEAUTOMATIC: every wake-up

  private:
    ClockGuardHost& host_;
};

}  // namespace qv
