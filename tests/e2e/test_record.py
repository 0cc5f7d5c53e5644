"""Recording in the editor of edition 1.1: keys typed and clicks made with
xdotool at known gaps into the target window while tarvix is out of sight,
ended with the stop hotkey, saved, and played back into the same window:
the same events, in the same order, at the same pixels, and with the timing
kept, at the same gaps."""

import time
import unittest

from e2e import SENTINEL_KEYS, SENTINEL_MARK, TarvixCase, VK, wait_until
from test_editor import ACTION_LIST_ID, BEGIN_HOTKEY, EDITOR, OK, centre, script_lines

ADD = (48, 81)
RECORD_BUTTON = centre(245, 65, 50, 15)
RECORD_DIALOG = "錄製"
RECORD_PATH = centre(12, 10, 100, 12)
START = centre(118, 8, 44, 16)
# Where Wine's desktop draws the notification icon (the only one there).
TRAY_ICON = ("1013", "757")

# What the target window logs that a recording reproduces.
KEPT = ("keydown", "keyup", "lbuttondown", "lbuttonup", "rbuttondown", "rbuttonup", "mbuttondown", "mbuttonup",
        "xbuttondown", "xbuttonup", "wheel", "hwheel")

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
        "key", "v"]
WORK_EVENTS = 16

# The middle button, the two side buttons (X buttons 8 and 9) and the wheel
# each way (4 up, 5 down, 6 left, 7 right), one spot, no keys.
OTHER_BUTTONS = ["mousemove", "880", "620", "sleep", "0.1", "click", "2", "sleep", "0.12", "click", "8",
                 "sleep", "0.1", "click", "9", "sleep", "0.15", "click", "4", "sleep", "0.05", "click", "4",
                 "sleep", "0.1", "click", "5", "sleep", "0.1", "click", "6", "sleep", "0.1", "click", "7"]
OTHER_BUTTON_EVENTS = 11


def kept_events(events, skip_vks=()):
    """(time, event, what) of what recording keeps: a key's code, a button's
    position (the key's message time is no part of what it is)."""
    out = []
    for t, name, args in events:
        if name not in KEPT:
            continue
        if name.startswith("key"):
            if int(args[0], 16) in skip_vks:
                continue
            args = args[:1]
        out.append((t, name, tuple(args)))
    return out


def unplaced(events):
    """The events without the buttons' positions."""
    return [(t, name, () if "button" in name else args) for t, name, args in events]


def button_places(lines):
    """Where the script has the pointer at each button press it plays."""
    places, at = [], None
    presses = {"LeftClick": 1, "RightClick": 1, "LeftDown": 1, "RightDown": 1, "LeftDoubleClick": 2}
    for line in lines:
        kind, *numbers = line.split()
        if kind == "MoveTo":
            at = (int(numbers[0]), int(numbers[1]))
        places += [at] * presses.get(kind, 0)
    return places


def gaps(events):
    return [b[0] - a[0] for a, b in zip(events, events[1:])]


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(p / 100 * (len(ordered) - 1))))]


class Record(TarvixCase):

    def click(self, window, point):
        self.click_client(window, *point)

    def wait_closed(self, title, timeout=20):
        return wait_until(lambda: not self.session.visible_windows(title), timeout)

    def choose(self, mouse_path=None, keep_timing=None):
        """The remembered recording choices, as tarvix.ini holds them."""
        lines = ["[Record]"]
        if mouse_path is not None:
            lines.append(f"MousePath={int(mouse_path)}")
        if keep_timing is not None:
            lines.append(f"KeepTiming={int(keep_timing)}")
        (self.folder / "tarvix.ini").write_bytes(("\r\n".join(lines) + "\r\n").encode("ascii"))

    def open_editor_with_hotkey(self):
        """The editor of a new script with F8 as its start key, over the
        target window, which is returned with its log."""
        self.write_sentinel()
        main = self.start_tarvix()
        target, log = self.start_target("record target")
        self.focus(main)
        self.click(main, ADD)
        editor = self.session.wait_window(EDITOR, timeout=20)
        self.focus(editor)
        self.click(editor, BEGIN_HOTKEY)
        self.press("F8")
        return editor, target, log

    def recording_started(self):
        """Whether tarvix has its hooks in and records."""
        return self.window_probe("message", "TarvixRecording", "recording").strip() == "1"

    def start_recording(self, editor, tick_path=False, by_mouse=True):
        """Opens the recording dialog and starts: with the mouse on 開始
        (whose click must not be recorded), or with its default key."""
        self.click(editor, RECORD_BUTTON)
        dialog = self.session.wait_window(RECORD_DIALOG, timeout=20)
        self.focus(dialog)
        if tick_path:
            self.click(dialog, RECORD_PATH)
            self.assertTrue(self.wait_checked(RECORD_DIALOG, 1071), "the path box did not tick")
        self.shot("choices")
        if by_mouse:
            self.click(dialog, START)
        else:
            self.press("Return")
        if not self.wait_closed(EDITOR):
            self.shot("not-hidden")
            self.fail("the editor stayed in sight while recording")
        self.assertTrue(self.wait_closed("Tapwisp"), "the main window stayed in sight")
        self.assertTrue(wait_until(self.recording_started), "recording did not start")

    def stop_recording(self):
        self.press("ctrl+shift+a")
        editor = self.session.wait_window(EDITOR, timeout=20)
        self.assertFalse(self.recording_started(), "still recording with the editor back")
        return editor

    def record(self, target, log, work, events):
        """Does the work into the target window and waits until its events
        have arrived; returns them."""
        self.focus(target, log)
        before = len(log.events())
        self.session.xdotool(*work)
        self.assertTrue(log.wait_for(lambda l: len(kept_events(l.events()[before:])) >= events),
                        f"xdotool's work did not arrive: {log.events()[before:]}")
        return log.events()[before:]

    def play(self, target, log, events, play_seconds):
        """Plays the saved script into the target and returns what it got up
        to the sentinel, which plays after the whole replay has arrived."""
        self.focus(target, log)
        if not wait_until(lambda: self.foreground_title() == target.name()):
            self.shot("not-in-front")
            self.fail(f"the target is not the foreground window but {self.foreground_title()!r}")
        before = len(log.events())
        self.press("F8")
        self.assertTrue(log.wait_for(lambda l: len(kept_events(l.events()[before:], (VK["F8"],))) >= events,
                                     timeout=play_seconds),
                        f"the recording did not play back in full: {log.events()[before:]}")
        # The sentinel's key and mark come after anything more the replay
        # would have played.
        marks = log.text().count(SENTINEL_MARK)
        self.press(SENTINEL_KEYS)
        self.assertTrue(log.wait_for(lambda l: l.text().count(SENTINEL_MARK) > marks),
                        f"the sentinel did not arrive: {log.events()[-12:]}")
        replayed = log.events()[before:]
        insert = [i for i, (_, name, args) in enumerate(replayed)
                  if name == "keydown" and int(args[0], 16) == VK[SENTINEL_KEYS]]
        return replayed[:insert[-1]]

    def record_and_replay(self, tick_path=False, work=WORK, events=WORK_EVENTS, play_seconds=30, by_mouse=True):
        """Records the work into the target window, saves the script and plays
        it back; returns (recorded events, replayed events, script lines)."""
        editor, target, log = self.open_editor_with_hotkey()
        self.start_recording(editor, tick_path, by_mouse)
        recorded = self.record(target, log, work, events)
        editor = self.stop_recording()
        self.shot("recorded")
        rows = self.control_rows(EDITOR, ACTION_LIST_ID)
        self.focus(editor)
        self.click(editor, OK)
        self.assertTrue(self.wait_closed(EDITOR), "OK did not close the editor")
        [path] = [p for p in (self.folder / "script").glob("*.txt") if p.name != "sentinel.txt"]
        lines = script_lines(path)
        # The rows inserted, then the insertion point's empty row after them.
        self.assertEqual(len(rows), len(lines) + 1, f"the editor showed {rows}")
        self.assertEqual(rows[-1], ["", ""], "the insertion point is not after the recorded rows")
        replayed = self.play(target, log, events, play_seconds)
        self.target, self.target_log = target, log
        return recorded, replayed, lines

    def assert_same_events(self, recorded, replayed, lines):
        """The replay gives the recorded key and button events in order, and
        the script puts the pointer at each recorded button's pixel.
        Where the replayed buttons land is the player's to get right, and is
        checked on a bare display: inside Wine's desktop a played move is
        now and then taken back to where the X pointer was before it, a few
        milliseconds later, by Wine itself."""
        want = kept_events(recorded)
        got = kept_events(replayed, (VK["F8"],))
        self.assertEqual(len(want), WORK_EVENTS, f"xdotool's work arrived as {want}")
        self.assertEqual([(name, args) for _, name, args in unplaced(got)],
                         [(name, args) for _, name, args in unplaced(want)], f"played from {lines}")
        self.assertEqual(button_places(lines),
                         [tuple(map(int, args)) for _, name, args in want if name.endswith("buttondown")],
                         "the script's button pixels")

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
        self.assert_same_events(recorded, replayed, lines)
        self.assert_same_gaps(recorded, replayed)
        # The click on 開始 is no part of it: the work's first key comes first.
        self.assertEqual(lines[0], "KeyDown 17 1")
        self.assertIn("Delay", " ".join(lines))
        self.assertIn(b"KeepTiming=1", (self.folder / "tarvix.ini").read_bytes())

    def test_middle_and_side_buttons_and_wheel_turns_replay_as_the_same_messages(self):
        self.choose(keep_timing=True)
        recorded, replayed, lines = self.record_and_replay(work=OTHER_BUTTONS, events=OTHER_BUTTON_EVENTS)
        # A side button's number stays; the places are the script's to hold
        # (see assert_same_events).
        def described(events):
            return [(name, args[:1] if name.startswith("x") else () if "button" in name else args)
                    for _, name, args in events]
        want = described(kept_events(recorded))
        self.assertEqual(want, [("mbuttondown", ()), ("mbuttonup", ()), ("xbuttondown", ("1",)),
                                ("xbuttonup", ("1",)), ("xbuttondown", ("2",)), ("xbuttonup", ("2",)),
                                ("wheel", ("120",)), ("wheel", ("120",)), ("wheel", ("-120",)),
                                ("hwheel", ("-120",)), ("hwheel", ("120",))], "xdotool's work arrived otherwise")
        self.assertEqual(described(kept_events(replayed, (VK["F8"],))), want, f"played from {lines}")
        # At the recorded spot, each turn its own line with its own amount.
        # xdotool's click lets go at once, but on a loaded machine the hook
        # can see the release a millisecond later: a Delay 1 between is right.
        self.assertEqual([line for line in lines if not line.startswith("Delay")][:3],
                         ["MoveTo 880 620", "MiddleDown 1", "MiddleUp 1"])
        self.assertEqual([line for line in lines if line.startswith(("X", "Wheel", "HWheel"))],
                         ["X1Down 1", "X1Up 1", "X2Down 1", "X2Up 1", "Wheel 120", "Wheel 120", "Wheel -120",
                          "HWheel -120", "HWheel 120"])

    def test_without_the_timing_the_script_is_compact(self):
        self.choose(keep_timing=False)
        # Started with the dialog's default key: its release comes once
        # recording has begun, and is no part of it either.
        recorded, replayed, lines = self.record_and_replay(by_mouse=False)
        self.assert_same_events(recorded, replayed, lines)
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
        recorded, replayed, lines = self.record_and_replay(tick_path=True, work=path + WORK)
        self.assertIn(b"MousePath=1", (self.folder / "tarvix.ini").read_bytes())
        self.assert_same_events(recorded, replayed, lines)
        self.assert_same_gaps(recorded, replayed)
        moves = [line for line in lines if line.startswith("MoveTo")]
        self.assertGreaterEqual(len(moves), 10, lines)
        cursor = [tuple(args) for _, name, args in replayed if name == "cursor"]
        passed = [(str(760 + 20 * s), str(580 + 15 * s)) for s in range(1, 11)]
        self.assertGreaterEqual(len([p for p in passed if p in cursor]), 8, cursor)

    def test_a_recording_started_with_alt_held_ends_on_the_stop_hotkey(self):
        """The user begins a chord at once: Alt is down as the recording
        starts, and comes up during it. The key state names it by its generic
        code too, which the hook never reports released."""
        self.choose(keep_timing=False)
        editor, target, log = self.open_editor_with_hotkey()
        self.click(editor, RECORD_BUTTON)
        dialog = self.session.wait_window(RECORD_DIALOG, timeout=20)
        self.focus(dialog)
        self.session.xdotool("keydown", "alt")
        try:
            self.click(dialog, START)
            self.assertTrue(self.wait_closed(EDITOR), "the editor stayed in sight while recording")
            self.assertTrue(wait_until(self.recording_started), "recording did not start")
            self.focus(target, log)
        finally:
            self.session.xdotool("keyup", "alt")
        self.press("x")
        self.stop_recording()
        self.assertEqual(self.control_rows(EDITOR, ACTION_LIST_ID), [["按鍵<X>", "1"], ["", ""]])

    def test_a_click_on_the_icon_ends_the_recording_without_itself(self):
        self.choose(keep_timing=False)
        self.write_sentinel()
        main = self.start_tarvix()
        # Clear of the taskbar, where the icon is.
        target, log = self.start_target("record target", place=(0, 0, 1024, 700))
        self.focus(main)
        self.click(main, ADD)
        editor = self.session.wait_window(EDITOR, timeout=20)
        self.start_recording(editor)
        self.focus(target, log)
        self.press("x")
        self.session.xdotool("mousemove", *TRAY_ICON)
        time.sleep(0.2)
        self.session.xdotool("click", "1")
        self.session.wait_window(EDITOR, timeout=20)
        self.assertFalse(self.recording_started(), "still recording with the editor back")
        self.assertEqual(self.control_rows(EDITOR, ACTION_LIST_ID), [["按鍵<X>", "1"], ["", ""]])


if __name__ == "__main__":
    unittest.main()
