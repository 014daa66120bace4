// The machine's other services: processes and their windows, sound, shutdown, the time of day and
// pictures.
#pragma once
#include "platform/pictures.h"
#include "platform/processes.h"
#include "platform/shutdown.h"
#include "platform/sound.h"
#include "platform/timeofday.h"

namespace qv::win32 {

class Win32Processes : public IProcesses {
  public:
    bool start(const std::string& commandLine, int showCommand, ProcessInfo* out,
               uint32_t* error = nullptr) override;
    uint32_t wait(uintptr_t process, uint32_t timeoutMs) override;
    void closeHandle(uintptr_t handle) override;
    uintptr_t findWindowOf(uint32_t pid) override;
    void setForeground(uintptr_t window) override;
    void showWindow(uintptr_t window, int showCommand) override;
    bool terminate(uintptr_t process) override;
};

class Win32Sound : public ISound {
  public:
    long mciSend(const std::string& command) override;
    std::string shortPath(const std::string& path) override;
};

class Win32Shutdown : public IShutdown {
  public:
    bool run(const std::string& commandLine) override;
};

class Win32TimeOfDay : public ITimeOfDay {
  public:
    bool setTimeOfDay(int hour, int minute, int second) override;
    bool canSetTime() override;
    std::string timeZone() const override;
    bool setTimeZone(const std::string& zone) override;
    void pumpMessages() override;
};

// Pictures are device-dependent bitmaps (HBITMAP), icons of executables are HICONs.
class Win32Pictures : public IPictures {
  public:
    PictureHandle load(const std::string& path, int width, int height) override;
    void release(PictureHandle picture) override;
    PictureHandle iconOf(const std::string& path) override;
};

}  // namespace qv::win32
