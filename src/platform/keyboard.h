// The low-level keyboard hook.
#pragma once
#include <cstdint>
#include <functional>

namespace qv {

struct KeyEvent {
    uint32_t vkCode = 0;
    uint32_t flags = 0;  // 0x20: Alt held
    uint32_t message = 0;
};

class IKeyboardHook {
  public:
    virtual ~IKeyboardHook() = default;
    // Installs a WH_KEYBOARD_LL hook; filter returns true to swallow a key. Returns the hook
    // handle, or 0 with *error set to the thread's last error.
    virtual uintptr_t install(std::function<bool(const KeyEvent&)> filter, uint32_t* error) = 0;
    virtual void uninstall(uintptr_t hook) = 0;
    virtual bool keyDown(int vk) const = 0;  // high bit of GetAsyncKeyState
};

}  // namespace qv
