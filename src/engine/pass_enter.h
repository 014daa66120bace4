// The password request: opening the console, stopping the plan, ending the program and leaving
// the lock screen all wait for the parent's password here. What is asked is the console state
// code that the caller set before showing the request. On the lock screen it also offers more
// time: a game period of a few minutes, after which the plan goes on.
#pragma once
#include <string>

#include "platform/forms.h"

namespace qv {

struct Platform;
class FrmMain;
class FrmBig;
class History;

// The stored password or the master password, exactly.
bool passwordAccepted(const std::string& typed, const std::string& current);

// What the password request needs of the running program.
class PasswordRequestHost {
  public:
    virtual ui::Session& session() = 0;
    virtual Platform& platform() = 0;
    virtual FrmMain& frmMain() = 0;
    virtual FrmMain* frmMainIfLoaded() const = 0;
    virtual FrmBig& frmBig() = 0;
    virtual const std::string& password() const = 0;
    virtual int16_t consoleStateCode() const = 0;
    virtual int16_t previousConsoleStateCode() const = 0;  // the code from before the request
    virtual void setConsoleState(int16_t code) = 0;
    virtual void lockToWindow(uintptr_t window, int flag) = 0;
    virtual void unhookKeyboard() = 0;
    virtual void relockLockScreen() = 0;
    virtual void closeProgram() = 0;
    virtual History& history() = 0;
    virtual void giveMoreTime(int minutes) = 0;  // the request is gone and the lock screen locked

  protected:
    ~PasswordRequestHost() = default;
};

class FrmPassEnter : public ui::Form {
  public:
    explicit FrmPassEnter(PasswordRequestHost& host);

  private:
    PasswordRequestHost& host_;

  public:
    ui::Control& label3;
    ui::Control& txtPass1;
    ui::Control& command1;  // "Enter"
    ui::Control& cmdClose;  // "Cancel"
    ui::Control& lblMoreTime;
    ui::Control& cmbMoreTime;  // minutes: picked, or typed
    ui::Control& cmdGive;      // "Give"

    // The lock screen's request offers more time; the tray's requests do not.
    void offerMoreTime(bool offer);

  protected:
    void onUnload() override;

  private:
    void enterClick();
    void cancelClick();
    int wrong_ = 0;        // wrong passwords typed in this request
    int16_t wrongAt_ = 0;  // the state code the first of them was asked for
    void giveClick();
};

}  // namespace qv
