"""Scripts made and changed in the program's editor, checked in the script
files and in what the saved script then plays: a new script recorded and
replayed (the same events, in the same order, at the same pixels and gaps as
xdotool made them while tarvix recorded out of sight); Chinese texts through
the list, the editor, the files and the play, in the users' code page and on
an English Windows."""

from harness import SCRIPT_LIST_ID, SENTINEL_KEYS, SENTINEL_MARK, VK, TarvixCase, script_text, wait_until

EDITOR, RECORD_DIALOG = "腳本定義", "錄製"
IDOK, IDC_ADD, IDC_MODIFY, IDC_DESCRIPTION, IDC_BEGIN_HOTKEY, IDC_ACTION_LIST = 1, 1000, 1001, 1011, 1012, 1014
IDC_REPEAT_TEXT, IDC_SAY_TEXT, IDC_INSERT_TEXT, IDC_RECORD = 1019, 1037, 1038, 1070
# The first row of the main list, from the list's corner (below its header).
FIRST_ROW = (60, 39)

# Typing and clicking at known gaps, clear of where the main window is when
# the script plays back, as one xdotool command so that its own start-up
# adds nothing between them: a Ctrl chord, two overlapping keys, a key held
# long, a click, a right click elsewhere, a key pressed again; then the
# middle button, the side buttons (8 and 9) and the wheel each way (4 up,
# 5 down, 6 left, 7 right). 26 events.
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


def kept(events):
    """(message time, event, what) of what a recording keeps: a key's code,
    a side button's number, a wheel's amount (a button's place is no part of
    what it is); the replay's start key aside. The message time is when the
    input was made, which a busy machine does not stretch as it does the
    target's handling."""
    return [(int(args[1] if name.startswith("key") else args[-1]), name,
             tuple(args[:1] if name[0] in "kxwh" else ())) for _, name, args in events
            if ("button" in name or "wheel" in name or name.startswith("key"))
            and not (name.startswith("key") and args[0] == "77")]


def gaps(events):
    return [b[0] - a[0] for a, b in zip(events, events[1:])]


def button_places(lines):
    """Where the script has the pointer at each left or right press it plays."""
    places, at = [], None
    for kind, *numbers in map(str.split, lines):
        at = (int(numbers[0]), int(numbers[1])) if kind == "MoveTo" else at
        places += [at] if kind in ("LeftDown", "RightDown", "LeftClick", "RightClick") else []
    return places


class EditorCase(TarvixCase):

    def open_editor(self, main, button):
        self.focus(main)
        self.click_control(main, button)
        editor = self.session.wait_window(EDITOR, timeout=20)
        # Shown, and in front once its dialog set-up has run.
        self.focus(editor)
        return editor

    def save(self, editor):
        self.click_control(editor, IDOK)
        self.assertTrue(self.wait_closed(EDITOR), "OK did not close the editor")


class Record(EditorCase):

    def replay(self, events, seconds=30):
        """Plays the recorded script (F8) into the target: what it kept."""
        self.focus(self.target, self.log)
        start = len(self.log.events())
        self.press("F8")
        self.assertTrue(self.log.wait_for(lambda l: len(kept(l.events()[start:])) >= events, timeout=seconds),
                        f"the recording did not play back in full: {self.log.events()[start:]}")
        # The sentinel's key and mark come after anything more the replay
        # would have played (the target never saw the stop chord let go).
        self.press(SENTINEL_KEYS)
        self.assertTrue(self.log.wait_for(lambda l: SENTINEL_MARK in l.text()), "the sentinel did not arrive")
        played = self.log.events()[start:]
        return kept(played[:max(i for i, (_, n, a) in enumerate(played) if n == "keydown" and a[0] == "2D")])

    def record_and_replay(self, work, events, seconds=30):
        """Records xdotool's `work` (making `events` kept events) into a new
        script with the timing kept, saves it and plays it back into the same
        window: (recorded, replayed, the script's lines)."""
        (self.folder / "tarvix.ini").write_bytes(b"[Record]\r\nKeepTiming=1\r\n")
        self.write_sentinel()
        main = self.start_tarvix()
        self.target, self.log = self.start_target("record target")
        editor = self.open_editor(main, IDC_ADD)
        self.probe("set", EDITOR, IDC_DESCRIPTION, "made here")
        self.click_control(editor, IDC_BEGIN_HOTKEY)
        self.press("F8")
        self.click_control(editor, IDC_RECORD)
        dialog = self.session.wait_window(RECORD_DIALOG, timeout=20)
        self.focus(dialog)
        # The click on 開始 is no part of the recording.
        self.click_control(dialog, IDOK)
        self.assertTrue(self.wait_closed(EDITOR) and self.wait_closed("Tapwisp"), "tarvix stayed in sight")
        recording = lambda: self.probe("message", "TarvixRecording", "recording").strip() == "1"
        self.assertTrue(wait_until(recording), "recording did not start")

        self.focus(self.target, self.log)
        start = len(self.log.events())
        self.session.xdotool(*work)
        self.assertTrue(self.log.wait_for(lambda l: len(kept(l.events()[start:])) >= events, timeout=seconds),
                        f"xdotool's work did not arrive: {self.log.events()[start:]}")
        recorded = kept(self.log.events()[start:])
        places = [tuple(map(int, a[:2])) for _, n, a in self.log.events()[start:]
                  if n in ("lbuttondown", "rbuttondown")]
        self.press("ctrl+shift+a")
        editor = self.session.wait_window(EDITOR, timeout=20)
        self.assertFalse(recording(), "still recording with the editor back")
        rows = self.rows(EDITOR, IDC_ACTION_LIST)
        self.focus(editor)
        self.save(editor)
        # The [Script] section's lines.
        lines = (self.folder / "script" / "made here1.txt").read_bytes().decode("cp950").split("\r\n")
        lines = [line for line in lines[lines.index("[Script]") + 1:] if line]
        # The rows inserted, then the insertion point's empty row after them.
        self.assertEqual(rows[len(lines):], [["", ""]], f"the editor showed {rows}")
        # Where the replayed buttons land is the player's to get right, and is
        # checked on a bare display (test_screens): inside Wine's desktop a
        # played move is now and then taken back a few milliseconds later.
        self.assertEqual(button_places(lines), places)
        return recorded, self.replay(events, seconds), lines

    def test_a_recorded_script_is_saved_and_replays_at_its_places_and_gaps(self):
        recorded, replayed, lines = self.record_and_replay(WORK, WORK_EVENTS)
        self.assertEqual(lines[0], "KeyDown 17 1")
        self.assertEqual([e[1:] for e in replayed], [e[1:] for e in recorded], f"played from {lines}")
        # The goal (p95 5 ms, max 15 ms) is the benchmark's to measure on a
        # quiet machine; here the median must hold it, and gaps off by a
        # player's hold, which a hold or a Delay left out of the reckoning
        # would put after every click and key press, must not come twice. One
        # can come from the machine: a thread woken 49 ms late was seen with
        # a load average of 5 on this 2-core machine.
        offs = [(abs(a - b), event[1]) for a, b, event in zip(gaps(recorded), gaps(replayed), recorded[1:])]
        errors = sorted(off for off, _ in offs)
        print(f"gap errors (ms): p50 {errors[len(errors) // 2]} max {errors[-1]}: {offs}", flush=True)
        self.assertLessEqual(errors[len(errors) // 2], 5, offs)
        self.assertLess(errors[-2], 45, offs)


class ChineseTexts(EditorCase):

    def test_a_chinese_script_reads_saves_and_plays_the_same(self):
        # 許, 功 and 蓋 end in the byte of a backslash in Big5.
        description, text = "許功蓋 描述", "許功蓋"
        self.write_script("中文.txt", script_text(["KeyPress 65 1", "Delay 100", "SayString 中文"], VK["F5"],
                                                  description="中文描述", repeat_number=2))
        self.write_sentinel()
        main = self.start_tarvix()
        sentinel = ["<Insert>", "√", "sentinel", "sentinel.txt"]
        self.assertEqual(self.rows(), [["<F5>", "√", "中文描述", "中文.txt"], sentinel])
        self.focus(main)
        self.click_control(main, SCRIPT_LIST_ID, at=FIRST_ROW)
        editor = self.open_editor(main, IDC_MODIFY)
        self.assertEqual(self.control_text(EDITOR, IDC_DESCRIPTION), ["中文描述"])
        self.assertEqual(self.rows(EDITOR, IDC_ACTION_LIST),
                         [["按鍵<A>", "1"], ["延遲100毫秒", "1"], ["輸入本文 中文", "1"], ["", ""]])
        self.assertEqual(self.control_text(EDITOR, IDC_REPEAT_TEXT), ["重複2次"])
        # What the user types reaches the controls as wide text.
        self.probe("set", EDITOR, IDC_DESCRIPTION, description)
        self.probe("set", EDITOR, IDC_SAY_TEXT, text)
        self.click_control(editor, IDC_INSERT_TEXT)
        self.assertEqual(self.rows(EDITOR, IDC_ACTION_LIST)[-2:], [["輸入本文許功蓋", "1"], ["", ""]])
        self.save(editor)

        saved = (self.folder / "script" / "中文.txt").read_bytes()
        self.assertIn(b"\r\nDescription=\xb3\\\xa5\\\xbb\\ \xb4y\xadz\r\n", saved)
        self.assertIn(b"\r\nSayString \xa4\xa4\xa4\xe5\r\nSayString \xb3\\\xa5\\\xbb\\\r\n", saved)
        self.assertEqual(self.rows(), [["<F5>", "√", description, "中文.txt"], sentinel])
        _, log = self.start_target()
        self.press("F5")
        expected = "a中文許功蓋" * 2
        self.assertTrue(log.wait_for(lambda l: len(l.text()) >= len(expected)), log.text())
        self.assertEqual(self.text_before_sentinel(log), expected)


class ChineseTextsOnAnEnglishWindows(ChineseTexts):
    """Big5 in every file whatever the system's code page: the same texts."""

    code_page = 1252
