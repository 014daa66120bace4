// A trivial Windows program to hold Quorvane's footprint against: one window with a label and a
// message loop, nothing else. Started with "tick" its label shows the time, updated once a
// second, as a running plan's count-down is. Started with "tray" it shows no window but one
// notification icon with a balloon, as Quorvane does at start-up.
#include <windows.h>
// after windows.h
#include <shellapi.h>

namespace {

HWND g_label = nullptr;

LRESULT CALLBACK windowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_TIMER: {
            SYSTEMTIME t;
            GetLocalTime(&t);
            char text[16];
            wsprintfA(text, "%2u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
            SetWindowTextA(g_label, text);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

// The icon and its balloon on a hidden window. The shell is loaded here, so that the window
// baseline links only what it did before.
bool addTrayIcon(HWND w) {
    using Notify = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);
    HMODULE shell = LoadLibraryA("shell32.dll");
    auto notify =
        shell ? reinterpret_cast<Notify>(reinterpret_cast<void*>(GetProcAddress(shell, "Shell_NotifyIconA")))
              : nullptr;
    if (!notify) return false;
    NOTIFYICONDATAA nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = w;
    nid.uID = 1;
    nid.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP | NIF_INFO;
    nid.uCallbackMessage = WM_APP;
    nid.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    lstrcpyA(nid.szTip, "Trivial tray");
    lstrcpyA(nid.szInfo, "A balloon");
    lstrcpyA(nid.szInfoTitle, "Trivial");
    nid.dwInfoFlags = NIIF_INFO;
    return notify(NIM_ADD, &nid) != FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    const bool tick = lstrcmpA(commandLine, "tick") == 0, tray = lstrcmpA(commandLine, "tray") == 0;
    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "QvTrivial";
    if (!RegisterClassA(&wc)) return 1;
    HWND w = CreateWindowA("QvTrivial",
                           tick   ? "Trivial ticking"
                           : tray ? "Trivial tray"
                                  : "Trivial",
                           WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 320, 120, nullptr, nullptr,
                           instance, nullptr);
    if (!w) return 1;
    if (tray) {
        if (!addTrayIcon(w)) return 1;
    } else {
        g_label = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 12, 12, 200, 24, w, nullptr, instance,
                                nullptr);
        if (tick) SetTimer(w, 1, 1000, nullptr);
        ShowWindow(w, show);
        UpdateWindow(w);
    }
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return static_cast<int>(m.wParam);
}
