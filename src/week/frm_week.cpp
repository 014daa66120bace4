#include "week/frm_week.h"

#include "platform/platform.h"
#include "platform/resources.h"
#include "week/week_store.h"

namespace qv {

using ui::Kind;

namespace {

constexpr int kRowTop = 720, kRowStep = 420, kBoxHeight = 315, kTimeWidth = 735;
constexpr int kLimitLeft = 1800, kFromLeft[] = {3120, 5040}, kToLeft[] = {3960, 5880};
constexpr int kButtonsTop = kRowTop + 7 * kRowStep + 120;

std::string dayName(int d) {
    return weekdayName(d);
}

}  // namespace

FrmWeek::FrmWeek(WeekHost& host)
    : ui::Form(host.session(), "frmWeek"),
      cmdSame(add(Kind::Button, "cmdSame", nullptr, "Same every day", {120, kButtonsTop, 1935, 375},
                  "Copy the selected day to every day")),
      cmdOK(add(Kind::Button, "cmdOK", nullptr, "OK", {4200, kButtonsTop, 1095, 375})),
      cmdCancel(add(Kind::Button, "cmdCancel", nullptr, "Cancel", {5520, kButtonsTop, 1095, 375})),
      host_(host) {
    setCaption("Week plan");
    setClientSize(6840, kButtonsTop + 615);
    setIcon(res::kIconMain);
    font = {"Verdana", 8.25, false};
    add(Kind::Label, "lblLimit", nullptr, "Game time a day (minutes)", {kLimitLeft - 240, 120, 1320, 495});
    add(Kind::Label, "lblWindows", nullptr, "Allowed from / to", {kFromLeft[0], 360, 3000, 255});
    int tab = 0;
    for (int d = 0; d < 7; ++d) {
        DayRow& r = rows[static_cast<size_t>(d)];
        const int top = kRowTop + d * kRowStep;
        const std::string day = dayName(d);
        r.select = &add(Kind::OptionButton, "opt" + day, nullptr, day, {120, top, 1560, kBoxHeight});
        r.limit = &add(Kind::TextBox, "txtLimit" + day, nullptr, "", {kLimitLeft, top, 855, kBoxHeight},
                       "Empty: no limit; 1 to 1440 minutes");
        for (size_t i = 0; i < WeekPlan::kMaxWindows; ++i) {
            const std::string n = std::to_string(i + 1);
            r.from[i] = &add(Kind::TextBox, "txtFrom" + n + day, nullptr, "",
                             {kFromLeft[i], top, kTimeWidth, kBoxHeight}, "From (hours:minutes)");
            r.to[i] =
                &add(Kind::TextBox, "txtTo" + n + day, nullptr, "", {kToLeft[i], top, kTimeWidth, kBoxHeight},
                     "To (hours:minutes), 24:00 at the latest");
        }
        for (ui::Control* c : {r.select, r.limit, r.from[0], r.to[0], r.from[1], r.to[1]})
            c->tabIndex = tab++;
    }
    cmdSame.tabIndex = tab++;
    cmdOK.tabIndex = tab++;
    cmdCancel.tabIndex = tab++;
    cmdOK.isDefault = true;
    cmdCancel.isCancel = true;
    rows[0].select->setValue(1);
    cmdSame.onClick = [this] { sameEveryDay(); };
    cmdOK.onClick = [this] { okClick(); };
    cmdCancel.onClick = [this] { session().unload(*this); };
    fill(host.weekPlan());
}

void FrmWeek::fill(const WeekPlan& plan) {
    for (size_t d = 0; d < rows.size(); ++d) {
        const DayRule& rule = plan.days[d];
        rows[d].limit->setText(rule.limitMinutes > 0 ? std::to_string(rule.limitMinutes) : "");
        for (size_t i = 0; i < WeekPlan::kMaxWindows; ++i) {
            const bool has = i < rule.windows.size();
            rows[d].from[i]->setText(has ? clockText(rule.windows[i].from) : "");
            rows[d].to[i]->setText(has ? clockText(rule.windows[i].to) : "");
        }
    }
}

bool FrmWeek::read(WeekPlan& plan, std::string& problem) const {
    for (size_t d = 0; d < rows.size(); ++d) {
        const DayRow& r = rows[d];
        const std::string day = dayName(static_cast<int>(d));
        DayRule& rule = plan.days[d];
        rule = {};
        if (!parseDayLimit(r.limit->text(), rule.limitMinutes)) {
            problem =
                day + ": the game time a day is empty (no limit) or a number of minutes from 1 to 1440.";
            return false;
        }
        for (size_t i = 0; i < WeekPlan::kMaxWindows; ++i) {
            const std::string& from = r.from[i]->text();
            const std::string& to = r.to[i]->text();
            if (from.find_first_not_of(' ') == std::string::npos &&
                to.find_first_not_of(' ') == std::string::npos)
                continue;
            DayWindow w;
            if (!parseClockTime(from, w.from) || !parseClockTime(to, w.to)) {
                problem = day + ": a window needs a start and an end as hours:minutes, from 0:00 to 24:00.";
                return false;
            }
            if (w.to < w.from) {
                problem = day + ": a window may not cross midnight: it ends (" + clockText(w.to) +
                          ") before it starts (" + clockText(w.from) +
                          "). Give the time after midnight to the next day.";
                return false;
            }
            if (!rule.windows.empty() && rule.windows.front() == w) continue;  // the same window twice
            rule.windows.push_back(w);
        }
    }
    return true;
}

void FrmWeek::sameEveryDay() {
    const DayRow* from = &rows[0];
    for (const DayRow& r : rows)
        if (r.select->value()) from = &r;
    for (DayRow& r : rows) {
        if (&r == from) continue;
        r.limit->setText(from->limit->text());
        for (size_t i = 0; i < WeekPlan::kMaxWindows; ++i) {
            r.from[i]->setText(from->from[i]->text());
            r.to[i]->setText(from->to[i]->text());
        }
    }
}

void FrmWeek::okClick() {
    WeekPlan plan;
    std::string problem;
    if (!read(plan, problem)) {
        host_.platform().dialogs.messageBox(nativeHandle(), problem, "Week plan", 0);
        return;
    }
    host_.setWeekPlan(plan);
    session().unload(*this);
}

}  // namespace qv
