// The allowed games and programs: the console's list, its Add new, Edit and Delete, and the lock
// screen's list of icons built from the same entries. Every change is stored at once.
#include "console/frm_list_entry.h"
#include "console/frm_main.h"
#include "engine/app.h"
#include "lock/frm_big.h"
#include "settings/reg_settings.h"
#include "settings/schema.h"

namespace qv {

namespace {
bool hasLocation(const std::string& location) {
    return !location.empty() && location != "None";
}
}  // namespace

// Both lists are rebuilt from the entries; the lock screen's items carry one icon each, that of
// the program's file, taken from the file once (the backend shows a default one for a file
// without an icon).
void App::refreshAllowedLists() {
    // Each list is replaced in one change, so a backend redraws it once, not once per entry.
    std::vector<PictureHandle> icons;
    for (size_t i = 0; i < allowedNames.size(); ++i)
        icons.push_back(i < allowedPaths.size() ? allowedIcons_.iconOf(allowedPaths[i]) : 0);
    ui::Control &names = *frmMain().lstAllowed, &list = frmBig().listView1;
    names.clear();
    list.clear();
    names.setItems(allowedNames);
    list.setItems(allowedNames, icons);
    // The icons of files no longer listed go once the list no longer shows them.
    allowedIcons_.keepOnly(allowedPaths);
    frmMain().refreshPreview();  // an empty list may matter to the plan
}

// The same writes as when the console closes: both sections emptied, then Name1.. and Path1...
void App::storeAllowedList() {
    CRegSettings& s = settings();
    s.DeleteSetting(sect::kListOfGames);
    s.DeleteSetting(sect::kPathOfGames);
    for (size_t i = 1; i <= allowedNames.size(); ++i) {
        s.SaveSetting(sect::kListOfGames, "Name" + std::to_string(i), allowedNames[i - 1]);
        s.SaveSetting(sect::kPathOfGames, "Path" + std::to_string(i),
                      i <= allowedPaths.size() ? allowedPaths[i - 1] : "");
    }
}

void App::addNewClick() {
    frmAddList().show();
}

bool App::addListEntry(const std::string& name, const std::string& location) {
    if (name.empty() || !hasLocation(location)) return false;
    allowedNames.push_back(name);
    allowedPaths.push_back(location);
    refreshAllowedLists();
    storeAllowedList();
    return true;
}

void App::deleteClick() {
    ui::Control& list = *frmMain().lstAllowed;
    const int i = list.listIndex();
    if (list.items().empty() || i < 0 || static_cast<size_t>(i) >= allowedNames.size()) return;
    allowedNames.erase(allowedNames.begin() + i);
    allowedPaths.erase(allowedPaths.begin() + i);
    refreshAllowedLists();
    storeAllowedList();
}

// Opens the selected entry. The list is rebuilt from the entries on every change, so the
// selected position is the entry's own, also when several entries share its name.
void App::editClick() {
    ui::Control& list = *frmMain().lstAllowed;
    const int selected = list.listIndex();
    if (list.items().empty() || selected < 0 || static_cast<size_t>(selected) >= list.items().size()) return;
    const std::string& name = list.items()[selected];
    const size_t first = static_cast<size_t>(selected) < allowedNames.size() && allowedNames[selected] == name
                             ? static_cast<size_t>(selected)
                             : 0;
    for (size_t i = first; i < allowedNames.size(); ++i) {
        if (allowedNames[i] != name) continue;
        editIndex = static_cast<int16_t>(i + 1);
        editing_ = {allowedNames[i], allowedPaths[i]};
        FrmEdit& edit = frmEdit();
        edit.txtFileLocation.setText(allowedPaths[i]);
        edit.txtName.setText(allowedNames[i]);
        edit.show();
        return;
    }
}

// The edit dialog does not block the console, so the entry may have moved (an entry before it was
// deleted or edited) or be gone by now. Change follows the entry the dialog was opened for, by its
// name and path; when it is gone the list is left as it is and the dialog closes.
bool App::changeListEntry(const std::string& name, const std::string& location) {
    if (name.empty() || location == "None") return false;
    auto same = [this](size_t i) {
        return allowedNames[i] == editing_.first && allowedPaths[i] == editing_.second;
    };
    size_t at = static_cast<size_t>(editIndex > 0 ? editIndex - 1 : 0);
    if (editIndex < 1 || at >= allowedNames.size() || !same(at)) {
        at = allowedNames.size();
        for (size_t i = 0; i < allowedNames.size(); ++i) {
            if (same(i)) {
                at = i;
                break;
            }
        }
    }
    if (at >= allowedNames.size()) return true;
    allowedNames.erase(allowedNames.begin() + static_cast<std::ptrdiff_t>(at));
    allowedPaths.erase(allowedPaths.begin() + static_cast<std::ptrdiff_t>(at));
    allowedNames.push_back(name);
    allowedPaths.push_back(location);
    refreshAllowedLists();
    storeAllowedList();
    return true;
}

}  // namespace qv
