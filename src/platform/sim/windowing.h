// Fake native windows: realised forms get handles, and everything the program shows is
// recorded for the tests to look at.
#pragma once
#include <string>
#include <vector>

#include "platform/windowing.h"

namespace qv::sim {

class SimWindowLock;

class SimWindowing : public ui::IWindowing {
  public:
    void realise(ui::Form& form) override;
    void destroy(ui::Form& form) override;
    void formChanged(ui::Form& form, ui::FormProp prop) override;
    void controlChanged(ui::Control& control, ui::Prop prop) override;
    void focus(ui::Control* control, ui::Form& form) override;
    void popupMenu(ui::Form& form, ui::MenuItem& menu, int xTwips, int yTwips) override;
    void quit() override { quit_ = true; }
    void attachLock(SimWindowLock& lock) { lock_ = &lock; }

    // The lock's side: the program's visible windows and whether the program enabled them.
    std::vector<uintptr_t> shownWindows() const;
    bool formEnabled(uintptr_t window) const;

    // Test control.
    bool quitRequested() const { return quit_; }
    const std::vector<std::string>& destroyedOrder() const { return destroyed_; }
    ui::Form* activeForm() const { return active_; }
    ui::MenuItem* lastPopup() const { return popup_; }
    int popups() const { return popups_; }
    int changes() const { return changes_; }
    // A message sent to every top-level window of the program, as Windows broadcasts it.
    void broadcast(uint32_t message, intptr_t wParam = 0);
    // Runs in the menu's loop when a menu pops up (a test picks an item there).
    std::function<void(ui::MenuItem&)> whilePopup;

  private:
    ui::Form* formOf(uintptr_t window) const;
    bool quit_ = false;
    std::vector<std::string> destroyed_;
    std::vector<ui::Form*> forms_;
    ui::Form* active_ = nullptr;
    ui::MenuItem* popup_ = nullptr;
    SimWindowLock* lock_ = nullptr;
    uintptr_t nextHandle_ = 0x10010;
    int changes_ = 0;
    int popups_ = 0;
};

}  // namespace qv::sim
