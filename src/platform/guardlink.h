// Quorvane's side of the guard service: one line at a time, when a guard listens.
#pragma once
#include <cstdint>
#include <string>

namespace qv {

// The message the hidden window receives when a second start of the program, made to resume a
// plan, finds this one running: a plan waiting in its resume minute goes on at once.
constexpr uint32_t kResumeNowMessage = 0x8051;

class IGuardLink {
  public:
    virtual ~IGuardLink() = default;
    // Hands one line to the guard, if one is installed and listening; waits a few milliseconds at
    // most, and a missing guard is no error.
    virtual void tell(const std::string& line) = 0;
    // Whether a guard is installed and running (its pipe exists).
    virtual bool present() = 0;
};

}  // namespace qv
