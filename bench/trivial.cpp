// A trivial Windows program to hold Quorvane's footprint against: one window with a label and a
// message loop, nothing else. Started with "tick" its label shows the time, updated once a
// second, as a running plan's count-down is.
#include <windows.h>

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

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    const bool tick = lstrcmpA(commandLine, "tick") == 0;
    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "QvTrivial";
    if (!RegisterClassA(&wc)) return 1;
    HWND w = CreateWindowA("QvTrivial", tick ? "Trivial ticking" : "Trivial", WS_OVERLAPPEDWINDOW,
                           CW_USEDEFAULT, CW_USEDEFAULT, 320, 120, nullptr, nullptr, instance, nullptr);
    if (!w) return 1;
    g_label =
        CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 12, 12, 200, 24, w, nullptr, instance, nullptr);
    if (tick) SetTimer(w, 1, 1000, nullptr);
    ShowWindow(w, show);
    UpdateWindow(w);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return static_cast<int>(m.wParam);
}
