#include "console/frm_list_entry.h"

#include "platform/platform.h"
#include "platform/resources.h"

namespace qv {

using ui::Kind;

namespace {

constexpr const char* kProgramFilter = "Program files|*.com;*.exe;*.bat";

const FrmListEntry::Layout kAddLayout{
    "Add games and program", 6165, 2115, 360, 1440, 360, 960, 5400, 375, 1560, "Add", 1800, 1215};
const FrmListEntry::Layout kEditLayout{"Edit name", 6840, 2055, 720,      1800, 240, 840,
                                       5760,        495,  1440, "Change", 2160, 1095};

// The file's name without its folder, extension kept.
std::string fileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

FrmListEntry::FrmListEntry(ListEntryHost& host, const std::string& formName, const Layout& l)
    : ui::Form(host.session(), formName),
      txtName(add(Kind::TextBox, "txtName", nullptr, "", {l.boxLeft, l.nameTop, 3855, 375})),
      txtFileLocation(
          add(Kind::TextBox, "txtFileLocation", nullptr, "", {l.boxLeft, l.locationTop, 3855, 375})),
      command7(
          add(Kind::Button, "Command7", nullptr, "...", {l.browseLeft, l.locationTop, l.browseWidth, 375})),
      command1(add(Kind::Button, "Command1", nullptr, l.command1, {l.labelLeft, l.buttonsTop, 1215, 375})),
      cmdClose(
          add(Kind::Button, "cmdClose", nullptr, "Close", {l.closeLeft, l.buttonsTop, l.closeWidth, 375})),
      host_(host) {
    setCaption(l.caption);
    setClientSize(l.width, l.height);
    setIcon(res::kIconMain);
    font = {"Verdana", 8.25, false};
    add(Kind::Label, "Label1", nullptr, "Name", {l.labelLeft, l.nameTop + 120, 975, 255});
    add(Kind::Label, "Label2", nullptr, "Location", {l.labelLeft, l.locationTop + 120, 975, 255});
    txtFileLocation.readOnly = true;
    txtName.tabIndex = 0;
    command7.tabIndex = 1;
    command1.tabIndex = 2;
    cmdClose.tabIndex = 3;
    cmdClose.isCancel = true;
    command7.onClick = [this] { browseClick(); };
    cmdClose.onClick = [this] { session().unload(*this); };
}

// The boxes are filled whenever the dialog has a file name afterwards, also the one of an earlier
// choice when this one was cancelled.
void FrmListEntry::browseClick() {
    const OpenFileResult r = host_.platform().dialogs.openFile(nativeHandle(), kProgramFilter);
    if (!r.cancelled && !r.path.empty()) fileName_ = r.path;
    if (fileName_.empty()) return;
    txtFileLocation.setText(fileName_);
    txtName.setText(fileNameOf(fileName_));
}

FrmAddList::FrmAddList(ListEntryHost& host) : FrmListEntry(host, "frmAddList", kAddLayout) {
    command1.onClick = [this] {
        if (!host_.addListEntry(txtName.text(), txtFileLocation.text())) return;
        txtFileLocation.setText("None");
        txtName.setText("");
    };
}

FrmEdit::FrmEdit(ListEntryHost& host) : FrmListEntry(host, "frmEdit", kEditLayout) {
    command1.onClick = [this] {
        if (host_.changeListEntry(txtName.text(), txtFileLocation.text())) session().unload(*this);
    };
}

}  // namespace qv
