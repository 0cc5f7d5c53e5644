"""The stop hotkey and shutdown ending runs at once: a run stopped in the
middle of a long Delay ends right then and lets go of the key and the mouse
button it holds; a Delay of -1 is stopped like any other; closing tarvix
while runs play ends them and the program within half a second."""

import time
import unittest

from e2e import TarvixCase, TargetLog, TARGET_EXE, require, script_text, windows_path, VK

# Time allowed from the stop key's arrival to the end of a run that waits.
STOP_TO_END = 0.3
B, C = 0x42, 0x43
STOP_KEY = 0x41  # the A of the default stop hotkey Ctrl+Shift+A

# A run holding B and the left button in the middle of the target window,
# then waiting; what follows the wait must never play once it is stopped.
HOLDING = ["MoveTo 500 400", "KeyDown 66 1", "LeftDown 1"]


def process_ended(pid):
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] in ("Z", "X")
    except OSError:
        return True


class Stop(TarvixCase):

    def play(self, scripts, keys=("F5",)):
        for name, data in scripts.items():
            self.write_script(name, data)
        self.write_sentinel()
        main = self.start_tarvix()
        _, log = self.start_target()
        for key in keys:
            self.press(key)
        return main, log

    def held(self, log, count=1):
        """Waits until the run holds B and the left button (the count-th time)."""
        self.assertTrue(log.wait_for(lambda l: len(l.named("lbuttondown")) >= count
                                     and len(l.keydowns(B)) >= count), "the run did not press")

    def release_latency(self, log, since):
        """Milliseconds from the stop key reaching the target to the last of
        the run's releases of B and the left button, both after `since`."""
        self.assertTrue(log.wait_for(lambda l: [e for e in l.named("lbuttonup") if e[0] > since]
                                     and [e for e in l.named("keyup") if e[0] > since and int(e[2][0], 16) == B]),
                        f"B and the left button were not released: {log.events()}")
        stop = [t for t, name, args in log.events()
                if name == "keydown" and int(args[0], 16) == STOP_KEY and t > since][0]
        button = [t for t, _, _ in log.named("lbuttonup") if t > since][0]
        key = [t for t, _, args in log.named("keyup") if t > since and int(args[0], 16) == B][0]
        return max(button, key) - stop

    def test_a_stop_in_a_long_delay_ends_the_run_and_lets_go_at_once(self):
        _, log = self.play({"hold.txt": script_text(HOLDING + ["Delay 10000", "KeyUp 66 1", "LeftUp 1",
                                                               "KeyPress 67 1"], VK["F5"], run_once=1)})
        self.held(log)
        pressed_at = log.events()[-1][0]
        self.press_held("ctrl+shift", "a")
        latency = self.release_latency(log, pressed_at)
        print(f"\nstop key to releases: {latency:.1f} ms", flush=True)
        self.assertLess(latency, 20.0)
        # Released once each, by the stop, and nothing of the rest played.
        self.assertEqual(len(log.named("lbuttonup")), 1)
        self.assertEqual(len([e for e in log.named("keyup") if int(e[2][0], 16) == B]), 1)
        # The run has ended: its run-once hotkey starts it again at once.
        self.press("F5")
        self.held(log, 2)
        self.press_held("ctrl+shift", "a")
        self.assertTrue(log.wait_for(lambda l: len(l.named("lbuttonup")) >= 2))
        self.assertEqual(log.keydowns(C), [])

    def test_a_delay_of_minus_one_is_stopped_and_started_again(self):
        _, log = self.play({"forever.txt": script_text(["KeyPress 66 1", "Delay -1", "KeyPress 67 1"],
                                                       VK["F5"], run_once=1)})
        self.assertTrue(log.wait_for(lambda l: len(l.keydowns(B)) >= 1))
        # A second run would press B first thing, before the sentinel types.
        self.press("F5")
        self.text_before_sentinel(log)
        self.assertEqual(len(log.keydowns(B)), 1, "a run-once script started twice")
        self.press_held("ctrl+shift", "a")
        # The run ends within a millisecond or so of the stop, but only then
        # is its script free to start again, and nothing outside the program
        # shows that moment (its releases come just before it).
        time.sleep(STOP_TO_END)
        self.press("F5")
        self.assertTrue(log.wait_for(lambda l: len(l.keydowns(B)) >= 2),
                        "the stopped run kept its script from playing again")
        self.press_held("ctrl+shift", "a")
        self.assertTrue(log.wait_for(lambda l: len(l.keydowns(STOP_KEY)) >= 2), "the stop key did not arrive")
        self.assertEqual(log.keydowns(C), [])

    def close_time(self, scripts):
        """Seconds from Escape in the main window to the end of tarvix, with
        the scripts playing. Inside Wine's own desktop: on a bare display
        Wine stalls a closing window's thread for seconds (see ENGINEERING.md)."""
        folder = self.session.program_folder()
        for name, data in scripts.items():
            self.write_script(name, data, folder)
        (folder / "script").mkdir(exist_ok=True)
        self.session.start(folder / "tarvix.exe", cwd=folder, desktop=True)
        main = self.session.wait_window("Tapwisp", timeout=60)
        log_path = self.logs / f"close-{len(scripts)}.log"
        self.session.start(require(TARGET_EXE), ["close target", windows_path(log_path)], cwd=self.logs, desktop=True)
        target = self.session.wait_window("close target", timeout=60)
        log = TargetLog(log_path)
        self.assertTrue(log.wait_for(lambda l: l.named("ready")))
        self.focus(target, log)
        if scripts:
            self.press("F5")
            self.held(log)
            self.assertTrue(log.wait_for(lambda l: len(l.keydowns(C)) >= 3))
        # The program's own process, not the desktop started with it.
        pid = [pid for pid, cmdline in self.session.prefix.processes().items()
               if cmdline.split()[0].replace("\\", "/").endswith("tarvix/tarvix.exe")][0]
        self.focus(main)
        begin = time.monotonic()
        self.press("Escape")
        while not process_ended(pid) and time.monotonic() - begin < 10:
            time.sleep(0.005)
        took = time.monotonic() - begin
        self.session.stop_all()
        return took

    def test_closing_tarvix_ends_its_runs_and_itself_at_once(self):
        idle = self.close_time({})
        playing = self.close_time({"hold.txt": script_text(HOLDING + ["Delay -1"], VK["F5"]),
                                   "loop.txt": script_text(["KeyPress 67 1"], VK["F5"], repeat_type=1)})
        print(f"\nEscape to the end of tarvix: {idle * 1000:.0f} ms with nothing playing, "
              f"{playing * 1000:.0f} ms with two runs", flush=True)
        # The runs add next to nothing: they end with the stop that closing
        # signals, instead of holding the program up for the bounded wait.
        self.assertLess(playing, idle + 0.5)

if __name__ == "__main__":
    unittest.main(verbosity=2)
