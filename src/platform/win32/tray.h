// The notification-area icon through Shell_NotifyIconA.
#pragma once
#include <cstdint>
#include <set>
#include <utility>

#include "platform/tray.h"
#include "platform/win32/startup_trace.h"

namespace qv::win32 {

// The shell calls the icon's window back with this private message instead of the record's own
// (512 is WM_MOUSEMOVE, which the pointer sends too); the window reports it as the record's.
constexpr uint32_t kTrayCallbackMessage = 0x8000 + 0x3E7;  // WM_APP + 999

class Win32Tray : public ITray {
  public:
    ~Win32Tray() override;
    bool notify(TrayOp op, const TrayRecord& record) override;
    void setForeground(uintptr_t window) override;

    // True while window owns an icon whose callback is the mouse-move message.
    static bool isCallbackWindow(uintptr_t window);
    // The first icon added ends the start-up trace.
    void traceTo(StartupTrace* trace) { trace_ = trace; }

  private:
    StartupTrace* trace_ = nullptr;
    std::set<std::pair<uintptr_t, uint32_t>> icons_;  // (window, id) of the icons added
};

}  // namespace qv::win32
