// The window lock: one window is the only one on the desktop that takes input. Every other
// visible top-level window is disabled while it holds, windows that appear meanwhile are caught
// by a sweep twice a second, and a release enables exactly the windows it disabled. The
// locked window is kept above the others only while it is locked.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/windowlock.h"

namespace qv::win32 {

class Win32WindowLock : public IWindowLock {
  public:
    Win32WindowLock();
    ~Win32WindowLock() override;
    Win32WindowLock(const Win32WindowLock&) = delete;
    Win32WindowLock& operator=(const Win32WindowLock&) = delete;

    void makeModal(uintptr_t window, int flag, int reserved) override;

    uintptr_t locked() const { return reinterpret_cast<uintptr_t>(locked_); }
    // The windowing's side: a form the lock holds down, and the program disabling one itself.
    bool holds(HWND window) const;
    void formDisabled(HWND window);

    // Where the windows disabled by a lock are listed while it holds: a volatile key of the
    // current user, gone at the next logon, read by the next start's general release when the
    // program was killed.
    static constexpr const char* kSavedKey = "Software\\Hollowmere\\Tarnwell\\WindowLock";
    static constexpr const char* kSavedValue = "Disabled";

  private:
    struct Held {
        HWND window;
        DWORD pid;
        bool topmost;  // made topmost by the lock (the locked window) rather than disabled
    };
    static void CALLBACK sweepTimer(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK sweepWindow(HWND window, LPARAM self);
    void lock(HWND window);
    void releaseAll();
    void releaseSaved();
    void sweep();
    void holdDown(HWND window);
    bool exempt(HWND window) const;
    void save() const;

    HWND locked_ = nullptr;
    DWORD lockedProcess_ = 0;  // the process of the locked window
    bool madeTopmost_ = false;
    std::vector<Held> held_;
    UINT_PTR timer_ = 0;
};

}  // namespace qv::win32
