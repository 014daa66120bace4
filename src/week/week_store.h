// The week plan in the settings store: section "Week", one value per field ("MondayLimit",
// "MondayFrom1", "MondayTo1", "MondayFrom2", "MondayTo2", ... through Sunday). A limit is a number
// of minutes, a time "H:MM"; an empty or missing value is no limit or no window.
#pragma once
#include <string>
#include <vector>

#include "week/week_plan.h"

namespace qv {

class CRegSettings;

namespace sect {
constexpr const char* kWeek = "Week";
}

// A limit as typed or stored: empty is no limit (0); otherwise a whole number 1..1440. False when
// the text is neither.
bool parseDayLimit(const std::string& text, int& minutes);
// A time of day "H:MM" or "HH:MM" from 0:00 to 24:00, in minutes. False when it is not one.
bool parseClockTime(const std::string& text, int& minutes);

struct LoadedWeek {
    WeekPlan plan;
    // One sentence for each value that could not be read and fell back to no limit or no window.
    std::vector<std::string> notes;
};

// Reads only the values it knows, so a section with any number of other values costs nothing more.
LoadedWeek loadWeek(CRegSettings& settings);
// An empty week removes the section: old settings stay exactly as they were.
void saveWeek(CRegSettings& settings, const WeekPlan& plan);

}  // namespace qv
