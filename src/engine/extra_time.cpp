#include "engine/extra_time.h"

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

void ExtraTime::restore(int code, int32_t thenSecondsLeft, bool gameTimeOn) {
    stored_ = code != 0;
    active_ = stored_ && gameTimeOn;
    then_ = {code == 1, code == 2, thenSecondsLeft};
}

}  // namespace qv
