#include "console/plan_preview.h"

#include <cstdio>

namespace qv {

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

// "45 minutes" or, as a word before a noun, "45-minute"; a length that is not whole minutes (a
// typed "2.5") in seconds.
std::string length(int32_t seconds, bool adjective) {
    const bool minutes = seconds % 60 == 0;
    const long n = minutes ? seconds / 60 : seconds;
    char buf[48];
    std::snprintf(buf, sizeof buf, adjective ? "%ld-%s" : "%ld %s%s", n, minutes ? "minute" : "second",
                  !adjective && n != 1 ? "s" : "");
    return buf;
}

std::string clockTime(const DateTime& t) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d:%02d", t.hour, t.minute);
    return buf;
}

// "6 December", with the year when it is not this year's.
std::string dayText(const DateTime& t, const DateTime& now) {
    std::string s = std::to_string(t.day) + " " + kMonths[(t.month - 1) % 12];
    if (t.year != now.year) s += " " + std::to_string(t.year);
    return s;
}

}  // namespace

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
            addSentence("No mode is chosen.");
            return;
    }
    allowance(c);
    if (c.shutDown) {
        addSentence("The computer shuts down when game time is over.");
        if (startsLocked_)
            addWarning("started now, the plan begins outside game time, so the computer shuts down at once.");
    }
}

void PlanPreview::changing(const PlanChoice& c) {
    if (c.breakSeconds > 0) {
        addSentence("Games for " + length(c.gameSeconds, false) + " from now, then a " +
                    length(c.breakSeconds, true) + " break, in turn.");
    } else {
        addSentence("Games for " + length(c.gameSeconds, false) +
                    " at a time from now, with no break between them.");
    }
    if (c.gameSeconds <= 0) addWarning("a game time of 0 leaves no time to play.");
}

void PlanPreview::oneTime(const PlanChoice& c, const DateTime& now) {
    const OneTimeWindow w = oneTimeWindow(c, now);
    if (w.end.date() == w.start.date()) {
        addSentence("One stretch of games on " + dayText(w.start, now) + " from " + clockTime(w.start) +
                    " to " + clockTime(w.end) + "; locked before and after.");
    } else {
        addSentence("One stretch of games from " + dayText(w.start, now) + " " + clockTime(w.start) + " to " +
                    dayText(w.end, now) + " " + clockTime(w.end) + "; locked before and after.");
    }
    if (now >= w.start && now > w.end) {  // as the scheduler decides: not waiting, and past the end
        addWarning("that time has passed this year, so this plan is over as soon as it starts.");
    } else if (c.totalMinutes <= 0) {
        addWarning("a game time of 0 leaves no time to play.");
    }
    if (now >= w.start && now <= w.end) {
        addSentence("Started now, it begins with games until " + clockTime(w.end) + ".");
    } else {
        startsLocked_ = true;
    }
}

void PlanPreview::bedTime(const PlanChoice& c, const DateTime& now) {
    const BedTimeWindow w = bedTimeWindow(c, now);
    if (w.bed <= w.start) {
        addSentence("Every day from " + clockTime(w.start) + " to " + clockTime(w.bed) + ".");
        addWarning("the latest time is not after the start time, so the computer is locked all day.");
        startsLocked_ = true;
        return;
    }
    // A latest time of 24:00 is midnight; another one on the next day means play through the night.
    const bool midnight = w.bed.hour == 0 && w.bed.minute == 0;
    const bool overnight = w.bed.date() > w.start.date() && !midnight;
    const std::string bed = midnight ? "midnight" : clockTime(w.bed);
    addSentence("Every day from " + clockTime(w.start) + " to " + bed + (overnight ? " the next day" : "") +
                "; locked from " + bed + " until " + clockTime(w.start) + ".");
    if (overnight) {
        addWarning("the latest time is before the start time, so play goes on overnight until " + bed +
                   " the next day.");
    }
    if (w.start <= now && now < w.bed) {
        addSentence("Started now, it begins with games until " + bed + ".");
    } else {
        const bool tomorrow = now >= w.start;
        addSentence("Started now, it begins locked until " + clockTime(w.start) +
                    (tomorrow ? " tomorrow." : "."));
        startsLocked_ = true;
    }
}

void PlanPreview::allowance(const PlanChoice& c) {
    if (c.onlyListed) {
        addSentence("During game time only the listed programs can be used.");
        if (c.listEmpty)
            addWarning("\"Allow only listed\" is chosen but the list is empty, so there is nothing to play.");
    } else if (c.everything) {
        addSentence("During game time everything is allowed.");
    }
}

std::string PlanPreview::text() const {
    std::string s;
    for (const std::string& w : warnings_) s += w + "\r\n";
    for (size_t i = 0; i < sentences_.size(); ++i) s += (i ? " " : "") + sentences_[i];
    return s;
}

}  // namespace qv
