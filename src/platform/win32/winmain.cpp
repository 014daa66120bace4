// The program's entry point on Windows.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "engine/app.h"
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

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    qv::win32::StartupTrace trace;  // inert unless QV_STARTUP_TRACE names a file
    becomeDpiAware();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                              ICC_TAB_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    trace.stamp("common controls");
    qv::win32::Win32Platform platform(&trace);
    qv::App app(platform.platform());
    qv::ui::Session& session = app.session();
    app.start();
    session.afterEvent();
    return platform.run();  // ends at once when start-up already closed the last window
}
