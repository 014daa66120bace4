#include "engine/password.h"

#include <cmath>

#include "console/frm_main.h"
#include "engine/console_state.h"
#include "platform/platform.h"
#include "platform/resources.h"
#include "settings/convert.h"
#include "settings/reg_settings.h"
#include "settings/schema.h"

namespace qv {

std::string encodePassword(const std::string& text) {
    std::string out;
    for (char c : text) {
        const std::string digits = std::to_string(static_cast<unsigned char>(c));
        out += static_cast<char>('0' + digits.size());
        out += digits;
    }
    return out;
}

// Read with a moving position: a long stored password (a few hundred thousand digits) decodes in
// one pass instead of shifting the rest of the text after every character.
std::string decodePassword(const std::string& text) {
    std::string out;
    size_t n = 0;  // a length digit that is missing keeps the one before
    for (size_t pos = 0; pos < text.size();) {
        if (text[pos] >= '0' && text[pos] <= '9') n = static_cast<size_t>(text[pos] - '0');
        ++pos;
        const std::string code = text.substr(pos, n);
        if (!code.empty()) {
            if (auto v = parseNumber(code)) {
                const double r = std::nearbyint(*v);
                if (r >= 0 && r <= 255) out += static_cast<char>(static_cast<unsigned char>(r));
            }
        }
        if (n <= text.size() - pos) pos += n;
    }
    return out;
}

FrmPassword::FrmPassword(PasswordHost& host)
    : ui::Form(host.session(), "frmPassword"),
      label3(add(ui::Kind::Label, "Label3", nullptr, "Enter new password", {240, 240, 2055, 255})),
      txtPass1(add(ui::Kind::TextBox, "txtPass1", nullptr, "", {2400, 200, 2175, 315})),
      label2(add(ui::Kind::Label, "Label2", nullptr, "Repeat new password", {240, 720, 2055, 255})),
      txtPass2(add(ui::Kind::TextBox, "txtPass2", nullptr, "", {2400, 680, 2175, 315})),
      command1(add(ui::Kind::Button, "Command1", nullptr, "Change", {1080, 1440, 1215, 375})),
      cmdClose(add(ui::Kind::Button, "cmdClose", nullptr, "Cancel", {2520, 1440, 1215, 375})),
      host_(host) {
    setCaption("Change password");
    setClientSize(4815, 2160);
    setIcon(res::kIconMain);
    txtPass1.passwordChar = txtPass2.passwordChar = '*';
    txtPass1.tabIndex = 0;
    txtPass2.tabIndex = 1;
    command1.tabIndex = 2;
    cmdClose.tabIndex = 3;
    command1.isDefault = true;
    txtPass1.onChange = [this] { passwordEntry1 = txtPass1.text(); };
    txtPass2.onChange = [this] { passwordEntry2 = txtPass2.text(); };
    command1.onClick = [this] { changeClick(); };
    cmdClose.onClick = [this] { cancelClick(); };
}

void FrmPassword::clearEntries() {
    // The boxes on the screen are emptied as well as the entries: an open dialog shown again must
    // not keep showing asterisks that no longer count.
    txtPass1.setText("");
    txtPass2.setText("");
    passwordEntry1.clear();
    passwordEntry2.clear();
}

void FrmPassword::changeClick() {
    if (passwordEntry2 != passwordEntry1) {
        host_.platform().dialogs.messageBox(nativeHandle(), "Passwords do not match", res::kProductName, 0);
        return;
    }
    const std::string entered = passwordEntry1;  // the console's load below must not change it
    host_.setPassword(entered);
    if (host_.consoleStateCode() == state::kFirstRun) {
        host_.settings().SaveSetting(sect::kControls, "Mode", "5");
        host_.setConsoleState(state::kIdle);
    }
    FrmMain& console = host_.frmMain();
    console.show();
    console.lblPassword->setText(encodePassword(entered));
    host_.setPassword(entered);
    host_.settings().SaveSetting(sect::kControls, "Password", console.lblPassword->text());
    session().unload(*this);
}

void FrmPassword::cancelClick() {
    firstRunCancelled = false;
    if (host_.consoleStateCode() != state::kFirstRun) {
        session().unload(*this);
        return;
    }
    firstRunCancelled = true;
    host_.settings().SaveSetting(sect::kControls, "Mode", "6");
    unloadOthers();
    session().unload(*this);
}

void FrmPassword::onUnload() {
    if (host_.consoleStateCode() == state::kFirstRun && !firstRunCancelled) unloadOthers();
}

void FrmPassword::unloadOthers() {
    for (ui::Form* f : session().loadedForms())
        if (f->name() != name()) session().unload(*f);
}

}  // namespace qv
