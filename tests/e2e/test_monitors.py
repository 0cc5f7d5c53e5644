"""Two monitors side by side: pointer moves land on the very pixel they name,
and a captured point is the pointer's pixel, on the second monitor, to the
right of the primary and to its left, where coordinates are negative.

The display: Xephyr with two screens placed side by side (-origin) and
Xinerama, on a private Xvfb; Wine reads the two heads from Xinerama when it
is told not to use XRandR (Xephyr's RandR knows one output only). A single
Xvfb with +xinerama puts both heads at 0,0, and Xvfb ignores RandR monitors
set with xrandr --setmonitor."""

import shutil
import subprocess
import time
import unittest

import harness
from e2e import TarvixCase, script_text, VK
from test_dpi import capture_point


class TwoHeads(harness.Display):
    """Xephyr on an Xvfb of its own, with heads at the given origins."""

    def __init__(self, origins):
        super().__init__(screen="2200x900")
        self.origins = origins
        self.host = None

    def start(self):
        self.host = harness.Display(screen=self.screen).start()
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
    # Outside Wine's desktop: that is one window on one head, where Wine
    # would see a single monitor of its size.
    desktop = False
    origins = None

    def setUp(self):
        # tools/setup-debian.sh installs it; a machine without it cannot run
        # these cases, which is a failure, not a pass.
        self.assertTrue(shutil.which("Xephyr"), "no Xephyr (package xserver-xephyr)")
        self.session = harness.Session()
        self.addCleanup(self.session.close)
        self.session.display = TwoHeads(self.origins).start()
        self.session.prefix = harness.Prefix(self.session.display).boot()
        self.session.prefix.run(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "UseXRandR",
                                 "/d", "N", "/f"])
        self.session.prefix.kill()
        self.folder = self.session.program_folder()
        self.logs = self.session.temp_dir("tarvix-logs-")

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


class SecondMonitorRight(Monitors):
    origins = [(0, 0), (1024, 0)]

    def test_move_to_lands_on_the_second_monitor(self):
        self.moves_land([(1500, 300), (2047, 767), (1024, 0), (512, 384)])

    def test_capture_on_the_second_monitor(self):
        settings = capture_point(self, self.start_tarvix(), 1500, 333)
        self.assertIn(b"Position2X=1500\r\nPosition2Y=333\r\n", settings)


class SecondMonitorLeft(Monitors):
    # The first head is the primary, at 0,0 for Windows; the other lies left.
    origins = [(1024, 0), (0, 0)]

    def test_move_to_lands_left_of_the_primary(self):
        self.moves_land([(-700, 300), (-1024, 0), (-1, 767), (512, 384)])

    def test_capture_left_of_the_primary(self):
        # X pixel 324 of the left head is Windows' -700.
        settings = capture_point(self, self.start_tarvix(), 324, 333)
        self.assertIn(b"Position2X=-700\r\nPosition2Y=333\r\n", settings)


del Monitors

if __name__ == "__main__":
    unittest.main(verbosity=2)
