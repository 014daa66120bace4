// The full-screen lock screen.
#pragma once
#include "platform/forms.h"

namespace qv {

struct Platform;

// What the lock screen needs of the running program.
class LockScreenHost {
  public:
    virtual ui::Session& session() = 0;
    virtual Platform& platform() = 0;
    virtual void clockTick() = 0;
    virtual void watcherTick() = 0;
    virtual void launchAllowedProgram() = 0;
    virtual void lockScreenExitClick() = 0;
    virtual void lockToWindow(uintptr_t window, int flag) = 0;
    virtual void unhookKeyboard() = 0;

  protected:
    ~LockScreenHost() = default;
};

class FrmBig : public ui::Form {
  public:
    explicit FrmBig(LockScreenHost& host);

    ui::Timer& timer2;       // the watcher of started programs
    ui::Timer& timer1;       // the lock-screen clock
    ui::Control& listView1;  // the allowed programs, with their icons
    ui::Control& lblTimeLeft;
    ui::Control& lblMessage;
    ui::Control& label1;  // "Exit"

    static constexpr uint32_t kDisplayChange = 0x007E;  // WM_DISPLAYCHANGE
    void layout();     // covers every monitor, the controls on the primary one
    void placeExit();  // "Exit" below the program list when it shows, else at the top

    float lastMouseX = 0, lastMouseY = 0;
    int lastMouseItem = -1;  // the list's item under the last press
    int32_t launchedPid = 0;
    bool preview = false;  // shown from the console to see the picture, no plan behind it
    bool pinned() const override { return !preview; }  // a plan's lock screen covers the screen

  protected:
    void onLoad() override { layout(); }
    void onUnload() override;

  private:
    LockScreenHost& host_;
};

}  // namespace qv
