#include "platform/sim/services.h"

#include <algorithm>
#include <cstdio>

#include "platform/sim/clock.h"
#include "platform/sim/windowlock.h"

namespace qv::sim {

namespace {

// The file a command line runs, split the way process creation splits it: a quoted program runs
// up to its closing quote; an unquoted one ends at the first blank, and gets ".exe" when it has no
// extension (so "C:\Program Files\a.exe" unquoted runs "C:\Program.exe").
std::string programOf(const std::string& commandLine) {
    if (!commandLine.empty() && commandLine[0] == '"') {
        const size_t end = commandLine.find('"', 1);
        return commandLine.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    }
    std::string p = commandLine.substr(0, commandLine.find(' '));
    const size_t slash = p.find_last_of('\\');
    if (p.find('.', slash == std::string::npos ? 0 : slash) == std::string::npos) p += ".exe";
    return p;
}

}  // namespace

bool SimProcesses::start(const std::string& commandLine, int showCommand, ProcessInfo* out, uint32_t* error) {
    const std::string program = programOf(commandLine);
    const uint32_t refused = program.empty() || missing.count(program) ? 2
                             : elevated.count(program)                 ? 740
                                                                       : 0;
    if (refused) {
        if (error) *error = refused;  // the file is not found; the elevation is required
        return false;
    }
    settle();
    Proc p{nextPid_, nextHandle_, commandLine, program, showCommand, clock_.elapsedMs(), {}};
    nextPid_ += 4;
    nextHandle_ += 4;
    auto script = scripts.find(program);
    if (script != scripts.end()) p.script = script->second;
    procs.push_back(p);
    openHandles.insert(p.process);
    settle();
    if (out) {
        *out = ProcessInfo{p.process, p.pid};
    } else {
        closeHandle(p.process);
    }
    return true;
}

bool SimProcesses::running(const Proc& p) const {
    if (p.killed) return false;
    return p.script.exitAfterMs < 0 || clock_.elapsedMs() < p.startedMs + p.script.exitAfterMs;
}

void SimProcesses::settle() {
    const int64_t now = clock_.elapsedMs();
    for (Proc& p : procs) {
        if (running(p)) {
            if (!p.window && p.script.windowAfterMs >= 0 && now >= p.startedMs + p.script.windowAfterMs)
                p.window = desktop_.openWindow(true, p.pid);
        } else if (p.window && !p.windowGone) {
            desktop_.closeWindow(p.window);
            p.windowGone = true;
        }
    }
}

SimProcesses::Proc* SimProcesses::byHandle(uintptr_t process) {
    if (!openHandles.count(process)) {
        ++badHandleUses;
        return nullptr;
    }
    for (Proc& p : procs)
        if (p.process == process) return &p;
    return nullptr;
}

uint32_t SimProcesses::wait(uintptr_t process, uint32_t timeoutMs) {
    // First the user's doings, which may start processes: the record below must not move after.
    if (timeoutMs && duringWait && openHandles.count(process)) duringWait();
    settle();
    Proc* p = byHandle(process);
    if (!p) return 0xFFFFFFFF;  // WAIT_FAILED, at once
    if (!running(*p)) return 0;
    int64_t block = timeoutMs;
    if (p->script.exitAfterMs >= 0)
        block = std::min<int64_t>(block, p->startedMs + p->script.exitAfterMs - clock_.elapsedMs());
    clock_.block(block);
    settle();
    return running(*p) ? 258 : 0;
}

void SimProcesses::closeHandle(uintptr_t handle) {
    if (!openHandles.erase(handle)) ++badHandleUses;
}

uintptr_t SimProcesses::findWindowOf(uint32_t pid) {
    settle();
    for (Proc& p : procs)
        if (p.pid == pid && running(p) && p.window) return p.window;
    return 0;
}

bool SimProcesses::terminate(uintptr_t process) {
    settle();
    Proc* p = byHandle(process);
    if (!p || !running(*p)) return false;
    p->killed = true;
    settle();
    return true;
}

SimProcesses::Proc* SimProcesses::byPid(uint32_t pid) {
    for (auto it = procs.rbegin(); it != procs.rend(); ++it)
        if (it->pid == pid) return &*it;
    return nullptr;
}

SimProcesses::Proc* SimProcesses::byProgram(const std::string& program) {
    for (auto it = procs.rbegin(); it != procs.rend(); ++it)
        if (it->program == program) return &*it;
    return nullptr;
}

void SimProcesses::exit(uint32_t pid) {
    if (Proc* p = byPid(pid)) p->killed = true;
    settle();
}

SimProcesses::Proc& SimProcesses::spawnOther(uint32_t pid) {
    procs.push_back(Proc{pid, nextHandle_, "other.exe", "other.exe", -1, clock_.elapsedMs(), {}});
    nextHandle_ += 4;
    settle();
    return procs.back();
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

bool SimTimeOfDay::setTimeZone(const std::string& z) {
    zoneSets.push_back(z);
    if (!zonePrivilege) return false;
    zone = z;
    ++pending_;  // Windows tells every window of the change
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
    ++iconReads;
    if (!icons.count(path)) return 0;
    const PictureHandle h = next_++;
    loaded[h] = path;
    return h;
}

}  // namespace qv::sim
