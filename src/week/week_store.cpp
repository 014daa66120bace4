#include "week/week_store.h"

#include "settings/reg_settings.h"

namespace qv {

namespace {

bool allDigits(const std::string& s, size_t from, size_t to) {
    if (from >= to || to - from > 4) return false;
    for (size_t i = from; i < to; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

int number(const std::string& s, size_t from, size_t to) {
    int n = 0;
    for (size_t i = from; i < to; ++i) n = n * 10 + (s[i] - '0');
    return n;
}

std::string trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

std::string valueName(int day, const char* field) {
    return std::string(weekdayName(day)) + field;
}

}  // namespace

bool parseDayLimit(const std::string& text, int& minutes) {
    const std::string t = trimmed(text);
    minutes = 0;
    if (t.empty()) return true;
    if (!allDigits(t, 0, t.size())) return false;
    const int n = number(t, 0, t.size());
    if (n < 1 || n > kMinutesADay) return false;
    minutes = n;
    return true;
}

bool parseClockTime(const std::string& text, int& minutes) {
    const std::string t = trimmed(text);
    const size_t colon = t.find(':');
    if (colon == std::string::npos || !allDigits(t, 0, colon) || t.size() - colon != 3 ||
        !allDigits(t, colon + 1, t.size()))
        return false;
    const int h = number(t, 0, colon), m = number(t, colon + 1, t.size());
    if (h > 24 || m > 59 || h * 60 + m > kMinutesADay) return false;
    minutes = h * 60 + m;
    return true;
}

LoadedWeek loadWeek(CRegSettings& settings) {
    LoadedWeek out;
    for (int d = 0; d < 7; ++d) {
        DayRule& rule = out.plan.days[static_cast<size_t>(d)];
        const std::string limitName = valueName(d, "Limit");
        const std::string limit = settings.GetSetting(sect::kWeek, limitName, "");
        if (!parseDayLimit(limit, rule.limitMinutes))
            out.notes.push_back("Week plan: " + limitName + " \"" + limit.substr(0, 40) +
                                "\" is not 1 to 1440 minutes; no limit on " + weekdayName(d) + ".");
        for (int i = 1; i <= static_cast<int>(WeekPlan::kMaxWindows); ++i) {
            const std::string fromName = valueName(d, "From") + std::to_string(i);
            const std::string toName = valueName(d, "To") + std::to_string(i);
            const std::string from = settings.GetSetting(sect::kWeek, fromName, "");
            const std::string to = settings.GetSetting(sect::kWeek, toName, "");
            if (trimmed(from).empty() && trimmed(to).empty()) continue;
            DayWindow w;
            const char* why = nullptr;
            if (!parseClockTime(from, w.from) || !parseClockTime(to, w.to))
                why = "is not a time of day";
            else if (w.to < w.from)
                why = "ends before it starts";
            else if (!rule.windows.empty() && rule.windows.front() == w)
                why = "is the same as the first";
            if (why) {
                out.notes.push_back("Week plan: the window " + fromName + " \"" + from.substr(0, 20) +
                                    "\" to " + toName + " \"" + to.substr(0, 20) + "\" " + why +
                                    "; left out.");
                continue;
            }
            rule.windows.push_back(w);
        }
    }
    return out;
}

void saveWeek(CRegSettings& settings, const WeekPlan& plan) {
    if (plan.empty()) {
        settings.DeleteSetting(sect::kWeek);
        return;
    }
    for (int d = 0; d < 7; ++d) {
        const DayRule& rule = plan.days[static_cast<size_t>(d)];
        settings.SaveSetting(sect::kWeek, valueName(d, "Limit"),
                             rule.limitMinutes > 0 ? std::to_string(rule.limitMinutes) : "");
        for (size_t i = 0; i < WeekPlan::kMaxWindows; ++i) {
            const bool has = i < rule.windows.size();
            const std::string n = std::to_string(i + 1);
            settings.SaveSetting(sect::kWeek, valueName(d, "From") + n,
                                 has ? clockText(rule.windows[i].from) : "");
            settings.SaveSetting(sect::kWeek, valueName(d, "To") + n,
                                 has ? clockText(rule.windows[i].to) : "");
        }
    }
}

}  // namespace qv
