// The sound signals, the icon's word on the plan, and the shutdown of the computer.
#include "console/frm_main.h"
#include "engine/app.h"

namespace qv {

namespace {

void ring(ISound& sound, const std::string& folder) {
    sound.mciSend("close voice1");
    const std::string file = folder + "\\sound.wav";
    // A volume without 8.3 names gives no short path: the long one, quoted, keeps its blanks.
    std::string path = sound.shortPath(file);
    if (path.empty()) path = '"' + file + '"';
    sound.mciSend("open " + path + " type waveaudio alias voice1");
    sound.mciSend("play voice1");
}

}  // namespace

void App::ringBegin() {
    ring(platform_.sound, platform_.system.programFolder());
}

void App::ringEnd() {
    ring(platform_.sound, platform_.system.programFolder());
}

void App::showPlanStatus(bool began) {
    showPlanStatus(began, platform_.clock.now());
}

void App::showPlanStatus(bool began, const DateTime& now) {
    FrmMain* console = frmMainIfLoaded();
    if (!console) return;
    PlanState s;
    s.period = gameTimeOn    ? PlanState::Period::Game
               : breakTimeOn ? PlanState::Period::Break
                             : PlanState::Period::Over;
    s.secondsLeft = secondsLeft;
    s.breakUntilTimeOfDay = console->optEveryday->value() == 0 || dayOver;
    s.now = now;
    // What is left of the day's game time, in Changing mode with a limit on the day.
    const int32_t left = week.hasLimits() && console->optEveryday->value() && (gameTimeOn || breakTimeOn)
                             ? gameDay.leftAt(week, now)
                             : GameDay::kNoLimit;
    s.tipSuffix = dayLeftText_.of(left);
    const TrayStatus::Change c = trayStatus_.update(s, began);
    if (c.tip) sysTray_->ChangeToolTip(*console, c.tip);
    if (c.balloon && sysTray_->bRunningInTray) sysTray_->showBalloon(*console, c.balloon, c.warning);
}

void App::shutDownComputer() {
    // By its full path: a file of that name in the current folder is never the one started. No
    // delay, so that "shutdown -a" has nothing to cancel.
    platform_.shutdown.run('"' + platform_.system.systemFolder() + "\\shutdown.exe\" -s -f -t 0");
}

}  // namespace qv
