#include "platform/win32/tray.h"

#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <set>

namespace qv::win32 {

namespace {

constexpr uint32_t kMouseMove = 0x200;

// Windows whose icon calls back with the mouse-move message, with how many such icons they own.
std::multiset<uintptr_t> g_callbackWindows;

// Copies at most the field's size less one character and always terminates.
template <size_t N>
void copyField(char (&field)[N], const std::string& s) {
    const size_t n = std::min(s.size(), N - 1);
    std::memcpy(field, s.data(), n);
    field[n] = '\0';
}

}  // namespace

bool Win32Tray::notify(TrayOp op, const TrayRecord& r) {
    if (op == TrayOp::Add && trace_) trace_->stamp("icon to be added");
    NOTIFYICONDATAA nid{};
    // The record's own size field describes the layout the program was written against; the shell
    // is given the whole structure it knows, with every field the record sets.
    nid.cbSize = sizeof(nid);
    nid.hWnd = reinterpret_cast<HWND>(r.window);
    nid.uID = r.id;
    nid.uFlags = r.flags;
    nid.uCallbackMessage = r.callbackMessage == kMouseMove ? kTrayCallbackMessage : r.callbackMessage;
    // The record names the icon by its resource id; shared icons are cached and never destroyed.
    if (r.icon)
        nid.hIcon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(r.icon),
                                                  IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                  GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    copyField(nid.szTip, r.tip);
    copyField(nid.szInfo, r.info);
    copyField(nid.szInfoTitle, r.infoTitle);
    nid.dwInfoFlags = r.infoFlags;
    nid.uTimeout = r.timeout;
    const bool ok = Shell_NotifyIconA(static_cast<DWORD>(op), &nid) != FALSE;
    const auto key = std::make_pair(r.window, r.id);
    if (ok && op == TrayOp::Add && (r.flags & NIF_MESSAGE) && r.callbackMessage == kMouseMove &&
        icons_.insert(key).second)
        g_callbackWindows.insert(r.window);
    if (ok && op == TrayOp::Add && trace_) {
        trace_->finish("icon added");
        trace_ = nullptr;
    }
    if (ok && op == TrayOp::Delete && icons_.erase(key))
        g_callbackWindows.erase(g_callbackWindows.find(r.window));
    return ok;
}

Win32Tray::~Win32Tray() {
    // Icons still up when the program ends go with it rather than linger until the pointer passes.
    for (const auto& [window, id] : icons_) {
        NOTIFYICONDATAA nid{};
        nid.cbSize = sizeof(nid);
        nid.hWnd = reinterpret_cast<HWND>(window);
        nid.uID = id;
        Shell_NotifyIconA(NIM_DELETE, &nid);
        g_callbackWindows.erase(g_callbackWindows.find(window));
    }
}

bool Win32Tray::isCallbackWindow(uintptr_t window) {
    return g_callbackWindows.count(window) != 0;
}

void Win32Tray::setForeground(uintptr_t window) {
    SetForegroundWindow(reinterpret_cast<HWND>(window));
}

}  // namespace qv::win32
