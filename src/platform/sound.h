// Sound through multimedia command strings.
#pragma once
#include <string>

namespace qv {

class ISound {
  public:
    virtual ~ISound() = default;
    virtual long mciSend(const std::string& command) = 0;
    // The 8.3 form of an existing file's path, or "" when it cannot be had.
    virtual std::string shortPath(const std::string& path) = 0;
};

}  // namespace qv
