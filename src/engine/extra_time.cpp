#include "engine/extra_time.h"

#include "settings/convert.h"

namespace qv {

int ExtraTime::minutesFrom(const std::string& text) {
    size_t i = text.find_first_not_of(' ');
    const size_t last = text.find_last_not_of(' ');
    if (i == std::string::npos) return 0;
    int n = 0;
    for (; i <= last; ++i) {
        if (text[i] < '0' || text[i] > '9') return 0;
        n = n * 10 + (text[i] - '0');
        if (n > kMaxMinutes) return 0;
    }
    return n >= kMinMinutes ? n : 0;
}

void ExtraTime::give(const Period& running) {
    if (!active_) then_ = running;
    active_ = true;
}

ExtraTime::Period ExtraTime::end() {
    active_ = false;
    return then_;
}

std::string ExtraTime::thenText() const {
    return (then_.game ? "game " : then_.brk ? "break " : "over ") + std::to_string(then_.secondsLeft);
}

void ExtraTime::restore(bool on, bool gameTimeOn, const std::string& then) {
    stored_ = on;
    active_ = on && gameTimeOn;
    then_.game = then.rfind("game ", 0) == 0;
    then_.brk = then.rfind("break ", 0) == 0;
    const size_t blank = then.find(' ');
    then_.secondsLeft = blank == std::string::npos ? 0 : leadingInt32(then.substr(blank + 1));
}

}  // namespace qv
