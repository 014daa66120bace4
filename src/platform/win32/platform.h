// Every Win32 service of the program, owned together, and the message loop.
#pragma once
#include "platform/platform.h"
#include "platform/win32/clock.h"
#include "platform/win32/dialogs.h"
#include "platform/win32/guard.h"
#include "platform/win32/history_store.h"
#include "platform/win32/keyboard.h"
#include "platform/win32/registry.h"
#include "platform/win32/services.h"
#include "platform/win32/system.h"
#include "platform/win32/tray.h"
#include "platform/win32/windowing.h"
#include "platform/win32/windowlock.h"

namespace qv::win32 {

class Win32Platform {
  public:
    // trace: where start-up time goes (or nullptr); it outlives the platform.
    explicit Win32Platform(StartupTrace* trace = nullptr);
    ~Win32Platform();
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform& platform() { return platform_; }
    // Runs the message loop until the last form is gone; returns the exit code.
    int run();

    Win32System system;
    Win32Clock clock;
    Win32Timers timers;
    Win32Windowing windowing;
    Win32Dialogs dialogs;
    Win32Registry registry;
    Win32Tray tray;
    Win32Processes processes;
    Win32KeyboardHook keyboard;
    Win32WindowLock windowLock;
    Win32Sound sound;
    Win32Shutdown shutdown;
    Win32TimeOfDay timeOfDay;
    Win32Pictures pictures;
    Win32GuardLink guard;
    Win32HistoryStore history;

  private:
    Platform platform_;
};

}  // namespace qv::win32
