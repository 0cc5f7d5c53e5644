"""The main window's commands, clicked from outside: valid/invalid, all
valid, all invalid and Delete, read back from the script files; the choice of
one target window, with the recorder in front and behind."""

import time
import unittest

from e2e import TarvixCase, script_text, wait_until, VK

# The main window's controls (res/resource.h).
IDC_DELETE, IDC_TOGGLE_VALID, IDC_ALL_VALID, IDC_ALL_INVALID = 1002, 1003, 1004, 1005
IDC_ALL_WINDOWS, IDC_ONE_WINDOW, IDC_WINDOW_COMBO = 1054, 1055, 1056
# The first row's middle, in pixels from the client area's corner, and the
# rows' height (template 102 at the dialog font under Wine).
FIRST_ROW = (100, 140)
ROW_HEIGHT = 21


def enable_flag(path):
    for line in path.read_bytes().split(b"\r\n"):
        if line.startswith(b"Enable="):
            return int(line[len(b"Enable="):])
    return None


class MainWindow(TarvixCase):

    def click(self, window, what, row=0):
        """Clicks a control by its id, or the list's row `row`."""
        if isinstance(what, int):
            self.click_control(window, what)
        else:
            self.click_client(window, what[0], what[1] + row * ROW_HEIGHT)
        # Two clicks in a row on one spot would be a double click.
        time.sleep(0.2)

    def assert_flags(self, files, expected):
        """Waits until the files' Enable flags read as expected."""
        wait_until(lambda: tuple(map(enable_flag, files)) == expected, timeout=10)
        self.assertEqual(tuple(map(enable_flag, files)), expected)

    def answer(self, key):
        """Presses a key in the question box, titled with the program's name."""
        question = self.session.wait_window("tarvix", timeout=20)
        self.shot("question")
        self.focus(question)
        self.press(key)
        wait_until(lambda: not self.session.visible_windows("tarvix"), timeout=10)
        self.assertEqual(self.session.visible_windows("tarvix"), [], "the question stayed open")

    def scripts(self):
        return sorted(p.name for p in (self.folder / "script").iterdir())

    def test_valid_invalid_commands_write_the_files_and_decide_what_plays(self):
        self.write_script("a.txt", script_text(["SayString a"], VK["F5"], description="first"))
        self.write_script("b.txt", script_text(["SayString b"], VK["F6"], description="second"))
        self.write_sentinel()
        a, b = self.folder / "script" / "a.txt", self.folder / "script" / "b.txt"
        before = a.read_bytes()
        main = self.start_tarvix()

        self.click(main, FIRST_ROW)           # <F5> sorts first
        self.click(main, IDC_TOGGLE_VALID)
        self.assert_flags((a, b), (0, 1))
        # Only the flag changed: every other byte, the actions included.
        self.assertEqual(a.read_bytes(), before.replace(b"Enable=1", b"Enable=0"))
        self.click(main, IDC_ALL_INVALID)
        self.assert_flags((a, b), (0, 0))
        self.click(main, IDC_ALL_VALID)
        self.assert_flags((a, b), (1, 1))
        self.click(main, FIRST_ROW, row=1)
        self.click(main, IDC_TOGGLE_VALID)
        self.assert_flags((a, b), (1, 0))
        self.assertEqual([row[3] for row in self.rows()], ["√", "", "√"], "the marks shown follow the files")
        self.shot("after-toggles")

        _, log = self.start_target()
        self.press("F6", "F5")
        self.assertEqual(self.text_before_sentinel(log), "a", "the script made not valid played")

    def test_delete_asks_and_removes_only_on_yes(self):
        # Rows are sorted by the hotkey text, not by file: <F5> of b.txt
        # is the first row.
        self.write_script("a.txt", script_text(["SayString a"], VK["F6"]))
        self.write_script("b.txt", script_text(["SayString b"], VK["F5"]))
        self.write_sentinel()
        main = self.start_tarvix()
        self.click(main, FIRST_ROW)
        self.click(main, IDC_DELETE)
        self.answer("Escape")                 # the question's Cancel
        self.assertEqual(self.scripts(), ["a.txt", "b.txt", "sentinel.txt"])
        self.assertEqual(len(self.session.visible_windows("Tapwisp")), 1, "Esc closed tarvix")

        self.click(main, FIRST_ROW)
        self.click(main, IDC_DELETE)
        self.answer("Return")                 # OK, the default button
        self.assertEqual(self.scripts(), ["a.txt", "sentinel.txt"])
        # The focus of the deleted row passes to the row now in its place.
        self.assertEqual(self.rows(), [(False, True, "<F6>", "√", "e2e", "a.txt"),
                                       (False, False, "<Insert>", "√", "sentinel", "sentinel.txt")])

        # The deleted script is gone from the running program too.
        _, log = self.start_target()
        self.press("F5", "F6")
        self.assertEqual(self.text_before_sentinel(log), "a")

    def test_one_window_mode_plays_only_while_the_chosen_window_is_in_front(self):
        self.write_script("a.txt", script_text(["SayString a"], VK["F5"]))
        self.write_sentinel()
        chosen, chosen_log = self.start_target("Zeta target")
        other, other_log = self.start_target("Other window")
        main = self.start_tarvix()
        self.focus(main)
        self.click(main, IDC_ONE_WINDOW)
        self.assertTrue(self.wait_checked("Tapwisp", IDC_ONE_WINDOW), "one-window mode not taken")
        self.click(main, IDC_WINDOW_COMBO)
        self.press("End", *["BackSpace"] * 40)
        self.session.xdotool("type", "--delay", "30", "Zeta target")
        self.shot("one-window")

        self.focus(other, other_log)
        self.press("F5")
        self.assertTrue(other_log.wait_for(lambda l: l.keydowns(VK["F5"])), "the hotkey itself passes on")
        # What the press in the other window would have played arrives before
        # the chosen window's play, which starts later and plays as long.
        self.bring_to_front(chosen, chosen_log)
        self.press("F5")
        self.assertEqual(self.text_before_sentinel(chosen_log), "a")
        self.assertEqual(other_log.text(), "", "played into a window that was not chosen")
        self.assertEqual(len(other_log.keydowns(VK["F5"])), 1)

        # Back to all windows: the other window gets it too.
        self.focus(main)
        self.click(main, IDC_ALL_WINDOWS)
        # A window busy with its activation handles a hotkey report, which is
        # posted, before the click, which is input: wait for the click.
        self.assertTrue(self.wait_checked("Tapwisp", IDC_ALL_WINDOWS), "all-windows mode not taken")
        self.focus(other, other_log)
        self.press("F5")
        self.assertEqual(self.text_before_sentinel(other_log), "a")
        self.assertEqual(chosen_log.text(), "a#", "the chosen window got a second play")


if __name__ == "__main__":
    unittest.main(verbosity=2)
