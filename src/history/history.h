// The record of an evening: what the plan did, what the child tried and what the parent did, one
// stamped line an event in the user's history file, and a copy of each line for the guard service
// when it runs, which keeps it where the child cannot delete it.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "history/history_log.h"
#include "platform/clock.h"
#include "platform/guardlink.h"
#include "platform/history_store.h"

namespace qv {

class History {
  public:
    History(IHistoryStore& store, IClock& clock, IGuardLink& guard)
        : store_(store), clock_(clock), guard_(guard) {}

    void planStarted(const std::string& mode);  // the mode's name, as the console shows it
    void planLeft();                            // with the password, from the lock screen
    void planStopped();                         // from the tray
    void endedFromTray();
    void weekValueIgnored(const std::string& note);  // a stored week value that could not be read
    // A period begins: game time, a break, or neither (the plan is over).
    // `afterMoreTime`: the period more time interrupted goes on.
    void periodBegun(bool game, bool pause, int32_t secondsLeft, bool afterMoreTime = false);
    void programStarted(uint32_t pid, const std::string& name);
    void programEnded(uint32_t pid);  // once for each program started
    void moreTimeGiven(int minutes);
    void clockChangeRefused(bool zone);
    // A password request closed after `count` wrong passwords; `request` is the console state
    // code it was asked for.
    void wrongPasswords(int count, int16_t request);
    void sessionEnding(bool planRuns);  // Windows ends the session
    // The program starts with a plan stored as running: it was not ended with Exit, unless
    // Windows ended the session. `byGuard`: the guard service started it again (and has recorded
    // the end in its own copy already).
    void startedWithPlan(bool byGuard);

    struct View {
        std::vector<std::string> lines;  // newest first
        std::string note;                // "History started on <date>", or ""
    };
    // The user's file, or the guard's copy when the user's file began later.
    View view();

  private:
    void record(const std::string& text, bool toGuard = true);
    HistoryLog& log();  // the user's file, looked up at its first use
    IHistoryStore& store_;
    IClock& clock_;
    IGuardLink& guard_;
    std::unique_ptr<HistoryLog> log_;
    std::map<uint32_t, std::string> programs_;  // started and not yet seen to end, by process id
};

// "6 December 2026", the date of a stamp "2026-12-06 ..."
std::string historyDate(const std::string& stamp);

}  // namespace qv
