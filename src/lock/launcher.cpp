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
constexpr uint32_t kElevationRequired = 740;
constexpr int kNoticeSeconds = 5;
const char kNeedsAdministrator[] = "This program needs an administrator and cannot be started here.";
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
// The wait blocks the program for up to about 5 s; it returns early when the process ends. The
// windows are free while the program comes up (its first window must not be held down), but the
// task-switch keys stay blocked: the hook answers from a thread of its own meanwhile.
void App::launchAllowedProgram() {
    FrmBig& big = frmBig();
    ui::Control& list = big.listView1;
    const int item = big.lastMouseItem;
    if (big.preview || item < 0 || item >= static_cast<int>(list.items().size()) || item != list.listIndex())
        return;
    releaseWindows();
    big.setEnabled(false);
    const std::optional<std::string> path = pathForItem(item, list.items()[item]);
    IProcesses& processes = platform_.processes;
    ProcessInfo started;
    uint32_t error = 0;
    // The path is one file: quoted, its blanks stay in it ("C:\Program Files\..." must not start
    // "C:\Program.exe"). A quote cannot be part of a file's path, so such a path starts nothing.
    const bool ok = path && !path->empty() && path->find('"') == std::string::npos &&
                    processes.start('"' + *path + '"', -1, &started, &error);
    if (!ok) {
        // Nothing runs: the lock screen is back as it was, saying why when the child can do
        // nothing about it.
        if (error == kElevationRequired) showNotice(kNeedsAdministrator);
        big.setEnabled(true);
        lockLockScreen();
        return;
    }
    big.launchedPid = static_cast<int32_t>(started.pid);
    history_.programStarted(started.pid, list.items()[item]);
    processes.wait(started.process, kRetryMs);
    uintptr_t window = findProcessWindow(started.pid);
    int tries = 0;
    while (window == 0 && tries < kWindowRetries) {
        processes.wait(started.process, kRetryMs);
        window = findProcessWindow(started.pid);
        ++tries;
    }
    if (tries >= kWindowRetries || window == 0) {
        // No window yet. A program that has ended (a starter that handed over to another
        // process) is done with; one still coming up is kept, so that it is ended with game time
        // and the watcher moves the lock to its window when it shows one. Either way the lock
        // screen takes the lock back at once: the desktop is never left free.
        if (processes.wait(started.process, 0) == kEnded) {
            history_.programEnded(started.pid);
            processes.closeHandle(started.process);
        } else {
            launched.push_back({started.pid, started.process, 0});
            big.timer1.setEnabled(true);
            big.timer2.setEnabled(true);
        }
        big.setEnabled(true);
        lockLockScreen();
        return;
    }
    launched.push_back({started.pid, started.process, window});
    lockToWindow(window, 1);
    processes.setForeground(window);
    big.timer1.setEnabled(true);
    big.timer2.setEnabled(true);
}

// Every 500 ms while programs started from the list are watched: a program that has ended leaves
// the records, a program that was still coming up at its launch is locked once its window shows,
// and the lock goes to the newest program with a window, or back to the lock screen. With none
// left to watch the watcher stops (a launch starts it again): a waiting lock screen wakes only
// for its clock.
void App::watcherTick() {
    IProcesses& processes = platform_.processes;
    bool ended = false;
    uintptr_t shown = 0;
    for (size_t i = 0; i < launched.size();) {
        Launched& l = launched[i];
        if (processes.wait(l.process, 0) == kEnded) {
            history_.programEnded(l.pid);
            processes.closeHandle(l.process);
            launched.erase(launched.begin() + static_cast<std::ptrdiff_t>(i));
            ended = true;
            continue;
        }
        if (!l.window && (l.window = findProcessWindow(l.pid)) != 0) shown = l.window;
        ++i;
    }
    if (launched.empty()) frmBig().timer2.setEnabled(false);
    if (!ended && !shown) return;
    if (ended) lockToWindow(0, 0);
    const uintptr_t newest = newestLaunchedWindow();
    if (newest) {
        frmBig().setEnabled(false);  // behind the program, as after a launch
        lockToWindow(newest, 1);
        if (newest == shown) processes.setForeground(newest);
        return;
    }
    FrmBig& big = frmBig();
    big.setEnabled(true);
    if (big.visible()) lockLockScreen();
}

// A word to the child in the message's place, for a few seconds of the lock screen's clock.
void App::showNotice(const std::string& text) {
    ui::Control& label = frmBig().lblMessage;
    if (noticeSeconds == 0) noticeKeeps = label.text();
    label.setText(text);
    noticeSeconds = kNoticeSeconds;
}

// The parent's message back: when the notice's time is up, or at once for a new presentation.
void App::endNotice(bool now) {
    if (noticeSeconds == 0 || (!now && --noticeSeconds > 0)) return;
    noticeSeconds = 0;
    frmBig().lblMessage.setText(noticeKeeps);
}

uintptr_t App::newestLaunchedWindow() const {
    for (auto it = launched.rbegin(); it != launched.rend(); ++it)
        if (it->window) return it->window;
    return 0;
}

// The newest program is kept in front and maximized while it runs.
void App::frontLaunched() {
    const uintptr_t newest = newestLaunchedWindow();
    if (!newest) return;
    platform_.processes.setForeground(newest);
    platform_.processes.showWindow(newest, kMaximize);
}

// At the end of a game period, in every mode. Only the processes started from the list are
// ended, through the handles kept since their start: an id that Windows has given to another
// process since is never hit. Failures are silent; the watcher drops ended ones.
void App::terminateLaunched() {
    const size_t n = launched.size();
    for (size_t i = 0; i < n; ++i) {
        platform_.processes.terminate(launched[i].process);
        history_.programEnded(launched[i].pid);
    }
}

}  // namespace qv
