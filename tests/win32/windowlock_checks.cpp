// The window lock on a real window system: what a killed run left disabled, and windows that
// appear while the lock holds. Disabling, exemptions and the release are proved end to end.
#include <cstdio>
#include <string>
#include <vector>

#include "check.h"
#include "platform/win32/windowlock.h"

using namespace qv::win32;

namespace {

HWND plainWindow(DWORD style) {
    return CreateWindowExA(0, "STATIC", "held", WS_POPUP | style, 0, 0, 20, 20, nullptr, nullptr, nullptr,
                           nullptr);
}

void writeSaved(const std::string& text) {
    HKEY key;
    CHECK(RegCreateKeyExA(HKEY_CURRENT_USER, Win32WindowLock::kSavedKey, 0, nullptr, REG_OPTION_VOLATILE,
                          KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS);
    RegSetValueExA(key, Win32WindowLock::kSavedValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

}  // namespace

CHECK_CASE(a_killed_runs_long_list_is_all_enabled_again) {
    // 500 windows left disabled, each listed with its handle at full width: a list far beyond 8 KB.
    std::vector<HWND> left;
    std::string text;
    for (int i = 0; i < 500; ++i) {
        left.push_back(plainWindow(WS_DISABLED));  // hidden: quicker to make and end
        char entry[64];
        std::snprintf(entry, sizeof entry, "%016llx %lu 0;",
                      static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(left.back())),
                      GetCurrentProcessId());
        text += entry;
    }
    CHECK(text.size() > 10000);
    writeSaved(text);
    {
        Win32WindowLock lock;
        lock.makeModal(0, 0, 0);
    }
    int enabled = 0;
    for (HWND w : left) enabled += IsWindowEnabled(w) ? 1 : 0;
    CHECK_EQ(enabled, 500);
    for (HWND w : left) DestroyWindow(w);
}
