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

SOURCE_DIR = Path(__file__).resolve().parent.parent.parent
WIN_BUILD_DIR = Path(os.environ.get("TARVIX_WIN_BUILD_DIR") or SOURCE_DIR / "build" / "windows")
TARGET_EXE = WIN_BUILD_DIR / "tests" / "e2e" / "target" / "target_window.exe"
LIST_ROWS_EXE = WIN_BUILD_DIR / "tests" / "e2e" / "target" / "list_rows.exe"
WINDOW_TEXTS_EXE = WIN_BUILD_DIR / "tests" / "e2e" / "target" / "window_texts.exe"

# Virtual-key codes the scripts below use.
VK = {"F5": 0x74, "F6": 0x75, "F7": 0x76, "F8": 0x77, "F9": 0x78, "F10": 0x79,
      "A": 0x41, "B": 0x42, "C": 0x43}
SHIFT, CTRL, ALT = 1, 2, 4


def script_text(actions, hotkey, mod=0, description="e2e", enable=1, run_once=None,
                repeat_type=0, repeat_number=1):
    """A script file in the written layout (Big5 text, CR LF lines)."""
    lines = ["[General]", f"Description={description}", f"BeginHotkey={hotkey}",
             f"BeginHotkeyMod={mod}"]
    if run_once is not None:
        lines.append(f"RunOnce={run_once}")
    lines += [f"Enable={enable}", "[Repeat]", f"Type={repeat_type}", f"Number={repeat_number}",
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

    def active(self):
        """Whether the window's last activation message made it the active one."""
        states = [name for _, name, _ in self.events() if name in ("active", "inactive")]
        return bool(states) and states[-1] == "active"

    def wait_for(self, predicate, timeout=20.0, settle=0.0):
        """Waits until predicate(self) holds; then, with settle, a little longer
        so that anything extra that would arrive is seen too."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if predicate(self):
                if settle:
                    time.sleep(settle)
                return True
            time.sleep(0.1)
        return False


class TarvixCase(unittest.TestCase):
    """One booted prefix for all cases of a file (per code page); a fresh
    program folder, tarvix and target window for each case."""

    edition_exe = "tarvix.exe"
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
        process = self.session.start(self.folder / exe, cwd=cwd or self.folder)
        try:
            return self.session.wait_window("Tapwisp", timeout=60)
        except TimeoutError:
            self.shot("no-main-window")
            raise AssertionError(f"{exe} showed no main window; "
                                 f"process {'ended with ' + str(process.returncode) if process.poll() is not None else 'still runs'}")

    def start_target(self, title="tarvix target"):
        if not TARGET_EXE.exists():
            self.skipTest(f"no {TARGET_EXE} (build the windows preset)")
        log_path = self.logs / (title.replace(" ", "_") + ".log")
        self.session.start(TARGET_EXE, [title, windows_path(log_path)], cwd=self.logs)
        window = self.session.wait_window(title, timeout=60)
        log = TargetLog(log_path)
        self.assertTrue(log.wait_for(lambda l: l.named("ready")), "target window wrote nothing")
        self.focus(window, log)
        return window, log

    def focus(self, window, log=None):
        """Gives the window the focus; with the target's log, waits until
        Wine has made it the active window (one-window mode looks at it)."""
        window.activate()
        time.sleep(0.3)
        if log is not None:
            self.assertTrue(log.wait_for(TargetLog.active, timeout=10), f"{window.name()} did not become active")

    def rows(self):
        """The main list's rows as another program reads them: one tuple
        (selected, focused, hotkey, valid mark, description, file name) each."""
        self.assertTrue(LIST_ROWS_EXE.exists(), f"no {LIST_ROWS_EXE} (build the windows preset)")
        result = subprocess.run(["wine", str(LIST_ROWS_EXE), "Tapwisp"], env=self.session.env(),
                                capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 0, "list_rows could not read the main list")
        rows = []
        for line in result.stdout.decode("utf-8").splitlines():
            marks, *cells = line.split("\t")
            selected, focused = marks.split()
            rows.append((selected == "1", focused == "1", *cells))
        return rows

    def _window_texts(self, *args):
        if not WINDOW_TEXTS_EXE.exists():
            raise AssertionError(f"no {WINDOW_TEXTS_EXE} (build the windows preset)")
        process = self.session.start(WINDOW_TEXTS_EXE, args, cwd=self.logs, stdout=subprocess.PIPE)
        out, _ = process.communicate(timeout=60)
        self.assertEqual(process.returncode, 0, f"window_texts {' '.join(map(str, args))}: no such control")
        return out.decode("utf-8")

    def control_text(self, title, control_id):
        """A control's text in the window titled `title`, or a list view's
        rows as lists of column texts; checks the prefix's code page too."""
        lines = self._window_texts("get", title, control_id).split("\n")
        self.assertEqual(lines[0], f"codepage {self.code_page}")
        body = [line for line in lines[1:] if line]
        return body

    def control_rows(self, title, control_id):
        return [line.split("\t") for line in self.control_text(title, control_id)]

    def wait_checked(self, title, control_id, timeout=20.0):
        """Waits until a check box or radio button reads as checked: a click
        queued behind a busy window has then been handled, and a hotkey
        report posted after it cannot overtake it."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self._window_texts("checked", title, control_id).strip() == "1":
                return True
            time.sleep(0.1)
        return False

    def foreground_title(self):
        return self._window_texts("foreground").rstrip("\n")

    def set_control_text(self, title, control_id, text):
        """Puts text into an edit control as typing it would."""
        self._window_texts("set", title, control_id, text)

    def press(self, *keys):
        self.session.xdotool("key", "--delay", "60", *keys)

    def shot(self, name):
        return self.session.screenshot(f"{type(self).__name__}-{self._testMethodName}-{name}")
