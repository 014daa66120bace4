#include "platform/win32/guard.h"

#include <windows.h>

#include "platform/win32/services.h"
// after windows.h
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <userenv.h>
#include <wtsapi32.h>

#include <cstdio>

#include "platform/win32/lazy.h"

namespace qv::win32 {

// One connection a line. Without a guard the pipe does not exist and the open fails at once; a
// guard busy with another client gets a few milliseconds. The pipe admits its users to write data
// only (not to make instances of it), so the open asks for exactly that. The guard may learn who
// we are, but may not act as us (identification only).
void Win32GuardLink::tell(const std::string& line) {
    for (int tries = 0; tries < 2; ++tries) {
        HANDLE pipe = CreateFileA(kGuardPipe, FILE_WRITE_DATA | SYNCHRONIZE, 0, nullptr, OPEN_EXISTING,
                                  SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (pipe != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(pipe, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(pipe);
            return;
        }
        if (GetLastError() != ERROR_PIPE_BUSY || !WaitNamedPipeA(kGuardPipe, 20)) return;
    }
}

// The pipe exists when its instances are free (the wait succeeds) or all busy (it times out).
bool Win32GuardLink::present() {
    return WaitNamedPipeA(kGuardPipe, 1) || GetLastError() != ERROR_FILE_NOT_FOUND;
}

namespace {

// Only the service needs these libraries: Quorvane itself does not load them.
LazyProc<decltype(&WTSQueryUserToken)> wtsQueryUserToken("wtsapi32.dll", "WTSQueryUserToken");
LazyProc<decltype(&CreateEnvironmentBlock)> createEnvironmentBlock("userenv.dll", "CreateEnvironmentBlock");
LazyProc<decltype(&DestroyEnvironmentBlock)> destroyEnvironmentBlock("userenv.dll",
                                                                     "DestroyEnvironmentBlock");

bool userToken(uint32_t session, HANDLE* token) {
    auto query = wtsQueryUserToken.get();
    return query && query(session, token);
}

// The guard's data folder: SYSTEM and the administrators may change it, users may only read it.
// Set on every start, so that a folder a user made before the installation is taken over.
constexpr const wchar_t* kDataFolderSddl = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FR;;;BU)";
constexpr const wchar_t* kControlsKey = L"Software\\Hollowmere\\Tarnwell\\Controls";
constexpr const wchar_t* kRunStateNames[] = {L"Mode", L"GameTimeOn", L"BreakTimeOn", L"FinalTime"};

std::wstring moduleFile() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) return path.substr(0, n);
        path.resize(path.size() * 2);
    }
}

std::wstring imageOf(HANDLE process) {
    wchar_t path[1024];
    DWORD n = 1024;
    return QueryFullProcessImageNameW(process, 0, path, &n) ? std::wstring(path, n) : std::wstring();
}

bool sameFile(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

bool inSession(uint32_t pid, uint32_t session) {
    DWORD s = 0;
    return ProcessIdToSessionId(pid, &s) && s == session;
}

std::string readFile(const std::wstring& path, DWORD limit) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string data(limit, '\0');
    DWORD n = 0;
    if (!ReadFile(f, data.data(), limit, &n, nullptr)) n = 0;
    CloseHandle(f);
    data.resize(n);
    return data;
}

// Written beside and moved over the old one, so a reader finds the old file or the new one whole.
bool replaceFile(const std::wstring& path, const std::string& data) {
    const std::wstring temp = path + L".new";
    HANDLE f = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    const bool ok =
        WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &n, nullptr) && n == data.size();
    CloseHandle(f);
    return ok && MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

// Whether SYSTEM, the administrators or the guard's own account own the file or folder.
bool ownedByGuard(const std::wstring& path) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                              nullptr, nullptr, &sd) != ERROR_SUCCESS)
        return false;
    bool trusted =
        IsWellKnownSid(owner, WinLocalSystemSid) || IsWellKnownSid(owner, WinBuiltinAdministratorsSid);
    HANDLE token = nullptr;
    if (!trusted && OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        alignas(TOKEN_USER) BYTE buffer[256];
        DWORD n = 0;
        if (GetTokenInformation(token, TokenUser, buffer, sizeof(buffer), &n))
            trusted = EqualSid(owner, reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid);
        CloseHandle(token);
    }
    LocalFree(sd);
    return trusted;
}

// Runs f on the session user's HKEY_CURRENT_USER, reached as that user.
template <class F>
bool asSessionUser(uint32_t session, F f) {
    HANDLE token = nullptr;
    if (!userToken(session, &token)) return false;
    bool done = false;
    if (ImpersonateLoggedOnUser(token)) {
        HKEY user = nullptr;
        if (RegOpenCurrentUser(KEY_READ | KEY_WRITE, &user) == ERROR_SUCCESS) {
            done = f(user);
            RegCloseKey(user);
        }
        RevertToSelf();
    }
    CloseHandle(token);
    return done;
}

}  // namespace

Win32GuardSystem::Win32GuardSystem() : program_(moduleFile()) {
    folder_ = program_.substr(0, program_.find_last_of(L'\\'));
    wchar_t common[MAX_PATH];
    if (SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common) != S_OK) return;
    const std::wstring folder = std::wstring(common) + L"\\Quorvane";
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kDataFolderSddl, SDDL_REVISION_1, &sd, nullptr))
        return;
    SECURITY_ATTRIBUTES sa{sizeof(sa), sd, FALSE};
    bool ready = CreateDirectoryW(folder.c_str(), &sa), movedAside = false;
    if (!ready && GetLastError() == ERROR_ALREADY_EXISTS) {
        if (ownedByGuard(folder)) {
            // Its access set again, in case it was changed.
            BOOL present = FALSE, defaulted = FALSE;
            PACL dacl = nullptr;
            GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted);
            SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT,
                                  DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                  nullptr, dacl, nullptr);
            ready = true;
        } else {
            // Any user may make a folder in ProgramData: one made before the installation could hold
            // links that have the guard write elsewhere. It is moved aside and a new one made.
            const std::string tick = std::to_string(GetTickCount64());  // the wide form is 40 KB
            const std::wstring aside = folder + L".moved-" + std::wstring(tick.begin(), tick.end());
            ready = movedAside =
                MoveFileExW(folder.c_str(), aside.c_str(), 0) && CreateDirectoryW(folder.c_str(), &sa);
        }
    }
    LocalFree(sd);
    if (ready) dataFolder_ = folder;
    if (movedAside) log("the data folder belonged to another account and was moved aside");
}

Win32GuardSystem::~Win32GuardSystem() {
    for (const Watched& w : watched_)
        if (w.process) CloseHandle(w.process);
    for (const auto& [pid, process] : started_) CloseHandle(process);
}

std::wstring Win32GuardSystem::file(const wchar_t* name) const {
    return dataFolder_.empty() ? std::wstring() : dataFolder_ + L"\\" + name;
}

// The service runs the same program file: it is never Quorvane itself.
bool Win32GuardSystem::isQuorvane(uint32_t pid, uint32_t session) {
    if (pid == 0 || pid == GetCurrentProcessId() || !inSession(pid, session)) return false;
    HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!p) return false;
    const bool same = sameFile(imageOf(p), program_);
    CloseHandle(p);
    return same;
}

bool Win32GuardSystem::quorvaneRuns(uint32_t session) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return false;
    const std::wstring name = program_.substr(program_.find_last_of(L'\\') + 1);
    PROCESSENTRY32W e{};
    e.dwSize = sizeof(e);
    bool found = false;
    for (BOOL more = Process32FirstW(snap, &e); more && !found; more = Process32NextW(snap, &e))
        found = sameFile(e.szExeFile, name) && isQuorvane(e.th32ProcessID, session);
    CloseHandle(snap);
    return found;
}

std::optional<GuardRunState> Win32GuardSystem::readRunState(uint32_t session) {
    std::string values[4];
    const bool read = asSessionUser(session, [&values](HKEY user) {
        HKEY k = nullptr;
        if (RegOpenKeyExW(user, kControlsKey, 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return false;
        bool all = true;
        for (int i = 0; i < 4 && all; ++i) {
            wchar_t data[32];
            DWORD size = sizeof(data) - sizeof(wchar_t), type = 0;
            all = RegQueryValueExW(k, kRunStateNames[i], nullptr, &type, reinterpret_cast<BYTE*>(data),
                                   &size) == ERROR_SUCCESS &&
                  type == REG_SZ;
            if (!all) break;
            data[size / sizeof(wchar_t)] = L'\0';
            for (const wchar_t* c = data; *c; ++c) values[i] += *c < 128 ? static_cast<char>(*c) : '?';
        }
        RegCloseKey(k);
        return all;
    });
    if (!read) return std::nullopt;
    return GuardRunState{values[0], values[1], values[2], values[3]};
}

void Win32GuardSystem::writeRunState(uint32_t session, const GuardRunState& s) {
    const std::string* values[] = {&s.mode, &s.gameTimeOn, &s.breakTimeOn, &s.finalTime};
    asSessionUser(session, [&values](HKEY user) {
        HKEY k = nullptr;
        if (RegCreateKeyExW(user, kControlsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) !=
            ERROR_SUCCESS)
            return false;
        for (int i = 0; i < 4; ++i) {
            const std::wstring value(values[i]->begin(), values[i]->end());  // digits and a sign
            RegSetValueExW(k, kRunStateNames[i], 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        }
        RegCloseKey(k);
        return true;
    });
}

// As the session's user, on the user's desktop, with the user's environment: a service lives in
// session 0 and reaches a user's desktop only through the user's token.
uint32_t Win32GuardSystem::startQuorvane(uint32_t session) {
    HANDLE token = nullptr;
    if (!userToken(session, &token)) return 0;
    void* environment = nullptr;
    auto create = createEnvironmentBlock.get();
    auto destroy = destroyEnvironmentBlock.get();
    if (!create || !destroy || !create(&environment, token, FALSE)) environment = nullptr;
    std::wstring command = L"\"" + program_ + L"\" /resume";
    wchar_t desktop[] = L"winsta0\\default";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.lpDesktop = desktop;
    PROCESS_INFORMATION pi{};
    const BOOL ok = CreateProcessAsUserW(token, program_.c_str(), command.data(), nullptr, nullptr, FALSE,
                                         CREATE_UNICODE_ENVIRONMENT, environment, folder_.c_str(), &si, &pi);
    if (environment) destroy(environment);
    CloseHandle(token);
    if (!ok) return 0;
    CloseHandle(pi.hThread);
    started_[pi.dwProcessId] = pi.hProcess;
    return pi.dwProcessId;
}

void Win32GuardSystem::watch(uint32_t pid, uint32_t session) {
    for (const Watched& w : watched_)
        if (w.pid == pid && w.session == session) return;
    HANDLE process = nullptr;
    if (auto it = started_.find(pid); it != started_.end()) {
        process = it->second;
        started_.erase(it);
    } else {
        process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    }
    if (watched_.size() >= kMaxWatched) {
        if (process) CloseHandle(process);
        log("too many processes to watch; process " + std::to_string(pid) + " is not watched");
        return;
    }
    watched_.push_back({process, pid, session});
}

void Win32GuardSystem::forget(size_t index) {
    if (watched_[index].process) CloseHandle(watched_[index].process);
    watched_.erase(watched_.begin() + static_cast<std::ptrdiff_t>(index));
}

bool Win32GuardSystem::setTimeOfDay(int hour, int minute, int second) {
    return Win32TimeOfDay().setTimeOfDay(hour, minute, second);
}

void Win32GuardSystem::log(const std::string& line) {
    const std::wstring path = file(L"guard.log");
    if (path.empty()) return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    char stamp[32];
    snprintf(stamp, sizeof(stamp), "%04u-%02u-%02u %02u:%02u:%02u.%03u ", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond, t.wMilliseconds);
    const std::string text = stamp + line.substr(0, 512) + "\r\n";
    HANDLE f = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD n = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
    LARGE_INTEGER size{};
    GetFileSizeEx(f, &size);
    CloseHandle(f);
    if (static_cast<uint64_t>(size.QuadPart) <= kLogLimit) return;
    // Bounded: the newer half stays, from a line's start.
    std::string all = readFile(path, static_cast<DWORD>(kLogLimit * 2));
    const size_t cut = all.find('\n', all.size() - kLogLimit / 2);
    replaceFile(path, cut == std::string::npos ? std::string() : all.substr(cut + 1));
}

void Win32GuardSystem::keep(const std::string& record) {
    const std::wstring path = file(L"guard.state");
    if (!path.empty() && !replaceFile(path, record)) log("the guard's record could not be written");
}

std::string Win32GuardSystem::kept() const {
    const std::wstring path = file(L"guard.state");
    return path.empty() ? std::string() : readFile(path, 64 * 1024);
}

}  // namespace qv::win32
