#include "platform/win32/system.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace qv::win32 {

Win32System::Win32System() {
    // The process is DPI aware (manifest and WinMain), so this is the monitor's real resolution.
    if (HDC dc = GetDC(nullptr)) {
        const int x = GetDeviceCaps(dc, LOGPIXELSX), y = GetDeviceCaps(dc, LOGPIXELSY);
        if (x > 0) dpiX_ = x;
        if (y > 0) dpiY_ = y;
        ReleaseDC(nullptr, dc);
    }
}

std::string Win32System::folderOf(const std::string& fileName) {
    const size_t slash = fileName.find_last_of("\\/");
    if (slash == std::string::npos) return fileName;
    std::string folder = fileName.substr(0, slash);
    // "C:" alone would mean the drive's current directory, not its root.
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';
    return folder;
}

std::string Win32System::programFolder() const {
    // Grow the buffer until the whole name fits: a truncated name would give a wrong folder.
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) return folderOf(std::string(buf.data(), n));
        buf.resize(buf.size() * 2);
        if (buf.size() > 32768) return {};
    }
}

std::string Win32System::systemFolder() const {
    char buf[MAX_PATH + 1] = {};
    const UINT n = GetSystemDirectoryA(buf, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buf, n) : std::string("C:\\Windows\\System32");
}

int Win32System::screenWidthTwips() const {
    return GetSystemMetrics(SM_CXSCREEN) * twipsPerPixelX();
}

int Win32System::screenHeightTwips() const {
    return GetSystemMetrics(SM_CYSCREEN) * twipsPerPixelY();
}

ScreenArea Win32System::virtualScreenTwips() const {
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (w <= 0 || h <= 0) return {0, 0, screenWidthTwips(), screenHeightTwips()};
    return {GetSystemMetrics(SM_XVIRTUALSCREEN) * twipsPerPixelX(),
            GetSystemMetrics(SM_YVIRTUALSCREEN) * twipsPerPixelY(), w * twipsPerPixelX(),
            h * twipsPerPixelY()};
}

// CheckTokenMembership sees the Administrators group only in an elevated token (or with User
// Account Control off); a member running with the filtered token has a limited elevation type.
bool Win32System::userIsAdministrator() const {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    BOOL member = FALSE;
    if (AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                 0, &admins)) {
        if (!CheckTokenMembership(nullptr, admins, &member)) member = FALSE;
        FreeSid(admins);
    }
    if (member) return true;
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    const bool limited = GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size) &&
                         type == TokenElevationTypeLimited;
    CloseHandle(token);
    return limited;
}

void Win32System::loadLibrary(const std::string& path) {
    // A missing or broken library must not bring up the system's error box.
    const UINT old = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    LoadLibraryA(path.c_str());
    SetErrorMode(old);
}

}  // namespace qv::win32

namespace qv::win32 {

// Read from the program's own version record (the fixed part that follows its signature), so the
// About box shows what Windows shows in the file's properties.
std::string Win32System::productVersion() const {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(VS_VERSION_INFO), MAKEINTRESOURCEA(16));
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const auto* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    const DWORD size = found ? SizeofResource(nullptr, found) : 0;
    for (DWORD at = 0; data && at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
        VS_FIXEDFILEINFO info;
        memcpy(&info, data + at, sizeof info);
        if (info.dwSignature == 0xFEEF04BD)
            return std::to_string(HIWORD(info.dwProductVersionMS)) + "." +
                   std::to_string(LOWORD(info.dwProductVersionMS));
    }
    return "";
}

}  // namespace qv::win32
