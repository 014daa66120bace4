#include "platform/win32/foreground.h"

namespace qv::win32 {

// Windows lets a process set the foreground when it is itself in the foreground, received the last
// input, or was allowed by the foreground process (AllowSetForegroundWindow). Otherwise it only
// flashes the window. A thread attached to the input of the foreground window's thread shares its
// active window and foreground state, and may hand them on; it detaches at once afterwards. A hung
// foreground thread is not attached to: its input queue would stall ours.
bool bringToFront(HWND window) {
    if (!window || !IsWindow(window)) return false;
    if (GetForegroundWindow() == window) return true;
    if (SetForegroundWindow(window) && GetForegroundWindow() == window) return true;
    const HWND front = GetForegroundWindow();
    const DWORD frontThread = front ? GetWindowThreadProcessId(front, nullptr) : 0;
    const DWORD self = GetCurrentThreadId();
    const bool attached = frontThread && frontThread != self && !IsHungAppWindow(front) &&
                          AttachThreadInput(self, frontThread, TRUE);
    BringWindowToTop(window);
    SetForegroundWindow(window);
    if (attached) AttachThreadInput(self, frontThread, FALSE);
    return GetForegroundWindow() == window;
}

}  // namespace qv::win32
