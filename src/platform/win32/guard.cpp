#include "platform/win32/guard.h"

#include <windows.h>

namespace qv::win32 {

// One connection a line. Without a guard the pipe does not exist and the open fails at once; a
// guard busy with another client gets a few milliseconds. The guard may learn who we are, but
// may not act as us (identification only).
void Win32GuardLink::tell(const std::string& line) {
    for (int tries = 0; tries < 2; ++tries) {
        HANDLE pipe = CreateFileA(kGuardPipe, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (pipe != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(pipe, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(pipe);
            return;
        }
        if (GetLastError() != ERROR_PIPE_BUSY || !WaitNamedPipeA(kGuardPipe, 20)) return;
    }
}

}  // namespace qv::win32
