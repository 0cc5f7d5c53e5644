"""Recording in the editor of edition 1.1: keys typed and clicks made with
xdotool at known gaps into the target window while tarvix is out of sight,
ended with the stop hotkey, saved, and played back into the same window:
the same events, in the same order, at the same pixels, and with the timing
kept, at the same gaps."""

import subprocess
import time
import unittest

from e2e import TarvixCase, VK
from test_editor import BEGIN_HOTKEY, EDITOR, OK, WINDOW_TEXTS_EXE, centre, script_lines

RECORD_BUTTON = centre(245, 65, 50, 15)
RECORD_DIALOG = "錄製"
RECORD_PATH = centre(12, 10, 100, 12)

# Wine on a bare display holds a window's thread for up to three seconds
# after it hides or shows one of its windows; recording starts after that.
HIDE_STALL = 3.5

# What the target window logs that a recording reproduces.
KEPT = ("keydown", "keyup", "lbuttondown", "lbuttonup", "rbuttondown", "rbuttonup")

# Typing and clicking at known gaps, the clicks clear of where the main
# window is when the script plays back, as one xdotool command so that its own
# start-up adds nothing between them: a Ctrl chord, two overlapping keys, a
# key held long, a click, a right click elsewhere, and a key pressed again.
WORK = ["keydown", "ctrl", "sleep", "0.08", "keydown", "c", "sleep", "0.05", "keyup", "c",
        "sleep", "0.07", "keyup", "ctrl", "sleep", "0.2",
        "keydown", "x", "sleep", "0.03", "keydown", "z", "sleep", "0.04", "keyup", "x",
        "sleep", "0.09", "keyup", "z", "sleep", "0.15",
        "keydown", "v", "sleep", "0.3", "keyup", "v", "sleep", "0.1",
        "mousemove", "880", "620", "sleep", "0.1", "click", "1", "sleep", "0.25",
        "mousemove", "960", "700", "sleep", "0.1", "click", "3", "sleep", "0.12",
        "key", "v", "sleep", "0.1"]
EXPECTED_COUNT = 16


def kept_events(events, skip_vks=()):
    """(time, event, args) of what recording keeps, positions of buttons only."""
    out = []
    for t, name, args in events:
        if name not in KEPT:
            continue
        if name.startswith("key") and int(args[0], 16) in skip_vks:
            continue
        out.append((t, name, tuple(args)))
    return out


def gaps(events):
    return [b[0] - a[0] for a, b in zip(events, events[1:])]


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(p / 100 * (len(ordered) - 1))))]


class Record(TarvixCase):

    def click(self, window, point):
        x, y = point
        self.session.xdotool("mousemove", "--window", window.id, x, y, "click", "1")
        time.sleep(0.4)

    def wait_closed(self, title, timeout=20):
        deadline = time.monotonic() + timeout
        while self.session.visible_windows(title) and time.monotonic() < deadline:
            time.sleep(0.1)
        return not self.session.visible_windows(title)

    def message_text(self, title):
        """The texts of a message box's controls, read inside Wine."""
        self.session.wait_window(title, timeout=20)
        if not WINDOW_TEXTS_EXE.exists():
            self.skipTest(f"no {WINDOW_TEXTS_EXE} (build the windows preset)")
        result = subprocess.run(["wine", str(WINDOW_TEXTS_EXE), title], env=self.session.env(),
                                capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 0, f"no window titled {title}")
        return result.stdout.decode("utf-8")

    def choose(self, mouse_path=None, keep_timing=None):
        """The remembered recording choices, as tarvix.ini holds them."""
        lines = ["[Record]"]
        if mouse_path is not None:
            lines.append(f"MousePath={int(mouse_path)}")
        if keep_timing is not None:
            lines.append(f"KeepTiming={int(keep_timing)}")
        (self.folder / "tarvix.ini").write_bytes(("\r\n".join(lines) + "\r\n").encode("ascii"))

    def open_editor_with_hotkey(self, with_target=True):
        """The editor of a new script with F8 as its start key; with the
        target window under it, which is returned with its log."""
        # The target first: on a bare display nothing raises a window that
        # is activated, and the full-screen target would cover tarvix's.
        target = self.start_target("record target") if with_target else (None, None)
        main = self.start_tarvix()
        self.focus(main)
        self.click(main, (48, 81))
        editor = self.session.wait_window(EDITOR, timeout=20)
        time.sleep(0.5)
        self.click(editor, BEGIN_HOTKEY)
        self.press("F8")
        return (editor, *target)

    def start_recording(self, editor, tick_path=False):
        self.click(editor, RECORD_BUTTON)
        dialog = self.session.wait_window(RECORD_DIALOG, timeout=20)
        self.focus(dialog)
        time.sleep(0.5)
        if tick_path:
            self.click(dialog, RECORD_PATH)
        self.shot("choices")
        # 開始 is the default button. Clicked with xdotool right after the
        # dialog's activation, it was now and then left pushed down with its
        # release never arriving on this bare display.
        self.press("Return")
        if not self.wait_closed(EDITOR):
            self.shot("not-hidden")
            self.fail("the editor stayed in sight while recording")
        self.assertTrue(self.wait_closed("Tapwisp"), "the main window stayed in sight")
        time.sleep(HIDE_STALL)

    def stop_recording(self):
        self.press("ctrl+shift+a")
        editor = self.session.wait_window(EDITOR, timeout=20)
        time.sleep(0.5)
        return editor

    def record_and_replay(self, tick_path=False, work=WORK, play_seconds=30):
        """Records the work into the target window, saves the script and plays
        it back; returns (recorded events, replayed events, script lines)."""
        editor, target, log = self.open_editor_with_hotkey()
        self.start_recording(editor, tick_path)
        self.focus(target, log)
        before = len(log.events())
        self.session.xdotool(*work)
        time.sleep(0.5)
        recorded = log.events()[before:]
        editor = self.stop_recording()
        self.shot("recorded")
        self.click(editor, OK)
        self.assertTrue(self.wait_closed(EDITOR), "OK did not close the editor")
        [path] = sorted((self.folder / "script").glob("*.txt"))
        lines = script_lines(path)

        # The editor took the activation without the X focus, which stayed on
        # the target: the target is activated from another window, whose
        # return takes a stall first.
        time.sleep(HIDE_STALL)
        self.focus(self.session.wait_window("Tapwisp"))
        self.focus(target, log)
        # The played keys go to Wine's foreground window, which can follow
        # the activation the target logged a moment later.
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline and self.foreground_title() != target.name():
            time.sleep(0.1)
        self.assertEqual(self.foreground_title(), target.name(), "the target never came to the foreground")
        time.sleep(0.5)
        before = len(log.events())
        self.press("F8")
        self.assertTrue(log.wait_for(
            lambda l: len(kept_events(l.events()[before:], (VK["F8"],))) >= len(kept_events(recorded)),
            timeout=play_seconds, settle=1.0), f"the recording did not play back in full: {log.events()[before:]}")
        replayed = log.events()[before:]
        self.target_log = log
        return recorded, replayed, lines

    def assert_same_events(self, recorded, replayed):
        want = [(name, args) for _, name, args in kept_events(recorded)]
        got = [(name, args) for _, name, args in kept_events(replayed, (VK["F8"],))]
        self.assertEqual(len(want), EXPECTED_COUNT, f"xdotool's work arrived as {want}")
        self.assertEqual(got, want)

    def assert_same_gaps(self, recorded, replayed):
        """Gap errors as the target window saw both runs. The goal (p95 5 ms,
        max 15 ms) is the benchmark's to measure on a quiet machine; here the
        median must hold it, and no gap may be off by a player's hold, which
        is what a hold or a Delay left out of the reckoning would cost."""
        errors = [abs(a - b) for a, b in zip(gaps(kept_events(recorded)),
                                             gaps(kept_events(replayed, (VK["F8"],))))]
        print(f"gap errors (ms): p50 {percentile(errors, 50):.2f} p95 {percentile(errors, 95):.2f} "
              f"max {max(errors):.2f}", flush=True)
        self.assertLessEqual(percentile(errors, 50), 5.0, errors)
        self.assertLess(max(errors), 45.0, errors)

    def test_keys_and_clicks_replay_at_their_gaps_with_the_timing_kept(self):
        self.choose(keep_timing=True)
        recorded, replayed, lines = self.record_and_replay()
        self.assert_same_events(recorded, replayed)
        self.assert_same_gaps(recorded, replayed)
        # The key that chose 開始 is no part of it: the work's first key comes first.
        self.assertEqual(lines[0], "KeyDown 17 1")
        self.assertIn("Delay", " ".join(lines))
        self.assertIn(b"KeepTiming=1", (self.folder / "tarvix.ini").read_bytes())

    def test_without_the_timing_the_script_is_compact(self):
        self.choose(keep_timing=False)
        recorded, replayed, lines = self.record_and_replay()
        self.assert_same_events(recorded, replayed)
        self.assertEqual(lines, [
            "KeyDown 17 1", "KeyPress 67 1", "KeyUp 17 1",
            "KeyDown 88 1", "KeyDown 90 1", "KeyUp 88 1", "KeyUp 90 1",
            "KeyPress 86 1",
            "MoveTo 880 620", "LeftClick 1", "MoveTo 960 700", "RightClick 1",
            "KeyPress 86 1"])

    def test_the_pointer_path_is_sampled_when_asked_for(self):
        self.choose(mouse_path=False, keep_timing=True)
        path = ["mousemove", "760", "580", "sleep", "0.05"]
        for step in range(1, 11):
            path += ["mousemove", str(760 + 20 * step), str(580 + 15 * step), "sleep", "0.02"]
        work = path + WORK
        recorded, replayed, lines = self.record_and_replay(tick_path=True, work=work)
        self.assertIn(b"MousePath=1", (self.folder / "tarvix.ini").read_bytes())
        self.assert_same_events(recorded, replayed)
        self.assert_same_gaps(recorded, replayed)
        moves = [line for line in lines if line.startswith("MoveTo")]
        self.assertGreaterEqual(len(moves), 10, lines)
        cursor = [tuple(args) for _, name, args in replayed if name == "cursor"]
        passed = [(str(760 + 20 * s), str(580 + 15 * s)) for s in range(1, 11)]
        self.assertGreaterEqual(len([p for p in passed if p in cursor]), 8, cursor)

    def test_a_recording_of_nothing_inserts_nothing(self):
        self.choose(keep_timing=True)
        # The keys that end it reach Wine's hook only through a Wine window
        # that has the focus.
        editor, target, log = self.open_editor_with_hotkey()
        self.start_recording(editor)
        self.focus(target, log)
        editor = self.stop_recording()
        self.click(editor, OK)
        # OK refuses a script without actions.
        self.assertIn("沒有腳本", self.message_text("tarvix"))


if __name__ == "__main__":
    unittest.main()
