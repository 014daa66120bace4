// Starting an allowed program from the lock screen, watching the programs started, and ending
// them when game time is over.
#include <optional>

#include "engine/app.h"
#include "lock/frm_big.h"

namespace qv {

namespace {
constexpr uint32_t kEnded = 0;  // what a wait returns for a process that has ended
constexpr int kWindowRetries = 50;
constexpr uint32_t kRetryMs = 100;
constexpr int kMaximize = 3;
}  // namespace

// The entry an item of the lists stands for. Both lists are rebuilt from the entries on every
// change, so an item's position is its entry's; entries may share a name (Add fills in the file
// name), and a double-click on the second "game.exe" must not start the first. The first entry
// of that name is the answer only if the position no longer carries it.
std::optional<std::string> App::pathForItem(int item, const std::string& name) const {
    const size_t i = static_cast<size_t>(item);
    if (item >= 0 && i < allowedNames.size() && i < allowedPaths.size() && allowedNames[i] == name)
        return allowedPaths[i];
    return pathForName(name);
}

// The first entry of that name, compared exactly.
std::optional<std::string> App::pathForName(const std::string& name) const {
    for (size_t i = 0; i < allowedNames.size() && i < allowedPaths.size(); ++i)
        if (allowedNames[i] == name) return allowedPaths[i];
    return std::nullopt;
}

uintptr_t App::findProcessWindow(uint32_t pid) {
    return platform_.processes.findWindowOf(pid);
}

// A double-click on the lock screen's list: the item under the last mouse press, if it is the
// selected one, is started, and once its window is up that window is the only one that works.
// The wait blocks the program for up to about 5 s; it returns early when the process ends.
void App::launchAllowedProgram() {
    FrmBig& big = frmBig();
    ui::Control& list = big.listView1;
    const int item = big.lastMouseItem;
    if (big.preview || item < 0 || item >= static_cast<int>(list.items().size()) || item != list.listIndex())
        return;
    lockToWindow(0, 0);
    big.setEnabled(false);
    const std::optional<std::string> path = pathForItem(item, list.items()[item]);
    IProcesses& processes = platform_.processes;
    ProcessInfo started;
    // The path is one file: quoted, its blanks stay in it ("C:\Program Files\..." must not start
    // "C:\Program.exe"). A quote cannot be part of a file's path, so such a path starts nothing.
    const bool ok = path && !path->empty() && path->find('"') == std::string::npos &&
                    processes.start('"' + *path + '"', -1, &started);
    if (!ok) {
        // Nothing runs: the lock screen is back as it was.
        big.setEnabled(true);
        lockLockScreen();
        return;
    }
    big.launchedPid = static_cast<int32_t>(started.pid);
    processes.wait(started.process, kRetryMs);
    uintptr_t window = findProcessWindow(started.pid);
    int tries = 0;
    while (window == 0 && tries < kWindowRetries) {
        processes.wait(started.process, kRetryMs);
        window = findProcessWindow(started.pid);
        ++tries;
    }
    if (tries >= kWindowRetries) {
        // No window of its own (it may have handed over to another program): not recorded, and
        // the lock screen stays disabled and unlocked until the next presentation.
        processes.closeHandle(started.process);
        return;
    }
    launched.push_back({started.pid, started.process, window});
    lockToWindow(window, 1);
    processes.setForeground(window);
    big.timer1.setEnabled(true);
    big.timer2.setEnabled(true);
}

// Every 500 ms: a program that has ended leaves the records, and the lock goes to the newest
// program still running, or back to the lock screen.
void App::watcherTick() {
    IProcesses& processes = platform_.processes;
    size_t i = 0;
    while (i < launched.size()) {
        if (processes.wait(launched[i].process, 0) != kEnded) {
            ++i;
            continue;
        }
        lockToWindow(0, 0);
        processes.closeHandle(launched[i].process);
        launched.erase(launched.begin() + static_cast<std::ptrdiff_t>(i));
        if (!launched.empty()) {
            lockToWindow(launched.back().window, 1);
            continue;
        }
        FrmBig& big = frmBig();
        big.setEnabled(true);
        if (big.visible()) lockLockScreen();
    }
}

// The newest program is kept in front and maximized while it runs.
void App::frontLaunched() {
    if (launched.empty()) return;
    platform_.processes.setForeground(launched.back().window);
    platform_.processes.showWindow(launched.back().window, kMaximize);
}

// At the end of a game period, in every mode. Only the processes started from the list are
// ended, through the handles kept since their start: an id that Windows has given to another
// process since is never hit. Failures are silent; the watcher drops ended ones.
void App::terminateLaunched() {
    const size_t n = launched.size();
    for (size_t i = 0; i < n; ++i) platform_.processes.terminate(launched[i].process);
}

}  // namespace qv
