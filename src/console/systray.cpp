#include "console/systray.h"

#include "engine/console_state.h"
#include "engine/pass_enter.h"

namespace qv {

void SysTray::ShowIcon(ui::Form& form) {
    if (bRunningInTray && trayData_.window != form.nativeHandle()) {
        // A console created again replaces the icon of the one before instead of adding a second.
        TrayRecord old = trayData_;
        tray_.notify(TrayOp::Delete, old);
    }
    trayData_ = TrayRecord{};
    trayData_.window = form.nativeHandle();
    trayData_.id = kId;
    trayData_.flags = 7;
    trayData_.callbackMessage = kCallback;
    trayData_.icon = form.icon();
    trayData_.tip = form.caption();
    tray_.notify(TrayOp::Add, trayData_);
    bRunningInTray = true;
}

void SysTray::RemoveIcon(ui::Form& form) {
    trayData_.size = 504;
    trayData_.window = form.nativeHandle();
    trayData_.id = kId;
    trayData_.flags = 7;
    trayData_.icon = form.icon();
    trayData_.tip.clear();
    tray_.notify(TrayOp::Delete, trayData_);
    if (!form.visible()) form.show();
    bRunningInTray = false;
}

void SysTray::RestoreIcon(ui::Form& form) {
    if (!bRunningInTray) return;
    trayData_.window = form.nativeHandle();
    trayData_.icon = form.icon();
    tray_.notify(TrayOp::Modify, trayData_);
}

void SysTray::ChangeToolTip(ui::Form& form, const std::string& tip) {
    if (!bRunningInTray) return;
    trayData_.window = form.nativeHandle();
    trayData_.tip = tip;
    tray_.notify(TrayOp::Modify, trayData_);
}

void SysTray::ShellTrayModifyTip(ui::Form& form) {
    showBalloon(form, "Click on the icon to begin");
}

void SysTray::showBalloon(ui::Form& form, const std::string& text, bool warning) {
    TrayRecord balloon;
    balloon.window = form.nativeHandle();
    balloon.id = kId;
    balloon.flags = 16;
    balloon.info = text;
    balloon.infoTitle = "Quorvane";
    balloon.infoFlags = warning ? 2 : 1;
    balloon.timeout = 0;
    tray_.notify(TrayOp::Modify, balloon);
}

void SysTray::windowGone(ui::Form& form) {
    if (!bRunningInTray || trayData_.window != form.nativeHandle()) return;
    tray_.notify(TrayOp::Delete, trayData_);
    bRunningInTray = false;
}

void SysTray::shellRestarted(ui::Form& form) {
    if (!bRunningInTray || trayData_.window != form.nativeHandle()) return;
    tray_.notify(TrayOp::Add, trayData_);
}

FrmMenuSystray::FrmMenuSystray(TrayMenuHost& host)
    : ui::Form(host.session(), "frmMenuSystray"),
      mnuMenuMain(menu().add("mnuMenuMain", "Menu")),
      mnuStart(mnuMenuMain.add("mnuStart", "Start")),
      mnuStop(mnuMenuMain.add("mnuStop", "Stop")),
      mnuHelp(mnuMenuMain.add("mnuHelp", "Help")),
      mnucrta(mnuMenuMain.add("mnucrta", "-")),
      mnuAbout(mnuMenuMain.add("mnuAbout", "About Quorvane")),
      mnuUnsub(mnuMenuMain.add("mnuUnsub", "-")),
      mnuExit(mnuMenuMain.add("mnuExit", "Exit")),
      host_(host) {
    setCaption("Form1");
    showInTaskbar = false;
    mnuStart.onClick = [this] { request(state::kConsoleOpen); };
    mnuStop.onClick = [this] { request(state::kStopAsked); };
    mnuHelp.onClick = [this] { host_.showHelp(nativeHandle(), 0); };
    mnuAbout.onClick = [this] { host_.showAbout(); };
    mnuExit.onClick = [this] { request(state::kExitAsked); };
}

void FrmMenuSystray::request(int16_t code) {
    // A second command while a request is still open changes what is asked, not what a Cancel
    // goes back to.
    FrmPassEnter* open = host_.frmPassEnterIfLoaded();
    if (!open || !open->visible()) host_.setPreviousConsoleState(host_.consoleStateCode());
    host_.setConsoleState(code);
    host_.showPasswordRequest();
}

}  // namespace qv
