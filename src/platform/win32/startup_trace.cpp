#include "platform/win32/startup_trace.h"

#include <cstdio>

namespace qv::win32 {

namespace {

// A FILETIME (100 ns since 1601) in seconds since 1970.
double unixSeconds(const FILETIME& t) {
    ULARGE_INTEGER u;
    u.LowPart = t.dwLowDateTime;
    u.HighPart = t.dwHighDateTime;
    return static_cast<double>(u.QuadPart - 116444736000000000ULL) / 1e7;
}

}  // namespace

StartupTrace::StartupTrace() {
    char path[MAX_PATH];
    const DWORD n = GetEnvironmentVariableA("QV_STARTUP_TRACE", path, sizeof path);
    if (n == 0 || n >= sizeof path) return;
    file_.assign(path, n);
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&base_);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    baseUnix_ = unixSeconds(now);
    FILETIME created, exited, kernel, user;
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        stamps_.emplace_back("process created", unixSeconds(created));
    stamps_.emplace_back("WinMain", baseUnix_);
}

StartupTrace::~StartupTrace() {
    write();
}

void StartupTrace::stamp(const std::string& what) {
    if (!on()) return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const double since = static_cast<double>(now.QuadPart - base_.QuadPart) / frequency_.QuadPart;
    stamps_.emplace_back(what, baseUnix_ + since);
}

void StartupTrace::finish(const std::string& what) {
    stamp(what);
    write();
}

// One line per moment: seconds since 1970, a space, what happened.
void StartupTrace::write() {
    if (!on()) return;
    if (FILE* f = std::fopen(file_.c_str(), "w")) {
        for (const auto& [what, at] : stamps_) std::fprintf(f, "%.6f %s\n", at, what.c_str());
        std::fclose(f);
    }
    file_.clear();  // written once
}

}  // namespace qv::win32
