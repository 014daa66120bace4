#include "lock/form1.h"

#include "engine/app.h"

namespace qv {

Form1::Form1(App& app) : ui::Form(app.session(), "Form1"), app_(app) {
    setCaption("Form1");
    showInTaskbar = false;
    setClientSize(3000, 2000);
}

}  // namespace qv
