"""Scripts made and changed in the program: the editor opened from the main
window, its panels, the repeat and capture dialogs, OK and Cancel, checked in
the script files and in what the saved script then plays."""

import time
import unittest

from e2e import SCRIPT_LIST_ID, TarvixCase, script_text, VK, wait_until


EDITOR = "腳本定義"
REPEAT = "重複執行"
CAPTURE = "座標點"

# Dialog units to client pixels at the dialogs' 9-point font under Wine.
UNIT = 1.75


def centre(x, y, w, h):
    return round((x + w / 2) * UNIT), round((y + h / 2) * UNIT)


# The main window's Add and Modify, and its first row.
ADD = (48, 81)
MODIFY = (127, 81)
FIRST_SCRIPT_ROW = (100, 140)
SCRIPT_ROW_HEIGHT = 21

# Editor controls (template rectangles).
DESCRIPTION = centre(52, 6, 243, 16)
BEGIN_HOTKEY = centre(57, 38, 80, 15)
STOP_HOTKEY = centre(204, 38, 80, 15)
KEY_PICKER = centre(18, 107, 25, 14)
INSERT_KEY = centre(117, 108, 34, 14)
CAPTURE_BUTTON = centre(17, 184, 28, 14)
POINT_COMBO = centre(48, 185, 64, 14)
INSERT_MOVETO = centre(117, 184, 34, 14)
DELAY_UNIT = centre(17, 259, 50, 14)
DELAY = centre(74, 259, 32, 13)
INSERT_DELAY = centre(117, 259, 34, 14)
SAY_TEXT = centre(17, 297, 89, 14)
INSERT_TEXT = centre(117, 297, 34, 14)
REPEAT_BUTTON = centre(18, 324, 33, 14)
SPEED = centre(51, 341, 40, 14)  # the combo's edit part
OK = centre(105, 359, 41, 16)
CANCEL = centre(167, 359, 41, 16)

# Control ids, for reading and setting texts from inside Wine.
DESCRIPTION_ID = 1011
ACTION_LIST_ID = 1014
REPEAT_TEXT_ID = 1019
SAY_TEXT_ID = 1037
SPEED_ID = 1080

# Repeat dialog controls.
REPEAT_MINUTES = centre(32, 80, 40, 14)
REPEAT_SECONDS = centre(32, 96, 40, 14)
REPEAT_OK = centre(137, 11, 50, 18)


# The sentinel script's row in the main list, always the last.
SENTINEL_ROW = ["<Insert>", "√", "sentinel", "sentinel.txt"]


def script_lines(path):
    """The [Script] section's lines of a saved script."""
    lines = path.read_bytes().decode("cp950").split("\r\n")
    start = lines.index("[Script]") + 1
    return [line for line in lines[start:] if line]


def general(path):
    keys = {}
    for line in path.read_bytes().decode("cp950").split("\r\n"):
        if "=" in line:
            key, value = line.split("=", 1)
            keys.setdefault(key, value)
    return keys


class Editor(TarvixCase):

    def click(self, window, point, row=0, row_height=0):
        x, y = point
        self.click_client(window, x, y + row * row_height)
        time.sleep(0.4)

    def type(self, text):
        self.session.xdotool("type", "--delay", "40", text)
        time.sleep(0.2)

    def clear_and_type(self, window, point, text):
        self.click(window, point)
        self.press("End", *["BackSpace"] * 12)
        self.type(text)

    def open_editor(self, main, button=ADD):
        self.focus(main)
        self.click(main, button)
        editor = self.session.wait_window(EDITOR, timeout=20)
        # Shown, and in front once its dialog set-up has run.
        self.focus(editor)
        return editor

    def wait_closed(self, title, timeout=10):
        return wait_until(lambda: not self.session.visible_windows(title), timeout)

    def answer(self, key, title="tarvix"):
        """Presses a key in the message box titled with the program's name."""
        box = self.session.wait_window(title, timeout=20)
        self.shot("message")
        self.focus(box)
        self.press(key)
        self.assertTrue(self.wait_closed(title), "the message box stayed open")

    def saved_scripts(self):
        return sorted(p for p in (self.folder / "script").glob("*.txt") if p.name != "sentinel.txt")

    def test_a_script_made_in_the_editor_is_saved_and_plays(self):
        self.write_sentinel()
        main = self.start_tarvix()
        editor = self.open_editor(main)
        self.click(editor, DESCRIPTION)
        self.type("made here")
        self.click(editor, BEGIN_HOTKEY)
        self.press("F8")
        # Pause alone can be the stop hotkey, which a hotkey box takes only
        # with the editor's help.
        self.click(editor, STOP_HOTKEY)
        self.press("Pause")
        # Enter is a key of the picker's own: it does not close the dialog.
        self.click(editor, KEY_PICKER)
        self.press("Return")
        self.assertTrue(self.session.visible_windows(EDITOR), "Enter in the key picker closed the editor")
        self.press("b")
        self.click(editor, INSERT_KEY)
        self.clear_and_type(editor, DELAY, "300")
        self.click(editor, DELAY_UNIT)          # seconds to milliseconds
        self.press("Down", "Return")
        self.click(editor, INSERT_DELAY)
        self.click(editor, SAY_TEXT)
        self.type("Hi")
        self.click(editor, INSERT_TEXT)
        self.shot("filled")
        self.click(editor, OK)
        self.assertTrue(self.wait_closed(EDITOR), "OK did not close the editor")

        [path] = self.saved_scripts()
        self.assertEqual(path.name, "made here1.txt")
        keys = general(path)
        self.assertEqual((keys["Description"], keys["BeginHotkey"], keys["BeginHotkeyMod"]),
                         ("made here", str(VK["F8"]), "0"))
        self.assertEqual((keys["RunOnce"], keys["Type"], keys["Number"]), ("1", "0", "1"))
        self.assertEqual(script_lines(path), ["KeyPress 66 1", "Delay 300", "SayString Hi"])
        settings = (self.folder / "tarvix.ini").read_bytes()
        self.assertIn(b"EndHotkey=19\r\n", settings)
        self.assertIn(b"EndHotkeyMod=0\r\n", settings)

        # The new row plays without a restart.
        _, log = self.start_target()
        self.press("F8")
        self.assertTrue(log.wait_for(lambda l: len(l.text()) >= 3))
        self.assertEqual(self.text_before_sentinel(log), "bHi")

    def test_added_and_modified_rows_take_their_sorted_place_and_others_keep_the_selection(self):
        self.write_script("a.txt", script_text(["SayString a"], VK["F8"], description="a"))
        self.write_script("z.txt", script_text(["SayString z"], VK["F9"], description="z"))
        main = self.start_tarvix()
        self.focus(main)
        self.click(main, FIRST_SCRIPT_ROW, row=1, row_height=SCRIPT_ROW_HEIGHT)
        editor = self.open_editor(main)
        self.click(editor, DESCRIPTION)
        self.type("n")
        self.click(editor, BEGIN_HOTKEY)
        self.press("F8")
        self.click(editor, SAY_TEXT)
        self.type("n")
        self.click(editor, INSERT_TEXT)
        self.click(editor, OK)
        self.assertTrue(self.wait_closed(EDITOR))
        # A new row goes before the rows whose hotkey text equals its own.
        self.assertEqual([(row[0], row[1], row[4]) for row in self.rows()],
                         [(False, False, "n"), (False, False, "a"), (True, True, "z")])

        # Modify: the row comes again as one newly added, and its focus passes
        # to the row that followed it.
        self.focus(main)
        self.session.xdotool("keydown", "ctrl")
        self.click(main, FIRST_SCRIPT_ROW, row=1, row_height=SCRIPT_ROW_HEIGHT)
        self.session.xdotool("keyup", "ctrl")
        editor = self.open_editor(main, MODIFY)
        self.click(editor, OK)
        self.assertTrue(self.wait_closed(EDITOR))
        self.assertEqual([(row[0], row[1], row[4]) for row in self.rows()],
                         [(False, False, "a"), (False, False, "n"), (True, True, "z")])

    def test_ok_needs_a_start_key_and_an_action(self):
        main = self.start_tarvix()
        editor = self.open_editor(main)
        self.click(editor, BEGIN_HOTKEY)
        self.press("F8")
        self.click(editor, OK)
        self.answer("Return")
        self.assertTrue(self.session.visible_windows(EDITOR), "the editor closed without an action")
        self.assertEqual(self.saved_scripts(), [])
        self.click(editor, CANCEL)
        self.assertTrue(self.wait_closed(EDITOR))
        self.assertEqual(self.saved_scripts(), [], "Cancel saved a new script")

    def test_a_save_that_fails_keeps_the_editor_open_and_loses_nothing(self):
        self.write_script("keep.txt", script_text(["SayString k"], VK["F5"]))
        path = self.folder / "script" / "keep.txt"
        main = self.start_tarvix()
        # The file gives way to a folder of its name: no file can be written there.
        path.unlink()
        path.mkdir()
        self.click(main, FIRST_SCRIPT_ROW)
        editor = self.open_editor(main, MODIFY)
        self.click(editor, SAY_TEXT)
        self.type("x")
        self.click(editor, INSERT_TEXT)
        self.click(editor, OK)
        self.answer("Return")
        self.assertTrue(self.session.visible_windows(EDITOR), "the editor closed although nothing was saved")
        # Once the folder is out of the way, OK saves what is in the editor.
        path.rmdir()
        self.focus(editor)
        self.click(editor, OK)
        self.assertTrue(self.wait_closed(EDITOR))
        self.assertEqual(script_lines(path), ["SayString k", "SayString x"])

    def test_repeat_and_a_captured_point_reach_the_file(self):
        main = self.start_tarvix()
        editor = self.open_editor(main)
        self.click(editor, BEGIN_HOTKEY)
        self.press("F9")

        self.click(editor, REPEAT_BUTTON)
        repeat = self.session.wait_window(REPEAT, timeout=20)
        self.focus(repeat)
        self.clear_and_type(repeat, REPEAT_MINUTES, "1")
        self.clear_and_type(repeat, REPEAT_SECONDS, "30")
        self.shot("repeat")
        self.click(repeat, REPEAT_OK)
        self.assertTrue(self.wait_closed(REPEAT), "the repeat dialog stayed open")

        self.focus(editor)
        self.click(editor, CAPTURE_BUTTON)
        capture = self.session.wait_window(CAPTURE, timeout=20)
        self.focus(capture)
        self.session.xdotool("mousemove", "300", "200")
        time.sleep(0.3)
        self.press("ctrl+alt+3")
        ini = self.folder / "tarvix.ini"
        wait_until(lambda: ini.exists() and b"Position2X=300" in ini.read_bytes(), 10)
        self.shot("captured")
        self.assertIn(b"Position2X=300", ini.read_bytes())
        self.assertIn(b"Position2Y=200", ini.read_bytes())
        self.focus(capture)
        self.press("Escape")
        self.assertTrue(self.wait_closed(CAPTURE), "Esc did not close the capture dialog")

        # The point list shows P1 again; the third entry is the new point.
        self.focus(editor)
        self.click(editor, POINT_COMBO)
        self.press("Down", "Down", "Return")
        self.click(editor, INSERT_MOVETO)
        self.click(editor, OK)
        self.assertTrue(self.wait_closed(EDITOR))
        [path] = self.saved_scripts()
        self.assertEqual(path.name, "NoName1.txt")
        keys = general(path)
        self.assertEqual((keys["Type"], keys["Number"]), ("2", "90"))
        self.assertEqual(script_lines(path), ["MoveTo 300 200"])

    def test_the_speed_field_shows_the_files_speed_refuses_what_is_out_of_range_and_saves(self):
        self.write_script("fast.txt", script_text(["KeyPress 66 1"], VK["F9"], speed=200))
        path = self.folder / "script" / "fast.txt"
        main = self.start_tarvix()
        self.click(main, FIRST_SCRIPT_ROW)
        editor = self.open_editor(main, MODIFY)
        # The field's text, then its items.
        self.assertEqual(self.control_text(EDITOR, SPEED_ID), ["200 %", "25 %", "50 %", "100 %", "200 %", "400 %"])

        self.clear_and_type(editor, SPEED, "5")
        self.click(editor, OK)
        self.assertIn("10 到 1000", self.message_text("tarvix"))
        self.answer("Return")
        self.assertTrue(self.session.visible_windows(EDITOR), "a refused speed closed the editor")
        self.assertEqual(general(path)["Speed"], "200")

        self.focus(editor)
        self.clear_and_type(editor, SPEED, "50")
        self.click(editor, OK)
        self.assertTrue(self.wait_closed(EDITOR), "OK did not close the editor")
        self.assertEqual(general(path)["Speed"], "50")

    def test_the_classic_editor_asks_before_dropping_what_it_cannot_hold(self):
        # Made in edition 1.1: relative moves, a wheel turn, a side button,
        # run-once off, and a line no edition reads.
        self.write_script("moves.txt", script_text(
            ["SayString a", "MoveR 5 -5", "Delay 10", "MoveR -5 5", "Foo 1 2", "Wheel -120", "X1Click 1"],
            VK["F5"], description="e2e", run_once=0, speed=200))
        path = self.folder / "script" / "moves.txt"
        before = path.read_bytes()
        main = self.start_tarvix("tarvix-classic.exe")
        self.click(main, FIRST_SCRIPT_ROW)
        self.focus(main)
        self.click(main, MODIFY)
        editor = self.session.wait_window("宏定義", timeout=20)
        # Shown, and in front once its dialog set-up has run.
        self.focus(editor)
        self.clear_and_type(editor, centre(52, 7, 243, 16), "renamed")
        ok = centre(22, 306, 41, 16)

        # No (the default answer): nothing written, the edit still there.
        self.click(editor, ok)
        self.assertIn("5 行", self.message_text("tarvix-classic"))
        self.answer("Return", "tarvix-classic")
        self.assertTrue(self.session.visible_windows("宏定義"), "No closed the editor")
        self.assertEqual(path.read_bytes(), before, "No wrote the file")

        # Yes: saved as edition 1.0 saves, with the file's RunOnce and Speed kept.
        self.focus(editor)
        self.click(editor, ok)
        self.answer("y", "tarvix-classic")
        self.assertTrue(self.wait_closed("宏定義"), "Yes did not close the editor")
        self.assertEqual(path.read_bytes(), (
            "[General]\r\nDescription=renamed\r\nBeginHotkey=116\r\nBeginHotkeyMod=0\r\n"
            "RunOnce=0\r\nEnable=1\r\nSpeed=200\r\n[Repeat]\r\nType=0\r\nNumber=1\r\n"
            "[Script]\r\nSayString a\r\nDelay 10\r\n").encode("cp950"))

        # The file now holds nothing to ask about.
        self.click(main, FIRST_SCRIPT_ROW)
        self.focus(main)
        self.click(main, MODIFY)
        editor = self.session.wait_window("宏定義", timeout=20)
        # Shown, and in front once its dialog set-up has run.
        self.focus(editor)
        saved = path.read_bytes()
        self.click(editor, ok)
        self.assertTrue(self.wait_closed("宏定義"), "the editor asked again after the lines were gone")
        self.assertEqual(path.read_bytes(), saved)


class ChineseTexts(TarvixCase):
    """Chinese descriptions, texts and file names in the list, the editor, the
    saved files and what plays: Big5 in every file, whatever the system's code
    page. Run in the users' code page here and on an English Windows below;
    the expected texts are the same in both."""

    # 許, 功 and 蓋 end in the byte of a backslash in Big5.
    NEW_DESCRIPTION = "許功蓋 描述"
    NEW_TEXT = "許功蓋"

    click = Editor.click
    open_editor = Editor.open_editor
    wait_closed = Editor.wait_closed

    def test_a_chinese_script_reads_saves_and_plays_the_same(self):
        self.write_script("中文.txt", script_text(["KeyPress 65 1", "Delay 100", "SayString 中文"], VK["F5"],
                                                  description="中文描述", repeat_number=2))
        path = self.folder / "script" / "中文.txt"
        self.write_sentinel()
        main = self.start_tarvix()
        self.assertEqual(self.control_rows("Tapwisp", SCRIPT_LIST_ID),
                         [["<F5>", "√", "中文描述", "中文.txt"], SENTINEL_ROW])

        self.click(main, FIRST_SCRIPT_ROW)
        editor = self.open_editor(main, MODIFY)
        self.assertEqual(self.control_text(EDITOR, DESCRIPTION_ID), ["中文描述"])
        self.assertEqual(self.control_rows(EDITOR, ACTION_LIST_ID),
                         [["按鍵<A>", "1"], ["延遲100毫秒", "1"], ["輸入本文 中文", "1"], ["", ""]])
        self.assertEqual(self.control_text(EDITOR, REPEAT_TEXT_ID), ["重複2次"])

        # What the user types reaches the controls as wide text.
        self.set_control_text(EDITOR, DESCRIPTION_ID, self.NEW_DESCRIPTION)
        self.set_control_text(EDITOR, SAY_TEXT_ID, self.NEW_TEXT)
        self.click(editor, INSERT_TEXT)
        # In front of the end marker's empty row.
        self.assertEqual(self.control_rows(EDITOR, ACTION_LIST_ID)[-2:], [["輸入本文許功蓋", "1"], ["", ""]])
        self.shot("edited")
        self.click(editor, OK)
        self.assertTrue(self.wait_closed(EDITOR), "OK did not close the editor")

        saved = path.read_bytes()
        self.assertIn(b"\r\nDescription=" + self.NEW_DESCRIPTION.encode("cp950") + b"\r\n", saved)
        self.assertEqual(script_lines(path), ["KeyPress 65 1", "Delay 100", "SayString 中文", "SayString 許功蓋"])
        self.assertIn(b"\r\nSayString \xa4\xa4\xa4\xe5\r\nSayString \xb3\\\xa5\\\xbb\\\r\n", saved)
        self.assertEqual(self.control_rows("Tapwisp", SCRIPT_LIST_ID),
                         [["<F5>", "√", self.NEW_DESCRIPTION, "中文.txt"], SENTINEL_ROW])

        _, log = self.start_target()
        self.press("F5")
        expected = "a中文許功蓋" * 2
        self.assertTrue(log.wait_for(lambda l: len(l.text()) >= len(expected)), log.text())
        self.assertEqual(self.text_before_sentinel(log), expected)

    def test_a_new_script_is_named_by_its_chinese_description(self):
        main = self.start_tarvix()
        editor = self.open_editor(main)
        self.set_control_text(EDITOR, DESCRIPTION_ID, self.NEW_DESCRIPTION)
        self.click(editor, BEGIN_HOTKEY)
        self.press("F8")
        self.set_control_text(EDITOR, SAY_TEXT_ID, "中")
        self.click(editor, INSERT_TEXT)
        self.click(editor, OK)
        self.assertTrue(self.wait_closed(EDITOR), "OK did not close the editor")
        [path] = sorted((self.folder / "script").glob("*.txt"))
        self.assertEqual(path.name, self.NEW_DESCRIPTION + "1.txt")
        self.assertEqual(general(path)["Description"], self.NEW_DESCRIPTION)
        self.assertEqual(self.control_rows("Tapwisp", SCRIPT_LIST_ID),
                         [["<F8>", "√", self.NEW_DESCRIPTION, self.NEW_DESCRIPTION + "1.txt"]])


class ChineseTextsOnAnEnglishWindows(ChineseTexts):
    code_page = 1252


if __name__ == "__main__":
    unittest.main(verbosity=2)
