#include "platform/win32/keyboard.h"

#include <windows.h>

#include <cstring>
#include <utility>

namespace qv::win32 {

using Filter = std::function<bool(const KeyEvent&)>;

// A request from the window thread, carried out on the hook's thread; the asking thread waits for
// the answer.
struct Win32KeyboardHook::Request {
    bool install = false;
    Filter filter;         // install: the new hook's filter
    HHOOK hook = nullptr;  // uninstall: the hook to remove; install: the answer
    DWORD error = 0;       // install: why it failed
};

namespace {

constexpr UINT kRequest = WM_APP + 1;  // lParam: the Request, or 0 to end the thread
constexpr DWORD kStackSize = 64 * 1024;
constexpr DWORD kStopWaitMs = 5000;

// The hook in place and its filter. Only the hook's thread reads or writes them.
struct HookState {
    HHOOK hook = nullptr;
    Filter filter;
};

// A hook procedure gets no context: it finds the state of the thread it is called on.
thread_local HookState* t_state = nullptr;

LRESULT CALLBACK keyboardProc(int code, WPARAM wp, LPARAM lp) {
    HookState* s = t_state;
    if (code == HC_ACTION && s && s->filter && lp) {
        KBDLLHOOKSTRUCT k;
        memcpy(&k, reinterpret_cast<const void*>(lp), sizeof(k));
        const Filter filter = s->filter;  // kept whole even if the hook is replaced meanwhile
        if (filter(KeyEvent{k.vkCode, k.flags, static_cast<uint32_t>(wp)})) return 1;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void removeHook(HookState& s) {
    if (s.hook) UnhookWindowsHookEx(s.hook);
    s.hook = nullptr;
    s.filter = nullptr;
}

void carryOut(HookState& s, Win32KeyboardHook::Request& r) {
    if (!r.install) {
        // Only the hook in place is removed; an older handle was already replaced.
        if (r.hook && r.hook == s.hook) removeHook(s);
        return;
    }
    HHOOK h = SetWindowsHookExA(WH_KEYBOARD_LL, keyboardProc, GetModuleHandleA(nullptr), 0);
    r.hook = h;
    r.error = h ? 0 : GetLastError();
    if (!h) return;
    removeHook(s);
    s.hook = h;
    s.filter = std::move(r.filter);
}

struct ThreadStart {
    HANDLE ready, answered;
};

DWORD WINAPI hookThread(void* param) {
    const ThreadStart start = *static_cast<ThreadStart*>(param);
    HookState state;
    t_state = &state;
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // the queue, before any request
    SetEvent(start.ready);
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kRequest) {
            if (!msg.lParam) break;
            carryOut(state, *reinterpret_cast<Win32KeyboardHook::Request*>(msg.lParam));
            SetEvent(start.answered);
            continue;
        }
        DispatchMessageA(&msg);
    }
    removeHook(state);
    t_state = nullptr;
    return 0;
}

}  // namespace

Win32KeyboardHook::~Win32KeyboardHook() {
    stop();
}

bool Win32KeyboardHook::start(uint32_t* error) {
    if (thread_ && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT) return true;
    stop();  // a thread that ended unexpectedly is replaced
    ThreadStart s{CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    DWORD id = 0;
    HANDLE t = s.ready && s.answered
                   ? CreateThread(nullptr, kStackSize, hookThread, &s, STACK_SIZE_PARAM_IS_A_RESERVATION, &id)
                   : nullptr;
    const DWORD failure = GetLastError();
    if (t) {
        // The hook must answer within the system's time-out even on a busy machine.
        SetThreadPriority(t, THREAD_PRIORITY_HIGHEST);
        HANDLE either[2] = {s.ready, t};
        WaitForMultipleObjects(2, either, FALSE, INFINITE);  // ready, or ended at once
    }
    if (s.ready) CloseHandle(s.ready);
    if (!t || WaitForSingleObject(t, 0) != WAIT_TIMEOUT) {
        if (t) CloseHandle(t);
        if (s.answered) CloseHandle(s.answered);
        if (error) *error = t ? ERROR_INVALID_THREAD_ID : failure;  // t: an unexpected end
        return false;
    }
    thread_ = t;
    answered_ = s.answered;
    threadId_ = id;
    return true;
}

bool Win32KeyboardHook::ask(Request& r) {
    if (GetCurrentThreadId() == threadId_) {  // a filter asking: it is already on the thread
        carryOut(*t_state, r);
        return true;
    }
    if (!PostThreadMessageA(threadId_, kRequest, 0, reinterpret_cast<LPARAM>(&r))) {
        r.error = GetLastError();
        return false;
    }
    HANDLE either[2] = {static_cast<HANDLE>(answered_), static_cast<HANDLE>(thread_)};
    return WaitForMultipleObjects(2, either, FALSE, INFINITE) == WAIT_OBJECT_0;
}

uintptr_t Win32KeyboardHook::install(std::function<bool(const KeyEvent&)> filter, uint32_t* error) {
    if (!start(error)) return 0;
    Request r;
    r.install = true;
    r.filter = std::move(filter);
    const bool answered = ask(r);
    if (error) *error = answered ? r.error : (r.error ? r.error : ERROR_INVALID_THREAD_ID);
    return answered ? reinterpret_cast<uintptr_t>(r.hook) : 0;
}

void Win32KeyboardHook::uninstall(uintptr_t hook) {
    if (!thread_ || !hook) return;
    Request r;
    r.hook = reinterpret_cast<HHOOK>(hook);
    ask(r);
}

void Win32KeyboardHook::stop() {
    if (!thread_) return;
    // Asked from the window thread only; the hook goes with its thread.
    if (PostThreadMessageA(threadId_, kRequest, 0, 0)) WaitForSingleObject(thread_, kStopWaitMs);
    CloseHandle(thread_);
    CloseHandle(answered_);
    thread_ = answered_ = nullptr;
    threadId_ = 0;
}

bool Win32KeyboardHook::keyDown(int vk) const {
    return (GetAsyncKeyState(vk) & 0x8000) != 0;  // safe from any thread
}

}  // namespace qv::win32
