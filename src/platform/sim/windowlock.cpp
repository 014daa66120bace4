#include "platform/sim/windowlock.h"

#include "platform/sim/windowing.h"

namespace qv::sim {

void SimWindowLock::makeModal(uintptr_t window, int flag, int) {
    calls.push_back({window, flag});
    if (flag) {
        if (locked && locked != window) releaseAll();
        locked = window;
        held_.erase(window);
        for (auto& [w, enabled] : others_)
            if (enabled && !exempt(w)) holdDown(w);
        for (uintptr_t w : windowing_.shownWindows())
            if (!exempt(w)) holdDown(w);
    } else if (window == 0 || window == locked) {
        releaseAll();
    }
}

void SimWindowLock::holdDown(uintptr_t window) {
    auto other = others_.find(window);
    if (other != others_.end()) {
        if (!other->second) return;  // disabled before us: not ours to enable later
        other->second = false;
        held_.insert(window);
        return;
    }
    if (windowing_.formEnabled(window)) held_.insert(window);
}

void SimWindowLock::releaseAll() {
    for (uintptr_t w : held_) {
        auto other = others_.find(w);
        if (other != others_.end()) other->second = true;
    }
    held_.clear();
    locked = 0;
}

void SimWindowLock::windowShown(uintptr_t window) {
    if (locked && !exempt(window)) holdDown(window);
}

// A locked window that goes away leaves the others disabled until the program moves the lock or
// releases it: the desktop must not come free behind the program's back.
void SimWindowLock::windowGone(uintptr_t window) {
    held_.erase(window);
}

// A program whose window is locked keeps its other windows (its main window after a splash).
bool SimWindowLock::exempt(uintptr_t window) const {
    if (window == locked) return true;
    auto mine = processOf_.find(window), lockeds = processOf_.find(locked);
    return mine != processOf_.end() && lockeds != processOf_.end() && mine->second == lockeds->second;
}

uintptr_t SimWindowLock::openWindow(bool enabled, uint32_t process) {
    const uintptr_t w = nextOther_;
    nextOther_ += 0x10;
    others_[w] = enabled;
    if (process) processOf_[w] = process;
    windowShown(w);
    return w;
}

void SimWindowLock::closeWindow(uintptr_t window) {
    others_.erase(window);
    processOf_.erase(window);
    windowGone(window);
}

void SimWindowLock::setOtherEnabled(uintptr_t window, bool enabled) {
    auto it = others_.find(window);
    if (it == others_.end()) return;
    it->second = enabled;
    held_.erase(window);
}

bool SimWindowLock::usable(uintptr_t window) const {
    auto other = others_.find(window);
    if (other != others_.end()) return other->second;
    return windowing_.formEnabled(window) && !holds(window);
}

}  // namespace qv::sim
