// The console window, where the parent sets up the plan.
#pragma once
#include <string>

#include "platform/forms.h"
#include "platform/pictures.h"

namespace qv {

class App;

class FrmMain : public ui::Form {
  public:
    explicit FrmMain(App& app);
    ui::Control& c(const std::string& name) { return control(name); }
    ui::Timer& timer1() { return *findTimer("Timer1"); }
    ui::Timer& timer2() { return *findTimer("Timer2"); }

    void fillPickers();
    void fillDayList(int16_t month);
    void enableChangingMode();
    void enableOneTimeMode();
    void enableBedTimeMode();
    void applySelectedMode();  // the enabling routine of the selected option

    std::string backPicturePath;

  protected:
    void onLoad() override;
    void onUnload() override;

  private:
    void build();
    void wire();
    void setModeLists(bool changing, bool oneTime, bool bedTime);
    void minimizeClick();
    void helpClick();
    void startMonthClick();
    void launchMouseDown();
    void trayMessage(const ui::Mouse& m);
    PictureHandle choosePicture(int width, int height);
    void setLockScreenPicture(PictureHandle picture);
    void backPictureMouseDown();
    void editPictureClick();
    void changePasswordClick();
    void iconRefreshTick();
    static constexpr int kLeftButtonUp = 514, kRightButtonUp = 517;
    bool menuOpen_ = false;
    App& app_;
};

}  // namespace qv
