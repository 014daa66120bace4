#include "lock/time_text.h"

#include "console/frm_main.h"
#include "settings/convert.h"

namespace qv {

namespace {
// A number with its sign position: a blank for zero and positive numbers, "-" for negative ones.
std::string signedText(int32_t v) {
    std::string s(1, v < 0 ? '-' : ' ');
    s += std::to_string(v < 0 ? -static_cast<int64_t>(v) : static_cast<int64_t>(v));
    return s;
}
int16_t hourOrMinute(const ui::Control* combo) {
    return leadingInt16(combo->text());
}

}  // namespace

std::string timeLeftText(int32_t seconds) {
    const int32_t h = seconds / 3600;
    const int32_t m = (seconds - 3600 * h) / 60;
    const int32_t s = seconds - 3600 * h - 60 * m;
    return signedText(h) + ":" + signedText(m) + ":" + signedText(s);
}

// Start and latest time of Bed time mode, today; a latest time before the start on the clock
// face is tomorrow's.
BedTimeWindow bedTimeWindow(FrmMain& f, const DateTime& now) {
    BedTimeWindow w;
    w.start = DateTime::fromParts(now.year, now.month, now.day, hourOrMinute(f.cmbStartH),
                                  hourOrMinute(f.cmbStartM), 0);
    w.bed = DateTime::fromParts(now.year, now.month, now.day, hourOrMinute(f.cmbBedH),
                                hourOrMinute(f.cmbBedM), 0);
    if ((w.bed.hour < w.start.hour && w.bed.hour != 0) ||
        (w.bed.hour == w.start.hour && w.start.minute > w.bed.minute)) {
        w.bed = DateTime::fromParts(now.year, now.month, now.day + 1, hourOrMinute(f.cmbBedH),
                                    hourOrMinute(f.cmbBedM), 0);
    }
    return w;
}

ConsoleWindow consoleWindowOf(FrmMain& f) {
    return {hourOrMinute(f.cmbStartH), hourOrMinute(f.cmbStartM), hourOrMinute(f.cmbBedH),
            hourOrMinute(f.cmbBedM)};
}

}  // namespace qv
