// Moving the console's state between its controls and the settings store, and the run state.
#include <algorithm>
#include <cctype>

#include "console/frm_main.h"
#include "engine/app.h"
#include "engine/password.h"
#include "settings/convert.h"
#include "settings/reg_settings.h"
#include "settings/schema.h"
#include "week/week_store.h"

namespace qv {

namespace {

// Combo boxes and the settings they hold, in the order they are read and written.
const std::pair<const char*, ConsoleControl> kPickerSettings[] = {
    {"GameTime", &FrmMain::cmbGameTime},     {"BreakTime", &FrmMain::cmbBreakTime},
    {"StartH", &FrmMain::cmbStartTimeH},     {"StartM", &FrmMain::cmbStartTimeM},
    {"StartMonth", &FrmMain::cmbStartDateM}, {"StartDay", &FrmMain::cmbStartDateD},
    {"TotalTime", &FrmMain::cmbTotalTime},   {"StartTimeH", &FrmMain::cmbStartH},
    {"StartTimeM", &FrmMain::cmbStartM},     {"BedTimeH", &FrmMain::cmbBedH},
    {"BedTimeM", &FrmMain::cmbBedM},
};

// A check box takes 0, 1 or 2; any other stored state leaves the box as it is.
void setCheckState(ui::Control& box, double stored) {
    const int16_t v = roundToInt16(stored);
    if (v >= 0 && v <= 2) box.setValue(v);
}

// The number after the prefix when a value name is the prefix and a number ("Name12"), else -1.
long numberAfter(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 9) return -1;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return -1;
    long n = 0;
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return -1;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

// Windows lists a key's values in the order they were written; Wine lists them by name (Name1,
// Name10, Name2, ...). When every name of both sections is its prefix and a number, the numbers
// give the order, which is the written order on either; otherwise the order is left as listed.
void orderByNumber(CRegSettings::Rows& names, CRegSettings::Rows& paths) {
    auto numbered = [](const CRegSettings::Rows& rows, const char* prefix) {
        for (auto& row : rows)
            if (numberAfter(row.first, prefix) < 0) return false;
        return true;
    };
    if (!numbered(names, "Name") || !numbered(paths, "Path")) return;
    auto byNumber = [](const char* prefix) {
        return [prefix](const auto& a, const auto& b) {
            return numberAfter(a.first, prefix) < numberAfter(b.first, prefix);
        };
    };
    std::stable_sort(names.begin(), names.end(), byNumber("Name"));
    std::stable_sort(paths.begin(), paths.end(), byNumber("Path"));
}

}  // namespace

void App::loadSettings() {
    CRegSettings& s = settings();
    FrmMain& f = frmMain();
    const char* C = sect::kControls;

    auto names = s.GetAllSettings(sect::kListOfGames);
    if (!names.empty()) {
        auto paths = s.GetAllSettings(sect::kPathOfGames);
        orderByNumber(names, paths);
        for (auto& row : names) allowedNames.push_back(row.second);
        for (auto& row : paths) allowedPaths.push_back(row.second);
        // The two lists always move in step: an entry without its partner is dropped.
        const size_t n = std::min(allowedNames.size(), allowedPaths.size());
        allowedNames.resize(n);
        allowedPaths.resize(n);
    }

    const int16_t made = leadingInt16(s.GetSetting(C, "Made", "1"));
    if (made == 1) {
        f.optEveryday->setValue(1);
        f.enableChangingMode();
    } else if (made == 2) {
        f.optOneTime->setValue(1);
        f.enableOneTimeMode();
    } else {
        f.optBedTime->setValue(1);
        f.enableBedTimeMode();
    }
    for (auto& [name, combo] : kPickerSettings) (f.*combo)->setText(s.GetSetting(C, name, "1"));

    if (auto shutdown = parseNumber(s.GetSetting(C, "Shutdown", "0")))
        setCheckState(*f.chkShutDown, *shutdown);

    if (s.GetSetting(C, "Allowance", "1") == "2") {
        f.optEverything->setValue(1);
    } else {
        f.optOnlyListed->setValue(1);
    }
    setCheckState(*f.chkRingStart, leadingNumber(s.GetSetting(C, "SoundBegin", "1")));
    setCheckState(*f.chkRingEnd, leadingNumber(s.GetSetting(C, "SoundEnd", "1")));
    setCheckState(*f.chkShowTime, leadingNumber(s.GetSetting(C, "ShowTime", "1")));

    if (leadingNumber(s.GetSetting(C, "chkBackPicture", "1")) != 0) {
        f.chkBackPicture->setValue(1);
        f.lblBackPicture->setText(s.GetSetting(C, "BackPicture", "1"));
    } else {
        f.chkBackPicture->setValue(0);
        f.lblBackPicture->setText("None");
    }
    f.txtMessage->setText(s.GetSetting(C, "Message", "1"));
    f.lblPassword->setText(s.GetSetting(C, "Password", "1"));
    currentPassword = decodePassword(f.lblPassword->text());
    consoleState = leadingInt16(s.GetSetting(C, "Mode", "1"));
    // The box shows what is registered, not the stored "StartUp" (still written on save): a stored
    // "1" with nothing in the Run key, the first run's default, would claim a start that never comes.
    f.showStartUpRegistration();
    LoadedWeek loaded = loadWeek(s);
    week = loaded.plan;
    weekNotes = std::move(loaded.notes);
    for (const std::string& note : weekNotes) history_.weekValueIgnored(note);
    loadRunState();
}

void App::saveSettings() {
    CRegSettings& s = settings();
    FrmMain& f = frmMain();
    const char* C = sect::kControls;
    s.SaveSetting(C, "Made", f.optOneTime->value() ? "2" : f.optEveryday->value() ? "1" : "3");
    f.applySelectedMode();
    for (auto& [name, combo] : kPickerSettings) s.SaveSetting(C, name, (f.*combo)->text());
    s.SaveSetting(C, "Allowance", f.optOnlyListed->value() ? "1" : "2");
    s.SaveSetting(C, "SoundBegin", std::to_string(f.chkRingStart->value()));
    s.SaveSetting(C, "SoundEnd", std::to_string(f.chkRingEnd->value()));
    s.SaveSetting(C, "ShowTime", std::to_string(f.chkShowTime->value()));
    s.SaveSetting(C, "chkBackPicture", std::to_string(f.chkBackPicture->value()));
    s.SaveSetting(C, "BackPicture", f.lblBackPicture->text());
    s.SaveSetting(C, "Message", f.txtMessage->text());
    s.SaveSetting(C, "Mode", std::to_string(consoleState));
    s.SaveSetting(C, "Password", f.lblPassword->text());
    s.SaveSetting(C, "StartUp", std::to_string(f.chkLaunch->value()));
    s.SaveSetting(C, "ShutDown", std::to_string(f.chkShutDown->value()));
    saveWeek(s, week);
}

void App::saveAllSettings() {
    storeAllowedList();
    saveSettings();
    saveRunState();
}

void App::saveRunState() {
    // one open key for the values of a moment (it comes every 30 s)
    CRegSettings::Rows rows = {{"BreakTimeOn", breakTimeOn ? "-1" : "0"},
                               {"GameTimeOn", gameTimeOn ? "-1" : "0"},
                               {"FinalTime", std::to_string(secondsLeft)}};
    if (week.hasLimits()) {
        rows.emplace_back("GameDay", gameDay.dateText());
        rows.emplace_back("GameDaySeconds", gameDay.secondsText());
    }
    if (extra_.storeDue()) {
        rows.emplace_back("ExtraTimeOn", std::to_string(extra_.storedCode()));
        if (extra_.active()) rows.emplace_back("ExtraTimeThen", std::to_string(extra_.then().secondsLeft));
        extra_.storedNow();
    }
    settings().SaveSettings(sect::kControls, rows);
    if (consoleState == state::kPlanRunning) reportRunning();
}

void App::loadRunState() {
    CRegSettings& s = settings();
    breakTimeOn = leadingNumber(s.GetSetting(sect::kControls, "BreakTimeOn", "1")) != 0;
    gameTimeOn = leadingNumber(s.GetSetting(sect::kControls, "GameTimeOn", "1")) != 0;
    // Both flags set cannot come from the program itself; a break is the safe reading.
    if (breakTimeOn && gameTimeOn) gameTimeOn = false;
    secondsLeft = leadingInt32(s.GetSetting(sect::kControls, "FinalTime", "1"));
    gameDay.load(s.GetSetting(sect::kControls, "GameDay", ""),
                 s.GetSetting(sect::kControls, "GameDaySeconds", ""), platform_.clock.now());
    extra_.restore(leadingInt16(s.GetSetting(sect::kControls, "ExtraTimeOn", "0")),
                   leadingInt32(s.GetSetting(sect::kControls, "ExtraTimeThen", "0")), gameTimeOn);
}

}  // namespace qv
