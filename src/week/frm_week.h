// The "Week plan" dialog (frmWeek): a row per weekday, Monday to Sunday, with the day's game time
// limit and up to two windows in which the computer may be used.
#pragma once
#include <array>
#include <string>

#include "platform/forms.h"
#include "week/week_plan.h"

namespace qv {

struct Platform;

// What the dialog needs of the running program.
class WeekHost {
  public:
    virtual ui::Session& session() = 0;
    virtual Platform& platform() = 0;
    virtual const WeekPlan& weekPlan() const = 0;
    // "OK" with a valid week: kept, and stored with the console's settings.
    virtual void setWeekPlan(const WeekPlan& plan) = 0;

  protected:
    ~WeekHost() = default;
};

class FrmWeek : public ui::Form {
  public:
    explicit FrmWeek(WeekHost& host);

    struct DayRow {
        ui::Control* select;  // the day's name; the selected row is the one "Same every day" copies
        ui::Control* limit;   // "Game time a day (minutes)"
        ui::Control* from[WeekPlan::kMaxWindows];
        ui::Control* to[WeekPlan::kMaxWindows];
    };
    std::array<DayRow, 7> rows{};
    ui::Control& cmdSame;
    ui::Control& cmdOK;
    ui::Control& cmdCancel;

    void fill(const WeekPlan& plan);
    // The week the boxes describe, or the first problem as a sentence for the parent.
    bool read(WeekPlan& plan, std::string& problem) const;

  private:
    void sameEveryDay();
    void okClick();
    WeekHost& host_;
};

}  // namespace qv
