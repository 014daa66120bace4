// The window lock on the simulated desktop: while a window is locked every other visible
// top-level window (the program's own and other programs') is disabled, a window that appears
// meanwhile is disabled too, and a release enables exactly the windows the lock disabled. What it
// disabled outlives the program, so that the next start's release finds it after a kill.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "platform/windowlock.h"

namespace qv::sim {

class SimWindowing;

class SimWindowLock : public IWindowLock {
  public:
    explicit SimWindowLock(SimWindowing& windowing) : windowing_(windowing) {}
    void makeModal(uintptr_t window, int flag, int reserved) override;

    // The backend's side: the program's windows.
    bool holds(uintptr_t window) const { return held_.count(window) != 0; }
    void windowShown(uintptr_t window);
    void formDisabled(uintptr_t window) { held_.erase(window); }  // the program's own choice now
    void windowGone(uintptr_t window);

    // Test control: other programs' top-level windows.
    // Appears on the desktop, shown; windows of one process share a process number (0: alone).
    uintptr_t openWindow(bool enabled = true, uint32_t process = 0);
    void closeWindow(uintptr_t window);
    void setOtherEnabled(uintptr_t window, bool enabled);  // by its own program
    // Whether the user can reach a window: another program's, or a form of the program.
    bool usable(uintptr_t window) const;

    struct Call {
        uintptr_t window;
        int flag;
    };
    std::vector<Call> calls;
    uintptr_t locked = 0;  // the window input is confined to, 0 when free

  private:
    void holdDown(uintptr_t window);
    void releaseAll();
    bool exempt(uintptr_t window) const;
    SimWindowing& windowing_;
    std::map<uintptr_t, bool> others_;  // other programs' windows: enabled
    std::map<uintptr_t, uint32_t> processOf_;
    std::set<uintptr_t> held_;  // disabled by the lock
    uintptr_t nextOther_ = 0x60010;
};

}  // namespace qv::sim
