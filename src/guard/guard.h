// The guard service's decisions: which session runs a plan, and when a Quorvane that ended without
// the password is started again. Time comes in with each event (milliseconds of a monotonic
// clock); everything the guard does to the machine goes through IGuardSystem.
#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "history/history_log.h"
#include "platform/guard.h"

namespace qv {

class Guard {
  public:
    explicit Guard(IGuardSystem& system) : system_(system) {}

    static constexpr int kLoopEnds = 5;  // ends within kLoopWindowMs make a crash loop
    static constexpr int64_t kLoopWindowMs = 60'000;
    static constexpr int64_t kBackOffMs = 30'000;        // between tries in a crash loop
    static constexpr int64_t kRetryMs = 2'000;           // after a start that failed
    static constexpr int64_t kSessionEndingMs = 20'000;  // no start while Windows ends a session

    // What an earlier run of the guard kept; lines that cannot be read are left out.
    void load(int64_t nowMs, std::string_view record);
    // A line from a client process in a session; only Quorvane's own are heard.
    void message(int64_t nowMs, uint32_t session, uint32_t pid, std::string_view line);
    // A watched process ended.
    void ended(int64_t nowMs, uint32_t session, uint32_t pid);
    void logon(int64_t nowMs, uint32_t session);
    void loggingOff(uint32_t session);
    void shuttingDown();
    // Starts that waited (a crash loop's back-off, a failed start, an ending session).
    void tick(int64_t nowMs);
    int64_t nextDueMs() const;  // -1 when nothing waits

    std::string record() const;

  private:
    struct Watched {
        uint32_t pid = 0;       // the Quorvane process known in the session, 0 when none
        bool planRuns = false;  // and it was running a plan when last heard
        GuardRunState state;
        int64_t heardMs = 0;  // when the state was sent
        bool leaving = false;
        int64_t quietUntilMs = -1;
        int64_t dueMs = -1;
        std::deque<int64_t> ends;
    };
    void start(int64_t nowMs, uint32_t session, Watched& w);
    void keep();
    void addHistory(uint32_t session, const std::string& line);    // a stamped line
    void historyEvent(uint32_t session, const std::string& text);  // the guard's own
    IGuardSystem& system_;
    std::map<IHistoryFile*, std::unique_ptr<HistoryLog>> histories_;
    std::map<uint32_t, Watched> sessions_;
    bool shuttingDown_ = false;
};

}  // namespace qv
