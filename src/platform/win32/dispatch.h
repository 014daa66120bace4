// Events from native windows and timers into the model, one at a time.
#pragma once
#include <exception>

#include "platform/windowing.h"

namespace qv::win32 {

// Runs one user event on form. An error that escapes a handler ends that handler only: it must not
// unwind through the system's window procedures. Forms unloaded by the event are freed afterwards
// (the form itself may be gone then, so nothing of it is touched after f returns).
template <class F>
void dispatch(ui::Form& form, F&& f) {
    ui::Session& session = form.session();
    {
        ui::Session::Event event(session);
        try {
            f();
        } catch (const std::exception&) {
        } catch (...) {
        }
    }
    session.afterEvent();  // frees only when this was the outermost event
}

}  // namespace qv::win32
