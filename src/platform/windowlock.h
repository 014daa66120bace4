// The window-modal lock: one window is the only one that takes input.
#pragma once
#include <cstdint>

namespace qv {

class IWindowLock {
  public:
    virtual ~IWindowLock() = default;
    // makeModal(w, 1, 0) locks input to w; makeModal(w, 0, 0) releases w; (0, 0, 0) releases all.
    virtual void makeModal(uintptr_t window, int flag, int reserved) = 0;
};

}  // namespace qv
