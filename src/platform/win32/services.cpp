#include "platform/win32/services.h"

#include <windows.h>
// after windows.h
#include <mmsystem.h>
#include <ole2.h>
#include <olectl.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

#include "platform/win32/foreground.h"
#include "platform/win32/lazy.h"

namespace qv::win32 {

namespace {

// Enables one privilege of the program's own token; false when it is not held.
bool enablePrivilege(const char* name) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
    TOKEN_PRIVILEGES tp{};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool ok = LookupPrivilegeValueA(nullptr, name, &tp.Privileges[0].Luid) &&
              AdjustTokenPrivileges(token, FALSE, &tp, sizeof(tp), nullptr, nullptr) &&
              GetLastError() == ERROR_SUCCESS;
    CloseHandle(token);
    return ok;
}

bool startProcess(const std::string& commandLine, int showCommand, PROCESS_INFORMATION* pi) {
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    if (showCommand >= 0) {
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = static_cast<WORD>(showCommand);
    }
    // CreateProcessA may write into the command line, so it gets its own copy.
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    return CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, pi) != FALSE;
}

}  // namespace

// ---- processes ----

bool Win32Processes::start(const std::string& commandLine, int showCommand, ProcessInfo* out,
                           uint32_t* error) {
    PROCESS_INFORMATION pi{};
    if (!startProcess(commandLine, showCommand, &pi)) {
        if (error) *error = GetLastError();
        return false;
    }
    CloseHandle(pi.hThread);
    // Started from the lock screen, which is in the foreground: the program may bring its own
    // window to the foreground, as it would had the user started it.
    AllowSetForegroundWindow(pi.dwProcessId);
    if (out) {
        out->process = reinterpret_cast<uintptr_t>(pi.hProcess);
        out->pid = pi.dwProcessId;
    } else {
        CloseHandle(pi.hProcess);
    }
    return true;
}

uint32_t Win32Processes::wait(uintptr_t process, uint32_t timeoutMs) {
    if (!process) return WAIT_FAILED;
    return WaitForSingleObject(reinterpret_cast<HANDLE>(process), timeoutMs);
}

void Win32Processes::closeHandle(uintptr_t handle) {
    if (handle) CloseHandle(reinterpret_cast<HANDLE>(handle));
}

// Top-level windows in the window manager's order; the first of the process wins. Only shown
// windows count: a program's hidden helper windows (the input-method window that every GUI
// thread gets, message sinks) come before its main window and could never be used.
uintptr_t Win32Processes::findWindowOf(uint32_t pid) {
    if (pid == 0) return 0;
    for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD owner = 0;
        if (!GetWindowThreadProcessId(w, &owner)) continue;
        if (owner == pid && IsWindowVisible(w)) return reinterpret_cast<uintptr_t>(w);
    }
    return 0;
}

// Called again every second while the program runs, so a refusal is mended on the next call.
void Win32Processes::setForeground(uintptr_t window) {
    bringToFront(reinterpret_cast<HWND>(window));
}

// A window already shown maximized is not told again: the lock screen's clock asks every second,
// and each time the other program would be sent messages for nothing.
void Win32Processes::showWindow(uintptr_t window, int showCommand) {
    HWND h = reinterpret_cast<HWND>(window);
    if (showCommand == SW_MAXIMIZE && IsZoomed(h) && IsWindowVisible(h)) return;
    ShowWindow(h, showCommand);
}

// Through the handle recorded at the start, so that a process that was given the id of an ended
// one is never hit. An ended process is not terminated again.
bool Win32Processes::terminate(uintptr_t process) {
    if (!process) return false;
    enablePrivilege("SeDebugPrivilege");  // as for ending processes of other users
    HANDLE h = reinterpret_cast<HANDLE>(process);
    if (WaitForSingleObject(h, 0) != WAIT_TIMEOUT) return false;
    return TerminateProcess(h, 0) != FALSE;
}

// ---- sound ----

namespace {
// winmm is loaded with the first sound (see lazy.h).
LazyProc<decltype(&mciSendStringA)> mciSendString("winmm.dll", "mciSendStringA");
}  // namespace

long Win32Sound::mciSend(const std::string& command) {
    auto send = mciSendString.get();
    if (!send) return MCIERR_CANNOT_LOAD_DRIVER;
    return static_cast<long>(send(command.c_str(), nullptr, 0, nullptr));
}

std::string Win32Sound::shortPath(const std::string& path) {
    const DWORD need = GetShortPathNameA(path.c_str(), nullptr, 0);
    if (need == 0) return {};
    std::vector<char> buf(need + 1, '\0');
    const DWORD n = GetShortPathNameA(path.c_str(), buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0 || n >= buf.size()) return {};
    return std::string(buf.data(), n);
}

// ---- shutdown ----

bool Win32Shutdown::run(const std::string& commandLine) {
    PROCESS_INFORMATION pi{};
    if (!startProcess(commandLine, SW_SHOWMINIMIZED, &pi)) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

// ---- time of day ----

bool Win32TimeOfDay::setTimeOfDay(int hour, int minute, int second) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return false;
    SYSTEMTIME t;
    GetLocalTime(&t);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    t.wMilliseconds = 0;
    enablePrivilege("SeSystemtimePrivilege");  // held but disabled by default
    return SetLocalTime(&t) != FALSE;
}

bool Win32TimeOfDay::canSetTime() {
    return enablePrivilege("SeSystemtimePrivilege");
}

// The whole record of the zone (its key name, biases and daylight rules), zeroed first so that two
// reads of one zone are equal byte for byte.
std::string Win32TimeOfDay::timeZone() const {
    DYNAMIC_TIME_ZONE_INFORMATION z;
    ZeroMemory(&z, sizeof z);
    if (GetDynamicTimeZoneInformation(&z) == TIME_ZONE_ID_INVALID) return {};
    return std::string(reinterpret_cast<const char*>(&z), sizeof z);
}

bool Win32TimeOfDay::setTimeZone(const std::string& zone) {
    if (zone.size() != sizeof(DYNAMIC_TIME_ZONE_INFORMATION)) return false;
    DYNAMIC_TIME_ZONE_INFORMATION z;
    std::memcpy(&z, zone.data(), sizeof z);
    enablePrivilege("SeTimeZonePrivilege");  // standard accounts hold it, disabled by default
    return SetDynamicTimeZoneInformation(&z) != FALSE;
}

void Win32TimeOfDay::pumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {  // leave it for the main loop
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// ---- pictures ----

namespace {

// The whole file in movable global memory, for a stream over it; nullptr when unreadable.
HGLOBAL readFile(const std::string& path, DWORD* size) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return nullptr;
    const DWORD n = GetFileSize(f, nullptr);
    HGLOBAL mem = n && n != INVALID_FILE_SIZE ? GlobalAlloc(GMEM_MOVEABLE, n) : nullptr;
    bool ok = false;
    if (mem) {
        DWORD got = 0;
        void* p = GlobalLock(mem);
        ok = p && ReadFile(f, p, n, &got, nullptr) && got == n;
        GlobalUnlock(mem);
    }
    CloseHandle(f);
    if (!ok && mem) mem = GlobalFree(mem);
    *size = n;
    return mem;
}

// OLE is loaded with the first picture (see lazy.h).
LazyProc<decltype(&CreateStreamOnHGlobal)> createStreamOnHGlobal("ole32.dll", "CreateStreamOnHGlobal");
LazyProc<decltype(&OleLoadPicture)> oleLoadPicture("oleaut32.dll", "OleLoadPicture");

}  // namespace

PictureHandle Win32Pictures::load(const std::string& path, int width, int height) {
    DWORD size = 0;
    HGLOBAL mem = readFile(path, &size);
    if (!mem) return 0;  // a missing file needs no OLE
    auto createStream = createStreamOnHGlobal.get();
    auto loadPicture = oleLoadPicture.get();
    IStream* stream = nullptr;
    if (!createStream || !loadPicture || FAILED(createStream(mem, TRUE, &stream))) {
        GlobalFree(mem);
        return 0;
    }
    startCom();  // decoders of some formats are COM objects
    IPicture* pic = nullptr;
    const HRESULT hr =
        loadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture, reinterpret_cast<void**>(&pic));
    stream->Release();
    if (FAILED(hr) || !pic) return 0;

    // The picture is rendered once into a bitmap of the asked size (or its own size in pixels),
    // so the handle stays valid on its own and paints with a plain blit.
    OLE_XSIZE_HIMETRIC hmW = 0;
    OLE_YSIZE_HIMETRIC hmH = 0;
    pic->get_Width(&hmW);
    pic->get_Height(&hmH);
    HDC screen = GetDC(nullptr);
    if (width <= 0) width = MulDiv(hmW, GetDeviceCaps(screen, LOGPIXELSX), 2540);
    if (height <= 0) height = MulDiv(hmH, GetDeviceCaps(screen, LOGPIXELSY), 2540);
    HBITMAP bmp = width > 0 && height > 0 ? CreateCompatibleBitmap(screen, width, height) : nullptr;
    if (bmp) {
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, bmp);
        RECT all{0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        // Picture coordinates run bottom-up in HIMETRIC.
        pic->Render(dc, 0, 0, width, height, 0, hmH, hmW, -hmH, nullptr);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    ReleaseDC(nullptr, screen);
    pic->Release();
    return reinterpret_cast<PictureHandle>(bmp);
}

void Win32Pictures::release(PictureHandle picture) {
    if (!picture) return;
    HGDIOBJ h = reinterpret_cast<HGDIOBJ>(picture);
    if (GetObjectType(h) == OBJ_BITMAP)
        DeleteObject(h);
    else
        DestroyIcon(reinterpret_cast<HICON>(picture));
}

PictureHandle Win32Pictures::iconOf(const std::string& path) {
    HICON large = nullptr;
    if (ExtractIconExA(path.c_str(), 0, &large, nullptr, 1) == 0 || !large) return 0;
    return reinterpret_cast<PictureHandle>(large);
}

}  // namespace qv::win32
