// The simulated low-level keyboard hook: hooks are called where the test presses a key.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <set>

#include "platform/keyboard.h"

namespace qv::sim {

class SimKeyboard : public IKeyboardHook {
  public:
    uintptr_t install(std::function<bool(const KeyEvent&)> filter, uint32_t* error) override;
    void uninstall(uintptr_t hook) override;
    bool keyDown(int vk) const override { return held.count(vk) != 0; }

    // Test control: a key passes unless an installed hook swallows it.
    bool press(const KeyEvent& e);
    std::map<uintptr_t, std::function<bool(const KeyEvent&)>> hooks;
    std::set<int> held;
    bool failInstall = false;

  private:
    uintptr_t next_ = 0x500;
};

}  // namespace qv::sim
