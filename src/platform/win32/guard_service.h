// The guard service "Quorvane Guard": the same program file, started by the service manager with
// /guard. It hears Quorvane through a named pipe, watches its process and starts it again in the
// user's session when it was ended without the password; the decisions are the core's (Guard).
#pragma once

namespace qv::win32 {

constexpr const wchar_t* kGuardServiceName = L"Quorvane Guard";

// Runs the service until the service manager stops it; returns the process's exit code (1 when
// the program was not started by the service manager).
int runGuardService();

}  // namespace qv::win32
