// Confining input to one window, and the keyboard hook that swallows the task-switch keys.
#include <string>

#include "engine/app.h"
#include "lock/frm_big.h"
#include "platform/resources.h"

namespace qv {

namespace {

constexpr uint32_t kVkTab = 0x09, kVkEscape = 0x1B, kVkLeft = 0x25, kVkRight = 0x27, kVkDown = 0x28;
constexpr uint32_t kVkD = 0x44, kVkM = 0x4D;
constexpr int kVkControl = 0x11, kVkAlt = 0x12, kVkLWin = 0x5B, kVkRWin = 0x5C;
constexpr uint32_t kAltDown = 0x20;

// The Windows key's task-switch shortcuts: Task View (Tab), the desktop shown (D) or every window
// minimized (M), the foreground window minimized (Down), and with Ctrl a new virtual desktop (D)
// or the next one (Left, Right). The Windows key alone (the Start menu) and its other shortcuts
// pass.
bool winShortcut(uint32_t vk, bool ctrl) {
    if (vk == kVkTab || vk == kVkD || vk == kVkM || vk == kVkDown) return true;
    return ctrl && (vk == kVkLeft || vk == kVkRight);
}

}  // namespace

// Both the press and the release of a blocked combination are swallowed. Ctrl is read from the
// key's state; Alt from the record's flag, or from the key's state where a system leaves the flag
// out of the record (Wine does for Alt+Tab).
bool App::keyboardFilter(const KeyEvent& e) const {
    const IKeyboardHook& keys = platform_.keyboard;
    const bool ctrl = keys.keyDown(kVkControl);
    if (ctrl && e.vkCode == kVkEscape) return true;  // Ctrl+Esc
    if ((keys.keyDown(kVkLWin) || keys.keyDown(kVkRWin)) && winShortcut(e.vkCode, ctrl)) return true;
    if (e.vkCode != kVkTab && e.vkCode != kVkEscape) return false;
    return (e.flags & kAltDown) || keys.keyDown(kVkAlt);  // Alt+Tab, Alt+Esc
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
