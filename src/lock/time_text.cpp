#include "lock/time_text.h"

#include "console/frm_main.h"

namespace qv {

namespace {
// A number with its sign position: a blank for zero and positive numbers, "-" for negative ones.
// Written by hand: the lock screen shows a new one every second.
char* putSigned(char* p, int32_t v) {
    *p++ = v < 0 ? '-' : ' ';
    uint32_t u = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    char digits[10];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u != 0);
    while (n > 0) *p++ = digits[--n];
    return p;
}
}  // namespace

std::string timeLeftText(int32_t seconds) {
    const int32_t h = seconds / 3600;
    const int32_t m = (seconds - 3600 * h) / 60;
    const int32_t s = seconds - 3600 * h - 60 * m;
    char buf[40];
    char* p = putSigned(buf, h);
    *p++ = ':';
    p = putSigned(p, m);
    *p++ = ':';
    p = putSigned(p, s);
    return std::string(buf, p);
}

ConsoleWindow consoleWindowOf(FrmMain& f) {
    const PlanChoice c = f.planChoice();
    return {c.bedStartH, c.bedStartM, c.bedH, c.bedM};
}

}  // namespace qv
