// What the console's plan will do if Start is pressed now, in words for the parent: the plan's
// course, what is allowed, the shutdown, and warnings about plans that cannot do what the parent
// probably wants.
#pragma once
#include <string>
#include <vector>

#include "engine/plan_times.h"

namespace qv {

class PlanPreview {
  public:
    PlanPreview(const PlanChoice& choice, const DateTime& now);

    // More of the plan: a sentence adds to the description, a warning comes first, on its own line.
    void addSentence(const std::string& s) { sentences_.push_back(s); }
    void addWarning(const std::string& s) { warnings_.push_back("Warning: " + s); }

    const std::vector<std::string>& sentences() const { return sentences_; }
    const std::vector<std::string>& warnings() const { return warnings_; }
    // The warnings, each on a line of its own, then the sentences as one paragraph.
    std::string text() const;

  private:
    void changing(const PlanChoice& c);
    void oneTime(const PlanChoice& c, const DateTime& now);
    void bedTime(const PlanChoice& c, const DateTime& now);
    void allowance(const PlanChoice& c);
    void say(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void warn(const char* format, ...) __attribute__((format(printf, 2, 3)));
    std::vector<std::string> sentences_, warnings_;
    bool startsLocked_ = false;  // Start now begins outside game time
};

}  // namespace qv
