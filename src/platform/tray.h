// The notification-area icon (Shell_NotifyIconA).
#pragma once
#include <cstdint>
#include <string>

namespace qv {

// What a window hears when the shell has made the notification area anew (Explorer restarted, its
// registered message "TaskbarCreated"); icons added before are gone then.
constexpr uint32_t kTaskbarCreated = 0x8000 + 0x3E6;  // WM_APP + 998

enum class TrayOp { Add = 0, Modify = 1, Delete = 2 };

// The fields of the notification record that the program sets; the rest stay zero.
struct TrayRecord {
    uint32_t size = 504;
    uintptr_t window = 0;  // native handle of the window that receives the callback
    uint32_t id = 0;
    uint32_t flags = 0;  // 1 message, 2 icon, 4 tip, 16 balloon information
    uint32_t callbackMessage = 0;
    int icon = 0;            // resource id of the icon (a form's icon)
    std::string tip;         // at most 127 characters are used
    std::string info;        // balloon text, at most 255
    std::string infoTitle;   // balloon title, at most 63
    uint32_t infoFlags = 0;  // 1 information icon
    uint32_t timeout = 0;
};

class ITray {
  public:
    virtual ~ITray() = default;
    virtual bool notify(TrayOp op, const TrayRecord& record) = 0;
    // Brings a window to the foreground (done before a tray pop-up menu opens).
    virtual void setForeground(uintptr_t window) = 0;
};

}  // namespace qv
