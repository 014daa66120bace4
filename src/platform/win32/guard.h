// Quorvane's side of the guard service: each line goes through the guard's named pipe.
#pragma once
#include "platform/guardlink.h"

namespace qv::win32 {

// The pipe the guard service listens on, in the machine's namespace.
constexpr const char* kGuardPipe = "\\\\.\\pipe\\Quorvane Guard";

class Win32GuardLink : public IGuardLink {
  public:
    void tell(const std::string& line) override;
};

}  // namespace qv::win32
