// Every platform service the program uses, grouped so that one object can be handed down.
#pragma once
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/guardlink.h"
#include "platform/history_store.h"
#include "platform/keyboard.h"
#include "platform/pictures.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/shutdown.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/timeofday.h"
#include "platform/tray.h"
#include "platform/windowing.h"
#include "platform/windowlock.h"

namespace qv {

struct Platform {
    IClock& clock;
    ITimers& timers;
    ui::IWindowing& windowing;
    IDialogs& dialogs;
    IRegistry& registry;
    ITray& tray;
    ISystemInfo& system;
    IProcesses& processes;
    IKeyboardHook& keyboard;
    IWindowLock& windowLock;
    ISound& sound;
    IShutdown& shutdown;
    ITimeOfDay& timeOfDay;
    IPictures& pictures;
    IGuardLink& guard;
    IHistoryStore& history;
};

}  // namespace qv
