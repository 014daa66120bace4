// Events from native windows and timers into the model, one at a time.
#pragma once
#include <exception>

#include "platform/windowing.h"

namespace qv::win32 {

// How many model events are on the stack. A handler that opens a message box or a menu runs a
// message loop in which further events arrive; only the outermost one may free unloaded forms.
inline int g_eventDepth = 0;

struct EventScope {
    EventScope() { ++g_eventDepth; }
    ~EventScope() { --g_eventDepth; }
    EventScope(const EventScope&) = delete;
    EventScope& operator=(const EventScope&) = delete;
    static bool outermost() { return g_eventDepth == 0; }
};

// Runs one user event on form. An error that escapes a handler ends that handler only: it must not
// unwind through the system's window procedures. Forms unloaded by the event are freed afterwards
// (the form itself may be gone then, so nothing of it is touched after f returns).
template <class F>
void dispatch(ui::Form& form, F&& f) {
    ui::Session& session = form.session();
    {
        EventScope scope;
        try {
            f();
        } catch (const std::exception&) {
        } catch (...) {
        }
    }
    if (EventScope::outermost()) session.afterEvent();
}

}  // namespace qv::win32
