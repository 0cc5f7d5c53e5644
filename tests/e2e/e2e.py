"""What the end-to-end tests share: script files as users write them, the
recording target window, and waiting for what it receives."""

import os
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import harness  # noqa: E402
from harness import wait_until  # noqa: E402,F401

SOURCE_DIR = Path(__file__).resolve().parent.parent.parent
WIN_BUILD_DIR = Path(os.environ.get("TARVIX_WIN_BUILD_DIR") or SOURCE_DIR / "build" / "windows")
TARGET_EXE = WIN_BUILD_DIR / "tests" / "e2e" / "target" / "target_window.exe"
PROBE_EXE = WIN_BUILD_DIR / "tests" / "e2e" / "target" / "window_probe.exe"

# The main window's list of scripts.
SCRIPT_LIST_ID = 1009

# Virtual-key codes the scripts below use.
VK = {"F5": 0x74, "F6": 0x75, "F7": 0x76, "F8": 0x77, "F9": 0x78, "F10": 0x79, "Insert": 0x2D,
      "A": 0x41, "B": 0x42, "C": 0x43}
SHIFT, CTRL, ALT = 1, 2, 4


def script_text(actions, hotkey, mod=0, description="e2e", enable=1, run_once=None,
                repeat_type=0, repeat_number=1, speed=None):
    """A script file in the written layout (Big5 text, CR LF lines)."""
    lines = ["[General]", f"Description={description}", f"BeginHotkey={hotkey}",
             f"BeginHotkeyMod={mod}"]
    if run_once is not None:
        lines.append(f"RunOnce={run_once}")
    lines.append(f"Enable={enable}")
    if speed is not None:
        lines.append(f"Speed={speed}")
    lines += ["[Repeat]", f"Type={repeat_type}", f"Number={repeat_number}",
              "", "[Script]", *actions]
    return ("\r\n".join(lines) + "\r\n").encode("cp950")


def windows_path(path):
    """The Wine path of a Unix path (drive Z: is the root)."""
    return "Z:" + str(path).replace("/", "\\")


class TargetLog:
    """The lines the target window wrote, as (milliseconds, event, args)."""

    def __init__(self, path):
        self.path = Path(path)

    def events(self):
        try:
            text = self.path.read_text(encoding="ascii", errors="replace")
        except FileNotFoundError:
            return []
        events = []
        for line in text.splitlines():
            parts = line.split()
            if len(parts) >= 2:
                events.append((float(parts[0]), parts[1], parts[2:]))
        return events

    def named(self, name):
        return [e for e in self.events() if e[1] == name]

    def text(self):
        """The characters received, as a string."""
        return "".join(chr(int(args[0], 16)) for _, name, args in self.events() if name == "char")

    def keydowns(self, vk):
        return [e for e in self.named("keydown") if int(e[2][0], 16) == vk]

    def keys_held(self):
        """Keys the window got a key-down of and not yet the key-up."""
        held = set()
        for _, name, args in self.events():
            if name == "keydown":
                held.add(args[0])
            elif name == "keyup":
                held.discard(args[0])
        return held

    def active(self):
        """Whether the window's last activation message made it the active one."""
        states = [name for _, name, _ in self.events() if name in ("active", "inactive")]
        return bool(states) and states[-1] == "active"

    def wait_for(self, predicate, timeout=20.0):
        """Waits until predicate(self) holds."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if predicate(self):
                return True
            time.sleep(0.1)
        return False


# A script that marks a point in what the target receives: started by its
# hotkey after everything a test checks for absence, its mark arrives after
# whatever an earlier press would have played. Its hotkey has no modifier
# (tarvix reads modifiers when it handles the key, by when a quick press has
# let them go), and its text "<Insert>" sorts after every hotkey the tests
# use, so the main list's first rows stay theirs.
SENTINEL_KEYS = "Insert"
SENTINEL_MARK = "#"


def require(path):
    """A helper program a case cannot run without; its absence is a failure
    (a build that left it out), never a skip."""
    if not Path(path).exists():
        raise AssertionError(f"no {path} (build the windows preset)")
    return path


# Inside Wine's desktop a window's frame is drawn within its X window: the
# client area of a dialog starts this far from the X window's corner
# (shell_probe's origin against xdotool's geometry). On a bare display the
# X window is the client area.
DESKTOP_FRAME = (3, 22)


class TarvixCase(unittest.TestCase):
    """One booted prefix for all cases of a file (per code page); a fresh
    program folder, tarvix and target window for each case.

    Every program of a case starts inside Wine's own desktop: on a bare X
    display without a window manager, hiding or activating a window stalls
    the program's window thread for seconds while Wine waits for a manager
    that is not there. A case that needs a display Wine's desktop cannot
    stand for (two monitors) sets `desktop = False`.

    Where a case checks that something did not happen, it ends with the
    sentinel script (text_before_sentinel): its mark arrives after whatever
    the case's own presses would have played."""

    edition_exe = "tarvix.exe"
    desktop = True
    # The prefix's ANSI code page: the users' 950, or 1252 as on an English
    # Windows.
    code_page = 950

    def setUp(self):
        self.session = harness.Session(reuse_prefix=True, code_page=self.code_page).open()
        self.addCleanup(self.session.close)
        self.folder = self.session.program_folder()
        self.logs = self.session.temp_dir("tarvix-logs-")

    def write_script(self, name, data, folder=None):
        script_dir = (folder or self.folder) / "script"
        script_dir.mkdir(exist_ok=True)
        (script_dir / name).write_bytes(data)

    def start_tarvix(self, exe=None, cwd=None):
        exe = exe or self.edition_exe
        process = self.session.start(self.folder / exe, cwd=cwd or self.folder, desktop=self.desktop)
        try:
            return self.session.wait_window("Tapwisp", timeout=60)
        except TimeoutError:
            self.shot("no-main-window")
            raise AssertionError(f"{exe} showed no main window; "
                                 f"process {'ended with ' + str(process.returncode) if process.poll() is not None else 'still runs'}")

    def start_target(self, title="tarvix target", place=None):
        """A recording target window, made the active window; over the
        rectangle `place` (x, y, width, height), or else over every monitor."""
        # Numbered: a title may hold what a code page cannot name a file with.
        log_path = self.logs / f"target{len(list(self.logs.glob('target*.log')))}.log"
        args = [title, windows_path(log_path)]
        if place:
            args.append(",".join(map(str, place)))
        self.session.start(require(TARGET_EXE), args, cwd=self.logs, desktop=self.desktop)
        window = self.session.wait_window(title, timeout=60)
        log = TargetLog(log_path)
        self.assertTrue(log.wait_for(lambda l: l.named("ready")), "target window wrote nothing")
        self.focus(window, log)
        return window, log

    def focus(self, window, log=None):
        """Gives the window the focus and waits until Wine has made it the
        active window: for a target window its log says so, for any other
        the system's foreground window is asked for."""
        window.activate()
        if log is not None:
            self.assertTrue(log.wait_for(TargetLog.active, timeout=10), f"{window.name()} did not become active")
            return
        title = window.name()
        self.assertTrue(wait_until(lambda: self.foreground_title() == title, timeout=10),
                        f"{title} did not come to the front")

    def bring_to_front(self, window, log):
        """Focus, then wait until the system's foreground window is this one:
        a one-window run compares with that, which can follow the activation
        late."""
        self.focus(window, log)
        title = window.name()
        seen = []
        self.assertTrue(wait_until(lambda: seen.append(self.foreground_title()) or seen[-1] == title),
                        f"{title} is not the foreground window but {seen[-1:]}; its last events {log.events()[-6:] if log else None}")

    def click_client(self, window, x, y):
        """Clicks a point given from the window's client area's corner. The
        pointer goes there first: inside Wine's desktop a button sent right
        after a move can land where the pointer was before it."""
        dx, dy = DESKTOP_FRAME if self.desktop else (0, 0)
        self.session.xdotool("mousemove", "--window", window.id, x + dx, y + dy)
        time.sleep(0.1)
        self.session.xdotool("click", "1")

    def click_control(self, window, control_id):
        """Clicks the middle of a control, its place asked of the window."""
        x, y, w, h = map(int, self.window_probe("rect", window.name(), control_id).split())
        self.click_client(window, x + w // 2, y + h // 2)

    def write_sentinel(self):
        self.write_script("sentinel.txt", script_text([f"SayString {SENTINEL_MARK}"], VK["Insert"],
                                                      description="sentinel"))

    def text_before_sentinel(self, log):
        """Presses the sentinel's hotkey (written with write_sentinel before
        tarvix started) and waits for its mark; returns what the target had
        typed into it before, without the marks."""
        # A key a run still holds (Shift for a capital) would be read as a
        # modifier of the sentinel's hotkey.
        self.assertTrue(log.wait_for(lambda l: not l.keys_held()), f"keys held: {log.keys_held()}")
        marks = log.text().count(SENTINEL_MARK)
        self.press(SENTINEL_KEYS)
        self.assertTrue(log.wait_for(lambda l: l.text().count(SENTINEL_MARK) > marks),
                        f"the sentinel did not arrive: {log.text()!r}, last events {log.events()[-12:]}")
        return log.text().replace(SENTINEL_MARK, "")

    def window_probe(self, *args):
        """What window_probe.exe answers (see its source for the questions)."""
        process = self.session.start(require(PROBE_EXE), args, cwd=self.logs, stdout=subprocess.PIPE)
        out, _ = process.communicate(timeout=60)
        self.assertEqual(process.returncode, 0, f"window_probe {' '.join(map(str, args))}: no such window or control")
        return out.decode("utf-8")

    def rows(self, title="Tapwisp", control_id=SCRIPT_LIST_ID):
        """A list view's rows as another program reads them; for the main
        list one tuple (selected, focused, hotkey, valid mark, description,
        file name) each."""
        rows = []
        for line in self.window_probe("rows", title, control_id).splitlines():
            marks, *cells = line.split("\t")
            selected, focused = marks.split()
            rows.append((selected == "1", focused == "1", *cells))
        return rows

    def client_area(self, window):
        """(x, y, width, height) of the window's client area, x and y at the
        X root. Inside Wine's desktop the X window holds the frame too, and
        the frame's size follows the system's scale."""
        if self.desktop:
            return tuple(map(int, self.window_probe("client", window.name()).split()))
        out = self.session.xdotool("getwindowgeometry", "--shell", window.id)
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return tuple(int(values[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))

    def message_text(self, title):
        """The texts of a message box's controls: one line per control, its
        id, a tab and its text."""
        self.session.wait_window(title, timeout=20)
        return self.window_probe("texts", title)

    def control_text(self, title, control_id):
        """A control's text in the window titled `title`, or a list view's
        rows as lists of column texts; checks the prefix's code page too."""
        lines = self.window_probe("get", title, control_id).split("\n")
        self.assertEqual(lines[0], f"codepage {self.code_page}")
        body = [line for line in lines[1:] if line]
        return body

    def control_rows(self, title, control_id):
        return [line.split("\t") for line in self.control_text(title, control_id)]

    def wait_checked(self, title, control_id, timeout=20.0):
        """Waits until a check box or radio button reads as checked: a click
        queued behind a busy window has then been handled, and a hotkey
        report posted after it cannot overtake it."""
        return wait_until(lambda: self.window_probe("checked", title, control_id).strip() == "1", timeout)

    def foreground_title(self):
        return self.window_probe("foreground").rstrip("\n")

    def set_control_text(self, title, control_id, text):
        """Puts text into an edit control as typing it would."""
        self.window_probe("set", title, control_id, text)

    def press(self, *keys):
        self.session.xdotool("key", "--delay", "60", *keys)

    def press_held(self, modifiers, key, hold=0.5):
        """A hotkey with modifiers as a hand presses it: the modifiers stay
        down a moment after the key, since tarvix reads them when it handles
        the key, not when the key went down."""
        modifiers = [m for m in modifiers.split("+") if m]
        self.session.xdotool(*[a for m in modifiers for a in ("keydown", m)], "keydown", key)
        time.sleep(hold)
        self.session.xdotool("keyup", key, *[a for m in reversed(modifiers) for a in ("keyup", m)])

    def shot(self, name):
        return self.session.screenshot(f"{type(self).__name__}-{self._testMethodName}-{name}")
