// Confining input to one window, and the keyboard hook that swallows the task-switch keys.
#include <string>

#include "engine/app.h"
#include "lock/frm_big.h"
#include "platform/resources.h"

namespace qv {

namespace {

constexpr uint32_t kVkTab = 0x09, kVkEscape = 0x1B;
constexpr int kVkControl = 0x11, kVkAlt = 0x12;
constexpr uint32_t kAltDown = 0x20;

}  // namespace

// Both the press and the release of a blocked combination are swallowed. Ctrl is read from the
// key's state; Alt from the record's flag, or from the key's state where a system leaves the flag
// out of the record (Wine does for Alt+Tab).
bool App::keyboardFilter(const KeyEvent& e) const {
    if (platform_.keyboard.keyDown(kVkControl) && e.vkCode == kVkEscape) return true;  // Ctrl+Esc
    if (e.vkCode != kVkTab && e.vkCode != kVkEscape) return false;
    return (e.flags & kAltDown) || platform_.keyboard.keyDown(kVkAlt);  // Alt+Tab, Alt+Esc
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
        releaseWindows();
        unhookKeyboard();
    }
}

void App::releaseWindows() {
    IWindowLock& lock = platform_.windowLock;
    lock.makeModal(lockedWindow, 0, 0);
    lock.makeModal(0, 0, 0);
    lock.makeModal(lockedWindow, 0, 0);
    lock.makeModal(frmBig().nativeHandle(), 0, 0);
}

}  // namespace qv
