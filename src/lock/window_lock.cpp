// Confining input to one window, and the keyboard hook that swallows the task-switch keys.
#include <string>

#include "engine/app.h"
#include "lock/frm_big.h"
#include "platform/resources.h"

namespace qv {

namespace {

constexpr uint32_t kVkTab = 0x09, kVkEscape = 0x1B;
constexpr int kVkControl = 0x11;
constexpr uint32_t kAltDown = 0x20;

}  // namespace

bool App::keyboardFilter(const KeyEvent& e) const {
    if (platform_.keyboard.keyDown(kVkControl) && e.vkCode == kVkEscape) return true;  // Ctrl+Esc
    if ((e.flags & kAltDown) && (e.vkCode == kVkTab || e.vkCode == kVkEscape))
        return true;  // Alt+Tab, Alt+Esc
    return false;
}

void App::installKeyboardHook() {
    uint32_t error = 0;
    keyboardHook =
        platform_.keyboard.install([this](const KeyEvent& e) { return keyboardFilter(e); }, &error);
    if (!keyboardHook) {
        platform_.dialogs.messageBox(
            0, "Failed to install low-level keyboard hook - " + std::to_string(error), res::kProductName, 0);
    }
}

void App::unhookKeyboard() {
    if (keyboardHook) platform_.keyboard.uninstall(keyboardHook);
}

void App::lockToWindow(uintptr_t window, int flag) {
    IWindowLock& lock = platform_.windowLock;
    if (flag != 0) {
        lock.makeModal(0, 0, 0);
        lock.makeModal(lockedWindow, 0, 0);
        lock.makeModal(frmBig().nativeHandle(), 0, 0);
        lockedWindow = window;
        lock.makeModal(window, flag, 0);
        // A hook left from an earlier lock is removed first, so only one is ever installed.
        unhookKeyboard();
        installKeyboardHook();
    } else {
        lock.makeModal(lockedWindow, 0, 0);
        lock.makeModal(0, 0, 0);
        lock.makeModal(lockedWindow, 0, 0);
        lock.makeModal(frmBig().nativeHandle(), 0, 0);
        unhookKeyboard();
    }
}

}  // namespace qv
