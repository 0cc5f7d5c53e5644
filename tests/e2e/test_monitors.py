"""Two monitors side by side: pointer moves land on the very pixel they name,
a captured point is the pointer's pixel, and a window on the other monitor
chosen as the one target window gets what its hotkey plays, there exactly
(as does a MoveIn into a window left of the primary); on
the second monitor to the right of the primary and on one to its left, where
coordinates are negative.

The display: Xephyr with two screens placed side by side (-origin) and
Xinerama, on a private Xvfb; Wine reads the two heads from Xinerama when it
is told not to use XRandR (Xephyr's RandR knows one output only). A single
Xvfb with +xinerama puts both heads at 0,0, and Xvfb ignores RandR monitors
set with xrandr --setmonitor. Without Xephyr these cases fail: there is no
other way here to give Wine a second monitor."""

import shutil
import subprocess
import unittest

import harness
from e2e import TarvixCase, script_text, wait_until, VK
from test_dpi import capture_point

MAIN = "Tapwisp"
# The main window's radio button for one target window, in pixels from its
# client area's top-left corner, and the ids of the button and the list.
RADIO_ONE = (290, 37)
IDC_ONE_WINDOW = 1055
IDC_WINDOW_COMBO = 1056


class TwoHeads(harness.Display):
    """Xephyr on an Xvfb of its own, with heads at the given origins."""

    def __init__(self, origins):
        super().__init__(screen="2200x900")
        self.origins = origins
        self.host = None

    def start(self):
        if not shutil.which("Xephyr"):
            raise RuntimeError("no Xephyr (package xserver-xephyr, which tools/setup-debian.sh installs)")
        self.host = harness.Display(screen=self.screen).start()
        try:
            return self._start_nested()
        except BaseException:
            self.host.stop()
            raise

    def _start_nested(self):
        for number in range(self.first + 20, self.first + 20 + self.attempts):
            if self._taken(number):
                continue
            command = ["Xephyr", f":{number}", "+xinerama", "-nolisten", "tcp", "-no-host-grab"]
            for x, y in self.origins:
                command += ["-origin", f"{x},{y}", "-screen", "1024x768"]
            process = subprocess.Popen(command, env={"DISPLAY": self.host.name, "PATH": "/usr/bin:/bin"},
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                       start_new_session=True, preexec_fn=harness._die_with_parent)
            if self._wait_ready(number, process):
                self.number, self.process = number, process
                return self
            harness._stop_process(process)
        raise RuntimeError("no free X display number for Xephyr")

    def stop(self):
        super().stop()
        if self.host:
            self.host.stop()


class Monitors(TarvixCase):
    """One display and prefix for the cases of a layout; tarvix and the
    target windows are ended after each case."""

    # Outside Wine's desktop: that is one window on one head, where Wine
    # would see a single monitor of its size.
    desktop = False
    origins = None
    # The monitor that is not the primary, in Windows' coordinates: x, y,
    # width, height.
    other_monitor = None

    @classmethod
    def setUpClass(cls):
        cls.display = TwoHeads(cls.origins).start()
        try:
            cls.prefix = harness.Prefix(cls.display).boot()
            cls.prefix.set_registry({r"HKEY_CURRENT_USER\Software\Wine\X11 Driver": {"UseXRandR": "N"}})
            cls.prefix.kill()
        except BaseException:
            cls.display.stop()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.prefix.kill()
        cls.prefix.remove()
        cls.display.stop()

    def setUp(self):
        self.session = harness.Session()
        # The class's display and prefix: close() ends what the case started
        # and leaves them for the next case.
        self.session.reuse_prefix = True
        self.session.display, self.session.prefix = self.display, self.prefix
        self.addCleanup(self.session.close)
        self.folder = self.session.program_folder()
        self.logs = self.session.temp_dir("tarvix-logs-")

    def focus(self, window, log=None):
        """On a bare display a Wine program that loses the X focus to another
        program's window makes the desktop the foreground window unless the
        other has already taken it; when it checks first and the other takes
        it in between, the desktop wins. So the X focus goes to the root
        window first, the foreground to the desktop, and only then to the
        window: one program at a time."""
        root = self.session.xdotool("search", "--maxdepth", "0", "--name", "").split()[0]
        self.session.xdotool("windowfocus", "--sync", root, check=False)
        wait_until(lambda: self.foreground_title() == "", timeout=5)
        super().focus(window, log)

    def start_placed_target(self, title, place):
        """A target window over the rectangle `place` (x, y, width, height)
        of Windows' screen, as it says it lies."""
        window, log = self.start_target(title, place)
        self.assertTrue(log.wait_for(lambda l: l.named("placed")), "the target window wrote no place")
        x, y, width, height = place
        self.assertEqual(log.named("placed")[0][2], [str(x), str(y), str(x + width), str(y + height)])
        return window, log

    def moves_land(self, points):
        actions = []
        for x, y in points:
            actions += [f"MoveTo {x} {y}", "LeftClick 1"]
        self.write_script("move.txt", script_text(actions, VK["F5"]))
        self.write_sentinel()
        self.start_tarvix()
        _, log = self.start_target()
        self.press("F5")
        self.assertTrue(log.wait_for(lambda l: len(l.named("lbuttonup")) >= len(points)), log.events())
        self.text_before_sentinel(log)
        self.shot("moves")
        self.assertEqual([tuple(map(int, e[2])) for e in log.named("lbuttondown")], points)

    def one_window_on_the_other_monitor(self, points):
        """A window covering the other monitor, chosen from the list as the
        one target window: nothing plays while a window on the primary is in
        front; in front itself, it gets the key and every click, each on the
        pixel the script names."""
        chosen_title = "第二個螢幕上的視窗"
        actions = ["KeyPress 65 1"]
        for x, y in points:
            actions += [f"MoveTo {x} {y}", "LeftClick 1"]
        self.write_script("one.txt", script_text(actions, VK["F5"]))
        self.write_sentinel()
        chosen, chosen_log = self.start_placed_target(chosen_title, self.other_monitor)
        other, other_log = self.start_placed_target("Other window", (0, 0, 1024, 768))
        main = self.start_tarvix()

        self.focus(main)
        self.click_client(main, *RADIO_ONE)
        self.assertTrue(self.wait_checked(MAIN, IDC_ONE_WINDOW), "one-window mode not taken")
        self.assertIn(chosen_title, self.control_text(MAIN, IDC_WINDOW_COMBO)[1:])
        self.set_control_text(MAIN, IDC_WINDOW_COMBO, chosen_title)

        self.bring_to_front(other, other_log)
        self.press("F5")
        self.assertTrue(other_log.wait_for(lambda l: l.keydowns(VK["F5"])), "the hotkey itself passes on")
        # What the press in the other window would have played arrives before
        # the chosen window's play, which starts later.
        self.bring_to_front(chosen, chosen_log)
        self.press("F5")
        self.assertTrue(chosen_log.wait_for(lambda l: len(l.named("lbuttonup")) >= len(points)),
                        chosen_log.events())
        self.assertEqual(self.text_before_sentinel(chosen_log), "a")
        self.shot("one-window")
        self.assertEqual(len(chosen_log.keydowns(VK["A"])), 1)
        self.assertEqual([tuple(map(int, e[2])) for e in chosen_log.named("lbuttondown")], points)
        self.assertEqual((other_log.text(), other_log.named("lbuttondown")), ("", []),
                         "played into a window that was not chosen")


class SecondMonitorRight(Monitors):
    origins = [(0, 0), (1024, 0)]
    other_monitor = (1024, 0, 1024, 768)

    def test_move_to_lands_on_the_second_monitor(self):
        self.moves_land([(1500, 300), (2047, 767), (1024, 0), (512, 384)])

    def test_capture_on_the_second_monitor(self):
        settings = capture_point(self, self.start_tarvix(), 1500, 333)
        self.assertIn(b"Position2X=1500\r\nPosition2Y=333\r\n", settings)

    def test_one_window_on_the_second_monitor(self):
        self.one_window_on_the_other_monitor([(1500, 300), (2047, 767), (1024, 0)])


class SecondMonitorLeft(Monitors):
    # The first head is the primary, at 0,0 for Windows; the other lies left.
    origins = [(1024, 0), (0, 0)]
    other_monitor = (-1024, 0, 1024, 768)

    def test_move_to_lands_left_of_the_primary(self):
        self.moves_land([(-700, 300), (-1024, 0), (-1, 767), (512, 384)])

    def test_capture_left_of_the_primary(self):
        # X pixel 324 of the left head is Windows' -700.
        settings = capture_point(self, self.start_tarvix(), 324, 333)
        self.assertIn(b"Position2X=-700\r\nPosition2Y=333\r\n", settings)

    def test_one_window_left_of_the_primary(self):
        self.one_window_on_the_other_monitor([(-700, 300), (-1024, 0), (-1, 767)])

    def test_move_in_lands_in_a_window_left_of_the_primary(self):
        self.write_script("in.txt", script_text(["MoveIn 0 0", "LeftClick 1", "MoveIn 1023 767", "LeftClick 1"],
                                                VK["F5"]))
        self.write_sentinel()
        self.start_tarvix()
        _, log = self.start_placed_target("左邊的視窗", self.other_monitor)
        self.press("F5")
        self.assertTrue(log.wait_for(lambda l: len(l.named("lbuttonup")) >= 2), log.events())
        self.text_before_sentinel(log)
        self.assertEqual([tuple(map(int, e[2])) for e in log.named("lbuttondown")], [(-1024, 0), (-1, 767)])


del Monitors

if __name__ == "__main__":
    unittest.main(verbosity=2)
