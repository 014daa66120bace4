#include "history/history.h"

#include <algorithm>

#include "engine/console_state.h"
#include "guard/guard_messages.h"

namespace qv {

namespace {

const char kSessionEnded[] = "Windows ended the session while a plan ran";

std::string count(int n, const char* one) {
    return std::to_string(n) + " " + one + (n == 1 ? "" : "s");
}

const char* requestName(int16_t code) {
    switch (code) {
        case state::kConsoleOpen:
            return "at the request to open the console";
        case state::kPlanRunning:
            return "at the lock screen's request";
        case state::kStopAsked:
            return "at the request to stop the plan";
        case state::kExitAsked:
            return "at the request to end Quorvane";
        default:
            return "at a password request";
    }
}

}  // namespace

std::string historyDate(const std::string& stamp) {
    static const char* const kMonths[] = {"January",   "February", "March",    "April",
                                          "May",       "June",     "July",     "August",
                                          "September", "October",  "November", "December"};
    const int month = (stamp[5] - '0') * 10 + stamp[6] - '0';
    const std::string day = stamp.substr(stamp[8] == '0' ? 9 : 8, stamp[8] == '0' ? 1 : 2);
    return day + " " + (month >= 1 && month <= 12 ? kMonths[month - 1] : "?") + " " + stamp.substr(0, 4);
}

HistoryLog& History::log() {
    if (!log_) log_ = std::make_unique<HistoryLog>(store_.userFile());
    return *log_;
}

// A line is stamped with the local time and cut to the log's length. The guard hears it only
// when it runs: without one there is nobody to tell.
void History::record(const std::string& text, bool toGuard) {
    std::string line = clock_.now().toString() + " " + text;
    if (line.size() > HistoryLog::kLineMax) line.resize(HistoryLog::kLineMax);
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    log().add(line);
    if (toGuard && guard_.present()) guard_.tell(guardHistoryLine(line));
}

void History::planStarted(const std::string& mode) {
    record("Plan started (" + mode + ")");
}

void History::planLeft() {
    record("Plan left with the password");
}

void History::planStopped() {
    record("Plan stopped from the tray");
}

void History::endedFromTray() {
    record("Quorvane ended from the tray");
}

void History::weekValueIgnored(const std::string& note) {
    record("Week plan: " + note);
}

void History::periodBegun(bool game, bool pause, int32_t secondsLeft, bool afterMoreTime) {
    const int minutes = static_cast<int>((std::max<int64_t>(0, secondsLeft) + 59) / 60);
    if (afterMoreTime)
        record(std::string("More time is over: ") +
               (game    ? "game time goes on (" + count(minutes, "minute") + " left)"
                : pause ? "the break goes on (" + count(minutes, "minute") + " left)"
                        : "the plan is over"));
    else if (game)
        record("Game time began (" + count(minutes, "minute") + ")");
    else if (pause)
        record("Break began (" + count(minutes, "minute") + ")");
    else
        record("The plan is over");
}

void History::programStarted(uint32_t pid, const std::string& name) {
    programs_[pid] = name;
    record("Listed program started: " + name);
}

void History::programEnded(uint32_t pid) {
    const auto it = programs_.find(pid);
    if (it == programs_.end()) return;
    const std::string name = it->second;
    programs_.erase(it);
    record("Listed program ended: " + name);
}

void History::moreTimeGiven(int minutes) {
    record("The parent gave more time (" + count(minutes, "minute") + ")");
}

void History::clockChangeRefused(bool zone) {
    record(zone ? "A time zone change was refused" : "A clock change was refused");
}

void History::wrongPasswords(int n, int16_t request) {
    if (n > 0) record(count(n, "wrong password") + " " + requestName(request));
}

void History::sessionEnding(bool planRuns) {
    if (planRuns) record(kSessionEnded);
}

void History::startedWithPlan(bool byGuard) {
    const std::vector<std::string> lines = log().lines();
    const bool windowsEnded =
        !lines.empty() && lines.back().compare(20, std::string::npos, kSessionEnded) == 0;
    if (!windowsEnded) record("Quorvane was ended without Exit while a plan ran", !byGuard);
    if (byGuard) record("Quorvane was started again by the guard", false);
}

// The guard's copy stands in for the user's file when it goes back further: the user's file
// was deleted (or begun anew) since.
History::View History::view() {
    std::vector<std::string> lines = log().lines();
    const std::string copy = store_.guardCopy(HistoryLog::kReadLimit);
    std::vector<std::string> guards = HistoryLog::readableLines(copy, copy.size() < HistoryLog::kReadLimit);
    View v;
    if (!guards.empty() && (lines.empty() || guards.front().compare(0, 19, lines.front(), 0, 19) < 0)) {
        v.note = "History started on " + historyDate(lines.empty() ? clock_.now().toString() : lines.front());
        lines.swap(guards);
    }
    v.lines.assign(lines.rbegin(), lines.rend());
    return v;
}

}  // namespace qv
