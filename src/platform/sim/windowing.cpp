#include "platform/sim/windowing.h"

#include <algorithm>

#include "platform/sim/windowlock.h"

namespace qv::sim {

void SimWindowing::realise(ui::Form& form) {
    form.setNativeHandle(nextHandle_);
    nextHandle_ += 0x10;
    forms_.push_back(&form);
}

void SimWindowing::destroy(ui::Form& form) {
    destroyed_.push_back(form.name());
    if (active_ == &form) active_ = nullptr;
    if (lock_) lock_->windowGone(form.nativeHandle());
    forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
    form.setNativeHandle(0);
}

void SimWindowing::formChanged(ui::Form& form, ui::FormProp prop) {
    ++changes_;
    if (prop == ui::FormProp::Visible && !form.visible() && active_ == &form) active_ = nullptr;
    if (!lock_) return;
    if (prop == ui::FormProp::Visible && form.visible()) lock_->windowShown(form.nativeHandle());
    if (prop == ui::FormProp::Enabled && !form.enabled()) lock_->formDisabled(form.nativeHandle());
}

void SimWindowing::controlChanged(ui::Control&, ui::Prop) {
    ++changes_;
}

void SimWindowing::focus(ui::Control*, ui::Form& form) {
    if (form.visible()) active_ = &form;
}

void SimWindowing::popupMenu(ui::Form&, ui::MenuItem& menu, int, int) {
    popup_ = &menu;
    ++popups_;
    if (whilePopup) whilePopup(menu);
}

std::vector<uintptr_t> SimWindowing::shownWindows() const {
    std::vector<uintptr_t> out;
    for (ui::Form* f : forms_)
        if (f->visible()) out.push_back(f->nativeHandle());
    return out;
}

ui::Form* SimWindowing::formOf(uintptr_t window) const {
    for (ui::Form* f : forms_)
        if (f->nativeHandle() == window) return f;
    return nullptr;
}

bool SimWindowing::formEnabled(uintptr_t window) const {
    ui::Form* f = formOf(window);
    return f && f->enabled();
}

void SimWindowing::broadcast(uint32_t message, intptr_t wParam) {
    std::vector<uintptr_t> windows;
    for (ui::Form* f : forms_) windows.push_back(f->nativeHandle());
    for (uintptr_t w : windows) {
        ui::Form* f = formOf(w);  // an earlier handler may have unloaded it
        if (!f || !f->loaded() || f->unloading()) continue;
        ui::Session& session = f->session();
        {
            ui::Session::Event event(session);
            f->userMessage(message, wParam, 0);
        }
        session.afterEvent();
    }
}

}  // namespace qv::sim
