// A program past its first run, with short ways to set up and start a plan.
#pragma once
#include <sstream>
#include <string>

#include "world.h"

namespace qv::test {

inline const DateTime kSixAm{2026, 12, 6, 6, 0, 0};  // before "bed 7 0 21 0" begins: a break, locked

struct Plan : World {
    // Past the first run; with `words`, that plan (see plan()) started.
    explicit Plan(const DateTime& now = kSixPm, const std::string& words = "") : World(now) {
        completeFirstRun();
        if (!words.empty()) plan(words), start();
    }
    void changing(const std::string& game, const std::string& brk) {
        click("frmMain", "optEveryday");
        pick("cmbGameTime", game);
        pick("cmbBreakTime", brk);
    }
    void oneTime(const std::string& month, const std::string& day, const std::string& hour,
                 const std::string& minute, const std::string& total) {
        click("frmMain", "optOneTime");
        for (auto [list, v] : {std::pair{"cmbStartDateM", month},
                               {"cmbStartDateD", day},
                               {"cmbStartTimeH", hour},
                               {"cmbStartTimeM", minute},
                               {"cmbTotalTime", total}})
            pick(list, v);
    }
    void bedTime(const std::string& sh, const std::string& sm, const std::string& bh, const std::string& bm) {
        click("frmMain", "optBedTime");
        for (auto [list, v] :
             {std::pair{"cmbStartH", sh}, {"cmbStartM", sm}, {"cmbBedH", bh}, {"cmbBedM", bm}})
            pick(list, v);
    }
    // "every GAME BREAK", "once MONTH DAY HOUR MINUTE TOTAL" or "bed SH SM BH BM", then "listed"/"all".
    void plan(const std::string& words) {
        std::istringstream in(words);
        std::string kind, a[6];
        in >> kind;
        for (auto& x : a) in >> x;
        const int n = kind == "every" ? 2 : kind == "once" ? 5 : 4;
        if (kind == "every") changing(a[0], a[1]);
        if (kind == "once") oneTime(a[0], a[1], a[2], a[3], a[4]);
        if (kind == "bed") bedTime(a[0], a[1], a[2], a[3]);
        if (a[n] == "listed") click("frmMain", "optOnlyListed");
        if (a[n] == "all") click("frmMain", "optEverything");
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
