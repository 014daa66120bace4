#include "engine/app.h"

#include "console/frm_main.h"
#include "console/systray.h"
#include "engine/password.h"
#include "lock/form1.h"
#include "lock/frm_big.h"
#include "settings/reg_settings.h"

namespace qv {

App::App(Platform& platform)
    : platform_(platform),
      session_(platform.windowing, platform.timers),
      settings_(std::make_unique<CRegSettings>(platform.registry, platform.system)),
      sysTray_(std::make_unique<SysTray>(platform.tray)),
      frmMain_(session_, [this] { return std::make_unique<FrmMain>(*this); }),
      frmPassword_(session_, [this] { return std::make_unique<FrmPassword>(*this); }),
      frmBig_(session_, [this] { return std::make_unique<FrmBig>(*this); }),
      frmMenuSystray_(session_, [this] { return std::make_unique<FrmMenuSystray>(*this); }),
      form1_(session_, [this] { return std::make_unique<Form1>(*this); }) {}

App::~App() = default;

FrmMain& App::frmMain() {
    return frmMain_();
}
FrmPassword& App::frmPassword() {
    return frmPassword_();
}
FrmBig& App::frmBig() {
    return frmBig_();
}
FrmMenuSystray& App::frmMenuSystray() {
    return frmMenuSystray_();
}
Form1& App::form1() {
    return form1_();
}
FrmMain* App::frmMainIfLoaded() const {
    return frmMain_.loaded();
}
FrmPassword* App::frmPasswordIfLoaded() const {
    return frmPassword_.loaded();
}
FrmBig* App::frmBigIfLoaded() const {
    return frmBig_.loaded();
}

void App::start() {
    frmMain();
    session_.afterEvent();
}

void App::showPasswordRequest() {
    // The password request comes with the tray menu's commands; until then a request is
    // recorded in the console state and answered by nobody.
}

void App::showAbout() {}

}  // namespace qv
