// Shutting the computer down.
#pragma once
#include <string>

namespace qv {

class IShutdown {
  public:
    virtual ~IShutdown() = default;
    // Starts the system's shutdown command line minimized without waiting; false if it could not start.
    virtual bool run(const std::string& commandLine) = 0;
};

}  // namespace qv
