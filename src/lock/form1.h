// The hidden window that hears about changes of the system time, and the guard that sets the
// clock back while a plan runs.
#pragma once
#include "platform/forms.h"

namespace qv {

class App;

class Form1 : public ui::Form {
  public:
    explicit Form1(App& app);
    static constexpr uint32_t kTimeChange = 0x001E;  // WM_TIMECHANGE

  private:
    App& app_;
};

}  // namespace qv
