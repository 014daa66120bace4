// A stand-in game for the end-to-end cases. Quorvane starts a listed program with nothing but its
// path, so this program takes its behaviour from files beside it and reports through them:
//
//   <folder>\<name>.log  gets "started<TAB>pid<TAB>current folder<TAB>command line" at start,
//                        "clicked" for each press of the window's "Play" button and "closed"
//                        when the window is closed, then "ended<TAB>Unix time" as it returns (a
//                        process ended from outside writes neither)
//   <folder>\<name>.ini  optional; "[game] delay=<ms>" shows the window that long after the start;
//                        with "window=0" it shows none and ends after the delay, unlogged
//
// The window's caption is "Test game <name>"; its icon (resource 1) is a green square.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const int kPlay = 100;
std::string g_log;

void record(const std::string& line) {
    HANDLE f = CreateFileA(g_log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(f, text.data(), (DWORD)text.size(), &written, nullptr);
    CloseHandle(f);
}

LRESULT CALLBACK gameProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            if (LOWORD(wp) == kPlay && HIWORD(wp) == BN_CLICKED) record("clicked");
            return 0;
        case WM_CLOSE:
            record("closed");
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH] = {}, folder[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    GetCurrentDirectoryA(MAX_PATH, folder);
    std::string base = path;
    base = base.substr(0, base.rfind('.'));
    std::string name = base.substr(base.rfind('\\') + 1);
    g_log = base + ".log";
    record("started\t" + std::to_string(GetCurrentProcessId()) + "\t" + folder + "\t" + GetCommandLineA());

    const std::string ini = base + ".ini";
    Sleep(GetPrivateProfileIntA("game", "delay", 0, ini.c_str()));
    if (!GetPrivateProfileIntA("game", "window", 1, ini.c_str())) return 0;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = gameProc;
    wc.hInstance = inst;
    wc.hIcon = LoadIconA(inst, MAKEINTRESOURCEA(1));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "QvTestGame";
    RegisterClassA(&wc);
    HWND h = CreateWindowExA(0, wc.lpszClassName, ("Test game " + name).c_str(), WS_OVERLAPPEDWINDOW, 100,
                             100, 400, 300, nullptr, nullptr, inst, nullptr);
    CreateWindowExA(0, "Button", "Play", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 120, 40, h,
                    (HMENU)(INT_PTR)kPlay, inst, nullptr);
    ShowWindow(h, SW_SHOWNORMAL);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    // Stamped as the process ends: under Wine the window's end holds this thread for about 2 s.
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    ULONGLONG t = ((ULONGLONG)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
    char now[32];
    snprintf(now, sizeof now, "%.3f", (double)(t - 116444736000000000ULL) / 1e7);
    record(std::string("ended\t") + now);
    return 0;
}
