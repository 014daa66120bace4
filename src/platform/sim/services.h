// The simulated machine's other services: processes and their windows, the sound, shutdown, the
// time of day and pictures. Each records what it was asked.
#pragma once
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/pictures.h"
#include "platform/processes.h"
#include "platform/shutdown.h"
#include "platform/sound.h"
#include "platform/timeofday.h"

namespace qv::sim {

class SimClock;
class SimWindowLock;

// Programs on the simulated machine. Each is scripted by the file it runs: when its window comes
// up and when it exits, in milliseconds after its start. Its window is another program's window on
// the simulated desktop, so the window lock acts on it. Waiting blocks the program: the virtual
// clock moves without ticking its timers.
class SimProcesses : public IProcesses {
  public:
    SimProcesses(SimClock& clock, SimWindowLock& desktop) : clock_(clock), desktop_(desktop) {}
    struct Script {
        int64_t windowAfterMs = 0;  // -1: never shows a window
        int64_t exitAfterMs = -1;   // -1: runs until ended
    };
    struct Proc {
        uint32_t pid;
        uintptr_t process;  // the handle given out at the start
        std::string commandLine, program;
        int showCommand;
        int64_t startedMs;
        Script script;
        bool killed = false;
        uintptr_t window = 0;
        bool windowGone = false;
    };
    bool start(const std::string& commandLine, int showCommand, ProcessInfo* out,
               uint32_t* error = nullptr) override;
    uint32_t wait(uintptr_t process, uint32_t timeoutMs) override;
    void closeHandle(uintptr_t handle) override;
    uintptr_t findWindowOf(uint32_t pid) override;
    void setForeground(uintptr_t window) override { foreground.push_back(window); }
    void showWindow(uintptr_t window, int cmd) override { shows.push_back({window, cmd}); }
    bool terminate(uintptr_t process) override;

    // Test control.
    bool running(const Proc& p) const;
    Proc* byPid(uint32_t pid);
    Proc* byProgram(const std::string& program);  // the newest process running that file
    void exit(uint32_t pid);                      // the program ends by itself
    // Another program starts and is given this id (ids of ended processes are reused).
    Proc& spawnOther(uint32_t pid);
    std::vector<Proc> procs;
    std::map<std::string, Script> scripts;  // by program file; others show a window at once
    std::set<std::string> missing;          // program files that do not exist
    std::set<std::string> elevated;         // program files that need an administrator to start
    std::set<uintptr_t> openHandles;
    int badHandleUses = 0;  // waits on or ends of handles that were closed or never given out
    std::vector<uintptr_t> foreground;
    std::vector<std::pair<uintptr_t, int>> shows;
    std::function<void()> duringWait;  // at each wait with a time-out: the user acts meanwhile

  private:
    void settle();  // windows appear and go as the scripts say, up to now
    Proc* byHandle(uintptr_t process);
    SimClock& clock_;
    SimWindowLock& desktop_;
    uint32_t nextPid_ = 4000;
    uintptr_t nextHandle_ = 0x8000;
};

class SimSound : public ISound {
  public:
    long mciSend(const std::string& command) override {
        commands.push_back(command);
        return 0;
    }
    std::string shortPath(const std::string& path) override;
    std::vector<std::string> commands;
    std::set<std::string> files;  // paths that exist
};

class SimShutdown : public IShutdown {
  public:
    bool run(const std::string& commandLine) override;
    std::vector<std::string> runs;
    bool available = true;
};

// Setting the time moves the virtual clock; the time-change message it causes is delivered when
// the program lets pending messages through.
class SimTimeOfDay : public ITimeOfDay {
  public:
    bool setTimeOfDay(int hour, int minute, int second) override;
    bool canSetTime() override { return privilege; }
    std::string timeZone() const override { return zone; }
    bool setTimeZone(const std::string& z) override;
    void pumpMessages() override;
    std::function<void(int, int, int)> onSet;
    std::function<void()> deliverTimeChange;
    std::vector<std::string> sets;  // "hh:mm:ss" of every set
    int pumps = 0;
    bool privilege = true;  // false: the set fails, as it does without the system-time right
    std::string zone = "W. Europe Standard Time";
    std::vector<std::string> zoneSets;  // every zone set back, refused or not
    bool zonePrivilege = true;

  private:
    int pending_ = 0;
};

class SimPictures : public IPictures {
  public:
    PictureHandle load(const std::string& path, int width, int height) override;
    void release(PictureHandle picture) override { badReleases += loaded.erase(picture) ? 0 : 1; }
    PictureHandle iconOf(const std::string& path) override;
    std::set<std::string> pictures, icons;        // files that load
    std::map<PictureHandle, std::string> loaded;  // not released yet
    int iconReads = 0;                            // iconOf calls, icon or not
    int badReleases = 0;                          // handles released that were not loaded

  private:
    PictureHandle next_ = 0x7000;
};

}  // namespace qv::sim
