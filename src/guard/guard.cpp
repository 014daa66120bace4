#include "guard/guard.h"

#include <algorithm>
#include <string>

#include "guard/guard_messages.h"
#include "settings/convert.h"

namespace qv {

namespace {

std::string sessionText(uint32_t session) {
    return "session " + std::to_string(session);
}

}  // namespace

// One line a session: "SESSION PID PLANRUNS" and, with a plan, its four stored values. Read by
// hand: the program carries no stream library for this.
void Guard::load(int64_t nowMs, std::string_view record) {
    record = record.substr(0, 64 * 1024);
    while (!record.empty()) {
        const size_t end = record.find('\n');
        std::string_view line = record.substr(0, end);
        record = end == std::string_view::npos ? std::string_view{} : record.substr(end + 1);
        uint32_t numbers[3] = {};
        bool ok = true;
        for (uint32_t& n : numbers) {
            const size_t blank = line.find(' ');
            const std::string_view word = line.substr(0, blank);
            line = blank == std::string_view::npos ? std::string_view{} : line.substr(blank + 1);
            ok = ok && !word.empty() && word.size() <= 10 &&
                 word.find_first_not_of("0123456789") == std::string_view::npos;
            if (ok) n = static_cast<uint32_t>(std::stoull(std::string(word)));
        }
        if (!ok) continue;
        const auto [session, pid, planRuns] = numbers;
        const auto running = parseGuardMessage("running " + std::string(line));
        Watched& w = sessions_[session];
        w.planRuns = planRuns == 1 && running.has_value();
        if (w.planRuns) w.state = running->state;
        w.heardMs = nowMs;
        // A process of an earlier boot, or one that is no Quorvane, is not ours to watch.
        w.pid = pid && system_.isQuorvane(pid, session) ? pid : 0;
        if (w.pid) system_.watch(w.pid, session);
    }
}

void Guard::message(int64_t nowMs, uint32_t session, uint32_t pid, std::string_view line) {
    const auto m = parseGuardMessage(line);
    if (!m || !system_.isQuorvane(pid, session)) return;
    if (m->kind == GuardMessage::Kind::History) {
        addHistory(session, m->text);
        return;
    }
    Watched& w = sessions_[session];
    if (m->kind == GuardMessage::Kind::SetTime) {
        // Only for a plan that runs: the clock guard puts back a change it refused.
        if (w.planRuns && w.pid == pid && !system_.setTimeOfDay(m->hour, m->minute, m->second))
            system_.log(sessionText(session) + ": the clock could not be set back");
        return;
    }
    if (m->kind == GuardMessage::Kind::Ending) {
        w.quietUntilMs = nowMs + kSessionEndingMs;
        return;
    }
    if (m->kind == GuardMessage::Kind::Exited) {
        // The parent ended it with the password: not started again before the next logon.
        system_.log(sessionText(session) + ": Quorvane was ended with the password");
        w.pid = 0;
        w.planRuns = false;
        w.dueMs = -1;
        keep();
        return;
    }
    if (w.pid != pid) system_.watch(pid, session);
    w.pid = pid;
    w.dueMs = -1;
    w.planRuns = m->kind == GuardMessage::Kind::Running;
    if (w.planRuns) {
        w.state = m->state;
        w.heardMs = nowMs;
    }
    keep();
}

void Guard::ended(int64_t nowMs, uint32_t session, uint32_t pid) {
    auto it = sessions_.find(session);
    if (it == sessions_.end() || it->second.pid != pid || pid == 0) return;
    Watched& w = it->second;
    w.pid = 0;
    if (!w.planRuns || w.leaving || shuttingDown_) return;
    system_.log(sessionText(session) + ": Quorvane ended without the password while a plan ran");
    historyEvent(session, "Quorvane was ended without Exit while a plan ran (seen by the guard)");
    if (nowMs < w.quietUntilMs) {  // Windows may be ending the session: wait and see
        w.dueMs = w.quietUntilMs;
        return;
    }
    w.ends.push_back(nowMs);
    while (!w.ends.empty() && w.ends.front() <= nowMs - kLoopWindowMs) w.ends.pop_front();
    if (static_cast<int>(w.ends.size()) >= kLoopEnds) {
        system_.log(sessionText(session) + ": ended " + std::to_string(w.ends.size()) +
                    " times within a minute; the next start waits 30 s");
        w.dueMs = nowMs + kBackOffMs;
        return;
    }
    start(nowMs, session, w);
}

// The user's run state is put back as the guard heard it last (the child may have edited it),
// less the seconds the period has run since: a restart goes on with the period, it does not give
// those seconds again. A copy that already runs in the session (started by the user, or at logon)
// is left to tell the guard when it resumes.
void Guard::start(int64_t nowMs, uint32_t session, Watched& w) {
    w.dueMs = -1;
    if (system_.quorvaneRuns(session)) return;
    GuardRunState s = w.state;
    const int64_t left = leadingInt32(s.finalTime);
    s.finalTime = std::to_string(std::max<int64_t>(0, left - (nowMs - w.heardMs) / 1000));
    system_.writeRunState(session, s);
    const uint32_t pid = system_.startQuorvane(session);
    if (!pid) {
        system_.log(sessionText(session) + ": Quorvane could not be started; trying again");
        w.dueMs = nowMs + kRetryMs;
        return;
    }
    system_.log(sessionText(session) + ": Quorvane started again");
    historyEvent(session, "Quorvane was started again by the guard");
    w.pid = pid;
    system_.watch(pid, session);
}

void Guard::logon(int64_t nowMs, uint32_t session) {
    Watched& w = sessions_[session] = Watched{};
    const auto stored = system_.readRunState(session);
    if (stored && stored->mode == "2") {
        w.planRuns = true;
        w.state = *stored;
        w.heardMs = nowMs;
        start(nowMs, session, w);
    }
    keep();
}

void Guard::loggingOff(uint32_t session) {
    auto it = sessions_.find(session);
    if (it == sessions_.end()) return;
    it->second.leaving = true;
    it->second.dueMs = -1;
}

void Guard::shuttingDown() {
    shuttingDown_ = true;
}

void Guard::tick(int64_t nowMs) {
    for (auto& [session, w] : sessions_) {
        if (w.dueMs < 0 || nowMs < w.dueMs) continue;
        w.dueMs = -1;
        if (w.planRuns && !w.pid && !w.leaving && !shuttingDown_) start(nowMs, session, w);
    }
}

int64_t Guard::nextDueMs() const {
    int64_t due = -1;
    for (const auto& [session, w] : sessions_)
        if (w.dueMs >= 0 && (due < 0 || w.dueMs < due)) due = w.dueMs;
    return due;
}

std::string Guard::record() const {
    std::string out;
    for (const auto& [session, w] : sessions_) {
        if (!w.pid && !w.planRuns) continue;
        out += std::to_string(session) + " " + std::to_string(w.pid) + " " + (w.planRuns ? "1" : "0");
        if (w.planRuns) out += guardRunningLine(w.state).substr(7);
        out += "\n";
    }
    return out;
}

// Each user's copy is kept as the program keeps its own file: the newest 5,000 lines, and a line
// at most kLineMax long, so that no client can make it grow beyond that.
void Guard::addHistory(uint32_t session, const std::string& line) {
    IHistoryFile* file = system_.historyOf(session);
    if (!file) return;
    std::unique_ptr<HistoryLog>& log = histories_[file];
    if (!log) log = std::make_unique<HistoryLog>(*file);
    log->add(line);
}

void Guard::historyEvent(uint32_t session, const std::string& text) {
    addHistory(session, system_.localNow().toString() + " " + text);
}

void Guard::keep() {
    system_.keep(record());
}

}  // namespace qv
