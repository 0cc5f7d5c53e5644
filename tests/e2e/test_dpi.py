"""tarvix at 150 % (the prefix's LogPixels at 144): a MoveTo lands on the
very pixel it names, as the pointer position reports it, and a captured
point is the pointer's pixel."""

import time
import unittest

from harness import VK, TarvixCase, script_text, wait_until

IDC_ADD, IDC_CAPTURE = 1000, 1036


def capture_point(case, main, x, y):
    """Captures the pointer at X position (x, y) as point 2 with the capture
    dialog, reached from the main window's Add; returns tarvix.ini's text."""
    case.focus(main)
    case.click_control(main, IDC_ADD)
    editor = case.session.wait_window("腳本定義", timeout=20)
    case.focus(editor)
    case.click_control(editor, IDC_CAPTURE)
    case.focus(case.session.wait_window("座標點", timeout=20))
    case.session.xdotool("mousemove", x, y)
    time.sleep(0.3)
    case.press("ctrl+alt+3")
    ini = case.folder / "tarvix.ini"
    wait_until(lambda: ini.exists() and b"Position2X" in ini.read_bytes(), 10)
    case.shot("captured")
    return ini.read_bytes() if ini.exists() else b""


class Dpi(TarvixCase):

    def test_move_to_and_capture_take_exact_pixels_at_150_percent(self):
        key = r"HKEY_CURRENT_USER\Control Panel\Desktop"
        self.session.prefix.set_registry({key: {"LogPixels": 144}}, settle=True)
        actions = ["MoveTo 512 384", "LeftClick 1", "MoveTo 1023 767", "LeftClick 1", "MoveTo 1 1", "LeftClick 1"]
        self.write_script("move.txt", script_text(actions, VK["F5"]))
        self.write_sentinel()
        main = self.start_tarvix()
        self.shot("main-144")
        _, log = self.start_target()
        self.press("F5")
        self.assertTrue(log.wait_for(lambda l: len(l.named("lbuttonup")) >= 3), log.events())
        self.text_before_sentinel(log)
        # Where each move landed is where the target saw the pointer go, in
        # order: inside Wine's desktop Wine may put the pointer back a moment
        # after a played move, and a button after it lands at the old spot.
        visited = iter(tuple(e[2]) for e in log.named("cursor"))
        self.assertTrue(all(point in visited for point in (("512", "384"), ("1023", "767"), ("1", "1"))),
                        log.named("cursor"))
        self.assertIn(b"Position2X=701\r\nPosition2Y=499\r\n", capture_point(self, main, 701, 499))


if __name__ == "__main__":
    unittest.main(verbosity=2)
