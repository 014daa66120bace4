// The simulated machine's other services: processes and their windows, the keyboard hook, the
// sound, shutdown, the time of day and pictures. Each records what it was asked.
#pragma once
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/keyboard.h"
#include "platform/pictures.h"
#include "platform/processes.h"
#include "platform/shutdown.h"
#include "platform/sound.h"
#include "platform/timeofday.h"

namespace qv::sim {

class SimProcesses : public IProcesses {
  public:
    struct Proc {
        uint32_t pid;
        std::string commandLine;
        int showCommand;
        bool running = true;
        uintptr_t window = 0;
    };
    bool start(const std::string& commandLine, int showCommand, ProcessInfo* out) override;
    uint32_t wait(uintptr_t process, uint32_t timeoutMs) override;
    void closeHandle(uintptr_t) override {}
    uintptr_t findWindowOf(uint32_t pid) override;
    uint32_t windowProcess(uintptr_t window) override;
    void setForeground(uintptr_t window) override { foreground.push_back(window); }
    void showWindow(uintptr_t window, int cmd) override { shows.push_back({window, cmd}); }
    bool terminate(uint32_t pid) override;

    // Test control.
    std::vector<Proc> procs;
    std::set<std::string> missing;  // command lines that cannot be started
    std::vector<uintptr_t> foreground;
    std::vector<std::pair<uintptr_t, int>> shows;
    bool windowOnStart = true;

  private:
    uint32_t nextPid_ = 4000;
};

class SimKeyboard : public IKeyboardHook {
  public:
    uintptr_t install(std::function<bool(const KeyEvent&)> filter, uint32_t* error) override;
    void uninstall(uintptr_t hook) override;
    bool keyDown(int vk) const override { return held.count(vk) != 0; }

    // Test control: a key passes unless an installed hook swallows it.
    bool press(const KeyEvent& e);
    std::map<uintptr_t, std::function<bool(const KeyEvent&)>> hooks;
    std::set<int> held;
    bool failInstall = false;

  private:
    uintptr_t next_ = 0x500;
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
    void pumpMessages() override;
    std::function<void(int, int, int)> onSet;
    std::function<void()> deliverTimeChange;
    std::vector<std::string> sets;  // "hh:mm:ss" of every set
    int pumps = 0;
    bool privilege = true;  // false: the set fails, as it does without the system-time right

  private:
    int pending_ = 0;
};

class SimPictures : public IPictures {
  public:
    PictureHandle load(const std::string& path, int width, int height) override;
    void release(PictureHandle picture) override { loaded.erase(picture); }
    PictureHandle iconOf(const std::string& path) override;
    std::set<std::string> pictures, icons;        // files that load
    std::map<PictureHandle, std::string> loaded;  // not released yet

  private:
    PictureHandle next_ = 0x7000;
};

}  // namespace qv::sim
