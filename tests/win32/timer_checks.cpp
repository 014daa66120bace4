// Periodic timers: steady deadlines, and callbacks that stop timers or run message loops.
#include "check.h"
#include "platform/win32/clock.h"

using namespace qv;
using namespace qv::win32;

CHECK_CASE(deadlines_keep_their_phase_and_skip_what_was_missed) {
    // start, interval, now, deadlines passed before, expected delay and deadlines passed after
    const int64_t rows[][6] = {
        {0, 1000, 10, 0, 990, 0},
        {0, 1000, 1005, 0, 995, 1},     // the first tick came 5 ms late: the next is still due at 2000
        {0, 1000, 3500, 1, 500, 3},     // blocked for 2.5 s: missed deadlines are skipped, not made up
        {500, 1000, 3500, 2, 1000, 3},  // exactly on a deadline: the next is a whole interval away
    };
    for (auto& r : rows) {
        int64_t n = r[3];
        CHECK_EQ(Win32Timers::nextDelay(r[0], r[1], r[2], &n), r[4]);
        CHECK_EQ(n, r[5]);
    }
}

CHECK_CASE(slow_ticks_do_not_make_the_timer_drift) {
    Win32Timers timers;
    int ticks = 0;
    // Each tick costs 40 of its 100 ms; a timer re-armed after the tick would fire every 140 ms.
    const TimerId id = timers.start(100, [&] {
        ++ticks;
        Sleep(40);
    });
    qvcheck::pumpFor(1550);
    timers.stop(id);
    CHECK(ticks >= 13 && ticks <= 16);
    const int stopped = ticks;
    qvcheck::pumpFor(250);
    CHECK_EQ(ticks, stopped);
}

CHECK_CASE(a_tick_may_stop_its_timer_start_another_or_run_a_message_loop_unreentered) {
    Win32Timers timers;
    int first = 0, ticks = 0, depth = 0, deepest = 0;
    TimerId a = 0, b = 0;
    a = timers.start(30, [&] {
        ++first;
        timers.stop(a);  // the running callback is kept alive until it returns
        b = timers.start(20, [&] {
            ++ticks;
            deepest = std::max(deepest, ++depth);
            if (ticks == 1) qvcheck::pumpFor(200);  // as a message box would
            --depth;
        });
    });
    qvcheck::pumpFor(450);
    timers.stop(b);
    timers.stop(b);  // twice: harmless
    CHECK_EQ(first, 1);
    CHECK_EQ(deepest, 1);
    CHECK(ticks >= 5);  // and the schedule went on after the loop
    CHECK_EQ(timers.active(), size_t{0});
}
