// The "History" window: what happened, newest first, with date and time; read-only.
#pragma once
#include "platform/forms.h"

namespace qv {

class History;

class FrmHistory : public ui::Form {
  public:
    FrmHistory(ui::Session& windows, History& history);

    // Reads the history again; at each opening of the window.
    void refresh();

    ui::Control& lblStarted;  // "History started on <date>", when the user's file began later
    ui::Control& lstHistory;
    ui::Control& cmdClose;

  private:
    History& history_;
};

}  // namespace qv
