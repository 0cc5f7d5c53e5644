"""tarvix at 150 % (the prefix's LogPixels at 144): a MoveTo lands on the
very pixel it names, as the pointer position reports it, and a captured
point is the pointer's pixel."""

import time
import unittest

from e2e import TarvixCase, script_text, VK, wait_until
EDITOR = "腳本定義"
CAPTURE = "座標點"


def capture_point(case, main, x, y):
    """Captures the pointer at X position (x, y) as point 2 with the capture
    dialog, reached from the main window's Add; returns tarvix.ini's text.
    Controls are found in dialog units, at the scale the main window shows
    (its template is 416 x 301 units; across and down they differ)."""
    _, _, width, height = case.client_area(main)
    unit_x, unit_y = width / 416, height / 301

    def click(window, dlu_x, dlu_y):
        x, y, _, _ = case.client_area(window)
        case.session.xdotool("mousemove", x + round(dlu_x * unit_x), y + round(dlu_y * unit_y))
        # Inside Wine's desktop a button sent right after a move can land
        # where the pointer was before it.
        time.sleep(0.1)
        case.session.xdotool("click", "1")
        time.sleep(0.4)

    case.focus(main)
    click(main, 27.5, 46)  # Add
    editor = case.session.wait_window(EDITOR, timeout=20)
    case.focus(editor)
    click(editor, 31, 191)  # the capture button
    capture = case.session.wait_window(CAPTURE, timeout=20)
    case.focus(capture)
    case.session.xdotool("mousemove", x, y)
    time.sleep(0.3)
    case.press("ctrl+alt+3")
    ini = case.folder / "tarvix.ini"
    wait_until(lambda: ini.exists() and b"Position2X" in ini.read_bytes(), 10)
    case.shot("captured")
    return ini.read_bytes() if ini.exists() else b""


class Dpi(TarvixCase):

    def set_dpi(self, dpi):
        key = r"HKEY_CURRENT_USER\Control Panel\Desktop"
        self.session.prefix.set_registry({key: {"LogPixels": dpi}}, settle=True)
        self.addCleanup(self.session.prefix.set_registry, {key: {"LogPixels": 96}})

    def test_move_to_lands_exactly_at_150_percent(self):
        self.set_dpi(144)
        actions = ["MoveTo 512 384", "LeftClick 1", "MoveTo 1023 767", "LeftClick 1", "MoveTo 1 1",
                   "LeftClick 1"]
        self.write_script("move.txt", script_text(actions, VK["F5"]))
        self.write_sentinel()
        self.start_tarvix()
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

    def test_capture_takes_the_pointers_pixel_at_150_percent(self):
        self.set_dpi(144)
        main = self.start_tarvix()
        settings = capture_point(self, main, 701, 499)
        self.assertIn(b"Position2X=701\r\n", settings)
        self.assertIn(b"Position2Y=499\r\n", settings)


if __name__ == "__main__":
    unittest.main(verbosity=2)
