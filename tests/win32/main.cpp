// Runs every check (or those whose name contains the argument) and prints one line per failure;
// the exit code is the number of failed cases. Child modes play other programs for some checks.
#include "check.h"
// after windows.h
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static int g_failures = 0;

void qvcheck::fail(const char* file, int line, const std::string& what) {
    ++g_failures;
    std::printf("  FAILED %s:%d: %s\n", file, line, what.c_str());
}

void qvcheck::pumpFor(int ms) {
    for (const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
         static_cast<int>(end - GetTickCount()) > 0;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;  // a check that ends a session posts one
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

int main(int argc, char** argv) {
    // Child mode for the process checks: wait a while, then end with code 7.
    if (argc == 3 && std::strcmp(argv[1], "--sleep") == 0) return Sleep(std::atoi(argv[2])), 7;
    // Another program's window for the lock checks: made hidden, shown a moment later, kept a while.
    if (argc == 3 && std::strcmp(argv[1], "--window") == 0) {
        HWND w =
            CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr);
        qvcheck::pumpFor(150);
        ShowWindow(w, SW_SHOWNA);
        qvcheck::pumpFor(std::atoi(argv[2]));
        return 0;
    }
    SetProcessDPIAware();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    int failedCases = 0, run = 0;
    for (const auto& [name, fn] : qvcheck::cases) {
        if (argc == 2 && !std::strstr(name, argv[1])) continue;
        const int before = g_failures;
        std::printf("%s\n", name);
        std::fflush(stdout);
        fn();
        ++run;
        failedCases += g_failures != before;
    }
    std::printf("%d of %d cases failed\n", failedCases, run);
    return failedCases;
}
