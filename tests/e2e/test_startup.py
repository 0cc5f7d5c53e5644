"""Start-up of both editions under Wine: the main window with the scripts of
the program file's own folder, whatever the current folder, and one copy per
logon: a second copy of either edition ends at once without a window."""

import shutil
import time

from harness import MAIN, VK, TarvixCase, script_text

IDC_ADD, IDC_TOGGLE_VALID = 1000, 1003


class StartUp(TarvixCase):

    def test_each_edition_lists_its_folders_scripts_and_a_second_copy_ends_at_once(self):
        # The current folder holds a script of its own, which is never listed.
        elsewhere = self.session.temp_dir("tarvix-cwd-")
        self.write_script("there.txt", script_text(["SayString c"], VK["F6"]), folder=elsewhere)
        shutil.rmtree(self.folder / "script")
        self.start_tarvix("tarvix.exe", cwd=elsewhere)
        # Edition 1.1 makes the script folder before its window shows.
        self.assertTrue((self.folder / "script").is_dir(), "no script folder made")
        self.assertEqual(self.rows(), [])
        self.assertEqual(self.control_text(MAIN, IDC_ADD), ["增  加"])
        first = self.session.windows_processes("tarvix.exe")
        for exe in ("tarvix.exe", "tarvix-classic.exe"):
            started = time.monotonic()
            # Started straight, not through Wine's desktop, whose starter ends
            # at once: this way the copy's own exit code and end are seen.
            second = self.session.start(self.folder / exe, cwd=self.folder)
            self.assertEqual(second.wait(timeout=30), 0, exe)
            self.assertLess(time.monotonic() - started, 10, exe)
            self.assertEqual(len(self.session.visible_windows(MAIN)), 1, exe)
            self.assertEqual(self.session.windows_processes("tarvix.exe"), first, exe)
        self.session.stop_all()

        self.write_script("a.txt", script_text(["SayString a"], VK["F5"], description="甲"))
        self.start_tarvix("tarvix-classic.exe", cwd=elsewhere)
        self.assertEqual(self.rows(), [["<F5>", "√", "甲", "a.txt"]])
        self.assertEqual(self.control_text(MAIN, IDC_ADD), ["增  加"])
        self.assertEqual(self.control_text(MAIN, IDC_TOGGLE_VALID), ["有效/無效"])
        self.shot("classic")
