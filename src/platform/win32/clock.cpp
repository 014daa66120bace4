#include "platform/win32/clock.h"

#include "platform/win32/dispatch.h"
#include "platform/win32/lazy.h"

namespace qv::win32 {

DateTime Win32Clock::now() const {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return DateTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

namespace {
// Windows 7 and later; looked up so that an older kernel32 still starts the program.
using UnbiasedTime = BOOL(WINAPI*)(PULONGLONG);
LazyProc<UnbiasedTime> queryUnbiasedInterruptTime("kernel32.dll", "QueryUnbiasedInterruptTime");
}  // namespace

// The interrupt time without the time spent asleep or hibernated, in units of 100 ns.
int64_t Win32Clock::awakeMs() const {
    ULONGLONG t = 0;
    if (auto query = queryUnbiasedInterruptTime.get(); query && query(&t))
        return static_cast<int64_t>(t / 10000);
    return monotonicMs();
}

int64_t monotonicMs() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    return c.QuadPart / freq.QuadPart * 1000 + c.QuadPart % freq.QuadPart * 1000 / freq.QuadPart;
}

namespace {
const char kTimerClass[] = "QuorvaneTimers";
// A WM_TIMER this close to its deadline counts as on time; SetTimer may round a little early.
constexpr int64_t kSlackMs = 2;
// A native timer running at the interval is left alone while it keeps within this of the
// schedule (setting it again costs a call to the window system every tick).
constexpr int64_t kSteadyMs = 20;
}  // namespace

Win32Timers::Win32Timers() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kTimerClass;
    RegisterClassA(&wc);
    window_ =
        CreateWindowExA(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Timers::~Win32Timers() {
    if (window_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);  // kills its timers
    }
}

int64_t Win32Timers::nextDelay(int64_t startMs, int intervalMs, int64_t nowMs, int64_t* ticksDone) {
    // The next deadline is start + (n + 1) * interval. Deadlines a blocked thread has missed are
    // skipped, not made up in a burst, and the phase of the schedule is kept.
    int64_t n = *ticksDone;
    int64_t due = startMs + (n + 1) * intervalMs;
    if (due <= nowMs) {
        n = (nowMs - startMs) / intervalMs;
        due = startMs + (n + 1) * intervalMs;
    }
    *ticksDone = n;
    return due - nowMs;
}

TimerId Win32Timers::start(int intervalMs, std::function<void()> tick) {
    const TimerId id = nextId_++;
    if (intervalMs < static_cast<int>(USER_TIMER_MINIMUM)) intervalMs = USER_TIMER_MINIMUM;
    Entry& e = timers_[id];
    e = Entry{
        intervalMs, monotonicMs(), 0, false, 0, std::make_shared<std::function<void()>>(std::move(tick))};
    arm(id, e);
    return id;
}

void Win32Timers::stop(TimerId id) {
    if (timers_.erase(id)) KillTimer(window_, id);
}

void Win32Timers::arm(TimerId id, Entry& e) {
    int64_t n = e.ticks;
    const int64_t delay = nextDelay(e.startMs, e.interval, monotonicMs(), &n);
    e.ticks = n;
    if (e.armedMs == e.interval && delay > e.interval - kSteadyMs && delay <= e.interval) return;
    setNative(id, e, delay);
}

void Win32Timers::setNative(TimerId id, Entry& e, int64_t ms) {
    e.armedMs = ms < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : ms;
    SetTimer(window_, id, static_cast<UINT>(e.armedMs), nullptr);
}

void Win32Timers::fire(TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) {
        KillTimer(window_, id);  // a WM_TIMER already queued when the timer was stopped
        return;
    }
    Entry& e = it->second;
    const int64_t now = monotonicMs();
    const int64_t due = e.startMs + (e.ticks + 1) * e.interval;
    if (now + kSlackMs < due) {  // early: wait for the deadline without ticking
        setNative(id, e, due - now);
        return;
    }
    e.ticks = (now - e.startMs) / e.interval;
    arm(id, e);
    // A tick that opens a message box runs a message loop that would deliver this timer again;
    // the handler is not re-entered, its schedule just goes on.
    if (e.running) return;
    // The callback may stop or restart this very timer: keep its function alive while it runs.
    std::shared_ptr<std::function<void()>> tick = e.tick;
    e.running = true;
    // The model's timer marks the tick as an event, so forms unloaded inside it are freed after it.
    try {
        (*tick)();
    } catch (...) {  // a failing tick ends that tick only
    }
    it = timers_.find(id);
    if (it != timers_.end()) it->second.running = false;
}

LRESULT CALLBACK Win32Timers::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
        if (auto* self = reinterpret_cast<Win32Timers*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)))
            self->fire(static_cast<TimerId>(wp));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace qv::win32
