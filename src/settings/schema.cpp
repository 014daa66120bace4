#include "settings/schema.h"

#include "settings/reg_settings.h"

namespace qv {

std::vector<std::pair<std::string, std::string>> firstRunDefaults(const DateTime& today) {
    return {
        {"Made", "1"},
        {"GameTime", "90"},
        {"BreakTime", "30"},
        {"StartH", "1"},
        {"StartM", "1"},
        {"StartMonth", std::to_string(today.month)},
        {"StartDay", std::to_string(today.day)},
        {"TotalTime", "90"},
        {"Allowance", "2"},
        {"SoundBegin", "1"},
        {"SoundEnd", "1"},
        {"ShowTime", "1"},
        {"chkBackPicture", "0"},
        {"BackPicture", ""},
        {"Message", ""},
        {"Mode", "6"},
        {"StartUp", "1"},
        {"BedTimeH", "11"},
        {"BedTimeM", "0"},
        {"StartTimeH", "10"},
        {"StartTimeM", "30"},
        {"ShutDown", "0"},
        {"BreakTimeOn", "0"},
        {"GameTimeOn", "0"},
        {"FinalTime", "0"},
    };
}

bool makeDefaults(CRegSettings& settings, const DateTime& today) {
    const std::string made = settings.GetSetting(sect::kControls, "Made", "notMade");
    const std::string mode = settings.GetSetting(sect::kControls, "Mode", "notMade");
    if (mode != "6" && made != "notMade") return false;
    for (const auto& [name, value] : firstRunDefaults(today))
        settings.SaveSetting(sect::kControls, name, value);
    return true;
}

}  // namespace qv
