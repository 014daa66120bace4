// The machine facts, the dialogs' filter, processes, the keyboard hook, pictures and the lookup of
// system functions. The registry is held to its rules by the settings-store cases.
#include <atomic>
#include <fstream>

#include "check.h"
#include "platform/win32/dialogs.h"
#include "platform/win32/keyboard.h"
#include "platform/win32/lazy.h"
#include "platform/win32/services.h"
#include "platform/win32/system.h"

using namespace qv;
using namespace qv::win32;

static std::string exePath() {
    char buf[MAX_PATH];
    return std::string(buf, GetModuleFileNameA(nullptr, buf, MAX_PATH));
}

CHECK_CASE(folders_and_the_file_dialog_filter) {
    const char* folders[][2] = {
        {"C:\\Quorvane 1.0.exe", "C:\\"},
        {"C:\\Program Files\\Quorvane\\Quorvane 1.0.exe", "C:\\Program Files\\Quorvane"},
        {"\\\\server\\share\\q.exe", "\\\\server\\share"}};
    for (auto& [exe, folder] : folders) CHECK_EQ(Win32System::folderOf(exe), std::string(folder));
    CHECK_EQ(Win32Dialogs::filterForDialog("Pictures |*.jpg;*.bmp;*.gif"),
             std::string("Pictures \0*.jpg;*.bmp;*.gif\0\0", 29));
    CHECK_EQ(Win32Dialogs::filterForDialog("A|*.a|B|*.b"), std::string("A\0*.a\0B\0*.b\0\0", 13));
}

CHECK_CASE(processes_wait_terminate_once_and_show_their_windows) {
    Win32Processes p;
    ProcessInfo child;
    CHECK(p.start("\"" + exePath() + "\" --sleep 20000", -1, &child));
    CHECK(p.terminate(child.process));
    CHECK_EQ(p.wait(child.process, 5000), 0u);
    CHECK(!p.terminate(child.process));  // ended: not terminated again
    p.closeHandle(child.process);

    // Only a shown window counts as the program's window.
    HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CHECK(p.findWindowOf(GetCurrentProcessId()) != reinterpret_cast<uintptr_t>(w));
    ShowWindow(w, SW_SHOWNA);
    CHECK(IsWindowVisible(reinterpret_cast<HWND>(p.findWindowOf(GetCurrentProcessId()))));
    CHECK_EQ(p.findWindowOf(0), 0u);
    DestroyWindow(w);
}

static DWORD WINAPI typeF24(void*) {
    keybd_event(VK_F24, 0, 0, 0);
    keybd_event(VK_F24, 0, KEYEVENTF_KEYUP, 0);
    return 0;
}

CHECK_CASE(keyboard_hook_replaces_the_earlier_one_and_answers_while_its_installer_blocks) {
    Win32KeyboardHook k;
    std::atomic<int> seen[2] = {0, 0};
    uint32_t error = 99;
    uintptr_t hooks[2];
    for (int i : {0, 1})
        hooks[i] =
            k.install([&seen, i](const KeyEvent& e) { return e.vkCode == VK_F24 && ++seen[i]; }, &error);
    CHECK(hooks[0] != 0 && error == 0);
    // After each step, the keys (press and release) each hook has seen: the first hook is gone, not
    // left behind; uninstalling with its old handle leaves the hook in place. The keys come from
    // another thread while this one, which installed the hooks, blocks without taking messages.
    for (auto [uninstall, second] : {std::pair{uintptr_t{0}, 2}, {hooks[0], 4}, {hooks[1], 4}}) {
        if (uninstall) k.uninstall(uninstall);
        HANDLE typist = CreateThread(nullptr, 0, typeF24, nullptr, 0, nullptr);
        WaitForSingleObject(typist, 10000);
        CloseHandle(typist);
        for (int ms = 0; ms < 1000 && seen[1] < second; ms += 10) Sleep(10);
        CHECK_EQ(seen[0].load(), 0);
        CHECK_EQ(seen[1].load(), second);
    }
}

CHECK_CASE(what_is_not_a_picture_gives_no_picture) {
    const std::string text = exePath() + ".gif";
    std::ofstream(text) << "plain text";
    Win32Pictures pics;
    CHECK_EQ(pics.load(exePath() + ".missing.jpg", 0, 0), PictureHandle{0});
    CHECK_EQ(pics.load(text, 0, 0), PictureHandle{0});
    DeleteFileA(text.c_str());
}

CHECK_CASE(system_functions_come_only_from_the_system_folder) {
    // A DLL planted beside the program is never taken for a system DLL of that name.
    const std::string exe = exePath(), planted = exe.substr(0, exe.rfind('\\') + 1) + "qv-planted.dll";
    CHECK(CopyFileA(exe.c_str(), planted.c_str(), FALSE));
    CHECK(FreeLibrary(LoadLibraryA(planted.c_str())));  // it would load by its path
    systemProc("qv-planted.dll", "WinMain");
    CHECK(GetModuleHandleA("qv-planted.dll") == nullptr);
    DeleteFileA(planted.c_str());

    CHECK(systemProc("kernel32.dll", "GetTickCount") != nullptr);
    CHECK(systemProc("kernel32.dll", "NoSuchFunction") == nullptr);
    CHECK(systemProc("qv-no-such.dll", "f") == nullptr);
    CHECK(systemProc("qv-no-such.dll", "f") == nullptr);  // asked again after the failure
}
