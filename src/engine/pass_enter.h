// The password request: opening the console, stopping the plan, ending the program and leaving
// the lock screen all wait for the parent's password here. What is asked is the console state
// code that the caller set before showing the request.
#pragma once
#include <string>

#include "platform/forms.h"

namespace qv {

class App;

// The stored password or the master password, exactly.
bool passwordAccepted(const std::string& typed, const std::string& current);

class FrmPassEnter : public ui::Form {
  public:
    explicit FrmPassEnter(App& app);

  private:
    App& app_;

  public:
    ui::Control& label3;
    ui::Control& txtPass1;
    ui::Control& command1;  // "Enter"
    ui::Control& cmdClose;  // "Cancel"

  protected:
    void onUnload() override;

  private:
    void enterClick();
    void cancelClick();
};

}  // namespace qv
