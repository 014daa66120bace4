// The guard service's reach into the machine: which processes are Quorvane, the users' stored run
// state, starting Quorvane in a user's session, watching it, and the guard's own record.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/datetime.h"
#include "platform/history_store.h"

namespace qv {

// The run state as Quorvane stores it in "Controls": the console state code and the period.
struct GuardRunState {
    std::string mode, gameTimeOn, breakTimeOn, finalTime;
    bool operator==(const GuardRunState&) const = default;
};

class IGuardSystem {
  public:
    virtual ~IGuardSystem() = default;
    // Whether the process is the installed Quorvane program, running in that session.
    virtual bool isQuorvane(uint32_t pid, uint32_t session) = 0;
    // Whether any Quorvane process runs in the session (a copy that started by itself).
    virtual bool quorvaneRuns(uint32_t session) = 0;
    // The run state stored in the settings of the session's user, if they can be read.
    virtual std::optional<GuardRunState> readRunState(uint32_t session) = 0;
    virtual void writeRunState(uint32_t session, const GuardRunState& state) = 0;
    // Starts Quorvane in the session, as its user, on its desktop, resuming the plan at once.
    // Returns the process id, or 0.
    virtual uint32_t startQuorvane(uint32_t session) = 0;
    // From now on the end of the process is reported through Guard::ended.
    virtual void watch(uint32_t pid, uint32_t session) = 0;
    // Sets the clock's time of day (the date stays), with the right a standard account lacks.
    virtual bool setTimeOfDay(int hour, int minute, int second) = 0;
    virtual void log(const std::string& line) = 0;
    // The guard's own copy of what it knows, kept where only the guard may write.
    virtual void keep(const std::string& record) = 0;
    // The guard's copy of the history of the session's user, kept where only the guard may write;
    // nullptr when there is none to keep. The same user gets the same file.
    virtual IHistoryFile* historyOf(uint32_t session) = 0;
    virtual DateTime localNow() = 0;  // for the guard's own lines in that history
};

}  // namespace qv
