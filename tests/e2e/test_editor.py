"""Scripts made and changed in the program's editor, opened from the main
window, checked in the script files and in what the saved script then plays;
Chinese texts through the list, the editor, the files and the play, in the
users' code page and on an English Windows."""

import time
import unittest

from harness import MAIN, SCRIPT_LIST_ID, VK, TarvixCase, script_text

EDITOR = "腳本定義"
IDOK = 1
IDC_ADD, IDC_MODIFY = 1000, 1001
IDC_DESCRIPTION, IDC_BEGIN_HOTKEY, IDC_STOP_HOTKEY, IDC_ACTION_LIST = 1011, 1012, 1013, 1014
IDC_REPEAT_TEXT, IDC_KEY_PICKER, IDC_INSERT_KEY = 1019, 1020, 1021
IDC_DELAY_UNIT, IDC_DELAY, IDC_INSERT_DELAY, IDC_SAY_TEXT, IDC_INSERT_TEXT = 1028, 1029, 1035, 1037, 1038
# The first row of the main list, from the list's corner (below its header).
FIRST_ROW = (60, 39)


def script_lines(path):
    """The [Script] section's lines of a saved script."""
    lines = path.read_bytes().decode("cp950").split("\r\n")
    return [line for line in lines[lines.index("[Script]") + 1:] if line]


class EditorCase(TarvixCase):

    def open_editor(self, main, button):
        self.focus(main)
        self.click_control(main, button)
        editor = self.session.wait_window(EDITOR, timeout=20)
        # Shown, and in front once its dialog set-up has run.
        self.focus(editor)
        return editor

    def type(self, window, control_id, text):
        self.click_control(window, control_id)
        self.press("End", *["BackSpace"] * 12)
        self.session.xdotool("type", "--delay", "40", text)
        time.sleep(0.2)

    def save(self, editor):
        self.click_control(editor, IDOK)
        self.assertTrue(self.wait_closed(EDITOR), "OK did not close the editor")


class Editor(EditorCase):

    def test_a_script_made_in_the_editor_is_saved_and_plays(self):
        self.write_sentinel()
        main = self.start_tarvix()
        editor = self.open_editor(main, IDC_ADD)
        self.type(editor, IDC_DESCRIPTION, "made here")
        self.click_control(editor, IDC_BEGIN_HOTKEY)
        self.press("F8")
        # Pause alone can be the stop hotkey, which a hotkey box takes only
        # with the editor's help.
        self.click_control(editor, IDC_STOP_HOTKEY)
        self.press("Pause")
        # Enter is a key of the picker's own: it does not close the dialog.
        self.click_control(editor, IDC_KEY_PICKER)
        self.press("Return")
        self.assertTrue(self.session.visible_windows(EDITOR), "Enter in the key picker closed the editor")
        self.press("b")
        self.click_control(editor, IDC_INSERT_KEY)
        self.type(editor, IDC_DELAY, "300")
        self.click_control(editor, IDC_DELAY_UNIT)  # seconds to milliseconds
        self.press("Down", "Return")
        self.click_control(editor, IDC_INSERT_DELAY)
        self.type(editor, IDC_SAY_TEXT, "Hi")
        self.click_control(editor, IDC_INSERT_TEXT)
        self.shot("filled")
        self.save(editor)

        path = self.folder / "script" / "made here1.txt"
        self.assertEqual(path.read_bytes(), (
            "[General]\r\nDescription=made here\r\nBeginHotkey=119\r\nBeginHotkeyMod=0\r\nRunOnce=1\r\nEnable=1\r\n"
            "[Repeat]\r\nType=0\r\nNumber=1\r\n\r\n[Script]\r\nKeyPress 66 1\r\nDelay 300\r\nSayString Hi\r\n"
        ).encode("cp950"))
        self.assertIn(b"EndHotkey=19\r\nEndHotkeyMod=0\r\n", (self.folder / "tarvix.ini").read_bytes())
        # The new row plays without a restart.
        _, log = self.start_target()
        self.press("F8")
        self.assertTrue(log.wait_for(lambda l: len(l.text()) >= 3))
        self.assertEqual(self.text_before_sentinel(log), "bHi")


class ChineseTexts(EditorCase):
    """Big5 in every file, whatever the system's code page: the expected
    texts are the same in both code pages."""

    def test_a_chinese_script_reads_saves_and_plays_the_same(self):
        # 許, 功 and 蓋 end in the byte of a backslash in Big5.
        description, text = "許功蓋 描述", "許功蓋"
        self.write_script("中文.txt", script_text(["KeyPress 65 1", "Delay 100", "SayString 中文"], VK["F5"],
                                                  description="中文描述", repeat_number=2))
        path = self.folder / "script" / "中文.txt"
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
        self.shot("edited")
        self.save(editor)

        saved = path.read_bytes()
        self.assertIn(b"\r\nDescription=\xb3\\\xa5\\\xbb\\ \xb4y\xadz\r\n", saved)
        self.assertIn(b"\r\nSayString \xa4\xa4\xa4\xe5\r\nSayString \xb3\\\xa5\\\xbb\\\r\n", saved)
        self.assertEqual(self.rows(), [["<F5>", "√", description, "中文.txt"], sentinel])
        _, log = self.start_target()
        self.press("F5")
        expected = "a中文許功蓋" * 2
        self.assertTrue(log.wait_for(lambda l: len(l.text()) >= len(expected)), log.text())
        self.assertEqual(self.text_before_sentinel(log), expected)


class ChineseTextsOnAnEnglishWindows(ChineseTexts):
    code_page = 1252


if __name__ == "__main__":
    unittest.main(verbosity=2)
