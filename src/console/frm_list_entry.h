// The two small dialogs of the allowed list: "Add games and program" (frmAddList) and "Edit name"
// (frmEdit). Each takes a name and a program file chosen with the open-file dialog.
#pragma once
#include <string>

#include "platform/forms.h"

namespace qv {

class App;

class FrmListEntry : public ui::Form {
  public:
    struct Layout {
        const char* caption;
        int width, height;
        int labelLeft, boxLeft, nameTop, locationTop, browseLeft, browseWidth, buttonsTop;
        const char* command1;
        int closeLeft, closeWidth;
    };
    FrmListEntry(App& app, const std::string& formName, const Layout& layout);

    ui::Control& txtName;
    ui::Control& txtFileLocation;  // read-only: a path comes only from the file dialog
    ui::Control& command7;         // "..."
    ui::Control& command1;         // "Add" or "Change"
    ui::Control& cmdClose;

  protected:
    App& app_;

  private:
    void browseClick();
    std::string fileName_;  // the file dialog's last choice; a cancelled dialog keeps it
};

class FrmAddList : public FrmListEntry {
  public:
    explicit FrmAddList(App& app);
};

class FrmEdit : public FrmListEntry {
  public:
    explicit FrmEdit(App& app);
};

}  // namespace qv
