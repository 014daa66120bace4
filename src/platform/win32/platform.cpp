#include "platform/win32/platform.h"

#include "platform/win32/lazy.h"

namespace qv::win32 {

Win32Platform::Win32Platform(StartupTrace* trace)
    : windowing(system), platform_{clock,     timers,    windowing, dialogs,    registry, tray,
                                   system,    processes, keyboard,  windowLock, sound,    shutdown,
                                   timeOfDay, pictures,  guard,     history} {
    windowing.attachLock(windowLock);
    if (trace && trace->on()) {
        windowing.traceTo(trace);
        tray.traceTo(trace);
    }
}

Win32Platform::~Win32Platform() {
    endCom();  // COM starts with the first picture, file dialog or document that needs it
}

int Win32Platform::run() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // Tab, Enter and Escape work in every form the way they do in a dialog box.
        if (HWND form = windowing.formRootOf(msg.hwnd))
            if (IsDialogMessageA(form, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    keyboard.stop();  // the core's filter is not called once the program is done
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

}  // namespace qv::win32
