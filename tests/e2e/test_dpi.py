"""tarvix at 100 %, 150 % and 200 % (the prefix's LogPixels at 96, 144 and
192): the main window grows with the scale, a screenshot of each kept as an
artifact; and at 150 % a MoveTo lands on the very pixel it names, as the
pointer position reports it."""

import time
import unittest

from e2e import TarvixCase, script_text, VK

SETTLE = 1.5


class Dpi(TarvixCase):

    def set_dpi(self, dpi):
        self.session.prefix.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                                 "/t", "REG_DWORD", "/d", str(dpi), "/f"])
        self.session.prefix.run(["wineserver", "-w"])
        self.addCleanup(self.session.prefix.run,
                        ["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                         "/t", "REG_DWORD", "/d", "96", "/f"])

    def geometry(self, window):
        """The window's width and height in pixels, as the X side has it."""
        out = self.session.xdotool("getwindowgeometry", "--shell", window.id)
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def test_windows_grow_with_the_scale(self):
        sizes = {}
        for dpi in (96, 144, 192):
            with self.subTest(dpi=dpi):
                self.set_dpi(dpi)
                self.write_script("a.txt", script_text(["KeyPress 66 1", "Delay 10"], VK["F5"]))
                main = self.start_tarvix()
                time.sleep(1.0)
                sizes[dpi] = self.geometry(main)
                self.shot(f"main-{dpi}")
                self.session.stop_all()
        print(f"\nmain window sizes: {sizes}", flush=True)
        for dpi in (144, 192):
            for axis in (0, 1):
                ratio = sizes[dpi][axis] / sizes[96][axis]
                # Dialog units follow the font, which follows the scale; the
                # font's own rounding leaves a few per cent either way.
                self.assertAlmostEqual(ratio, dpi / 96, delta=0.12 * dpi / 96, msg=f"{dpi}: {sizes}")

    def test_move_to_lands_exactly_at_150_percent(self):
        self.set_dpi(144)
        actions = ["MoveTo 512 384", "LeftClick 1", "MoveTo 1023 767", "LeftClick 1", "MoveTo 1 1",
                   "LeftClick 1"]
        self.write_script("move.txt", script_text(actions, VK["F5"]))
        self.start_tarvix()
        self.shot("main-144")
        _, log = self.start_target()
        self.press("F5")
        self.assertTrue(log.wait_for(lambda l: len(l.named("lbuttonup")) >= 3, settle=SETTLE), log.events())
        self.assertEqual([e[2] for e in log.named("lbuttondown")], [["512", "384"], ["1023", "767"], ["1", "1"]])


if __name__ == "__main__":
    unittest.main(verbosity=2)
