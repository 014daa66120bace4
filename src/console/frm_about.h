// The About box: product name, version and icon.
#pragma once
#include "platform/forms.h"

namespace qv {

class App;

class FrmAbout : public ui::Form {
  public:
    explicit FrmAbout(App& app);

    ui::Control& picture;
    ui::Control& lblProduct;
    ui::Control& lblVersion;
    ui::Control& cmdOK;
};

}  // namespace qv
