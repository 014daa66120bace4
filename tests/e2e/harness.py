"""End-to-end harness: runs the Windows build of Quorvane under Wine on a virtual X display.

Every case works in its own copy of one template Wine prefix booted per test run, so each starts
with a clean registry. The program is driven through the inspector (tests/e2e/ui_probe.cpp).

    harness.py boot-template --template DIR      boots a fresh template prefix into DIR
    harness.py run --template DIR -- PROGRAM.exe [ARGS...]   runs a console program in a copy
"""

import argparse
import atexit
import contextlib
import datetime
import fcntl
import functools
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

CONTROLS_KEY = r"HKCU\Software\Hollowmere\Tarnwell\Controls"
APP_KEY = r"HKCU\Software\Hollowmere\Tarnwell"

# Time limits (seconds), generous for a loaded 2-core machine; waits end as soon as they can.
START_TIMEOUT = 30
ACTION_TIMEOUT = 15
INSPECTOR_TIMEOUT = 30


class HarnessError(AssertionError):
    """A step of a case could not be carried out (a window did not appear in time, ...)."""


def run_quiet(cmd, env, timeout, what=None):
    """Runs a command; returns (exit code, stdout, stderr). Output goes through files: the first
    Wine process of a prefix starts services that inherit its handles and would hold a pipe open."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        try:
            rc = subprocess.run(cmd, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            raise HarnessError("%s did not finish within %ss" % (what or cmd[0], timeout))
        out.seek(0), err.seek(0)
        return rc, out.read().decode(errors="replace"), err.read().decode(errors="replace")


def wine_env(prefix, display):
    # no Mono or Gecko installers; LC_ALL gives the ANSI code page 1252
    return dict(os.environ, WINEPREFIX=prefix, DISPLAY=display, WINEDEBUG="-all", WINEARCH="win64",
                WINEDLLOVERRIDES="mscoree,mshtml=", LC_ALL="C.UTF-8")


def copy_template(template):
    """A temporary folder holding a copy of the template prefix as "prefix"."""
    workdir = tempfile.mkdtemp(prefix="qv-e2e-")
    subprocess.run(["cp", "-a", template, os.path.join(workdir, "prefix")], check=True)
    return workdir


def end_prefix(env):
    run_quiet(["wineserver", "-k"], env, 60)
    with contextlib.suppress(HarnessError):
        run_quiet(["wineserver", "-w"], env, 30)


class Display:
    """A virtual X display: the one given, or an Xvfb started on a free display number."""

    def __init__(self, given=None):
        self.proc, self.name = None, given
        if given:
            return
        rfd, wfd = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(wfd), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(wfd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        os.close(wfd)
        with os.fdopen(rfd) as f:
            self.name = ":" + f.readline().strip()  # empty when Xvfb ended without a display
        if self.name == ":":
            raise HarnessError("Xvfb did not start")
        atexit.register(self.stop)

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
        self.proc = None


def ensure_template(path, display, boot_anyway=False):
    """Boots the template prefix into path unless another test of this run already did."""
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not boot_anyway and os.path.exists(os.path.join(path, "user.reg")):
            return
        tmp = path + ".booting"
        shutil.rmtree(tmp, ignore_errors=True)
        env = wine_env(tmp, display)
        rc, _, err = run_quiet(["wineboot", "-i"], env, 180)
        if rc != 0:
            raise HarnessError("wineboot failed: " + err[-2000:])
        # a crash ends the program at once instead of waiting behind Wine's crash dialog
        run_quiet(["wine", "reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog",
                   "/t", "REG_DWORD", "/d", "0", "/f"], env, 60)
        # every program runs as an administrator here: the program's one-time note about
        # administrator accounts counts as shown, or it would stand in front of every case
        run_quiet(["wine", "reg", "add", CONTROLS_KEY, "/v", "AdminNoteShown", "/t", "REG_SZ", "/d", "1",
                   "/f"], env, 60)
        run_quiet(["wineserver", "-w"], env, 120)  # the registry written to disk
        if not os.path.exists(os.path.join(tmp, "user.reg")):
            raise HarnessError("wineboot left no registry in " + tmp)
        shutil.rmtree(path, ignore_errors=True)
        os.rename(tmp, path)


_REG_LINE = re.compile(r"^    (.*?)    (REG_[A-Z_]+)    ?(.*)$")

# Cases not closed yet: ended at exit too, so that a run stopped half-way leaves nothing behind.
_live_cases = []


@atexit.register
def _close_live_cases():
    for case in list(_live_cases):
        with contextlib.suppress(Exception):
            case.close()


class Case:
    """A clean prefix, the program under test and the inspector, for one test case."""

    def __init__(self, name, exe, inspector, template, display, artifacts):
        self.name = re.sub(r"[^A-Za-z0-9_.-]+", "_", name)
        self.exe = os.path.abspath(exe)
        self.exe_name = os.path.basename(self.exe)
        # how the program is started: its path for Wine and the folder it starts in
        self.exe_command, self.exe_cwd = self.exe, os.path.dirname(self.exe)
        self.inspector_exe, self.display = os.path.abspath(inspector), display
        self.dir = os.path.join(artifacts, self.name)
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        self.workdir = copy_template(template)
        self.prefix = os.path.join(self.workdir, "prefix")
        self.env = wine_env(self.prefix, display)
        self.procs, self.steps = [], 0
        self.log = open(os.path.join(self.dir, "log.txt"), "w")
        _live_cases.append(self)
        # services and desktop up first: the program's start then costs what it does on a running
        # system, and nothing races to boot the prefix
        self.inspect("tray", check=False, timeout=START_TIMEOUT)

    def start(self, *args):
        """Starts the program; returns its Popen (the Wine process is the program itself)."""
        out = open(os.path.join(self.dir, "program-%d.out" % (len(self.procs) + 1)), "wb")
        proc = subprocess.Popen(["wine", self.exe_command, *args], cwd=self.exe_cwd, env=self.env,
                                stdout=out, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        proc.started_at, proc.output = time.time(), out
        self.procs.append(proc)
        self.note("started %s (pid %d)" % (self.exe_name, proc.pid))
        return proc

    def spawn(self, *args):
        """Runs the inspector as another program; the Popen has .first (a JSON line) and .lines."""
        proc = subprocess.Popen(["wine", self.inspector_exe, *map(str, args)], env=self.env,
                                stdout=subprocess.PIPE, stdin=subprocess.DEVNULL, text=True)
        proc.first, proc.lines = json.loads(proc.stdout.readline()), []
        threading.Thread(target=lambda: proc.lines.extend(
            json.loads(line) for line in proc.stdout if line.startswith("{")), daemon=True).start()
        return proc

    def install(self, folder="Quorvane", extra=()):
        """Copies the program, sound.wav and extra to C:\\folder for later starts; returns it."""
        target = os.path.join(self.prefix, "drive_c", folder)
        os.makedirs(target, exist_ok=True)
        sound = os.path.join(os.path.dirname(self.exe), "sound.wav")
        for path in [self.exe] + ([sound] if os.path.exists(sound) else []) + list(extra):
            shutil.copy(path, target)
        windows_folder = "C:\\" + folder.replace("/", "\\")
        self.exe_command, self.exe_cwd = windows_folder + "\\" + self.exe_name, target
        return windows_folder

    def prefix_path(self, windows_path):
        drive, _, rest = windows_path.partition(":")
        if drive.upper() != "C":
            raise HarnessError("not on drive C: " + windows_path)
        return os.path.join(self.prefix, "drive_c", *[p for p in rest.split("\\") if p])

    def set_dpi(self, dpi):
        """The screen resolution (display scaling) for programs started from now on."""
        self.reg_import({"LogPixels": int(dpi)}, r"HKCU\Control Panel\Desktop")

    def wait_exit(self, proc, timeout=ACTION_TIMEOUT):
        self.wait_for("the end of process %d" % proc.pid, lambda: proc.poll() is not None, timeout)
        return proc.returncode

    def stop(self):
        end_prefix(self.env)
        for proc in self.procs:
            try:
                proc.wait(10)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait(5)
            proc.output.close()

    def close(self):
        if self in _live_cases:
            _live_cases.remove(self)
            try:
                self.stop()
            finally:
                self.log.close()
                shutil.rmtree(self.workdir, ignore_errors=True)

    def inspect(self, *args, check=True, timeout=INSPECTOR_TIMEOUT):
        """Runs the inspector; returns (exit code, list of JSON objects it printed)."""
        args = [str(a) for a in args]
        for _ in range(2):  # a look that fails without a word (a busy wineserver) is tried again
            rc, out, err = run_quiet(["wine", self.inspector_exe, *args], self.env, timeout,
                                     "inspector " + args[0])
            if rc == 0 or err.strip() or args[0] not in ("list", "screen", "foreground", "procs"):
                break
        if check and rc != 0:
            raise HarnessError("inspector %s failed (%d): %s" % (" ".join(args), rc, err.strip()))
        return rc, [json.loads(line) for line in out.splitlines() if line.startswith("{")]

    def windows(self, visible=True, controls=False, *filters):
        """The program's top-level windows; with controls, each with a 'controls' list (slower)."""
        _, objs = self.inspect("list", "--exe", self.exe_name, *(["--visible"] if visible else []),
                               *([] if controls else ["--top"]), *filters)
        tops = []
        for o in objs:
            if o["depth"] == 0:
                tops.append(dict(o, controls=[]))
            elif tops:
                tops[-1]["controls"].append(o)
        return tops

    top_windows = windows

    def window(self, title, visible=True):
        """The program's top-level window with this caption, with its controls, or None."""
        return next(iter(self.windows(visible, True, "--title", title)), None)

    def enabled(self, hwnd):
        return self.inspect("list", "--hwnd", hwnd, "--top")[1][0]["enabled"]

    def message_boxes(self):
        """Visible message boxes of the program, each with a 'message' field: its texts."""
        boxes = [w for top in self.windows() if top["class"] == "#32770"
                 for w in self.windows(True, True, "--hwnd", top["hwnd"])]
        for w in boxes:
            w["message"] = "\n".join(c["text"] for c in w["controls"]
                                     if c["class"].lower() == "static" and c["text"])
        return boxes

    def screen(self):
        """{"width", "height", "dpiX", "dpiY"} of the screen as programs see it."""
        return self.inspect("screen")[1][0]

    def tooltips(self):
        """Texts of the tooltip windows shown, of any program (Wine shows a balloon as one)."""
        return [w["text"] for w in self.inspect("list", "--visible", "--top")[1]
                if w["class"].lower() == "tooltips_class32"]

    def tray(self):
        return (self.inspect("tray", check=False)[1] or [{"icon": False}])[-1]

    def act(self, command, title, *args):
        """An inspector command on a window of the program (click, pick, type, close, select)."""
        self.note("%s %r" % (command, (title,) + args))
        return self.inspect(command, "--exe", self.exe_name, title, *args)[1]

    # click(title, selector, *opts), pick(title, drop-down, item), type(title, selector, text)
    click = functools.partialmethod(act, "click")
    pick = functools.partialmethod(act, "pick")
    type = functools.partialmethod(act, "type")

    def close_window(self, title, syscommand=False):
        """Closes a window: WM_CLOSE, or with syscommand the close box's SC_CLOSE."""
        self.act("close", title, *(["--syscommand"] if syscommand else []))

    def _poll(self, what, probe, seconds, interval, hold):
        """Polls probe() until it returns a true value, or with hold for `seconds` while it does."""
        deadline = time.monotonic() + seconds
        while True:
            value = probe()
            if hold and not value:
                self.snapshot("broken")
                raise AssertionError("%s stopped holding" % what)
            if (value and not hold) or time.monotonic() > deadline:
                if not value:
                    self.snapshot("timeout")
                    raise HarnessError("timed out after %ss waiting for %s" % (seconds, what))
                return value
            time.sleep(interval)

    def wait_for(self, what, probe, timeout=ACTION_TIMEOUT, interval=0.1):
        return self._poll(what, probe, timeout, interval, False)

    def holds(self, what, probe, duration, interval=0.25):
        """Checks that probe() stays true for duration seconds; returns its last value."""
        return self._poll(what, probe, duration, interval, True)

    def watch(self, title, timeout, gone=False, *state, exe=None):
        """Watches in the background for the window with this caption to show in a state of the
        inspector's wait options (e.g. "--disabled"), or with gone to go; exe: another program's.
        The inspector stamps the change, so short-lived states are not missed: the Popen's result()
        is that Unix time, or raises when it was not seen in time."""
        what = "window %r %s" % (title, "to go" if gone else " ".join(("to appear",) + state))
        proc = subprocess.Popen(
            ["wine", self.inspector_exe, "wait", title, str(timeout), "--exe", exe or self.exe_name,
             *(["--gone"] if gone else []), *state], env=self.env, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL, text=True)
        self.note("watching for " + what)

        def result(extra=30):
            try:
                out = proc.communicate(timeout=timeout + extra)[0]
            except subprocess.TimeoutExpired:
                proc.kill()
                out = proc.communicate()[0]
            lines = [line for line in out.splitlines() if line.startswith("{")]
            if proc.returncode != 0 or not lines:
                self.snapshot("watch-timeout")
                raise HarnessError("timed out after %ss waiting for %s" % (timeout, what))
            self.note("seen %s at %.3f" % (what, json.loads(lines[-1])["at"]))
            return json.loads(lines[-1])["at"]
        proc.result = result
        return proc

    def wait_window(self, title, timeout=START_TIMEOUT):
        return self.wait_for("window %r" % title, lambda: self.window(title), timeout)

    def wait_tray_icon(self, timeout=START_TIMEOUT):
        return self.wait_for("a notification icon", lambda: self.tray().get("icon"), timeout)

    def reg_query(self, key=CONTROLS_KEY, types=False):
        """{name: data} (with types, {name: type}) under key, the default named ''; None when the
        key is missing. Retried: just after the program ends, services winding down can fail it."""
        for _ in range(3):
            rc, out, err = run_quiet(["wine", "reg", "query", key], self.env, INSPECTOR_TIMEOUT)
            if rc == 0:
                found = [_REG_LINE.match(line.rstrip("\r")) for line in out.splitlines()]
                return {("" if m.group(1) == "(Default)" else m.group(1)): m.group(2 if types else 3)
                        for m in found if m}
            if "unable to find" in (out + err).lower():
                return None
            time.sleep(0.5)
        return None

    def reg_import(self, values, key=CONTROLS_KEY):
        """Sets values under key: strings, an int as a REG_DWORD; None deletes."""
        quote = lambda s: '"%s"' % str(s).replace("\\", "\\\\").replace('"', '\\"')  # noqa: E731
        lines = ["Windows Registry Editor Version 5.00", "", "[%s]" % re.sub(
            r"^HKCU\\", r"HKEY_CURRENT_USER\\", re.sub(r"^HKLM\\", r"HKEY_LOCAL_MACHINE\\", key))]
        lines += [quote(name) + ("=-" if value is None else "=dword:%08x" % (value & 0xFFFFFFFF)
                                 if isinstance(value, int) and not isinstance(value, bool)
                                 else "=" + quote(value)) for name, value in values.items()]
        path = os.path.join(self.dir, "seed-%d.reg" % time.monotonic_ns())
        with open(path, "w", encoding="utf-16") as f:  # UTF-16 with its byte-order mark
            f.write("\r\n".join(lines) + "\r\n")
        rc, _, err = run_quiet(["wine", "reg", "import", path], self.env, INSPECTOR_TIMEOUT)
        if rc != 0:
            raise HarnessError("reg import failed: " + err)
        self.note("seeded %d values under %s" % (len(values), key))

    def note(self, text):
        self.log.write("%s %s\n" % (datetime.datetime.now().strftime("%H:%M:%S.%f")[:-3], text))
        self.log.flush()

    def screenshot(self, step):
        self.steps += 1
        path = os.path.join(self.dir, "%02d-%s.png" % (self.steps, re.sub(r"\W+", "-", step)))
        with contextlib.suppress(OSError, subprocess.TimeoutExpired):
            subprocess.run(["import", "-display", self.display, "-window", "root", path],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        return path

    def snapshot(self, step):
        """Screenshot plus the window list and the registry, for a failure report."""
        self.screenshot(step)
        try:
            with open(os.path.join(self.dir, "%02d-%s.json" % (self.steps, step)), "w") as f:
                json.dump({"windows": self.inspect("list", check=False)[1],
                           "registry": self.reg_query()}, f, indent=1)
        except Exception as e:  # the report must not hide the failure that asked for it
            self.note("snapshot incomplete: %s" % e)


class Config:
    """Options shared by the cases of one test run (set by configure())."""
    exe = inspector = template = artifacts = display = fake_shutdown = test_game = _display = None

    @classmethod
    def new_case(cls, name):
        cls._display = cls._display or Display(cls.display)
        ensure_template(cls.template, cls._display.name)
        return Case(name, cls.exe, cls.inspector, cls.template, cls._display.name, cls.artifacts)


class CaseTest(unittest.TestCase):
    """Each test gets a case, a clean prefix of its own, closed when it finishes."""

    def setUp(self):
        self.case = Config.new_case(self.id().split(".", 1)[1])
        self.addCleanup(self.case.close)


def _stop_on_signal(signum, _frame):
    """A test run told to stop (ctest's time limit, Ctrl+C) leaves nothing running behind."""
    _close_live_cases()
    if Config._display is not None:
        Config._display.stop()
    os._exit(128 + signum)


def configure(argv):
    """Takes the harness options out of argv; returns the rest (for unittest)."""
    signal.signal(signal.SIGTERM, _stop_on_signal)
    signal.signal(signal.SIGINT, _stop_on_signal)
    parser = argparse.ArgumentParser(add_help=False)
    for option in ("--exe", "--inspector", "--template", "--artifacts", "--display",
                   "--fake-shutdown", "--test-game"):
        parser.add_argument(option)
    opts, rest = parser.parse_known_args(argv[1:])
    if not opts.exe or not os.path.exists(opts.exe) or not opts.inspector:
        raise SystemExit("--exe and --inspector are needed: %s" % opts.exe)
    base = os.path.dirname(os.path.abspath(opts.exe))
    Config.exe, Config.inspector, Config.display = opts.exe, opts.inspector, opts.display
    Config.template = os.path.abspath(opts.template or os.path.join(base, "e2e-prefix"))
    Config.artifacts = os.path.abspath(opts.artifacts or os.path.join(base, "e2e-artifacts"))
    Config.fake_shutdown = opts.fake_shutdown and os.path.abspath(opts.fake_shutdown)
    Config.test_game = opts.test_game and os.path.abspath(opts.test_game)
    return [argv[0]] + rest


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("command", choices=["boot-template", "run"])
    parser.add_argument("--template", required=True)
    parser.add_argument("--display")
    parser.add_argument("--timeout", type=float, default=120)
    cut = argv.index("--") if "--" in argv else len(argv)
    opts, program = parser.parse_args(argv[1:cut]), argv[cut + 1:]
    template, display, started = os.path.abspath(opts.template), Display(opts.display), time.monotonic()
    ensure_template(template, display.name, boot_anyway=opts.command == "boot-template")
    if opts.command == "boot-template":
        print("template prefix booted in %.1f s: %s" % (time.monotonic() - started, template))
        return 0
    if not program:
        parser.error("run: no program given after --")
    workdir = copy_template(template)
    env = wine_env(os.path.join(workdir, "prefix"), display.name)
    try:
        run_quiet(["wine", "cmd", "/c", "exit"], env, 60)  # services started away from our output
        proc = subprocess.Popen(["wine"] + program, env=env, stdin=subprocess.DEVNULL)
        try:
            return proc.wait(opts.timeout)
        except subprocess.TimeoutExpired:
            print("harness: %s did not finish within %ss" % (program[0], opts.timeout))
            return 124
    finally:
        end_prefix(env)
        shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    signal.signal(signal.SIGINT, lambda *_: sys.exit(130))
    sys.exit(main(sys.argv))
