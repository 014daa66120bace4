#include "platform/sim/keyboard.h"

namespace qv::sim {

uintptr_t SimKeyboard::install(std::function<bool(const KeyEvent&)> filter, uint32_t* error) {
    if (failInstall) {
        if (error) *error = 1428;
        return 0;
    }
    const uintptr_t h = next_++;
    hooks[h] = std::move(filter);
    return h;
}

void SimKeyboard::uninstall(uintptr_t hook) {
    hooks.erase(hook);
}

bool SimKeyboard::press(const KeyEvent& e) {
    for (auto& [h, f] : hooks)
        if (f(e)) return false;
    return true;
}

}  // namespace qv::sim
