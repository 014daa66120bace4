// The About box: product name, version and icon.
#pragma once
#include "platform/forms.h"

namespace qv {

class ISystemInfo;

class FrmAbout : public ui::Form {
  public:
    FrmAbout(ui::Session& windows, ISystemInfo& system);

    ui::Control& picture;
    ui::Control& lblProduct;
    ui::Control& lblVersion;
    ui::Control& cmdOK;
};

}  // namespace qv
