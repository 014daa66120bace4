// The registry, the machine facts, the dialogs' filter, the tray and the other services.
#include <cstring>
#include <fstream>

#include "check.h"
#include "platform/win32/dialogs.h"
#include "platform/win32/registry.h"
#include "platform/win32/services.h"
#include "platform/win32/system.h"
#include "platform/win32/tray.h"

using namespace qv;
using namespace qv::win32;

namespace {

const char kTestKey[] = "Software\\QuorvaneChecks";

std::string exePath() {
    char buf[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    return std::string(buf, n);
}

// The command line that runs this program as a child that sleeps for ms and exits with code 7.
std::string sleeper(int ms) {
    std::string cmd = "\"";
    cmd += exePath();
    cmd += "\" --sleep ";
    cmd += std::to_string(ms);
    return cmd;
}

long writeSz(Win32Registry& r, RegKey k, const char* name, const std::string& s) {
    return r.setValue(k, name, reg::kSz, reinterpret_cast<const uint8_t*>(s.c_str()),
                      static_cast<uint32_t>(s.size() + 1));
}

}  // namespace

CHECK_CASE(registry_values_round_trip_under_the_current_user) {
    Win32Registry r;
    RegKey k = 0;
    CHECK_EQ(r.createKey(reg::kCurrentUser, std::string(kTestKey) + "\\Controls", reg::kKeyAllAccess, &k),
             0L);
    CHECK(k != 0);
    CHECK_EQ(writeSz(r, k, "ShutDown", "abc"), 0L);
    CHECK_EQ(writeSz(r, k, nullptr, ""), 0L);  // the unnamed value, empty

    // The size alone, then the data; names are found whatever their case.
    uint32_t type = 0, size = 0;
    CHECK_EQ(r.queryValue(k, "Shutdown", &type, nullptr, &size), 0L);
    CHECK_EQ(type, reg::kSz);
    CHECK_EQ(size, 4u);
    char data[8] = {};
    size = sizeof(data);
    CHECK_EQ(r.queryValue(k, "SHUTDOWN", &type, reinterpret_cast<uint8_t*>(data), &size), 0L);
    CHECK_EQ(std::string(data), std::string("abc"));
    size = 0;
    CHECK_EQ(r.queryValue(k, nullptr, &type, nullptr, &size), 0L);
    CHECK_EQ(size, 1u);
    size = 0;
    CHECK_EQ(r.queryValue(k, "Missing", &type, nullptr, &size), reg::kFileNotFound);

    uint32_t maxName = 0, maxData = 0;
    CHECK_EQ(r.queryInfo(k, &maxName, &maxData), 0L);
    CHECK_EQ(maxName, 8u);
    CHECK(maxData >= 4u);  // some systems count the stored (wide) size: never less

    // Enumeration keeps the spelling the value was created with.
    bool seen = false;
    for (uint32_t i = 0;; ++i) {
        char name[16];
        uint32_t nameLen = sizeof(name), dataLen = sizeof(data);
        if (r.enumValue(k, i, name, &nameLen, &type, reinterpret_cast<uint8_t*>(data), &dataLen) != 0) break;
        if (std::string(name, nameLen) == "ShutDown") seen = dataLen == 4 && std::string(data) == "abc";
    }
    CHECK(seen);

    CHECK_EQ(r.deleteValue(k, "shutdown"), 0L);
    CHECK_EQ(r.deleteValue(k, "shutdown"), reg::kFileNotFound);
    CHECK_EQ(r.closeKey(k), 0L);

    // A section goes with its values; an empty subkey name is refused, not taken as the key itself.
    RegKey app = 0;
    CHECK_EQ(r.openKey(reg::kCurrentUser, kTestKey, reg::kKeyAllAccess, &app), 0L);
    CHECK_EQ(r.deleteKey(app, ""), reg::kInvalidParameter);
    CHECK_EQ(r.deleteKey(app, "Controls"), 0L);
    CHECK_EQ(r.closeKey(app), 0L);
    RegKey gone = 123;
    CHECK_EQ(r.openKey(reg::kCurrentUser, std::string(kTestKey) + "\\Controls", reg::kKeyRead, &gone),
             reg::kFileNotFound);
    CHECK_EQ(gone, RegKey{0});
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
}

CHECK_CASE(program_folder_and_screen_in_twips) {
    CHECK_EQ(Win32System::folderOf("C:\\Quorvane 1.0.exe"), std::string("C:\\"));
    CHECK_EQ(Win32System::folderOf("C:\\Program Files\\Quorvane\\Quorvane 1.0.exe"),
             std::string("C:\\Program Files\\Quorvane"));
    CHECK_EQ(Win32System::folderOf("\\\\server\\share\\q.exe"), std::string("\\\\server\\share"));

    Win32System s;
    const std::string exe = exePath();
    CHECK_EQ(s.programFolder(), exe.substr(0, exe.find_last_of('\\')));
    CHECK_EQ(s.twipsPerPixelX() * s.dpiX(), 1440);  // 96, 120 and 144 dpi divide evenly
    CHECK_EQ(s.screenWidthTwips(), GetSystemMetrics(SM_CXSCREEN) * s.twipsPerPixelX());
    CHECK_EQ(s.screenHeightTwips(), GetSystemMetrics(SM_CYSCREEN) * s.twipsPerPixelY());
    s.loadLibrary(s.programFolder() + "\\no-such-library.dll");  // silently nothing
}

CHECK_CASE(file_dialog_filter_is_nul_separated) {
    const std::string f = Win32Dialogs::filterForDialog("Pictures |*.jpg;*.bmp;*.gif");
    CHECK_EQ(f, std::string("Pictures \0*.jpg;*.bmp;*.gif\0\0", 29));
    const std::string two = Win32Dialogs::filterForDialog("A|*.a|B|*.b");
    CHECK_EQ(two, std::string("A\0*.a\0B\0*.b\0\0", 13));
}

CHECK_CASE(tray_icon_comes_and_goes_and_claims_its_window) {
    Win32Tray tray;
    HWND w = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    TrayRecord r;
    r.window = reinterpret_cast<uintptr_t>(w);
    r.id = 999;
    r.flags = 7;
    r.callbackMessage = 512;
    r.icon = 1;
    r.tip = std::string(300, 'x');  // longer than the field: cut, not overrun
    CHECK(tray.notify(TrayOp::Add, r));
    CHECK(Win32Tray::isCallbackWindow(r.window));
    TrayRecord balloon;
    balloon.window = r.window;
    balloon.id = 999;
    balloon.flags = 16;
    balloon.info = "Click on the icon to begin";
    balloon.infoTitle = "Quorvane";
    balloon.infoFlags = 1;
    CHECK(tray.notify(TrayOp::Modify, balloon));
    CHECK(tray.notify(TrayOp::Delete, r));
    CHECK(!Win32Tray::isCallbackWindow(r.window));
    DestroyWindow(w);
}

CHECK_CASE(processes_start_wait_find_and_terminate) {
    Win32Processes p;
    ProcessInfo child;
    CHECK(p.start(sleeper(20000), -1, &child));
    CHECK(child.process != 0 && child.pid != 0);
    CHECK_EQ(p.wait(child.process, 0), 258u);  // still running
    CHECK(p.terminate(child.process));
    CHECK_EQ(p.wait(child.process, 5000), 0u);
    DWORD code = 0;
    GetExitCodeProcess(reinterpret_cast<HANDLE>(child.process), &code);
    CHECK_EQ(code, 0ul);
    CHECK(!p.terminate(child.process));  // ended: not terminated again
    p.closeHandle(child.process);

    CHECK(p.start(sleeper(10), 7, &child));
    CHECK_EQ(p.wait(child.process, 10000), 0u);
    GetExitCodeProcess(reinterpret_cast<HANDLE>(child.process), &code);
    CHECK_EQ(code, 7ul);
    p.closeHandle(child.process);
    CHECK(!p.start("C:\\no\\such\\program.exe", -1, &child));

    // Only a shown window counts as the program's window.
    HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const uintptr_t before = p.findWindowOf(GetCurrentProcessId());
    CHECK(before != reinterpret_cast<uintptr_t>(w));
    ShowWindow(w, SW_SHOWNA);
    CHECK(p.findWindowOf(GetCurrentProcessId()) != 0);
    CHECK(IsWindowVisible(reinterpret_cast<HWND>(p.findWindowOf(GetCurrentProcessId()))));
    CHECK_EQ(p.findWindowOf(0), 0u);
    DestroyWindow(w);
}

CHECK_CASE(keyboard_hook_replaces_the_earlier_one) {
    Win32KeyboardHook k;
    int first = 0, second = 0;
    uint32_t error = 99;
    const uintptr_t a = k.install([&](const KeyEvent& e) { return e.vkCode == VK_F24 && ++first; }, &error);
    CHECK(a != 0);
    CHECK_EQ(error, 0u);
    const uintptr_t b = k.install([&](const KeyEvent& e) { return e.vkCode == VK_F24 && ++second; }, &error);
    CHECK(b != 0);
    auto press = [] {
        keybd_event(VK_F24, 0, 0, 0);
        keybd_event(VK_F24, 0, KEYEVENTF_KEYUP, 0);
        qvcheck::pumpFor(200);
    };
    press();
    CHECK_EQ(first, 0);   // the first hook is gone, not left behind
    CHECK_EQ(second, 2);  // press and release both seen
    k.uninstall(a);       // an old handle: the hook in place stays
    press();
    CHECK_EQ(second, 4);
    k.uninstall(b);
    press();
    CHECK_EQ(second, 4);
    CHECK(!k.keyDown(VK_F24));
}

CHECK_CASE(sound_short_paths) {
    Win32Sound s;
    CHECK(!s.shortPath(exePath()).empty());
    CHECK_EQ(s.shortPath("C:\\no\\such\\sound.wav"), std::string());
    CHECK(s.mciSend("close voice1") != 0);  // nothing open by that name
}

CHECK_CASE(pictures_load_at_natural_or_asked_size) {
    // A 3 x 2 24-bit bitmap file.
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "qv-check.bmp";
    {
        BITMAPFILEHEADER fh{};
        BITMAPINFOHEADER ih{};
        const int stride = 12;  // 3 pixels x 3 bytes, padded to 4
        ih.biSize = sizeof(ih);
        ih.biWidth = 3;
        ih.biHeight = 2;
        ih.biPlanes = 1;
        ih.biBitCount = 24;
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof(fh) + sizeof(ih);
        fh.bfSize = fh.bfOffBits + stride * 2;
        std::ofstream f(path, std::ios::binary);
        f.write(reinterpret_cast<const char*>(&fh), sizeof(fh));
        f.write(reinterpret_cast<const char*>(&ih), sizeof(ih));
        const std::string pixels(stride * 2, '\x7f');
        f.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    }
    Win32Pictures pics;
    auto size = [](PictureHandle h) {
        BITMAP bm{};
        GetObjectA(reinterpret_cast<HGDIOBJ>(h), sizeof(bm), &bm);
        return std::make_pair(bm.bmWidth, bm.bmHeight);
    };
    const PictureHandle natural = pics.load(path, 0, 0);
    CHECK(natural != 0);
    CHECK(size(natural) == std::make_pair(3L, 2L));
    const PictureHandle big = pics.load(path, 40, 30);
    CHECK(size(big) == std::make_pair(40L, 30L));
    pics.release(natural);
    pics.release(big);
    CHECK_EQ(pics.load(std::string(dir) + "qv-missing.jpg", 0, 0), PictureHandle{0});
    std::ofstream(std::string(dir) + "qv-not-a-picture.gif") << "plain text";
    CHECK_EQ(pics.load(std::string(dir) + "qv-not-a-picture.gif", 0, 0), PictureHandle{0});
    DeleteFileA(path.c_str());
    DeleteFileA((std::string(dir) + "qv-not-a-picture.gif").c_str());

    const PictureHandle icon = pics.iconOf(exePath());  // this program carries the window icon
    CHECK(icon != 0);
    pics.release(icon);
    CHECK_EQ(pics.iconOf("C:\\no\\such\\game.exe"), PictureHandle{0});
}
