#include "platform/sim/windowing.h"

namespace qv::sim {

void SimWindowing::realise(ui::Form& form) {
    form.setNativeHandle(nextHandle_);
    nextHandle_ += 0x10;
}

void SimWindowing::destroy(ui::Form& form) {
    destroyed_.push_back(form.name());
    if (active_ == &form) active_ = nullptr;
    form.setNativeHandle(0);
}

void SimWindowing::formChanged(ui::Form& form, ui::FormProp prop) {
    ++changes_;
    if (prop == ui::FormProp::Visible && !form.visible() && active_ == &form) active_ = nullptr;
}

void SimWindowing::controlChanged(ui::Control&, ui::Prop) {
    ++changes_;
}

void SimWindowing::focus(ui::Control*, ui::Form& form) {
    if (form.visible()) active_ = &form;
}

void SimWindowing::popupMenu(ui::Form&, ui::MenuItem& menu, int, int) {
    popup_ = &menu;
}

}  // namespace qv::sim
