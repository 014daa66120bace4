// The full-screen lock screen.
#pragma once
#include "platform/forms.h"

namespace qv {

class App;

class FrmBig : public ui::Form {
  public:
    explicit FrmBig(App& app);

    ui::Timer& timer2;       // the watcher of started programs
    ui::Timer& timer1;       // the lock-screen clock
    ui::Control& listView1;  // the allowed programs, with their icons
    ui::Control& lblTimeLeft;
    ui::Control& lblMessage;
    ui::Control& label1;  // "Exit"

    void layout();     // spreads the controls over the screen
    void placeExit();  // "Exit" below the program list when it shows, else at the top

    float lastMouseX = 0, lastMouseY = 0;
    int lastMouseItem = -1;  // the list's item under the last press
    int32_t launchedPid = 0;
    bool preview = false;  // shown from the console to see the picture, no plan behind it

  protected:
    void onLoad() override { layout(); }
    void onUnload() override;

  private:
    App& app_;
};

}  // namespace qv
