"""The record-then-replay round trip: keys typed and buttons, wheels and
moves made with xdotool at known gaps into the target window while tarvix
records out of sight, ended with the stop hotkey, saved from the editor and
played back into the same window: the same events, in the same order, at the
same pixels and at the same gaps."""

import unittest

from harness import SENTINEL_KEYS, SENTINEL_MARK, VK, wait_until
from test_editor import EDITOR, IDC_ACTION_LIST, IDC_ADD, IDC_BEGIN_HOTKEY, IDOK, EditorCase, script_lines

IDC_RECORD = 1070
RECORD_DIALOG = "錄製"

# What the target window logs that a recording reproduces.
KEPT = ("keydown", "keyup", "lbuttondown", "lbuttonup", "rbuttondown", "rbuttonup", "mbuttondown", "mbuttonup",
        "xbuttondown", "xbuttonup", "wheel", "hwheel")

# Typing and clicking at known gaps, clear of where the main window is when
# the script plays back, as one xdotool command so that its own start-up
# adds nothing between them: a Ctrl chord, two overlapping keys, a key held
# long, a click, a right click elsewhere, a key pressed again; then the
# middle button, the side buttons (8 and 9) and the wheel each way (4 up,
# 5 down, 6 left, 7 right).
WORK = ["keydown", "ctrl", "sleep", "0.08", "keydown", "c", "sleep", "0.05", "keyup", "c",
        "sleep", "0.07", "keyup", "ctrl", "sleep", "0.2",
        "keydown", "x", "sleep", "0.03", "keydown", "z", "sleep", "0.04", "keyup", "x",
        "sleep", "0.09", "keyup", "z", "sleep", "0.15",
        "keydown", "v", "sleep", "0.3", "keyup", "v", "sleep", "0.1",
        "mousemove", "880", "620", "sleep", "0.1", "click", "1", "sleep", "0.25",
        "mousemove", "960", "700", "sleep", "0.1", "click", "3", "sleep", "0.12", "key", "v", "sleep", "0.1",
        "click", "2", "sleep", "0.12", "click", "8", "sleep", "0.1", "click", "9", "sleep", "0.15",
        "click", "4", "sleep", "0.05", "click", "5", "sleep", "0.1", "click", "6", "sleep", "0.1", "click", "7"]
WORK_EVENTS = 26


def kept(events, since=0):
    """(time, event, what) of what recording keeps after the index `since`:
    a key's code, a side button's number, a wheel's amount (a key's message
    time and a button's place are no part of what it is); the replay's
    start key aside."""
    out = []
    for t, name, args in events[since:]:
        if name in KEPT and not (name.startswith("key") and int(args[0], 16) == VK["F8"]):
            out.append((t, name, tuple(args[:1] if name[0] in "kxwh" else ())))
    return out


def button_places(lines):
    """Where the script has the pointer at each left or right press it plays."""
    places, at = [], None
    for kind, *numbers in map(str.split, lines):
        if kind == "MoveTo":
            at = (int(numbers[0]), int(numbers[1]))
        places += [at] if kind in ("LeftDown", "RightDown", "LeftClick", "RightClick") else []
    return places


class Record(EditorCase):

    def test_keys_buttons_and_wheels_replay_at_their_places_and_gaps(self):
        (self.folder / "tarvix.ini").write_bytes(b"[Record]\r\nKeepTiming=1\r\n")
        self.write_sentinel()
        main = self.start_tarvix()
        target, log = self.start_target("record target")
        editor = self.open_editor(main, IDC_ADD)
        self.click_control(editor, IDC_BEGIN_HOTKEY)
        self.press("F8")
        self.click_control(editor, IDC_RECORD)
        dialog = self.session.wait_window(RECORD_DIALOG, timeout=20)
        self.focus(dialog)
        # The click on 開始 is no part of the recording.
        self.click_control(dialog, IDOK)
        self.assertTrue(self.wait_closed(EDITOR), "the editor stayed in sight while recording")
        self.assertTrue(self.wait_closed("Tapwisp"), "the main window stayed in sight")
        recording = lambda: self.probe("message", "TarvixRecording", "recording").strip() == "1"
        self.assertTrue(wait_until(recording), "recording did not start")

        self.focus(target, log)
        start = len(log.events())
        self.session.xdotool(*WORK)
        self.assertTrue(log.wait_for(lambda l: len(kept(l.events(), start)) >= WORK_EVENTS),
                        f"xdotool's work did not arrive: {log.events()[start:]}")
        recorded = kept(log.events(), start)
        places = [tuple(map(int, a)) for _, n, a in log.events()[start:] if n in ("lbuttondown", "rbuttondown")]
        self.press("ctrl+shift+a")
        editor = self.session.wait_window(EDITOR, timeout=20)
        self.assertFalse(recording(), "still recording with the editor back")
        rows = self.rows(EDITOR, IDC_ACTION_LIST)
        self.focus(editor)
        self.save(editor)
        [path] = [p for p in (self.folder / "script").glob("*.txt") if p.name != "sentinel.txt"]
        lines = script_lines(path)
        # The rows inserted, then the insertion point's empty row after them.
        self.assertEqual(rows[len(lines):], [["", ""]], f"the editor showed {rows}")
        self.assertEqual(lines[0], "KeyDown 17 1")

        self.bring_to_front(target, log)
        start = len(log.events())
        self.press("F8")
        self.assertTrue(log.wait_for(lambda l: len(kept(l.events(), start)) >= WORK_EVENTS, timeout=30),
                        f"the recording did not play back in full: {log.events()[start:]}")
        # The sentinel's key and mark come after anything more the replay
        # would have played.
        marks = log.text().count(SENTINEL_MARK)
        self.press(SENTINEL_KEYS)
        self.assertTrue(log.wait_for(lambda l: l.text().count(SENTINEL_MARK) > marks), "the sentinel did not arrive")
        events = log.events()
        end = max(i for i, (_, name, args) in enumerate(events) if name == "keydown" and args[0] == "2D")
        replayed = kept(events[:end], start)

        self.assertEqual([e[1:] for e in replayed], [e[1:] for e in recorded], f"played from {lines}")
        # Where the replayed buttons land is the player's to get right, and
        # is checked in test_playback: inside Wine's desktop a played move is
        # now and then taken back a few milliseconds later, by Wine itself.
        self.assertEqual(button_places(lines), places)
        # The goal (p95 5 ms, max 15 ms) is the benchmark's to measure on a
        # quiet machine; here the median must hold it, and no gap may be off
        # by a player's hold, which a hold or a Delay left out would cost.
        gaps = lambda e: [b[0] - a[0] for a, b in zip(e, e[1:])]
        errors = sorted(abs(a - b) for a, b in zip(gaps(recorded), gaps(replayed)))
        print(f"gap errors (ms): p50 {errors[len(errors) // 2]:.2f} max {errors[-1]:.2f}", flush=True)
        self.assertLessEqual(errors[len(errors) // 2], 5.0, errors)
        self.assertLess(errors[-1], 45.0, errors)


if __name__ == "__main__":
    unittest.main(verbosity=2)
