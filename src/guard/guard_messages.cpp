#include "guard/guard_messages.h"

#include <vector>

#include "history/history_log.h"

namespace qv {

namespace {

// A stored number as Quorvane writes it: an optional minus sign and up to ten digits.
bool storedNumber(std::string_view s) {
    if (!s.empty() && s[0] == '-') s.remove_prefix(1);
    if (s.empty() || s.size() > 10) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    while (!line.empty() && out.size() <= 5) {
        const size_t blank = line.find(' ');
        out.push_back(line.substr(0, blank));
        if (blank == std::string_view::npos) break;
        line.remove_prefix(blank + 1);
    }
    return out;
}

}  // namespace

std::string guardRunningLine(const GuardRunState& s) {
    return "running " + s.mode + " " + s.gameTimeOn + " " + s.breakTimeOn + " " + s.finalTime;
}

std::string guardSetTimeLine(int hour, int minute, int second) {
    return "settime " + std::to_string(hour) + " " + std::to_string(minute) + " " + std::to_string(second);
}

std::string guardHistoryLine(const std::string& stamped) {
    return "history " + stamped;
}

std::optional<GuardMessage> parseGuardMessage(std::string_view line) {
    if (line.size() > kGuardMessageMax) return std::nullopt;
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    constexpr std::string_view kHistory = "history ";
    if (line.substr(0, kHistory.size()) == kHistory) {
        line.remove_prefix(kHistory.size());
        if (!HistoryLog::readable(line)) return std::nullopt;
        GuardMessage m{GuardMessage::Kind::History, {}};
        m.text = std::string(line);
        return m;
    }
    const std::vector<std::string_view> w = words(line);
    if (w.size() == 1 && w[0] == "stopped") return GuardMessage{GuardMessage::Kind::Stopped, {}};
    if (w.size() == 1 && w[0] == "exited") return GuardMessage{GuardMessage::Kind::Exited, {}};
    if (w.size() == 1 && w[0] == "ending") return GuardMessage{GuardMessage::Kind::Ending, {}};
    if (w.size() == 4 && w[0] == "settime") {
        int v[3] = {};
        for (size_t i = 1; i < 4; ++i) {
            if (w[i].empty() || w[i].size() > 2) return std::nullopt;
            for (char c : w[i])
                if (c < '0' || c > '9') return std::nullopt;
            v[i - 1] = std::stoi(std::string(w[i]));
        }
        if (v[0] > 23 || v[1] > 59 || v[2] > 59) return std::nullopt;
        GuardMessage m{GuardMessage::Kind::SetTime, {}};
        m.hour = v[0], m.minute = v[1], m.second = v[2];
        return m;
    }
    if (w.size() != 5 || w[0] != "running") return std::nullopt;
    for (size_t i = 1; i < 5; ++i)
        if (!storedNumber(w[i])) return std::nullopt;
    return GuardMessage{GuardMessage::Kind::Running,
                        {std::string(w[1]), std::string(w[2]), std::string(w[3]), std::string(w[4])}};
}

}  // namespace qv
