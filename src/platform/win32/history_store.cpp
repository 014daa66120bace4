#include "platform/win32/history_store.h"

#include <windows.h>
// after windows.h
#include <sddl.h>
#include <shlobj.h>

namespace qv::win32 {

namespace {

std::wstring folderPath(int csidl) {
    wchar_t path[MAX_PATH];
    if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) return {};
    return std::wstring(path) + L"\\Quorvane";
}

// Written through to the disk before the call returns.
bool writeAll(HANDLE f, const std::string& data) {
    DWORD n = 0;
    const bool ok =
        WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &n, nullptr) && n == data.size();
    return FlushFileBuffers(f) && ok;
}

}  // namespace

std::string Win32HistoryFile::tail(size_t limit, bool* whole) {
    *whole = true;
    if (path_.empty()) return {};
    // Shared for deleting too: a reader never keeps the user from deleting the file.
    HANDLE f =
        CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    LARGE_INTEGER size{};
    std::string data;
    if (GetFileSizeEx(f, &size)) {
        const uint64_t total = static_cast<uint64_t>(size.QuadPart);
        const uint64_t from = total > limit ? total - limit : 0;
        *whole = from == 0;
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(from);
        data.resize(static_cast<size_t>(total - from));
        DWORD n = 0;
        if (!SetFilePointerEx(f, at, nullptr, FILE_BEGIN) ||
            !ReadFile(f, data.data(), static_cast<DWORD>(data.size()), &n, nullptr))
            n = 0;
        data.resize(n);
    }
    CloseHandle(f);
    return data;
}

bool Win32HistoryFile::append(const std::string& line) {
    if (path_.empty()) return false;
    CreateDirectoryW(path_.substr(0, path_.find_last_of(L'\\')).c_str(), nullptr);
    HANDLE f = CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    const bool ok = writeAll(f, line);
    CloseHandle(f);
    return ok;
}

// Written beside and moved over the old one: a power cut leaves one of them whole.
bool Win32HistoryFile::replace(const std::string& text) {
    if (path_.empty()) return false;
    CreateDirectoryW(path_.substr(0, path_.find_last_of(L'\\')).c_str(), nullptr);
    const std::wstring temp = path_ + L".new";
    HANDLE f = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    const bool ok = writeAll(f, text);
    CloseHandle(f);
    return ok && MoveFileExW(temp.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

std::wstring guardHistoryName(const std::wstring& sid) {
    return L"history-" + sid + L".txt";
}

std::wstring tokenUserSid(void* token) {
    alignas(TOKEN_USER) BYTE buffer[256];
    DWORD n = 0;
    if (!GetTokenInformation(token, TokenUser, buffer, sizeof(buffer), &n)) return {};
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) return {};
    std::wstring sid(text);
    LocalFree(text);
    return sid;
}

IHistoryFile& Win32HistoryStore::userFile() {
    if (!user_) {
        const std::wstring folder = folderPath(CSIDL_LOCAL_APPDATA);
        user_ = std::make_unique<Win32HistoryFile>(folder.empty() ? folder : folder + L"\\history.txt");
    }
    return *user_;
}

std::string Win32HistoryStore::guardCopy(size_t limit) {
    const std::wstring folder = folderPath(CSIDL_COMMON_APPDATA);
    HANDLE token = nullptr;
    if (folder.empty() || !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    const std::wstring sid = tokenUserSid(token);
    CloseHandle(token);
    if (sid.empty()) return {};
    bool whole = false;
    return Win32HistoryFile(folder + L"\\" + guardHistoryName(sid)).tail(limit, &whole);
}

}  // namespace qv::win32
