// The two small dialogs of the allowed list: "Add games and program" (frmAddList) and "Edit name"
// (frmEdit). Each takes a name and a program file chosen with the open-file dialog.
#pragma once
#include <string>

#include "platform/forms.h"

namespace qv {

struct Platform;

// What the two dialogs need of the running program.
class ListEntryHost {
  public:
    virtual ui::Session& session() = 0;
    virtual Platform& platform() = 0;
    // False when nothing was added.
    virtual bool addListEntry(const std::string& name, const std::string& location) = 0;
    // False when the input is missing; true also when the entry being edited is gone.
    virtual bool changeListEntry(const std::string& name, const std::string& location) = 0;

  protected:
    ~ListEntryHost() = default;
};

class FrmListEntry : public ui::Form {
  public:
    struct Layout {
        const char* caption;
        int width, height;
        int labelLeft, boxLeft, nameTop, locationTop, browseLeft, browseWidth, buttonsTop;
        const char* command1;
        int closeLeft, closeWidth;
    };
    FrmListEntry(ListEntryHost& host, const std::string& formName, const Layout& layout);

    ui::Control& txtName;
    ui::Control& txtFileLocation;  // read-only: a path comes only from the file dialog
    ui::Control& command7;         // "..."
    ui::Control& command1;         // "Add" or "Change"
    ui::Control& cmdClose;

  protected:
    ListEntryHost& host_;

  private:
    void browseClick();
    std::string fileName_;  // the file dialog's last choice; a cancelled dialog keeps it
};

class FrmAddList : public FrmListEntry {
  public:
    explicit FrmAddList(ListEntryHost& host);
};

class FrmEdit : public FrmListEntry {
  public:
    explicit FrmEdit(ListEntryHost& host);
};

}  // namespace qv
