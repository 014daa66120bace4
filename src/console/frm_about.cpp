#include "console/frm_about.h"

#include "platform/resources.h"
#include "platform/system.h"
#include "platform/windowing.h"

namespace qv {

using ui::Kind;

FrmAbout::FrmAbout(ui::Session& windows, ISystemInfo& system)
    : ui::Form(windows, "frmAbout"),
      picture(add(Kind::Icon, "imgIcon", nullptr, "", {240, 240, 480, 480})),
      lblProduct(add(Kind::Label, "lblProduct", nullptr, res::kProductName, {960, 240, 2895, 375})),
      lblVersion(add(Kind::Label, "lblVersion", nullptr, "", {960, 720, 2895, 255})),
      cmdOK(add(Kind::Button, "cmdOK", nullptr, "OK", {1440, 1320, 1215, 375})) {
    setCaption(std::string("About ") + res::kProductName);
    setClientSize(4095, 1935);
    setIcon(res::kIconMain);
    picture.setValue(res::kIconMain);
    lblProduct.setFont({"Verdana", 12, true});
    // The version record of the program is the one place the version is written.
    lblVersion.setText("Version " + system.productVersion());
    cmdOK.tabIndex = 0;
    cmdOK.isDefault = true;
    cmdOK.isCancel = true;
    cmdOK.onClick = [this] { session().unload(*this); };
}

}  // namespace qv
