// Other programs: starting them, their windows, waiting on and ending them.
#pragma once
#include <cstdint>
#include <string>

namespace qv {

struct ProcessInfo {
    uintptr_t process = 0;  // handle; the caller closes it
    uint32_t pid = 0;
};

class IProcesses {
  public:
    virtual ~IProcesses() = default;
    // CreateProcessA with the whole command line, in the caller's current folder; showCommand is
    // an SW_ value, or -1 for the default. On failure *error (when given) is the system's error
    // code, such as 740 for a program that needs elevation.
    virtual bool start(const std::string& commandLine, int showCommand, ProcessInfo* out,
                       uint32_t* error = nullptr) = 0;
    // WaitForSingleObject: 0 when the process has ended, 258 on timeout, other values on failure.
    // Blocks the calling thread: no timer ticks meanwhile.
    virtual uint32_t wait(uintptr_t process, uint32_t timeoutMs) = 0;
    virtual void closeHandle(uintptr_t handle) = 0;
    // First top-level window (in window-manager order) owned by pid, or 0.
    virtual uintptr_t findWindowOf(uint32_t pid) = 0;
    virtual void setForeground(uintptr_t window) = 0;
    virtual void showWindow(uintptr_t window, int showCommand) = 0;
    // Enables the debug privilege and ends the process behind the handle; true when it was
    // running and is now terminated. The handle stays open.
    virtual bool terminate(uintptr_t process) = 0;
};

}  // namespace qv
