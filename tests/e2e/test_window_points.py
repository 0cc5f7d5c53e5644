"""Points in the window in front (MoveIn): a script clicks the same client
pixel of its window before and after the window moved; a recording made with
座標相對於視窗 ticked does so too; a point captured in a window goes in as
MoveIn with its place there. The window is moved by the program itself
(window_probe's SetWindowPos), since a move made on the X side need not
reach Wine.

On the bare display: inside Wine's desktop a played move is now and then
taken back to where the X pointer was, and where a played click lands is
what these cases check."""

import time
import unittest

import test_record
from e2e import VK, script_text, wait_until
from test_editor import ACTION_LIST_ID, CAPTURE, CAPTURE_BUTTON, EDITOR, INSERT_MOVETO, OK, centre, script_lines

TITLE = "window points target"
PLACE = (100, 120, 400, 300)
RECORD_WINDOW = centre(12, 42, 100, 12)
IDC_RECORD_WINDOW = 1073
POINT_IN_WINDOW = centre(104, 171, 46, 10)
IDC_POINT_IN_WINDOW = 1074
IDC_POINT_COMBO = 1031


class WindowPoints(test_record.Record):

    desktop = False

    def focus(self, window, log=None):
        """On a bare display the X focus goes to the root window first (see
        test_monitors): otherwise Wine may leave its desktop in front."""
        root = self.session.xdotool("search", "--maxdepth", "0", "--name", "").split()[0]
        self.session.xdotool("windowfocus", "--sync", root, check=False)
        wait_until(lambda: self.foreground_title() == "", timeout=5)
        super().focus(window, log)

    def client_corner(self):
        return tuple(map(int, self.window_probe("client", TITLE).split()[:2]))

    def move_target(self, x, y):
        self.window_probe("move", TITLE, x, y)
        self.assertTrue(wait_until(lambda: self.client_corner() == (x, y)), f"the target is at {self.client_corner()}")

    def open_editor_over_target(self):
        """The editor of a new script with F8 as its start key, and the
        target window at PLACE."""
        self.write_sentinel()
        main = self.start_tarvix()
        target, log = self.start_target(TITLE, PLACE)
        self.focus(main)
        self.click(main, test_record.ADD)
        editor = self.session.wait_window(EDITOR, timeout=20)
        self.focus(editor)
        self.click(editor, test_record.BEGIN_HOTKEY)
        self.press("F8")
        return editor, target, log

    def save(self, editor):
        self.focus(editor)
        self.click(editor, OK)
        self.assertTrue(self.wait_closed(EDITOR), "OK did not close the editor")
        [path] = [p for p in (self.folder / "script").glob("*.txt") if p.name != "sentinel.txt"]
        return script_lines(path)

    def test_move_in_clicks_the_same_client_point_after_the_window_moved(self):
        self.write_script("in.txt", script_text(["MoveIn 50 60", "LeftClick 1", "MoveIn 0 0", "RightClick 1"],
                                                VK["F5"]))
        self.write_sentinel()
        self.start_tarvix()
        target, log = self.start_target(TITLE, PLACE)
        for corner in ((100, 120), (560, 400)):
            if corner != self.client_corner():
                self.move_target(*corner)
                self.focus(target, log)
            before = len(log.named("rbuttonup"))
            self.press("F5")
            self.assertTrue(log.wait_for(lambda l: len(l.named("rbuttonup")) > before), log.events()[-12:])
        self.text_before_sentinel(log)
        self.shot("moved")
        self.assertEqual([e[2] for e in log.named("lbuttondown")], [["150", "180"], ["610", "460"]])
        self.assertEqual([e[2] for e in log.named("rbuttondown")], [["100", "120"], ["560", "400"]])

    def test_a_recording_in_the_window_replays_at_its_client_points_after_it_moved(self):
        self.choose(keep_timing=False)
        editor, target, log = self.open_editor_over_target()
        self.click(editor, test_record.RECORD_BUTTON)
        dialog = self.session.wait_window(test_record.RECORD_DIALOG, timeout=20)
        self.focus(dialog)
        self.click(dialog, RECORD_WINDOW)
        self.assertTrue(self.wait_checked(test_record.RECORD_DIALOG, IDC_RECORD_WINDOW), "1073 did not tick")
        self.click(dialog, test_record.START)
        self.assertTrue(self.wait_closed(EDITOR), "the editor stayed in sight while recording")
        self.assertTrue(wait_until(self.recording_started), "recording did not start")
        work = ["mousemove", "180", "200", "sleep", "0.1", "click", "1", "sleep", "0.2",
                "mousemove", "300", "350", "sleep", "0.1", "click", "3"]
        self.record(target, log, work, 4)
        editor = self.stop_recording()
        lines = self.save(editor)
        self.assertIn(b"WindowRelative=1", (self.folder / "tarvix.ini").read_bytes())
        self.assertEqual(lines, ["MoveIn 80 80", "LeftClick 1", "MoveIn 200 230", "RightClick 1"])

        self.move_target(500, 400)
        replayed = self.play(target, log, 4, 30)
        self.shot("replayed")
        self.assertEqual([args for _, name, args in replayed if name in ("lbuttondown", "rbuttondown")],
                         [["580", "480"], ["700", "630"]])

    def test_a_point_captured_in_the_window_goes_in_as_move_in(self):
        editor, target, log = self.open_editor_over_target()
        self.click(editor, CAPTURE_BUTTON)
        capture = self.session.wait_window(CAPTURE, timeout=20)
        # The target in front, as when the user clicks into it to point.
        self.focus(target, log)
        self.session.xdotool("mousemove", "163", "161")
        time.sleep(0.3)
        self.press("ctrl+alt+1")
        ini = self.folder / "tarvix.ini"
        self.assertTrue(wait_until(lambda: ini.exists() and b"Position0WindowY" in ini.read_bytes()),
                        "no capture in the window")
        self.assertIn(b"Position0X=163\r\nPosition0Y=161\r\nPosition0WindowX=63\r\nPosition0WindowY=41\r\n",
                      ini.read_bytes())
        self.focus(capture)
        self.press("Escape")
        self.assertTrue(self.wait_closed(CAPTURE), "Esc did not close the capture dialog")

        self.focus(editor)
        self.assertEqual(self.control_text(EDITOR, IDC_POINT_COMBO)[1], "P1:X=163 Y=161")
        self.click(editor, POINT_IN_WINDOW)
        self.assertTrue(self.wait_checked(EDITOR, IDC_POINT_IN_WINDOW), "視窗內 did not tick")
        combo = self.control_text(EDITOR, IDC_POINT_COMBO)
        self.assertEqual(combo[:3], ["P1:視窗內 X=63 Y=41", "P1:視窗內 X=63 Y=41", "P2:視窗內 X=0 Y=0"])
        self.click(editor, INSERT_MOVETO)
        self.assertTrue(wait_until(lambda: len(self.control_rows(EDITOR, ACTION_LIST_ID)) == 2))
        self.assertEqual(self.control_rows(EDITOR, ACTION_LIST_ID)[0], ["視窗內移到 63 41", "1"])
        self.assertEqual(self.save(editor), ["MoveIn 63 41"])


def load_tests(loader, standard_tests, pattern):
    """Only this file's cases: the recording cases it builds on are
    test_record's own."""
    return unittest.TestSuite(WindowPoints(name) for name in vars(WindowPoints) if name.startswith("test_"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
