#include "history/frm_history.h"

#include "history/history.h"
#include "platform/resources.h"
#include "platform/windowing.h"

namespace qv {

using ui::Kind;

FrmHistory::FrmHistory(ui::Session& windows, History& history)
    : ui::Form(windows, "frmHistory"),
      lblStarted(add(Kind::Label, "lblStarted", nullptr, "", {240, 120, 7215, 255})),
      lstHistory(add(Kind::ListBox, "lstHistory", nullptr, "", {240, 480, 7215, 4260})),
      cmdClose(add(Kind::Button, "cmdClose", nullptr, "Close", {6240, 4920, 1215, 375})),
      history_(history) {
    setCaption("History");
    setClientSize(7695, 5475);
    setIcon(res::kIconMain);
    lstHistory.tabIndex = 0;
    cmdClose.tabIndex = 1;
    cmdClose.isDefault = true;
    cmdClose.isCancel = true;
    cmdClose.onClick = [this] { session().unload(*this); };
}

// What could be read then: a file deleted while the window is open leaves the list as it was.
void FrmHistory::refresh() {
    const History::View v = history_.view();
    lblStarted.setText(v.note);
    lblStarted.setVisible(!v.note.empty());
    lstHistory.setItems(v.lines);
}

}  // namespace qv
