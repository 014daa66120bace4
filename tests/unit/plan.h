// A program past its first run, with short ways to set up and start a plan.
#pragma once
#include <string>

#include "lock/frm_big.h"
#include "world.h"

namespace qv::test {

struct Plan : World {
    explicit Plan(const DateTime& now) : World(now) { completeFirstRun(); }
    void changing(const char* game, const char* brk) {
        click("frmMain", "optEveryday");
        pick("cmbGameTime", game);
        pick("cmbBreakTime", brk);
    }
    void oneTime(const char* month, const char* day, const char* hour, const char* minute,
                 const char* total) {
        click("frmMain", "optOneTime");
        pick("cmbStartDateM", month);
        pick("cmbStartDateD", day);
        pick("cmbStartTimeH", hour);
        pick("cmbStartTimeM", minute);
        pick("cmbTotalTime", total);
    }
    void bedTime(const char* sh, const char* sm, const char* bh, const char* bm) {
        click("frmMain", "optBedTime");
        pick("cmbStartH", sh);
        pick("cmbStartM", sm);
        pick("cmbBedH", bh);
        pick("cmbBedM", bm);
    }
    void start() { click("frmMain", "Command1"); }
    FrmBig& big() { return app->frmBig(); }
    std::string period() const { return app->gameTimeOn ? "game" : app->breakTimeOn ? "break" : "over"; }
    // The run at a glance: period, seconds left, and the lock screen's state.
    std::string status() {
        std::string s = period() + " " + std::to_string(app->secondsLeft);
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
