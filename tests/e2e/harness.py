#!/usr/bin/python3
"""Runs the Windows-side test programs under Wine on a virtual display
(run-exe, see --help), and what the end-to-end tests share (TarvixCase).
Every run gets an Xvfb display and a Wine prefix of its own (see Prefix).
Only what the harness started is ended: processes by their id, the Wine
server of its own prefix, its own Xvfb."""

import argparse
import atexit
import ctypes
import fcntl
import hashlib
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

SOURCE_DIR = Path(__file__).resolve().parent.parent.parent
DEFAULT_DIST = SOURCE_DIR / "build" / "windows" / "dist"
WIN_BUILD_DIR = Path(os.environ.get("TARVIX_WIN_BUILD_DIR") or SOURCE_DIR / "build" / "windows")
TARGET_EXE = WIN_BUILD_DIR / "tests" / "e2e" / "target" / "target_window.exe"
PROBE_EXE = WIN_BUILD_DIR / "tests" / "e2e" / "target" / "window_probe.exe"

SCREEN = "1024x768"
# Wine takes the ANSI code page from the locale: 950 (Big5) as on the users'
# systems, 1252 as on an English Windows. Unix names stay UTF-8 in both.
LOCALES = {950: "zh_TW.UTF-8", 1252: "en_US.UTF-8"}
DEFAULT_CODE_PAGE = 950

# What every prefix gets. The dialog templates name these faces; Wine has
# none of them, so without the mapping Chinese text comes out as boxes.
# Xvfb has no window manager to send WM_TAKE_FOCUS; without UseTakeFocus
# Wine takes the X focus that xdotool gives a window as its activation.
PREFIX_SETTINGS = {
    r"HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements":
        {face: "WenQuanYi Micro Hei" for face in ("宋体", "新細明體", "System", "MS Shell Dlg")},
    r"HKEY_CURRENT_USER\Software\Wine\X11 Driver": {"UseTakeFocus": "N"},
}

# The main window's title and its list of scripts.
MAIN = "Tapwisp"
SCRIPT_LIST_ID = 1009
VK = {"F5": 0x74, "F6": 0x75, "F7": 0x76, "F8": 0x77, "Insert": 0x2D}
SHIFT, CTRL, ALT = 1, 2, 4


def wait_until(predicate, timeout=20.0, step=0.1):
    """Polls until predicate() holds; whether it did within the time."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(step)
    return bool(predicate())


def log(message):
    print(f"harness: {message}", file=sys.stderr, flush=True)


def dist_dir(explicit=None):
    return Path(explicit or os.environ.get("TARVIX_DIST") or DEFAULT_DIST).resolve()


def windows_path(path):
    """The Wine path of a Unix path (drive Z: is the root)."""
    return "Z:" + str(path).replace("/", "\\")


def script_text(actions, hotkey, mod=0, description="e2e", run_once=None, repeat_type=0, repeat_number=1):
    """A script file in the written layout (Big5 text, CR LF lines)."""
    lines = ["[General]", f"Description={description}", f"BeginHotkey={hotkey}", f"BeginHotkeyMod={mod}"]
    lines += [f"RunOnce={run_once}"] if run_once is not None else []
    lines += ["Enable=1", "[Repeat]", f"Type={repeat_type}", f"Number={repeat_number}", "", "[Script]", *actions]
    return ("\r\n".join(lines) + "\r\n").encode("cp950")


def _stop_process(process, grace=3.0):
    for sig in (signal.SIGTERM, signal.SIGKILL):
        if process.poll() is not None:
            return
        try:
            os.killpg(process.pid, sig)
            process.wait(grace)
        except (ProcessLookupError, PermissionError, subprocess.TimeoutExpired):
            pass


class Display:
    """An Xvfb server on a display number nobody else uses."""

    def __init__(self, screen=SCREEN, first=90):
        self.screen, self.first = screen, first
        self.number = self.process = None

    @property
    def name(self):
        return f":{self.number}"

    def start(self):
        return self._start_server(lambda n: ["Xvfb", f":{n}", "-screen", "0", f"{self.screen}x24",
                                             "-nolisten", "tcp"], self.first, None)

    def _start_server(self, command, first, env):
        # Two harnesses may pick the same free number at once; the server
        # then refuses the second, which tries the next number.
        for number in range(first, first + 40):
            if Path(f"/tmp/.X{number}-lock").exists() or Path(f"/tmp/.X11-unix/X{number}").exists():
                continue
            # PR_SET_PDEATHSIG between fork and exec: if the harness is killed
            # outright (a ctest time-out), the display does not outlive it.
            process = subprocess.Popen(command(number), env=env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL, start_new_session=True,
                                       preexec_fn=lambda: ctypes.CDLL(None).prctl(1, signal.SIGTERM))
            if wait_until(lambda: process.poll() is not None or subprocess.run(
                    ["xdpyinfo", "-display", f":{number}"], capture_output=True).returncode == 0, 10) \
                    and process.poll() is None:
                self.number, self.process = number, process
                return self
            _stop_process(process)
        raise RuntimeError("no free X display number")

    def stop(self):
        if self.process:
            _stop_process(self.process)


class Prefix:
    """A fresh Wine prefix in a temporary folder, in the users' code page
    unless asked for another: a copy of a template booted once per code page
    and Wine version (in build/wine-prefixes, or TARVIX_PREFIX_CACHE).
    Booting takes 10-20 s, a copy a second."""

    def __init__(self, display, root=None, code_page=DEFAULT_CODE_PAGE):
        self.display, self.code_page = display, code_page
        self.root = Path(root) if root else Path(tempfile.mkdtemp(prefix="tarvix-wine-"))
        self.root.mkdir(parents=True, exist_ok=True)
        self.path = self.root / "prefix"

    def env(self, extra=None, path=None):
        # tarvix asks a web server for its advertisement page at start; no
        # test reaches the Internet: a port on this machine nobody listens to.
        # Without the DLL overrides Wine offers to download Mono and Gecko,
        # which cannot be had here; the menu builder would write into the
        # user's home.
        return {"TARVIX_AD_URL": "http://127.0.0.1:9/cn/ad/ad_tarvix.htm", **os.environ,
                "WINEPREFIX": str(path or self.path), "WINEARCH": "win64", "WINEDEBUG": "-all",
                "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d", "LC_ALL": LOCALES[self.code_page],
                "LANG": LOCALES[self.code_page], "DISPLAY": self.display.name, **(extra or {})}

    def run(self, args, timeout=120, path=None):
        return subprocess.run(args, env=self.env(path=path), timeout=timeout,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def boot(self):
        started = time.monotonic()
        version = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
        key = hashlib.sha1(repr((version, self.code_page, PREFIX_SETTINGS)).encode()).hexdigest()[:12]
        cache = Path(os.environ.get("TARVIX_PREFIX_CACHE") or SOURCE_DIR / "build" / "wine-prefixes")
        template = cache / f"{self.code_page}-{key}"
        cache.mkdir(parents=True, exist_ok=True)
        # One boot at a time (the Windows-side tests run two at once); booted
        # beside its place and moved there whole, so that a boot cut short
        # leaves no template.
        with open(cache / f"{template.name}.lock", "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            if not template.exists():
                partial = cache / f"{template.name}.partial"
                shutil.rmtree(partial, ignore_errors=True)
                self.run(["wine", "wineboot", "-i"], timeout=180, path=partial)
                self.run(["wineserver", "-w"], timeout=180, path=partial)
                self.set_registry(PREFIX_SETTINGS, settle=True, path=partial)
                partial.rename(template)
        # Symbolic links stay links (drive letters, the home folder's).
        shutil.rmtree(self.path, ignore_errors=True)
        subprocess.run(["cp", "-a", "--reflink=auto", str(template), str(self.path)], check=True)
        log(f"prefix {self.path} ready in {time.monotonic() - started:.1f} s")
        return self

    def set_registry(self, keys, settle=False, path=None):
        """Writes {key: {name: value}} into the prefix's registry: a str as a
        text, an int as a DWORD, bytes as binary; the name "@" is the key's
        default value. With `settle`, waits until the prefix's server has
        ended, which it does only once no program of the prefix runs."""
        def value(v):
            if isinstance(v, int):
                return f"dword:{v:08x}"
            if isinstance(v, bytes):
                return "hex:" + ",".join(f"{b:02x}" for b in v)
            return '"' + v.replace("\\", "\\\\").replace('"', '\\"') + '"'
        # Version 5 files are UTF-16: REGEDIT4 files are read in the ANSI code
        # page, where 950 has no code for the simplified face name and 1252
        # none for any of the Chinese ones.
        lines = ["Windows Registry Editor Version 5.00", ""]
        for key, values in keys.items():
            lines += [f"[{key}]", *(f'{"@" if n == "@" else value(n)}={value(v)}' for n, v in values.items()), ""]
        reg = self.root / f"set-{time.monotonic_ns()}.reg"
        reg.write_bytes(("\r\n".join(lines) + "\r\n").encode("utf-16"))
        self.run(["wine", "regedit", "/S", str(reg)], path=path)
        if settle:
            self.run(["wineserver", "-w"], path=path)
        reg.unlink()

    def kill(self):
        """Ends every process of this prefix (only of this one); returns once none is left."""
        if not self.path.exists():
            return
        try:
            self.run(["wineserver", "-k"], timeout=30)
            # -k only asks; a program started before the old server is gone
            # would attach to it and die with it, and the next case would
            # find no window at all.
            self.run(["wineserver", "-w"], timeout=30)
        except subprocess.TimeoutExpired:
            pass
        if not wait_until(lambda: not self.processes(), timeout=5):
            for pid in self.processes():
                subprocess.run(["kill", "-9", str(pid)], capture_output=True)
            if not wait_until(lambda: not self.processes(), timeout=30):
                raise RuntimeError(f"the prefix's processes outlived their server: {self.processes()}")

    def processes(self):
        found = {}
        marker = f"WINEPREFIX={self.path}".encode()
        for entry in Path("/proc").iterdir():
            try:
                if entry.name.isdigit() and marker in (entry / "environ").read_bytes().split(b"\0"):
                    found[int(entry.name)] = (entry / "cmdline").read_bytes().replace(b"\0", b" ").decode(
                        errors="replace").strip()
            except OSError:
                continue
        return found

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)


class Session:
    """A display, a prefix and the programs started in them, ended together.
    With reuse_prefix, the display and prefix of a code page serve the whole
    Python process (the cases of one file); the programs still end with
    each session."""

    _shared = {}  # code page: (Display, Prefix)

    def __init__(self, reuse_prefix=False, code_page=DEFAULT_CODE_PAGE):
        self.reuse_prefix, self.code_page = reuse_prefix, code_page
        self.display = self.prefix = None
        self.processes, self.temp_dirs = [], []

    def open(self):
        if self.code_page not in Session._shared or not self.reuse_prefix:
            self.display = Display().start()
            self.prefix = Prefix(self.display, code_page=self.code_page).boot()
            if not self.reuse_prefix:
                return self
            Session._shared[self.code_page] = (self.display, self.prefix)
        self.display, self.prefix = Session._shared[self.code_page]
        return self

    def stop_all(self):
        for process in reversed(self.processes):
            _stop_process(process)
        self.processes.clear()
        if self.prefix is not None:
            self.prefix.kill()

    def close(self):
        self.stop_all()
        if not self.reuse_prefix and self.display is not None:
            self.prefix and self.prefix.remove()
            self.display.stop()
        for folder in self.temp_dirs:
            shutil.rmtree(folder, ignore_errors=True)

    def temp_dir(self, prefix="tarvix-"):
        self.temp_dirs.append(Path(tempfile.mkdtemp(prefix=prefix)))
        return self.temp_dirs[-1]

    def program_folder(self, dist=None, examples=False):
        """A copy of the assembled program folder, without the example
        scripts unless asked for: each test brings the scripts it needs."""
        source = dist_dir(dist)
        folder = self.temp_dir("tarvix-program-") / "tarvix"
        shutil.copytree(source, folder, ignore=lambda d, names: names if d == str(source / "script")
                        and not examples else [])
        return folder

    def start(self, exe, args=(), cwd=None, desktop=False, stdout=subprocess.DEVNULL, env=None, stderr=subprocess.DEVNULL):
        """Starts a Windows program, with desktop inside Wine's desktop window
        (frames, a taskbar and a notification area); env adds variables."""
        # window_probe.exe looks for windows on this desktop by its name.
        command = ["wine"] + (["explorer", f"/desktop=tarvix,{SCREEN}"] if desktop else [])
        self.processes.append(subprocess.Popen(
            command + [str(exe), *map(str, args)], cwd=cwd, env=self.prefix.env(env), stdin=subprocess.DEVNULL,
            stdout=stdout, stderr=stderr, start_new_session=True))
        return self.processes[-1]

    def windows_processes(self, image):
        return sorted(pid for pid, cmdline in self.prefix.processes().items()
                      if image.lower() in cmdline.lower().replace("/", "\\"))

    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.prefix.env(), capture_output=True,
                                text=True, timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(map(str, args))}: {result.stderr.strip()}")
        return result.stdout

    def visible_windows(self, title):
        return self.xdotool("search", "--onlyvisible", "--name", f"^{title}$", check=False).split()

    def wait_window(self, title, timeout=30.0):
        found = []
        if not wait_until(lambda: found.append(self.visible_windows(title)) or found[-1], timeout, step=0.2):
            raise TimeoutError(f"no window {title!r}; running: {list(self.prefix.processes().values())}")
        return found[-1][0]

    def screenshot(self, name):
        path = Path(os.environ.get("TARVIX_ARTIFACTS") or SOURCE_DIR / "build" / "artifacts") / f"{name}.png"
        path.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["import", "-display", self.display.name, "-window", "root", path],
                       env=self.prefix.env(), check=True, timeout=60, capture_output=True)
        return path


@atexit.register
def _release_shared():
    for display, prefix in Session._shared.values():
        prefix.kill()
        prefix.remove()
        display.stop()


class TargetLog:
    """What target_window.exe wrote, as (milliseconds, event, args)."""

    def __init__(self, path):
        self.path = Path(path)

    def events(self):
        try:
            lines = self.path.read_text(encoding="ascii", errors="replace").splitlines()
        except FileNotFoundError:
            return []
        return [(float(p[0]), p[1], p[2:]) for p in map(str.split, lines) if len(p) >= 2]

    def named(self, name):
        return [e for e in self.events() if e[1] == name]

    def text(self):
        return "".join(chr(int(args[0], 16)) for _, name, args in self.events() if name == "char")

    def keydowns(self, vk):
        return [e for e in self.named("keydown") if int(e[2][0], 16) == vk]

    def keys_held(self):
        held = set()
        for _, name, args in self.events():
            if name in ("keydown", "keyup"):
                (held.add if name == "keydown" else held.discard)(args[0])
        return held

    def active(self):
        """Whether the window's last activation message made it the active one."""
        states = [name for _, name, _ in self.events() if name in ("active", "inactive")]
        return states[-1:] == ["active"]

    def wait_for(self, predicate, timeout=20.0):
        return wait_until(lambda: predicate(self), timeout)


def require(path):
    """A helper program a case cannot run without: its absence (a build that
    left it out) is a failure, never a skip."""
    if not Path(path).exists():
        raise AssertionError(f"no {path} (build the windows preset)")
    return path


# A script that marks a point in what the target receives: started by its
# hotkey after everything a case checks for absence, its mark arrives after
# whatever an earlier press would have played. Its hotkey has no modifier
# (tarvix reads modifiers when it handles the key, by when a quick press has
# let them go), and its text "<Insert>" sorts after every hotkey the tests use.
SENTINEL_KEYS, SENTINEL_MARK = "Insert", "#"


class TarvixCase(unittest.TestCase):
    """One prefix for the cases of a file (per code page); a fresh program
    folder, tarvix and target window for each case. Windows are X window ids.

    Every program starts inside Wine's own desktop: on a bare X display
    without a window manager, hiding or activating a window stalls its
    thread for seconds while Wine waits for a manager that is not there. A
    case that needs what Wine's desktop cannot give (two monitors) sets
    `desktop = False`."""

    desktop = True
    code_page = 950  # the users' 950, or 1252 as on an English Windows

    def setUp(self):
        self.session = self.open_session()
        self.addCleanup(self.session.close)
        self.folder = self.session.program_folder()
        self.logs = self.session.temp_dir("tarvix-logs-")

    def open_session(self):
        return Session(reuse_prefix=True, code_page=self.code_page).open()

    def write_script(self, name, data, folder=None):
        (folder or self.folder).joinpath("script").mkdir(exist_ok=True)
        (folder or self.folder).joinpath("script", name).write_bytes(data)

    def start_tarvix(self, exe="tarvix.exe", cwd=None, env=None):
        self.session.start(self.folder / exe, cwd=cwd or self.folder, desktop=self.desktop, env=env)
        return self.session.wait_window(MAIN, timeout=60)

    def start_target(self, title="tarvix target", place=None):
        """A target window, made the active window, and its log; over the
        rectangle `place` (x, y, width, height), or else over every monitor."""
        # Numbered: a title may hold what a code page cannot name a file with.
        log = TargetLog(self.logs / f"target{len(list(self.logs.glob('target*.log')))}.log")
        args = [title, windows_path(log.path)] + ([",".join(map(str, place))] if place else [])
        self.session.start(require(TARGET_EXE), args, cwd=self.logs, desktop=self.desktop)
        window = self.session.wait_window(title, timeout=60)
        self.assertTrue(log.wait_for(lambda l: l.named("ready")), "target window wrote nothing")
        self.focus(window, log)
        return window, log

    def title(self, window):
        return self.session.xdotool("getwindowname", window).strip()

    def focus(self, window, log=None):
        """Gives the window the focus and waits until Wine has made it the
        system's foreground window, which can follow the activation late and
        which a one-window run compares with; for a target window, its log too."""
        if not self.desktop:
            # On a bare display a Wine program that loses the X focus makes
            # its desktop the foreground window unless the other program has
            # taken it already; when it checks first, the desktop wins. So
            # the X focus goes to the root window first.
            root = self.session.xdotool("search", "--maxdepth", "0", "--name", "").split()[0]
            self.session.xdotool("windowfocus", "--sync", root, check=False)
            wait_until(lambda: self.foreground_title() == "", timeout=5)
        self.session.xdotool("windowactivate", "--sync", window, check=False)
        self.session.xdotool("windowfocus", "--sync", window, check=False)
        title = self.title(window)
        self.assertTrue(wait_until(lambda: (not log or log.active()) and self.foreground_title() == title),
                        f"{title} did not come to the front")

    def click_control(self, window, control_id, at=None, pause=0.3):
        """Clicks the middle of a control, or the point `at` from its corner."""
        x, y, w, h, screen_x, screen_y = map(int, self.probe("rect", self.title(window), control_id).split())
        dx, dy = at or (w // 2, h // 2)
        # Inside Wine's desktop the X window holds the frame too, whose size
        # follows the system's scale, and the X screen is Windows' screen; on
        # a bare display the X window is the client area.
        # The pointer is there first: inside Wine's desktop a button sent
        # right after a move can land where the pointer was before it.
        self.session.xdotool("mousemove", *(screen_x + dx, screen_y + dy) if self.desktop else
                             ("--window", window, x + dx, y + dy), "sleep", "0.1", "click", "1")
        time.sleep(pause)  # two clicks on one spot in a row would be a double click

    def write_sentinel(self):
        self.write_script("sentinel.txt", script_text([f"SayString {SENTINEL_MARK}"], VK["Insert"],
                                                      description="sentinel"))

    def text_before_sentinel(self, log):
        """What the target had typed into it before the sentinel's mark,
        without the marks (the sentinel written before tarvix started)."""
        # A key a run still holds (Shift for a capital) would be read as a
        # modifier of the sentinel's hotkey.
        self.assertTrue(log.wait_for(lambda l: not l.keys_held()), f"keys held: {log.keys_held()}")
        marks = log.text().count(SENTINEL_MARK)
        self.press(SENTINEL_KEYS)
        self.assertTrue(log.wait_for(lambda l: l.text().count(SENTINEL_MARK) > marks),
                        f"the sentinel did not arrive: {log.text()!r}, last events {log.events()[-12:]}")
        return log.text().replace(SENTINEL_MARK, "")

    def probe(self, *args, check=True):
        """What window_probe.exe answers (see its source), None for no such window."""
        process = self.session.start(require(PROBE_EXE), args, cwd=self.logs, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE)
        out, err = (text.decode("utf-8", errors="replace") for text in process.communicate(timeout=60))
        self.assertTrue(process.returncode == 0 or not check,
                        f"window_probe {' '.join(map(str, args))} failed: {process.returncode} {err}")
        return out if process.returncode == 0 else None

    def control_text(self, title, control_id):
        """A control's text (a list view's rows, a combo box's text and items)
        as lines; checks the prefix's code page too."""
        lines = self.probe("get", title, control_id).split("\n")
        self.assertEqual(lines[0], f"codepage {self.code_page}")
        return [line for line in lines[1:] if line]

    def rows(self, title=MAIN, control_id=SCRIPT_LIST_ID):
        return [line.split("\t") for line in self.control_text(title, control_id)]

    def wait_closed(self, title):
        return wait_until(lambda: not self.session.visible_windows(title))

    def foreground_title(self):
        # Asked in polls only. Seen twice in some 400 questions, each time
        # just after a window came or went, not in 150 asked in a row: the
        # probe ends with 1 and says nothing, not even Wine; such an answer
        # counts as not yet in front.
        answer = self.probe("foreground", check=False)
        return None if answer is None else answer.rstrip("\n")

    def press(self, *keys):
        self.session.xdotool("key", "--delay", "60", *keys)

    def press_held(self, modifiers, key):
        """A hotkey as a hand presses it: tarvix reads the modifiers when it
        handles the key, so they stay down a moment after it."""
        modifiers = modifiers.split("+")
        self.session.xdotool(*[a for m in modifiers for a in ("keydown", m)], "keydown", key)
        time.sleep(0.5)
        self.session.xdotool("keyup", key, *[a for m in reversed(modifiers) for a in ("keyup", m)])

    def shot(self, name):
        return self.session.screenshot(f"{type(self).__name__}-{self._testMethodName}-{name}")


# -- command line -------------------------------------------------------------

def main(argv=None):
    parser = argparse.ArgumentParser(description="Runs Windows programs under Wine on a virtual display.")
    parser.add_argument("command", choices=["run-exe"],
                        help="run-exe: run a Windows console program in a fresh prefix; exit with its code")
    parser.add_argument("--code-page", type=int, default=DEFAULT_CODE_PAGE, choices=sorted(LOCALES))
    parser.add_argument("exe")
    parser.add_argument("args", nargs=argparse.REMAINDER)
    args = parser.parse_args(argv)
    exe = Path(args.exe).resolve()
    session = Session(code_page=args.code_page)

    def end(signum, _frame):
        session.close()
        sys.exit(128 + signum)
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(sig, end)
    try:
        # Output goes straight through, so a long test shows progress as it runs.
        code = session.open().start(require(exe), args.args, cwd=exe.parent, stdout=None).wait()
        # Wine gives the Windows exit code as the process's status, modulo 256.
        return code if code >= 0 else 128 - code
    finally:
        session.close()


if __name__ == "__main__":
    sys.exit(main())
