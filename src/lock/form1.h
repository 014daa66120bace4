// The hidden window that hears about changes of the system time.
#pragma once
#include "platform/forms.h"

namespace qv {

class App;

class Form1 : public ui::Form {
  public:
    explicit Form1(App& app);

  private:
    App& app_;
};

}  // namespace qv
