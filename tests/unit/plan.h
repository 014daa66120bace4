// A program past its first run, with short ways to set up and start a plan.
#pragma once
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "world.h"

namespace qv::test {

inline const DateTime kSixAm{2026, 12, 6, 6, 0, 0};  // before "bed 7 0 21 0" begins: a break, locked

struct Plan : World {
    explicit Plan(const DateTime& now = kSixPm, const std::string& words = "") : World(now) {
        completeFirstRun();
        if (!words.empty()) plan(words), start();
    }
    // "every GAME BREAK", "once MONTH DAY HOUR MINUTE TOTAL" or "bed SH SM BH BM", then "listed"/"all".
    void plan(const std::string& words) {
        static const std::map<std::string, std::pair<const char*, std::vector<const char*>>> modes = {
            {"every", {"optEveryday", {"cmbGameTime", "cmbBreakTime"}}},
            {"once",
             {"optOneTime",
              {"cmbStartDateM", "cmbStartDateD", "cmbStartTimeH", "cmbStartTimeM", "cmbTotalTime"}}},
            {"bed", {"optBedTime", {"cmbStartH", "cmbStartM", "cmbBedH", "cmbBedM"}}}};
        std::istringstream in(words);
        auto next = [&in] {
            std::string w;
            return in >> w, w;
        };
        const auto& [option, lists] = modes.at(next());
        click("frmMain", option);
        for (const char* list : lists) pick(list, next());  // in this order: the month resets the day
        const std::string extent = next();
        if (extent == "listed") click("frmMain", "optOnlyListed");
        if (extent == "all") click("frmMain", "optEverything");
    }
    void start() { click("frmMain", "Command1"); }
    FrmBig& big() { return app->frmBig(); }
    std::string period() const { return app->gameTimeOn ? "game" : app->breakTimeOn ? "break" : "over"; }
    std::string left() const {
        return period() == "over" ? "over" : period() + " " + std::to_string(app->secondsLeft);
    }
    // The run at a glance: period, seconds left (unless over), and the lock screen's state.
    std::string status() {
        std::string s = left();
        for (auto [on, word] : {std::pair{shown("frmBig"), " shown"},
                                {!big().enabled(), " disabled"},
                                {locked(), " locked"},
                                {big().timer1.enabled(), " t1"},
                                {big().timer2.enabled(), " t2"}})
            if (on) s += word;
        return s;
    }
    bool locked() { return sim.windowLock.locked == big().nativeHandle() && !sim.keyboard.hooks.empty(); }
};

}  // namespace qv::test
