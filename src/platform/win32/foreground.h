// Bringing a window to the foreground under Windows' foreground rules: a process that is not in
// the foreground may not take it by SetForegroundWindow alone.
#pragma once
#include <windows.h>

namespace qv::win32 {

// Brings window to the foreground: plainly when this process may set it, otherwise by sharing the
// input state of the foreground window's thread for the moment of the call. True when window is
// the foreground window afterwards; a caller that failed tries again on its next tick or event.
bool bringToFront(HWND window);

}  // namespace qv::win32
