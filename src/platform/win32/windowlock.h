// The window lock: one window is the only one on the desktop that takes input. Every other
// visible top-level window is disabled while it holds; windows that appear meanwhile are caught as
// the window system reports them (created, shown, brought to the foreground), with a slow sweep
// for what a report missed, and a release enables exactly the windows it disabled. The locked
// window is kept above the others only while it is locked, and takes the foreground back from a
// window it holds down.
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
    // A window to look at again shortly (one created hidden, one our own code is still making),
    // or with no window, the foreground to check again; each time after twice the delay.
    struct Recheck {
        HWND window;
        DWORD due;
        DWORD delay;
    };
    static void CALLBACK sweepTimer(HWND, UINT, UINT_PTR, DWORD);
    static void CALLBACK soonTimer(HWND, UINT, UINT_PTR, DWORD);
    static void CALLBACK windowEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                                     DWORD thread, DWORD);
    static BOOL CALLBACK sweepWindow(HWND window, LPARAM self);
    void lock(HWND window);
    void watch(bool on);
    void releaseAll();
    void minimizeFullScreenGame();
    void releaseSaved();
    void sweep();
    void seen(DWORD event, HWND window, DWORD thread);
    void recheck();
    void later(HWND window, DWORD delay);
    void arm();
    void caught();
    void takeForeground();
    bool holdDown(HWND window);
    bool refused(HWND window) const;
    bool exempt(HWND window) const;
    void save() const;

    HWND locked_ = nullptr;
    DWORD lockedProcess_ = 0;  // the process of the locked window
    bool madeTopmost_ = false;
    std::vector<Held> held_;
    std::vector<HWND> refused_;  // stayed enabled when disabled: not listed, but kept from the front
    std::vector<Recheck> rechecks_;
    HWINEVENTHOOK shownHook_ = nullptr, foregroundHook_ = nullptr;
    UINT_PTR sweepTimer_ = 0, soonTimer_ = 0;
};

}  // namespace qv::win32
