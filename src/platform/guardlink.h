// Quorvane's side of the guard service: one line at a time, when a guard listens.
#pragma once
#include <string>

namespace qv {

class IGuardLink {
  public:
    virtual ~IGuardLink() = default;
    // Hands one line to the guard, if one is installed and listening; waits a few milliseconds at
    // most, and a missing guard is no error.
    virtual void tell(const std::string& line) = 0;
};

}  // namespace qv
