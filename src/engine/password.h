// The parent's password: its stored form, and the "Change password" dialog.
#pragma once
#include <string>

#include "platform/forms.h"

namespace qv {

struct Platform;
class CRegSettings;
class FrmMain;

// Each character as one digit giving the length of its decimal ANSI code, then the code.
std::string encodePassword(const std::string& text);
// The plain text of a stored form; never fails, malformed text gives what could be decoded.
std::string decodePassword(const std::string& text);

// What the "Change password" dialog needs of the running program.
class PasswordHost {
  public:
    virtual ui::Session& session() = 0;
    virtual Platform& platform() = 0;
    virtual CRegSettings& settings() = 0;
    virtual FrmMain& frmMain() = 0;
    virtual int16_t consoleStateCode() const = 0;
    virtual void setConsoleState(int16_t code) = 0;
    virtual void setPassword(const std::string& password) = 0;  // the password in use from now on

  protected:
    ~PasswordHost() = default;
};

class FrmPassword : public ui::Form {
  public:
    explicit FrmPassword(PasswordHost& host);

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
    PasswordHost& host_;
};

}  // namespace qv
