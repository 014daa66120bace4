#include "platform/sim/guard.h"

namespace qv::sim {

bool SimGuardSystem::isQuorvane(uint32_t pid, uint32_t session) {
    auto it = procs.find(pid);
    return it != procs.end() && it->second.quorvane && it->second.session == session;
}

bool SimGuardSystem::quorvaneRuns(uint32_t session) {
    for (auto& [pid, p] : procs)
        if (p.quorvane && p.session == session) return true;
    return false;
}

std::optional<GuardRunState> SimGuardSystem::readRunState(uint32_t session) {
    auto it = stored.find(session);
    if (it == stored.end()) return std::nullopt;
    return it->second;
}

uint32_t SimGuardSystem::startQuorvane(uint32_t session) {
    if (startFails) return 0;
    started.push_back(session);
    const uint32_t pid = nextPid_;
    nextPid_ += 4;
    procs[pid] = {session, true};
    return pid;
}

}  // namespace qv::sim
