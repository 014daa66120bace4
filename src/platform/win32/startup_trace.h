// Where start-up time goes: moments stamped on the way to the notification icon, written out only
// when the environment variable QV_STARTUP_TRACE names a file. Without it nothing is recorded.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace qv::win32 {

class StartupTrace {
  public:
    StartupTrace();  // stamps "WinMain" when tracing
    ~StartupTrace();
    StartupTrace(const StartupTrace&) = delete;
    StartupTrace& operator=(const StartupTrace&) = delete;

    bool on() const { return !file_.empty(); }
    void stamp(const std::string& what);
    // The last moment of start-up: stamps it and writes the file; later stamps are not kept.
    void finish(const std::string& what);

  private:
    void write();

    std::string file_;
    LARGE_INTEGER frequency_{}, base_{};
    double baseUnix_ = 0;  // the wall clock at base_, in seconds since 1970
    std::vector<std::pair<std::string, double>> stamps_;
};

}  // namespace qv::win32
