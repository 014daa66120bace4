#include "history/history_log.h"

namespace qv {

namespace {

bool digits(std::string_view s, size_t from, size_t n, int low, int high) {
    int v = 0;
    for (size_t i = from; i < from + n; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
    }
    return v >= low && v <= high;
}

}  // namespace

bool HistoryLog::readable(std::string_view l) {
    if (l.size() < 21 || l.size() > kLineMax) return false;
    if (l[4] != '-' || l[7] != '-' || l[10] != ' ' || l[13] != ':' || l[16] != ':' || l[19] != ' ')
        return false;
    if (!digits(l, 0, 4, 1900, 9999) || !digits(l, 5, 2, 1, 12) || !digits(l, 8, 2, 1, 31) ||
        !digits(l, 11, 2, 0, 23) || !digits(l, 14, 2, 0, 59) || !digits(l, 17, 2, 0, 59))
        return false;
    for (size_t i = 20; i < l.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(l[i]);
        if (c < 0x20 || c == 0x7f) return false;
    }
    return true;
}

std::vector<std::string> HistoryLog::readableLines(std::string_view text, bool whole) {
    std::vector<std::string> out;
    if (!whole) {
        const size_t first = text.find('\n');
        text = first == std::string_view::npos ? std::string_view{} : text.substr(first + 1);
    }
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (readable(line)) out.emplace_back(line);
    }
    return out;
}

std::vector<std::string> HistoryLog::lines() {
    bool whole = false;
    const std::string text = file_.tail(kReadLimit, &whole);
    return readableLines(text, whole);
}

// The file is looked at once, before the first line this log adds: one that was damaged, ends
// in a torn line or has grown past the cut is written anew. After that each line is appended,
// and the file is cut when it has grown by 500 lines past the 5,000 kept.
bool HistoryLog::add(const std::string& line) {
    if (!readable(line)) return false;
    if (!known_) {
        bool whole = false;
        const std::string text = file_.tail(kReadLimit, &whole);
        size_t n = 0;
        for (char c : text) n += c == '\n';
        known_ = true;
        count_ = n;
        if (!whole || (!text.empty() && text.back() != '\n') || n >= kCutAbove) return cut(line);
    }
    if (count_ >= kCutAbove) return cut(line);
    if (!file_.append(line + "\n")) return false;
    ++count_;
    return true;
}

bool HistoryLog::cut(const std::string& line) {
    std::vector<std::string> kept = lines();
    const size_t from = kept.size() >= kKeep ? kept.size() - (kKeep - 1) : 0;
    std::string text;
    text.reserve((kept.size() - from + 1) * 64);
    for (size_t i = from; i < kept.size(); ++i) text += kept[i] + "\n";
    text += line + "\n";
    if (!file_.replace(text)) return false;
    count_ = kept.size() - from + 1;
    return true;
}

}  // namespace qv
