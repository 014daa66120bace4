// System functions looked up on first use.
#include <string>

#include "check.h"
#include "platform/win32/lazy.h"

using qv::win32::systemProc;

CHECK_CASE(lazy_functions_come_only_from_the_system_folder) {
    // A DLL planted beside the program is never taken for a system DLL of that name.
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string planted(exe);
    planted = planted.substr(0, planted.rfind('\\') + 1) + "qv-planted.dll";
    CHECK(CopyFileA(exe, planted.c_str(), FALSE));
    HMODULE direct = LoadLibraryA(planted.c_str());
    CHECK(direct != nullptr);  // it would load by its path
    if (direct) FreeLibrary(direct);
    systemProc("qv-planted.dll", "WinMain");
    CHECK(GetModuleHandleA("qv-planted.dll") == nullptr);
    DeleteFileA(planted.c_str());

    CHECK(systemProc("kernel32.dll", "GetTickCount") != nullptr);
    CHECK(systemProc("kernel32.dll", "NoSuchFunction") == nullptr);
    CHECK(systemProc("qv-no-such.dll", "f") == nullptr);
    CHECK(systemProc("qv-no-such.dll", "f") == nullptr);  // asked again after the failure
}
