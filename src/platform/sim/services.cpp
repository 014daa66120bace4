#include "platform/sim/services.h"

#include <cstdio>

namespace qv::sim {

bool SimProcesses::start(const std::string& commandLine, int showCommand, ProcessInfo* out) {
    if (missing.count(commandLine)) return false;
    Proc p{nextPid_, commandLine, showCommand};
    nextPid_ += 4;
    if (windowOnStart) p.window = 0x90000 + p.pid;
    procs.push_back(p);
    if (out) *out = ProcessInfo{0x8000 + p.pid, p.pid};
    return true;
}

uint32_t SimProcesses::wait(uintptr_t process, uint32_t) {
    for (auto& p : procs)
        if (0x8000 + p.pid == process) return p.running ? 258 : 0;
    return 0xFFFFFFFF;
}

uintptr_t SimProcesses::findWindowOf(uint32_t pid) {
    for (auto& p : procs)
        if (p.pid == pid && p.running) return p.window;
    return 0;
}

uint32_t SimProcesses::windowProcess(uintptr_t window) {
    for (auto& p : procs)
        if (p.window == window && window) return p.pid;
    return 0;
}

bool SimProcesses::terminate(uint32_t pid) {
    for (auto& p : procs) {
        if (p.pid == pid && p.running) {
            p.running = false;
            return true;
        }
    }
    return false;
}

uintptr_t SimKeyboard::install(std::function<bool(const KeyEvent&)> filter, uint32_t* error) {
    if (failInstall) {
        if (error) *error = 1428;
        return 0;
    }
    const uintptr_t h = next_++;
    hooks[h] = std::move(filter);
    return h;
}

void SimKeyboard::uninstall(uintptr_t hook) {
    hooks.erase(hook);
}

bool SimKeyboard::press(const KeyEvent& e) {
    for (auto& [h, f] : hooks)
        if (f(e)) return false;
    return true;
}

std::string SimSound::shortPath(const std::string& path) {
    if (!files.count(path)) return {};
    // A blank-free stand-in for the 8.3 name.
    std::string s;
    for (char c : path) s += c == ' ' ? '~' : c;
    return s;
}

bool SimShutdown::run(const std::string& commandLine) {
    if (!available) return false;
    runs.push_back(commandLine);
    return true;
}

bool SimTimeOfDay::setTimeOfDay(int hour, int minute, int second) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
    sets.push_back(text);
    if (!privilege) return false;
    if (onSet) onSet(hour, minute, second);
    ++pending_;
    return true;
}

void SimTimeOfDay::pumpMessages() {
    ++pumps;
    for (; pending_ > 0; --pending_)
        if (deliverTimeChange) deliverTimeChange();
}

PictureHandle SimPictures::load(const std::string& path, int, int) {
    if (!pictures.count(path)) return 0;
    const PictureHandle h = next_++;
    loaded[h] = path;
    return h;
}

PictureHandle SimPictures::iconOf(const std::string& path) {
    if (!icons.count(path)) return 0;
    const PictureHandle h = next_++;
    loaded[h] = path;
    return h;
}

}  // namespace qv::sim
