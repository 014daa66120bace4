// The parent's password: its stored form, and the "Change password" dialog.
#pragma once
#include <string>

#include "platform/forms.h"

namespace qv {

class App;

// Each character as one digit giving the length of its decimal ANSI code, then the code.
std::string encodePassword(const std::string& text);
// The plain text of a stored form; never fails, malformed text gives what could be decoded.
std::string decodePassword(const std::string& text);

class FrmPassword : public ui::Form {
  public:
    explicit FrmPassword(App& app);

    ui::Control& label3;
    ui::Control& txtPass1;
    ui::Control& label2;
    ui::Control& txtPass2;
    ui::Control& command1;  // "Change"
    ui::Control& cmdClose;  // "Cancel"

    void clearEntries();  // empties both boxes, as every caller does right after showing the dialog

    std::string passwordEntry1, passwordEntry2;
    bool firstRunCancelled = false;

  protected:
    void onUnload() override;

  private:
    void changeClick();
    void cancelClick();
    void unloadOthers();
    App& app_;
};

}  // namespace qv
