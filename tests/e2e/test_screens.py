"""Screens other than the plain one: at 150 % (the prefix's LogPixels at
144), and with a second monitor left of the primary, where Windows'
coordinates are negative, a MoveTo lands on the very pixel it names and a
captured point is the pointer's pixel; MoveIn clicks the same client point
of the window in front before and after the window moved from that monitor
to the primary."""

import shutil
import time

import harness
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
        self.session.prefix.set_registry({r"HKEY_CURRENT_USER\Control Panel\Desktop": {"LogPixels": 144}}, settle=True)
        actions = ["MoveTo 100 200", "LeftClick 1", "MoveTo 1023 767", "LeftClick 1", "MoveTo 1 1", "LeftClick 1"]
        self.write_script("move.txt", script_text(actions, VK["F5"]))
        self.write_sentinel()
        main = self.start_tarvix()
        self.shot("main-144")
        _, log = self.start_target()
        self.press("F5")
        self.assertTrue(log.wait_for(lambda l: len(l.named("lbuttonup")) >= 3), log.events())
        self.text_before_sentinel(log)
        # Where each move landed is where the target saw the pointer go:
        # inside Wine's desktop Wine may put the pointer back a moment after
        # a played move, and a button after it lands at the old spot.
        visited = {tuple(e[2]) for e in log.named("cursor")}
        self.assertLessEqual({("100", "200"), ("1023", "767"), ("1", "1")}, visited, log.named("cursor"))
        self.assertIn(b"Position2X=701\r\nPosition2Y=499\r\n", capture_point(self, main, 701, 499))


class TwoHeads(harness.Display):
    """Xephyr on an Xvfb of its own with two heads side by side and Xinerama:
    the first, the primary, at X pixel 1024, the other left of it. Wine
    reads the heads from Xinerama when told not to use XRandR (Xephyr's
    RandR knows one output only); a single Xvfb with +xinerama puts both
    heads at 0,0 and ignores monitors set with xrandr --setmonitor. Wine's
    desktop is one window on one head: its programs run on the bare display."""

    def start(self):
        if not shutil.which("Xephyr"):
            raise RuntimeError("no Xephyr (package xserver-xephyr, which tools/setup-debian.sh installs)")
        self.host = harness.Display(screen="2200x900").start()
        command = lambda n: ["Xephyr", f":{n}", "+xinerama", "-nolisten", "tcp", "-no-host-grab",
                             "-origin", "1024,0", "-screen", "1024x768", "-origin", "0,0", "-screen", "1024x768"]
        try:
            return self._start_server(command, self.first + 20, {"DISPLAY": self.host.name, "PATH": "/usr/bin:/bin"})
        except BaseException:
            self.host.stop()
            raise

    def stop(self):
        super().stop()
        self.host.stop()


class SecondMonitorLeft(TarvixCase):

    desktop = False

    def open_session(self):
        # The file's one case: the session ends the display and the prefix with it.
        session = harness.Session()
        session.display = TwoHeads().start()
        session.prefix = harness.Prefix(session.display).boot()
        session.prefix.set_registry({r"HKEY_CURRENT_USER\Software\Wine\X11 Driver": {"UseXRandR": "N"}}, settle=True)
        return session

    def test_moves_move_in_and_capture_left_of_the_primary(self):
        points = [(-700, 300), (-1024, 0), (-1, 767), (512, 384)]
        self.write_script("move.txt", script_text([a for x, y in points for a in (f"MoveTo {x} {y}", "LeftClick 1")],
                                                  VK["F5"]))
        self.write_script("in.txt", script_text(["MoveIn 50 60", "LeftClick 1", "MoveIn 0 0", "RightClick 1"],
                                                VK["F6"]))
        self.write_sentinel()
        main = self.start_tarvix()
        _, log = self.start_target()
        self.press("F5")
        self.assertTrue(log.wait_for(lambda l: len(l.named("lbuttonup")) >= len(points)), log.events())
        self.text_before_sentinel(log)
        self.assertEqual([tuple(map(int, e[2][:2])) for e in log.named("lbuttondown")], points)

        # A window on the left monitor, then moved by the program itself (a
        # move made on the X side need not reach Wine) to the primary.
        title = "左邊的視窗"
        window, log = self.start_target(title, (-1024, 0, 400, 300))
        self.assertEqual(log.named("placed")[0][2], ["-1024", "0", "-624", "300"])
        for corner in ((-1024, 0), (100, 120)):
            if corner != (-1024, 0):
                # Moved again until the window's client area reads as moved.
                self.assertTrue(harness.wait_until(lambda: self.probe("move", title, *corner).split() ==
                                                   list(map(str, corner))), "the window did not move")
                self.focus(window, log)
            count = len(log.named("rbuttonup"))
            self.press("F6")
            self.assertTrue(log.wait_for(lambda l: len(l.named("rbuttonup")) > count), log.events()[-12:])
        self.text_before_sentinel(log)
        self.assertEqual([e[2][:2] for e in log.named("lbuttondown")], [["-974", "60"], ["150", "180"]])
        self.assertEqual([e[2][:2] for e in log.named("rbuttondown")], [["-1024", "0"], ["100", "120"]])

        # Out of the way of the clicks that follow: on a bare display the
        # window activated is not raised above them.
        for target in ("tarvix target", title):
            self.probe("close", target)
            self.assertTrue(self.wait_closed(target))
        # X pixel 324 of the left head is Windows' -700.
        self.assertIn(b"Position2X=-700\r\nPosition2Y=333\r\n", capture_point(self, main, 324, 333))
