#include "platform/win32/windowlock.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

#include "platform/win32/foreground.h"
#include "platform/win32/lazy.h"

namespace qv::win32 {

namespace {

// The sweep only catches what the window system's reports missed (a report is lost when the
// queue overflows or a thread hangs; Wine reports other programs' windows only as created).
constexpr UINT kSweepMs = 5000;
// A window created hidden is looked at again after 10, 30, 70 ... 1270 ms, then left to the sweep.
constexpr DWORD kFirstRecheckMs = 10, kLastRecheckMs = 640;
Win32WindowLock* g_lock = nullptr;  // timer and event procedures have no room for a pointer
// The most windows held at once: a bound on the stored list, far above any real desktop.
constexpr size_t kMaxHeld = 2000;
// How long another program's window may take to answer before it is left for the next sweep.
constexpr UINT kAnswerMs = 100;

// Windows 7 and later; the DWM's library is loaded with the first lock.
using GetWindowAttribute = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
LazyProc<GetWindowAttribute> dwmGetWindowAttribute("dwmapi.dll", "DwmGetWindowAttribute");
constexpr DWORD kDwmCloaked = 14;  // DWMWA_CLOAKED

// A cloaked window is not on the screen (another virtual desktop, a suspended app's frame): it takes
// no input, and disabling it would only leave it disabled when it comes back.
bool cloaked(HWND w) {
    auto get = dwmGetWindowAttribute.get();
    DWORD value = 0;
    return get && SUCCEEDED(get(w, kDwmCloaked, &value, sizeof value)) && value != 0;
}

// Disabling another thread's window sends it messages and waits for them: a thread that is busy
// now (not yet hung long enough for IsHungAppWindow) is asked first, with a short time limit.
bool answers(HWND w) {
    DWORD_PTR result = 0;
    if (GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId()) return true;
    return SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, kAnswerMs, &result) != 0;
}

DWORD processOf(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}

bool hasClass(HWND w, const char* name) {
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    return lstrcmpiA(cls, name) == 0;
}

void setTopmost(HWND w, bool on) {
    SetWindowPos(w, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

Win32WindowLock::Win32WindowLock() {
    g_lock = this;
}

Win32WindowLock::~Win32WindowLock() {
    releaseAll();
    if (g_lock == this) g_lock = nullptr;
}

// makeModal(w, 1, 0) locks input to w, (w, 0, 0) releases w when it is the locked window, and
// (0, 0, 0) releases everything, also what an earlier run of the program left disabled.
void Win32WindowLock::makeModal(uintptr_t window, int flag, int) {
    HWND w = reinterpret_cast<HWND>(window);
    if (flag) {
        if (w && IsWindow(w)) lock(w);
    } else if (!w) {
        releaseSaved();  // before the release below rewrites the list
        releaseAll();
    } else if (w == locked_) {
        releaseAll();
    }
}

void Win32WindowLock::lock(HWND window) {
    if (locked_ && locked_ != window) releaseAll();
    locked_ = window;
    lockedProcess_ = processOf(window);
    held_.erase(std::remove_if(held_.begin(), held_.end(), [&](const Held& h) { return h.window == window; }),
                held_.end());
    madeTopmost_ = !(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    if (madeTopmost_) setTopmost(window, true);
    if (lockedProcess_ == GetCurrentProcessId()) minimizeFullScreenGame();
    watch(true);
    sweep();
    save();
}

// A game in exclusive full screen stays in front of every window and keeps its gamepad even while
// disabled: when the lock goes to one of this program's windows (a break begins), another
// program's borderless window that fills its monitor and has the foreground is minimized, without
// waiting for it. The desktop and the shell's windows are never touched.
void Win32WindowLock::minimizeFullScreenGame() {
    HWND front = GetForegroundWindow();
    if (!front || front == GetShellWindow() || front == GetDesktopWindow() ||
        processOf(front) == GetCurrentProcessId() || IsIconic(front) || hasClass(front, "Progman") ||
        hasClass(front, "WorkerW"))
        return;
    const LONG style = GetWindowLongA(front, GWL_STYLE);
    if ((style & WS_CHILD) || (style & WS_CAPTION) == WS_CAPTION) return;
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    RECT r;
    if (!GetWindowRect(front, &r) ||
        !GetMonitorInfoA(MonitorFromWindow(front, MONITOR_DEFAULTTONEAREST), &mi))
        return;
    const RECT& m = mi.rcMonitor;
    if (r.left <= m.left && r.top <= m.top && r.right >= m.right && r.bottom >= m.bottom)
        ShowWindowAsync(front, SW_MINIMIZE);
}

// The reports come only while a lock holds. Out of context: they are queued to this thread and
// handled as it retrieves messages. This program's own windows are reported too, since the lock
// holds them as well (its message boxes and menus excepted).
void Win32WindowLock::watch(bool on) {
    if (on && !shownHook_) {
        shownHook_ = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr, windowEvent, 0, 0,
                                     WINEVENT_OUTOFCONTEXT);
        foregroundHook_ = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                          windowEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
        sweepTimer_ = SetTimer(nullptr, 0, kSweepMs, sweepTimer);
    } else if (!on) {
        for (HWINEVENTHOOK* h : {&shownHook_, &foregroundHook_}) {
            if (*h) UnhookWinEvent(*h);
            *h = nullptr;
        }
        for (UINT_PTR* t : {&sweepTimer_, &soonTimer_}) {
            if (*t) KillTimer(nullptr, *t);
            *t = 0;
        }
        rechecks_.clear();
    }
}

void Win32WindowLock::releaseAll() {
    watch(false);
    for (const Held& h : held_)
        if (IsWindow(h.window) && processOf(h.window) == h.pid) EnableWindow(h.window, TRUE);
    held_.clear();
    refused_.clear();
    if (locked_ && madeTopmost_ && IsWindow(locked_)) setTopmost(locked_, false);
    locked_ = nullptr;
    lockedProcess_ = 0;
    madeTopmost_ = false;
    save();
}

// Windows listed by a program that ended without its release: enabled again if they still belong
// to the process they belonged to and are still disabled.
void Win32WindowLock::releaseSaved() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSavedKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
    // As long as the list is: asked for its size, and again if it grew meanwhile.
    std::string text;
    DWORD size = 0, type = 0;
    LONG result = RegQueryValueExA(key, kSavedValue, nullptr, &type, nullptr, &size);
    while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        text.assign(size + 1, '\0');  // room for an ending the stored text may lack
        result =
            RegQueryValueExA(key, kSavedValue, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
        if (result == ERROR_SUCCESS) break;
    }
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) return;
    // "window pid topmost;" for each, the window in hexadecimal.
    for (const char* p = text.c_str(); *p;) {
        char* end = nullptr;
        HWND w = reinterpret_cast<HWND>(static_cast<uintptr_t>(strtoull(p, &end, 16)));
        const DWORD pid = strtoul(end, &end, 10);
        const bool topmost = strtoul(end, &end, 10) != 0;
        if (*end != ';') break;
        p = end + 1;
        if (!IsWindow(w) || processOf(w) != pid) continue;
        if (topmost)
            setTopmost(w, false);
        else if (!IsWindowEnabled(w))
            EnableWindow(w, TRUE);
    }
}

void Win32WindowLock::save() const {
    std::string text;
    auto entry = [&](HWND w, DWORD pid, bool topmost) {
        char hex[20];
        _ui64toa(static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(w)), hex, 16);
        text += std::string(hex) + " " + std::to_string(pid) + (topmost ? " 1;" : " 0;");
    };
    for (const Held& h : held_) entry(h.window, h.pid, false);
    if (locked_ && madeTopmost_) entry(locked_, processOf(locked_), true);
    HKEY key;
    if (text.empty()) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kSavedKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, kSavedValue);
            RegCloseKey(key);
        }
        return;
    }
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSavedKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, kSavedValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

void CALLBACK Win32WindowLock::sweepTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_lock && g_lock->locked_) g_lock->sweep();
}

void CALLBACK Win32WindowLock::soonTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_lock) return;
    KillTimer(nullptr, g_lock->soonTimer_);  // one shot; recheck sets the next
    g_lock->soonTimer_ = 0;
    if (g_lock->locked_) g_lock->recheck();
}

void CALLBACK Win32WindowLock::windowEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                                           DWORD thread, DWORD) {
    if (g_lock && g_lock->locked_ && window && object == OBJID_WINDOW && child == CHILDID_SELF)
        g_lock->seen(event, window, thread);
}

BOOL CALLBACK Win32WindowLock::sweepWindow(HWND window, LPARAM self) {
    reinterpret_cast<Win32WindowLock*>(self)->holdDown(window);
    return TRUE;
}

void Win32WindowLock::sweep() {
    const size_t before = held_.size();
    EnumWindows(sweepWindow, reinterpret_cast<LPARAM>(this));
    if (held_.size() != before) caught();
    takeForeground();  // also where an earlier attempt failed
}

// A top-level window created, shown or brought to the foreground is held down at once. One
// created hidden is looked at again shortly: Wine reports no showing. A report from this thread
// may come from inside the program's own calls (a form being shown), so it is handled just after.
void Win32WindowLock::seen(DWORD event, HWND window, DWORD thread) {
    if (GetAncestor(window, GA_PARENT) != GetDesktopWindow()) return;
    if (thread == GetCurrentThreadId()) return later(window, 0);
    if (holdDown(window))
        caught();
    else if (event == EVENT_SYSTEM_FOREGROUND)
        takeForeground();
    else if (event == EVENT_OBJECT_CREATE)
        later(window, kFirstRecheckMs);
}

// An entry already waiting is only brought forward.
void Win32WindowLock::later(HWND window, DWORD delay) {
    const DWORD now = GetTickCount();
    auto same = std::find_if(rechecks_.begin(), rechecks_.end(),
                             [&](const Recheck& r) { return r.window == window; });
    if (same == rechecks_.end())
        rechecks_.push_back({window, now + delay, delay});
    else if (static_cast<LONG>(now + delay - same->due) < 0)
        *same = {window, now + delay, delay};
    arm();
}

// One timer for all the entries, set for the first due.
void Win32WindowLock::arm() {
    if (rechecks_.empty()) return;
    const DWORD now = GetTickCount();
    LONG wait = LONG_MAX;
    for (const Recheck& r : rechecks_) wait = std::min(wait, static_cast<LONG>(r.due - now));
    soonTimer_ = SetTimer(nullptr, soonTimer_, std::max<LONG>(wait, USER_TIMER_MINIMUM), soonTimer);
}

void Win32WindowLock::recheck() {
    const DWORD now = GetTickCount();
    std::vector<Recheck> due;
    for (auto it = rechecks_.begin(); it != rechecks_.end();) {
        const bool now_due = static_cast<LONG>(now - it->due) >= 0;
        if (now_due) due.push_back(*it);
        it = now_due ? rechecks_.erase(it) : it + 1;
    }
    bool held = false;
    for (const Recheck& r : due) {
        if (r.window && holdDown(r.window)) {
            held = true;
            continue;
        }
        if (!r.window) takeForeground();
        if (r.delay >= kLastRecheckMs || (r.window && !IsWindow(r.window))) continue;
        later(r.window, std::max(kFirstRecheckMs, r.delay * 2));
    }
    if (held) caught();
    arm();
}

// A program started during the lock gets the foreground with its first window; once that window
// is held down, the locked window takes the foreground back, so that keys go to it again. The
// held window may still be on its way to the foreground, so the foreground is looked at again for
// a while.
void Win32WindowLock::caught() {
    save();
    takeForeground();
    later(nullptr, kFirstRecheckMs);
}

void Win32WindowLock::takeForeground() {
    const HWND front = GetForegroundWindow();
    if (holds(front) || refused(front)) bringToFront(locked_);
}

// The locked window keeps the windows it owns (its tooltips, its dialogs); the program keeps its
// own message boxes and menus, or a message shown during the lock could never be answered. When
// the locked window is another program's (a game started from the lock screen), that program
// keeps all its windows: its main window may follow the splash window that was locked.
bool Win32WindowLock::exempt(HWND window) const {
    for (HWND w = window; w; w = GetWindow(w, GW_OWNER))
        if (w == locked_) return true;
    const DWORD own = GetCurrentProcessId(), process = processOf(window);
    if (lockedProcess_ && lockedProcess_ != own && process == lockedProcess_) return true;
    return process == own && (hasClass(window, "#32770") || hasClass(window, "#32768"));
}

// A hung program's window is left alone: it takes no input anyway, and telling it would block.
// The sweep looks at every top-level window, so the cheap test comes first: one read of the style
// says whether a window is shown and enabled (for a top-level window that is what IsWindowVisible
// and IsWindowEnabled say, in one call instead of two). Only a window that is disabled afterwards
// is listed: Windows refuses for a window of a higher integrity level (an elevated program), and a
// program may enable its window again at once. One that enables itself later is disabled again
// but listed once. True when the window is held down now.
bool Win32WindowLock::holdDown(HWND window) {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    if (!(style & WS_VISIBLE) || (style & WS_DISABLED) || exempt(window) || IsHungAppWindow(window))
        return false;
    const bool listed = holds(window);
    if ((!listed && held_.size() >= kMaxHeld) || cloaked(window) || !answers(window)) return false;
    EnableWindow(window, FALSE);
    if (IsWindowEnabled(window)) {
        // Still kept from the foreground, though it takes clicks.
        if (refused_.size() < kMaxHeld && !refused(window)) refused_.push_back(window);
        return true;
    }
    if (!listed) held_.push_back({window, processOf(window), false});
    return true;
}

bool Win32WindowLock::refused(HWND window) const {
    return std::find(refused_.begin(), refused_.end(), window) != refused_.end();
}

bool Win32WindowLock::holds(HWND window) const {
    return std::any_of(held_.begin(), held_.end(), [&](const Held& h) { return h.window == window; });
}

void Win32WindowLock::formDisabled(HWND window) {
    const size_t before = held_.size();
    held_.erase(std::remove_if(held_.begin(), held_.end(), [&](const Held& h) { return h.window == window; }),
                held_.end());
    if (held_.size() != before) save();
}

}  // namespace qv::win32
