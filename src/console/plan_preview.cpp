#include "console/plan_preview.h"

#include <cstdarg>
#include <cstdio>

namespace qv {

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

// Formatted in place rather than by joining strings: the program's size counts.
struct Text {
    char s[64];
};

// "45 minutes" or, as a word before a noun, "45-minute"; a length that is not whole minutes (a
// typed "2.5") in seconds.
Text length(int32_t seconds, bool adjective) {
    const bool minutes = seconds % 60 == 0;
    const long n = minutes ? seconds / 60 : seconds;
    Text t;
    std::snprintf(t.s, sizeof t.s, adjective ? "%ld-%s" : "%ld %s%s", n, minutes ? "minute" : "second",
                  !adjective && n != 1 ? "s" : "");
    return t;
}

// "13:01"; the Bed time's latest time 24:00 is "midnight".
Text clockTime(const DateTime& t, bool midnightWord = false) {
    Text x;
    if (midnightWord && t.hour == 0 && t.minute == 0) {
        std::snprintf(x.s, sizeof x.s, "midnight");
    } else {
        std::snprintf(x.s, sizeof x.s, "%02d:%02d", t.hour, t.minute);
    }
    return x;
}

// "6 December", with the year when it is not this year's.
Text dayText(const DateTime& t, const DateTime& now) {
    Text x;
    std::snprintf(x.s, sizeof x.s, t.year != now.year ? "%d %s %d" : "%d %s", t.day,
                  kMonths[(t.month - 1) % 12], t.year);
    return x;
}

std::string format(const char* f, va_list args) {
    char buf[320];
    std::vsnprintf(buf, sizeof buf, f, args);
    return buf;
}

}  // namespace

void PlanPreview::say(const char* f, ...) {
    va_list args;
    va_start(args, f);
    sentences_.push_back(format(f, args));
    va_end(args);
}

void PlanPreview::warn(const char* f, ...) {
    va_list args;
    va_start(args, f);
    addWarning(format(f, args));
    va_end(args);
}

PlanPreview::PlanPreview(const PlanChoice& c, const DateTime& now) {
    switch (c.mode) {
        case PlanMode::Changing:
            changing(c);
            break;
        case PlanMode::OneTime:
            oneTime(c, now);
            break;
        case PlanMode::BedTime:
            bedTime(c, now);
            break;
        case PlanMode::None:
            say("No mode is chosen.");
            return;
    }
    allowance(c);
    if (c.shutDown) {
        say("The computer shuts down when game time is over.");
        if (startsLocked_)
            warn("started now, the plan begins outside game time, so the computer shuts down at once.");
    }
}

void PlanPreview::changing(const PlanChoice& c) {
    if (c.breakSeconds > 0) {
        say("Games for %s from now, then a %s break, in turn.", length(c.gameSeconds, false).s,
            length(c.breakSeconds, true).s);
    } else {
        say("Games for %s at a time from now, with no break between them.", length(c.gameSeconds, false).s);
    }
    if (c.gameSeconds <= 0) warn("a game time of 0 leaves no time to play.");
}

void PlanPreview::oneTime(const PlanChoice& c, const DateTime& now) {
    const OneTimeWindow w = oneTimeWindow(c, now);
    if (w.end.date() == w.start.date()) {
        say("One stretch of games on %s from %s to %s; locked before and after.", dayText(w.start, now).s,
            clockTime(w.start).s, clockTime(w.end).s);
    } else {
        say("One stretch of games from %s %s to %s %s; locked before and after.", dayText(w.start, now).s,
            clockTime(w.start).s, dayText(w.end, now).s, clockTime(w.end).s);
    }
    if (now >= w.start && now > w.end) {  // as the scheduler decides: not waiting, and past the end
        warn("that time has passed this year, so this plan is over as soon as it starts.");
    } else if (c.totalMinutes <= 0) {
        warn("a game time of 0 leaves no time to play.");
    }
    if (now >= w.start && now <= w.end) {
        say("Started now, it begins with games until %s.", clockTime(w.end).s);
    } else {
        startsLocked_ = true;
    }
}

void PlanPreview::bedTime(const PlanChoice& c, const DateTime& now) {
    const BedTimeWindow w = bedTimeWindow(c, now);
    const Text start = clockTime(w.start), bed = clockTime(w.bed, true);
    if (w.bed <= w.start) {
        say("Every day from %s to %s.", start.s, clockTime(w.bed).s);
        warn("the latest time is not after the start time, so the computer is locked all day.");
        startsLocked_ = true;
        return;
    }
    // A latest time on the next day other than midnight means play through the night.
    const bool overnight = w.bed.date() > w.start.date() && (w.bed.hour != 0 || w.bed.minute != 0);
    say("Every day from %s to %s%s; locked from %s until %s.", start.s, bed.s,
        overnight ? " the next day" : "", bed.s, start.s);
    if (overnight)
        warn("the latest time is before the start time, so play goes on overnight until %s the next day.",
             bed.s);
    if (w.start <= now && now < w.bed) {
        say("Started now, it begins with games until %s.", bed.s);
    } else {
        say("Started now, it begins locked until %s%s.", start.s, now >= w.start ? " tomorrow" : "");
        startsLocked_ = true;
    }
}

void PlanPreview::allowance(const PlanChoice& c) {
    if (c.onlyListed) {
        say("During game time only the listed programs can be used.");
        if (c.listEmpty)
            warn("\"Allow only listed\" is chosen but the list is empty, so there is nothing to play.");
    } else if (c.everything) {
        say("During game time everything is allowed.");
    }
}

std::string PlanPreview::text() const {
    std::string s;
    for (const std::string& w : warnings_) s += w + "\r\n";
    for (size_t i = 0; i < sentences_.size(); ++i) {
        if (i) s += ' ';
        s += sentences_[i];
    }
    return s;
}

}  // namespace qv
