#include "engine/extra_time.h"

#include "settings/convert.h"
#include "settings/reg_settings.h"
#include "settings/schema.h"

namespace qv {

namespace {
constexpr const char* kOn = "ExtraTimeOn";
constexpr const char* kThenGame = "ThenGameTimeOn";
constexpr const char* kThenBreak = "ThenBreakTimeOn";
constexpr const char* kThenLeft = "ThenFinalTime";

const char* flag(bool on) {
    return on ? "-1" : "0";
}
}  // namespace

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

void ExtraTime::save(CRegSettings& s) {
    if (!active_ && !stored_) return;
    s.SaveSetting(sect::kControls, kOn, flag(active_));
    if (active_) {
        s.SaveSetting(sect::kControls, kThenGame, flag(then_.game));
        s.SaveSetting(sect::kControls, kThenBreak, flag(then_.brk));
        s.SaveSetting(sect::kControls, kThenLeft, std::to_string(then_.secondsLeft));
    }
    stored_ = active_;
}

void ExtraTime::load(CRegSettings& s, bool gameTimeOn) {
    stored_ = leadingNumber(s.GetSetting(sect::kControls, kOn, "0")) != 0;
    active_ = stored_ && gameTimeOn;
    then_.brk = leadingNumber(s.GetSetting(sect::kControls, kThenBreak, "0")) != 0;
    then_.game = !then_.brk && leadingNumber(s.GetSetting(sect::kControls, kThenGame, "0")) != 0;
    then_.secondsLeft = leadingInt32(s.GetSetting(sect::kControls, kThenLeft, "0"));
}

}  // namespace qv
