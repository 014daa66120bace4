// The guard service on the simulated machine: Quorvane's lines as the guard heard them, and the
// machine as the guard's core sees it (sessions, their users' stored run state, processes).
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/guard.h"
#include "platform/guardlink.h"
#include "platform/sim/history_store.h"

namespace qv::sim {

class SimGuardLink : public IGuardLink {
  public:
    void tell(const std::string& line) override { lines.push_back(line); }
    bool present() override { return installed; }
    std::vector<std::string> lines;  // what the program said, whether a guard heard it or not
    bool installed = false;
};

class SimGuardSystem : public IGuardSystem {
  public:
    bool isQuorvane(uint32_t pid, uint32_t session) override;
    bool quorvaneRuns(uint32_t session) override;
    std::optional<GuardRunState> readRunState(uint32_t session) override;
    void writeRunState(uint32_t session, const GuardRunState& state) override { stored[session] = state; }
    uint32_t startQuorvane(uint32_t session) override;
    void watch(uint32_t pid, uint32_t session) override { watched.insert(pid); }
    bool setTimeOfDay(int hour, int minute, int second) override {
        timesSet.push_back(hour * 3600 + minute * 60 + second);
        return true;
    }
    void log(const std::string& line) override { logged.push_back(line); }
    void keep(const std::string& record) override { kept = record; }
    IHistoryFile* historyOf(uint32_t session) override { return &histories[session]; }
    DateTime localNow() override { return now; }

    // Test control: processes by id with their session and whether they are Quorvane.
    struct Proc {
        uint32_t session;
        bool quorvane;
    };
    std::map<uint32_t, Proc> procs;
    std::map<uint32_t, GuardRunState> stored;  // each session's user's settings
    std::vector<uint32_t> started;             // sessions Quorvane was started in, in order
    bool startFails = false;
    std::set<uint32_t> watched;
    std::vector<int> timesSet;  // seconds of the day
    std::vector<std::string> logged;
    std::string kept;
    std::map<uint32_t, SimHistoryFile> histories;  // each session's user's copy
    DateTime now{2026, 12, 6, 18, 0, 0};

  private:
    uint32_t nextPid_ = 7000;
};

}  // namespace qv::sim
