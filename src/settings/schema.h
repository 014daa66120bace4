// The plan settings of section "Controls" and the defaults a first run writes.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "platform/datetime.h"

namespace qv {

class CRegSettings;

namespace sect {
constexpr const char* kControls = "Controls";
constexpr const char* kListOfGames = "ListOfGames";
constexpr const char* kPathOfGames = "PathOfGames";
}  // namespace sect

// The first-run values in the order they are written; the month and day are today's.
std::vector<std::pair<std::string, std::string>> firstRunDefaults(const DateTime& today);

// Writes the defaults when no settings exist yet ("Made" missing) or no password was ever
// chosen ("Mode" is "6"); returns true when it wrote them.
bool makeDefaults(CRegSettings& settings, const DateTime& today);

}  // namespace qv
