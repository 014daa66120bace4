// The low-level keyboard hook, on a thread of its own.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/keyboard.h"

namespace qv::win32 {

// Windows skips a low-level hook whose thread does not answer within LowLevelHooksTimeout, and
// after a few such time-outs removes it without a word. The program's window thread blocks now and
// then (a launch waits up to about 5 s for a program's window), so the hook lives on a thread that
// does nothing else: it is installed, replaced and removed there, and the filter runs there. The
// filter must therefore read only what is safe from another thread (GetAsyncKeyState is).
//
// One hook at a time: installing again replaces the earlier hook, so a release can never leave a
// forgotten hook behind that goes on swallowing keys. The thread starts with the first install and
// ends with stop() or the destructor.
class Win32KeyboardHook : public IKeyboardHook {
  public:
    Win32KeyboardHook() = default;
    ~Win32KeyboardHook() override;
    Win32KeyboardHook(const Win32KeyboardHook&) = delete;
    Win32KeyboardHook& operator=(const Win32KeyboardHook&) = delete;

    uintptr_t install(std::function<bool(const KeyEvent&)> filter, uint32_t* error) override;
    void uninstall(uintptr_t hook) override;
    bool keyDown(int vk) const override;
    // Removes the hook and ends its thread; no filter runs afterwards.
    void stop();

    struct Request;

  private:
    bool start(uint32_t* error);  // the thread, unless it runs already
    bool ask(Request& request);   // carried out on the hook's thread; false if it did not answer
    void* thread_ = nullptr;      // HANDLEs
    void* answered_ = nullptr;    // set by the thread after each request
    uint32_t threadId_ = 0;
};

}  // namespace qv::win32
