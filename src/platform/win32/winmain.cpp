// The program's entry point on Windows.
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "engine/app.h"
#include "platform/win32/guard.h"
#include "platform/win32/guard_service.h"
#include "platform/win32/platform.h"

namespace {

// The manifest declares the process DPI aware; systems that read no such manifest entry are told
// here, so that positions in twips convert at the screen's real resolution.
void becomeDpiAware() {
    using SetAware = BOOL(WINAPI*)();
    if (HMODULE user = GetModuleHandleA("user32.dll"))
        if (auto f = reinterpret_cast<SetAware>(
                reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDPIAware"))))
            f();
}

// The switch the program was started with: "/guard" (the service), "/resume" (started again by the
// guard) or "" (a start by the user, the shortcut or the Run value).
std::wstring road() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring first = argv && argc > 1 ? argv[1] : L"";
    LocalFree(argv);
    return first == L"/guard" || first == L"/resume" ? first : L"";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    qv::win32::StartupTrace trace;  // inert unless QV_STARTUP_TRACE names a file
    const std::wstring how = road();
    if (how == L"/guard") return qv::win32::runGuardService();
    // One Quorvane in a session. A second start ends at once; started by the guard, it first asks
    // the running copy to resume a waiting plan at once. The mutex lives until the process ends.
    if (CreateMutexW(nullptr, FALSE, L"Local\\Quorvane") && GetLastError() == ERROR_ALREADY_EXISTS) {
        if (how == L"/resume")
            PostMessageW(HWND_BROADCAST, RegisterWindowMessageA(qv::win32::kResumeNowName), 0, 0);
        return 0;
    }
    becomeDpiAware();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                              ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    trace.stamp("common controls");
    qv::win32::Win32Platform platform(&trace);
    qv::App app(platform.platform());
    app.resumeAtOnce = how == L"/resume";
    qv::ui::Session& session = app.session();
    app.start();
    session.afterEvent();
    return platform.run();  // ends at once when start-up already closed the last window
}
