#!/usr/bin/python3
"""Runs tarvix and its Windows-side test programs under Wine on a virtual display.

Every run gets a Wine prefix of its own in a temporary folder, in the users'
code page (950) unless asked for another, with the Chinese dialog fonts
mapped, and an Xvfb display of its own. Only what the harness started is ended: processes by their id, the
Wine server of its own prefix, its own Xvfb; its temporary folders are removed.

As a module (for the end-to-end tests):

    with harness.Session() as session:            # display + prefix
        folder = session.program_folder()          # copy of the program folder
        app = session.start(folder / "tarvix.exe", desktop=True)
        window = session.wait_window("Tapwisp")
        session.screenshot("main-window")

As a command:

    harness.py run-exe [--code-page N] EXE [ARGS...]
                                         run a Windows console program, exit with its code
    harness.py start [--dist DIR] [--classic] [--keep] [--virtual]
                                         on $DISPLAY: the built program folder itself,
                                         with a prefix kept in build/windows/wine;
                                         without one: a virtual display, a screenshot
"""

import argparse
import atexit
import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
SOURCE_DIR = HERE.parent.parent
DEFAULT_DIST = SOURCE_DIR / "build" / "windows" / "dist"

SCREEN = "1024x768"
DESKTOP_NAME = "tarvix"
# Wine takes the ANSI code page from the locale: 950 (Big5) as on the users'
# systems, 1252 as on an English Windows. Unix names stay UTF-8 in both.
LOCALES = {950: "zh_TW.UTF-8", 1252: "en_US.UTF-8"}
DEFAULT_CODE_PAGE = 950

# The dialog templates name these faces; Wine has none of them, so without the
# mapping Chinese text comes out as boxes.
FONT_REPLACEMENTS = ("宋体", "新細明體", "System", "MS Shell Dlg")
CHINESE_FONT = "WenQuanYi Micro Hei"


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
    """The assembled program folder: argument, then TARVIX_DIST, then the build's."""
    return Path(explicit or os.environ.get("TARVIX_DIST") or DEFAULT_DIST).resolve()


def artifacts_dir():
    folder = Path(os.environ.get("TARVIX_ARTIFACTS") or SOURCE_DIR / "build" / "artifacts")
    folder.mkdir(parents=True, exist_ok=True)
    return folder


def _die_with_parent():
    # Runs in the child between fork and exec: if the harness is killed
    # outright (a ctest time-out), the display does not outlive it.
    PR_SET_PDEATHSIG = 1
    try:
        ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)
    except (OSError, AttributeError):
        pass


def _stop_process(process, grace=3.0):
    """Ends one process this harness started (and its process group)."""
    if process is None or process.poll() is not None:
        return
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, grace)):
        try:
            os.killpg(process.pid, sig)
        except (ProcessLookupError, PermissionError):
            try:
                process.send_signal(sig)
            except ProcessLookupError:
                return
        try:
            process.wait(wait)
            return
        except subprocess.TimeoutExpired:
            continue


class Display:
    """An Xvfb server on a display number nobody else uses."""

    def __init__(self, screen=SCREEN, first=90, attempts=40):
        self.screen = screen
        self.first = first
        self.attempts = attempts
        self.number = None
        self.process = None

    @property
    def name(self):
        return f":{self.number}"

    @staticmethod
    def _taken(number):
        return (Path(f"/tmp/.X{number}-lock").exists()
                or Path(f"/tmp/.X11-unix/X{number}").exists())

    def start(self):
        # Two harnesses may pick the same free number at once; Xvfb then
        # refuses the second, which tries the next number.
        for number in range(self.first, self.first + self.attempts):
            if self._taken(number):
                continue
            process = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", f"{self.screen}x24", "-nolisten", "tcp"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                start_new_session=True, preexec_fn=_die_with_parent)
            if self._wait_ready(number, process):
                self.number, self.process = number, process
                return self
            _stop_process(process)
        raise RuntimeError("no free X display number for Xvfb")

    @staticmethod
    def _wait_ready(number, process, timeout=10.0):
        socket = Path(f"/tmp/.X11-unix/X{number}")
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if process.poll() is not None:
                return False
            if socket.exists():
                probe = subprocess.run(["xdpyinfo", "-display", f":{number}"],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                if probe.returncode == 0:
                    return True
            time.sleep(0.1)
        return False

    @classmethod
    def existing(cls, name):
        """The user's own display; stop() leaves it alone."""
        display = cls()
        display.number = name.lstrip(":")
        return display

    def stop(self):
        _stop_process(self.process)
        self.process = None


class Prefix:
    """A fresh Wine prefix in a temporary folder, booted and with fonts mapped."""

    def __init__(self, display, root=None, code_page=DEFAULT_CODE_PAGE):
        self.display = display
        self.code_page = code_page
        self.root = Path(root) if root else Path(tempfile.mkdtemp(prefix="tarvix-wine-"))
        self.root.mkdir(parents=True, exist_ok=True)
        self.path = self.root / "prefix"
        self.boot_seconds = None

    def booted(self):
        return (self.path / "system.reg").exists() and (self.root / "fonts.reg").exists()

    def env(self, extra=None):
        env = dict(os.environ)
        env.update({
            "WINEPREFIX": str(self.path),
            "WINEARCH": "win64",
            "WINEDEBUG": "-all",
            # Without these Wine offers to download Mono and Gecko, which cannot
            # be had here; the menu builder would write into the user's home.
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
            "LC_ALL": LOCALES[self.code_page],
            "LANG": LOCALES[self.code_page],
            "DISPLAY": self.display.name,
        })
        # tarvix asks a web server for its advertisement page at start; no
        # test reaches the Internet: a port on this machine nobody listens to.
        env.setdefault("TARVIX_AD_URL", "http://127.0.0.1:9/cn/ad/ad_tarvix.htm")
        if extra:
            env.update(extra)
        return env

    def run(self, args, timeout=120, **kwargs):
        return subprocess.run(args, env=self.env(), timeout=timeout,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)

    def boot(self):
        started = time.monotonic()
        self.run(["wine", "wineboot", "-i"], timeout=180)
        self.run(["wineserver", "-w"], timeout=180)
        self._map_fonts()
        self.boot_seconds = time.monotonic() - started
        log(f"prefix {self.path} booted in {self.boot_seconds:.1f} s")
        return self

    def _map_fonts(self):
        values = {face: CHINESE_FONT for face in FONT_REPLACEMENTS}
        # Xvfb has no window manager to send WM_TAKE_FOCUS; with this Wine
        # takes the X focus that xdotool gives a window as its activation,
        # as a click on it would be under a window manager.
        self.set_registry({r"HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements": values,
                           r"HKEY_CURRENT_USER\Software\Wine\X11 Driver": {"UseTakeFocus": "N"}}, settle=True)

    def set_registry(self, keys, settle=False):
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
            lines.append(f"[{key}]")
            lines += [f'{"@" if name == "@" else value(name)}={value(v)}' for name, v in values.items()]
            lines.append("")
        handle, name = tempfile.mkstemp(suffix=".reg", dir=self.root)
        os.close(handle)
        reg = Path(name)
        reg.write_bytes(("\r\n".join(lines) + "\r\n").encode("utf-16"))
        self.run(["wine", "regedit", "/S", str(reg)])
        if settle:
            self.run(["wineserver", "-w"])
        reg.unlink()

    def kill(self):
        """Ends every process of this prefix, and only of this one, and
        returns once none is left."""
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
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
            if not wait_until(lambda: not self.processes(), timeout=30):
                raise RuntimeError(f"the prefix's processes outlived their server: {self.processes()}")

    def processes(self):
        """Unix pids of the Wine processes of this prefix, with their command lines."""
        found = {}
        marker = f"WINEPREFIX={self.path}".encode()
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                if marker not in (entry / "environ").read_bytes().split(b"\0"):
                    continue
                cmdline = (entry / "cmdline").read_bytes().replace(b"\0", b" ").decode(errors="replace")
            except OSError:
                continue
            found[int(entry.name)] = cmdline.strip()
        return found

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)


class Window:
    def __init__(self, session, wid):
        self.session = session
        self.id = wid

    def activate(self):
        self.session.xdotool("windowactivate", "--sync", self.id, check=False)
        self.session.xdotool("windowfocus", "--sync", self.id, check=False)

    def name(self):
        return self.session.xdotool("getwindowname", self.id).strip()


class Session:
    """A display, a prefix and whatever is started in them, ended together.

    With reuse_prefix, one booted prefix per code page is kept for the whole
    Python process (test cases in one file share it); its processes are still
    ended at the end of every session.
    """

    _shared = {}  # code page: (Display, Prefix), kept for the life of the process

    def __init__(self, reuse_prefix=False, code_page=DEFAULT_CODE_PAGE):
        if code_page not in LOCALES:
            raise ValueError(f"no locale known for code page {code_page}")
        self.reuse_prefix = reuse_prefix
        self.code_page = code_page
        self.display = None
        self.prefix = None
        self.processes = []
        self.temp_dirs = []

    # -- life cycle ---------------------------------------------------------

    def __enter__(self):
        try:
            self.open()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def open(self):
        if self.reuse_prefix:
            if self.code_page not in Session._shared:
                display = Display().start()
                try:
                    Session._shared[self.code_page] = (display, Prefix(display, code_page=self.code_page).boot())
                except BaseException:
                    display.stop()
                    raise
                if len(Session._shared) == 1:
                    atexit.register(Session.release_shared)
            self.display, self.prefix = Session._shared[self.code_page]
        else:
            self.display = Display().start()
            self.prefix = Prefix(self.display, code_page=self.code_page).boot()
        return self

    def stop_all(self):
        """Ends every program started so far (and the prefix's Wine server);
        folders and display stay for what follows."""
        for process in reversed(self.processes):
            _stop_process(process)
        self.processes.clear()
        if self.prefix is not None:
            self.prefix.kill()

    def close(self):
        self.stop_all()
        if self.prefix is not None:
            if not self.reuse_prefix:
                self.prefix.remove()
        if self.display is not None and not self.reuse_prefix:
            self.display.stop()
        for folder in self.temp_dirs:
            shutil.rmtree(folder, ignore_errors=True)
        self.temp_dirs.clear()

    @staticmethod
    def release_shared():
        while Session._shared:
            _, (display, prefix) = Session._shared.popitem()
            prefix.kill()
            prefix.remove()
            display.stop()

    # -- folders ------------------------------------------------------------

    def temp_dir(self, prefix="tarvix-"):
        folder = Path(tempfile.mkdtemp(prefix=prefix))
        self.temp_dirs.append(folder)
        return folder

    def program_folder(self, dist=None, without=(), examples=False):
        """A copy of the assembled program folder; names in `without` are left
        out, and so are the example scripts unless asked for: each test
        brings the scripts it needs."""
        source = dist_dir(dist)
        if not (source / "tarvix.exe").exists():
            raise FileNotFoundError(f"no program folder at {source} (build the windows preset)")
        folder = self.temp_dir("tarvix-program-") / "tarvix"
        def left_out(directory, names):
            if Path(directory) == source:
                return [n for n in names if n in without]
            if Path(directory) == source / "script" and not examples:
                return list(names)
            return []
        shutil.copytree(source, folder, ignore=left_out)
        return folder

    # -- processes ----------------------------------------------------------

    def env(self, extra=None):
        return self.prefix.env(extra)

    def start(self, exe, args=(), cwd=None, desktop=False, stdout=subprocess.DEVNULL,
              stderr=subprocess.DEVNULL, env=None):
        """Starts a Windows program; with desktop, inside Wine's desktop window
        (frames, a taskbar and a notification area); env adds variables."""
        command = ["wine"]
        if desktop:
            command += ["explorer", f"/desktop={DESKTOP_NAME},{SCREEN}"]
        command += [str(exe), *map(str, args)]
        process = subprocess.Popen(command, cwd=str(cwd) if cwd else None, env=self.env(env),
                                   stdin=subprocess.DEVNULL, stdout=stdout, stderr=stderr,
                                   start_new_session=True)
        self.processes.append(process)
        return process

    def windows_processes(self, image):
        """Unix pids of this prefix's processes running the program file `image`."""
        image = image.lower()
        return sorted(pid for pid, cmdline in self.prefix.processes().items()
                      if image in cmdline.lower().replace("/", "\\"))

    # -- X side -------------------------------------------------------------

    def xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool", *map(str, args)], env=self.env(),
                                capture_output=True, text=True, timeout=30)
        if check and result.returncode != 0:
            raise RuntimeError(f"xdotool {' '.join(map(str, args))}: {result.stderr.strip()}")
        return result.stdout

    def visible_windows(self, title):
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                                env=self.env(), capture_output=True, text=True, timeout=30)
        return [line for line in result.stdout.split() if line]

    def wait_window(self, title, timeout=30.0):
        found = []
        if not wait_until(lambda: found.append(self.visible_windows(title)) or found[-1], timeout, step=0.2):
            raise TimeoutError(f"no window titled {title!r} within {timeout} s")
        return Window(self, found[-1][0])

    def screenshot(self, name):
        """The whole screen as a PNG in the artifacts folder; returns its path."""
        path = artifacts_dir() / f"{name}.png"
        subprocess.run(["import", "-display", self.display.name, "-window", "root", str(path)],
                       env=self.env(), check=True, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path


# -- command line -------------------------------------------------------------

def _cleanup_on_signals(session):
    def handler(signum, _frame):
        session.close()
        sys.exit(128 + signum)
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(sig, handler)


def command_run_exe(args):
    exe = Path(args.exe).resolve()
    if not exe.exists():
        log(f"no such program: {exe}")
        return 2
    with Session(code_page=args.code_page) as session:
        _cleanup_on_signals(session)
        # Output goes straight through, so a long test shows progress as it runs.
        process = session.start(exe, args.args, cwd=args.cwd or exe.parent,
                                stdout=None, stderr=None)
        try:
            code = process.wait(timeout=args.timeout)
        except subprocess.TimeoutExpired:
            log(f"{exe.name} still running after {args.timeout} s; stopping it")
            return 124
        # Wine gives the Windows exit code as the process's status, modulo 256.
        return code if code >= 0 else 128 - code


def command_start_on_display(args, exe_name):
    """tarvix for a person at the screen: the built program folder itself, so
    scripts made in it are kept, and a prefix kept beside the build."""
    folder = dist_dir(args.dist)
    if not (folder / exe_name).exists():
        log(f"no {exe_name} in {folder} (build the windows preset)")
        return 2
    display = Display.existing(os.environ["DISPLAY"])
    prefix = Prefix(display, root=folder.parent / "wine")
    if not prefix.booted():
        log(f"preparing a Wine prefix in {prefix.path} (once)")
        prefix.boot()
    log(f"starting {folder / exe_name} on display {os.environ['DISPLAY']}")
    process = subprocess.Popen(["wine", str(folder / exe_name)], cwd=str(folder), env=prefix.env(),
                               stdin=subprocess.DEVNULL)
    try:
        process.wait()
    except KeyboardInterrupt:
        prefix.kill()
    return 0


def command_start(args):
    exe_name = "tarvix-classic.exe" if args.classic else "tarvix.exe"
    if os.environ.get("DISPLAY") and not args.virtual:
        return command_start_on_display(args, exe_name)
    with Session() as session:
        _cleanup_on_signals(session)
        folder = session.program_folder(args.dist, examples=True)
        session.start(folder / exe_name, cwd=folder, desktop=True)
        try:
            session.wait_window(args.title, timeout=args.timeout)
        except TimeoutError as error:
            log(str(error))
        time.sleep(1.0)  # let the dialog finish painting
        shot = session.screenshot(exe_name.replace(".exe", "-start"))
        print(shot, flush=True)
        if args.keep:
            log(f"running on display {session.display.name}; Ctrl+C stops it")
            try:
                while any(p.poll() is None for p in session.processes):
                    time.sleep(0.5)
            except KeyboardInterrupt:
                pass
    return 0


def main(argv=None):
    parser = argparse.ArgumentParser(
        description="Runs Windows programs under Wine in a fresh prefix on a virtual display.")
    commands = parser.add_subparsers(dest="command", required=True)

    run_exe = commands.add_parser(
        "run-exe", help="run a Windows console program; its output streams through and "
                        "the harness exits with its exit code")
    run_exe.add_argument("exe")
    run_exe.add_argument("args", nargs=argparse.REMAINDER)
    run_exe.add_argument("--timeout", type=float, default=None,
                         help="stop the program after this many seconds (exit 124)")
    run_exe.add_argument("--cwd", default=None, help="current folder (default: the program's)")
    run_exe.add_argument("--code-page", type=int, default=DEFAULT_CODE_PAGE, choices=sorted(LOCALES),
                         help="the prefix's ANSI code page (default %(default)s)")
    run_exe.set_defaults(handler=command_run_exe)

    start = commands.add_parser(
        "start", help="start tarvix: on $DISPLAY when there is one; otherwise in Wine's desktop on a virtual display, save a screenshot "
                      "(TARVIX_ARTIFACTS or build/artifacts), print its path, then stop it; "
                      "with --keep it goes on running until Ctrl+C")
    start.add_argument("--dist", default=None, help=f"program folder (default {DEFAULT_DIST})")
    start.add_argument("--classic", action="store_true", help="start edition 1.0 instead")
    start.add_argument("--keep", action="store_true", help="keep running until Ctrl+C")
    start.add_argument("--virtual", action="store_true",
                       help="use a virtual display even when $DISPLAY is set")
    start.add_argument("--title", default="Tapwisp", help="main window caption to wait for")
    start.add_argument("--timeout", type=float, default=30.0)
    start.set_defaults(handler=command_start)

    args = parser.parse_args(argv)
    return args.handler(args)


if __name__ == "__main__":
    sys.exit(main())
