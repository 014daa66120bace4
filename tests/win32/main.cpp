// Runs every check and prints one line per failure; the exit code is the number of failed cases.
#include "check.h"
// after windows.h
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qvcheck {

namespace {
int g_failures = 0;
}

std::vector<Case>& cases() {
    static std::vector<Case> all;
    return all;
}

void fail(const char* file, int line, const std::string& what) {
    ++g_failures;
    const char* base = std::strrchr(file, '/');
    std::printf("  FAILED %s:%d: %s\n", base ? base + 1 : file, line, what.c_str());
}

bool pumpUntil(const std::function<bool()>& done, int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (!done()) {
        if (static_cast<int>(end - GetTickCount()) <= 0) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;  // a check that ends a session posts one
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

void pumpFor(int ms) {
    pumpUntil([] { return false; }, ms);
}

}  // namespace qvcheck

int main(int argc, char** argv) {
    // Child mode for the process checks: wait a while, then end with the given code.
    if (argc == 3 && std::strcmp(argv[1], "--sleep") == 0) {
        Sleep(static_cast<DWORD>(std::atoi(argv[2])));
        return 7;
    }
    SetProcessDPIAware();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    const char* only = argc == 2 ? argv[1] : nullptr;
    int failedCases = 0, run = 0;
    for (const auto& c : qvcheck::cases()) {
        if (only && !std::strstr(c.name, only)) continue;
        const int before = qvcheck::g_failures;
        std::printf("%s\n", c.name);
        std::fflush(stdout);
        c.fn();
        ++run;
        if (qvcheck::g_failures != before) ++failedCases;
    }
    std::printf("%d of %d cases failed\n", failedCases, run);
    return failedCases;
}
