// The notification-area icon and the hidden window that carries its pop-up menu.
#pragma once
#include <string>

#include "platform/forms.h"
#include "platform/tray.h"

namespace qv {

class FrmPassEnter;

class SysTray {
  public:
    explicit SysTray(ITray& tray) : tray_(tray) {}
    void ShowIcon(ui::Form& form);
    void RemoveIcon(ui::Form& form);
    void RestoreIcon(ui::Form& form);
    void ChangeToolTip(ui::Form& form, const std::string& tip);
    void ShellTrayModifyTip(ui::Form& form);
    // A balloon on the icon, titled "Quorvane"; with `warning` it carries the warning sign.
    void showBalloon(ui::Form& form, const std::string& text, bool warning = false);
    // The window that owned the icon is going away without RemoveIcon: take the icon down with it.
    void windowGone(ui::Form& form);
    // The notification area was made anew (the shell restarted) and has lost the icon: add it again.
    void shellRestarted(ui::Form& form);

    bool bRunningInTray = false;
    int iconRefreshCount = 0;
    static constexpr uint32_t kId = 999;
    static constexpr uint32_t kCallback = 512;

  private:
    ITray& tray_;
    TrayRecord trayData_;
};

// What the icon's menu needs of the running program.
class TrayMenuHost {
  public:
    virtual ui::Session& session() = 0;
    virtual FrmPassEnter* frmPassEnterIfLoaded() const = 0;
    virtual int16_t consoleStateCode() const = 0;
    virtual void setPreviousConsoleState(int16_t code) = 0;
    virtual void setConsoleState(int16_t code) = 0;
    virtual void showPasswordRequest() = 0;
    virtual void showHelp(uintptr_t owner, uintptr_t data) = 0;
    virtual void showAbout() = 0;

  protected:
    ~TrayMenuHost() = default;
};

class FrmMenuSystray : public ui::Form {
  public:
    explicit FrmMenuSystray(TrayMenuHost& host);

    ui::MenuItem& mnuMenuMain;  // the pop-up menu of the icon
    ui::MenuItem& mnuStart;
    ui::MenuItem& mnuStop;
    ui::MenuItem& mnuHelp;
    ui::MenuItem& mnucrta;  // separator
    ui::MenuItem& mnuAbout;
    ui::MenuItem& mnuUnsub;  // separator
    ui::MenuItem& mnuExit;

  private:
    void request(int16_t code);
    TrayMenuHost& host_;
};

}  // namespace qv
