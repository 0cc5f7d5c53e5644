"""Start-up of both editions under Wine: one copy per logon, the program
folder from the program file's own path, the script folder, the settings file."""

import os
import signal
import time
import unittest

from e2e import TarvixCase, script_text, VK, wait_until


def wait_gone(session, image, timeout=20.0):
    return wait_until(lambda: not session.windows_processes(image), timeout)


class StartUp(TarvixCase):

    def test_main_window_of_each_edition_shows_its_controls_and_scripts(self):
        self.write_script("a.txt", script_text(["SayString a"], VK["F5"], description="甲"))
        for exe in ("tarvix.exe", "tarvix-classic.exe"):
            with self.subTest(exe=exe):
                self.start_tarvix(exe)
                texts = self.window_probe("texts", "Tapwisp")
                self.assertIn("\t增  加\n", texts)
                self.assertIn("\t有效/無效\n", texts)
                self.assertEqual([row[2:] for row in self.rows()], [("<F5>", "√", "甲", "a.txt")])
                self.shot(exe.replace(".exe", ""))
                self.session.stop_all()

    def test_a_second_copy_of_either_edition_ends_at_once_without_a_window(self):
        self.start_tarvix()
        first = self.session.windows_processes("tarvix.exe")
        for exe in ("tarvix.exe", "tarvix-classic.exe"):
            with self.subTest(exe):
                started = time.monotonic()
                # Started straight, not through Wine's desktop, whose starter
                # ends at once: this way the copy's own exit code and end are
                # what is seen.
                second = self.session.start(self.folder / exe, cwd=self.folder)
                self.assertEqual(second.wait(timeout=30), 0)
                # Ended, so whatever window it had made would be gone with it.
                self.assertLess(time.monotonic() - started, 10)
                self.assertEqual(len(self.session.visible_windows("Tapwisp")), 1)
                self.assertEqual(self.session.windows_processes("tarvix.exe"), first)

    def test_starts_again_after_the_first_copy_was_killed(self):
        self.start_tarvix()
        for pid in self.session.windows_processes("tarvix.exe"):
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        self.assertTrue(wait_gone(self.session, "tarvix.exe"))
        # Wine's server lets go of a killed program's window and mutex a
        # moment after its process is gone; before that, its window would
        # stand for the new copy's, which ends silently on the mutex.
        self.assertTrue(wait_until(lambda: not self.session.visible_windows("Tapwisp")),
                        "the killed copy's window stayed")
        self.start_tarvix()
        self.assertEqual(len(self.session.visible_windows("Tapwisp")), 1)

    def test_escape_and_enter_end_the_program_and_save_the_window_choice(self):
        # The settings file before, the key, what it must hold after: no
        # setting is written at start, and other keys are kept.
        for before, key, after in ((None, "Escape", [b"[General]\r\nEnableType=0\r\n"]),
                                   (b"[General]\r\nEnableType=1\r\nEndHotkey=66\r\n", "Return",
                                    [b"EnableType=1\r\n", b"EndHotkey=66\r\n"])):
            with self.subTest(key):
                settings = self.folder / "tarvix.ini"
                if before:
                    settings.write_bytes(before)
                window = self.start_tarvix()
                self.assertEqual(settings.read_bytes() if settings.exists() else None, before)
                self.focus(window)
                self.press(key)
                self.assertTrue(wait_gone(self.session, "tarvix.exe"), f"{key} did not end tarvix")
                for expected in after:
                    self.assertIn(expected, settings.read_bytes())


class ProgramFolder(TarvixCase):

    def test_edition_1_1_creates_the_script_folder(self):
        self.folder = self.session.program_folder(without=("script",))
        self.assertFalse((self.folder / "script").exists())
        elsewhere = self.session.temp_dir("tarvix-cwd-")
        self.start_tarvix(cwd=elsewhere)
        self.assertTrue((self.folder / "script").is_dir())
        self.assertFalse((elsewhere / "script").exists(), "created in the current folder")

    def test_edition_1_0_does_not_create_it(self):
        self.folder = self.session.program_folder(without=("script",))
        # Edition 1.1 makes it before its window shows (above): once this
        # window shows, it would be there.
        self.start_tarvix("tarvix-classic.exe")
        self.assertFalse((self.folder / "script").exists())

    def test_the_shipped_example_script_loads_and_plays(self):
        self.folder = self.session.program_folder(examples=True)
        self.assertTrue(list((self.folder / "script").glob("*.txt")), "the program folder holds no example")
        self.write_sentinel()
        self.start_tarvix()
        _, log = self.start_target()
        self.press_held("ctrl", "F12")
        expected = "你好！這是 tarvix 的範例腳本。\r按 Ctrl+Shift+A 可以隨時中止播放。\r"
        self.assertTrue(log.wait_for(lambda l: len(l.text()) >= len(expected), timeout=30),
                        f"typed {log.text()!r}")
        self.assertEqual(self.text_before_sentinel(log), expected)

    def test_scripts_are_found_in_the_program_folder_from_any_current_folder(self):
        # The current folder holds a script of its own with the same hotkey:
        # only the program folder's must play.
        elsewhere = self.session.temp_dir("tarvix-cwd-")
        self.write_script("here.txt", script_text(["SayString p"], VK["F5"]))
        self.write_script("there.txt", script_text(["SayString c"], VK["F5"]), folder=elsewhere)
        self.write_sentinel()
        self.start_tarvix(cwd=elsewhere)
        _, log = self.start_target()
        self.press("F5")
        self.assertTrue(log.wait_for(lambda l: l.text() != ""), "nothing played")
        self.assertEqual(self.text_before_sentinel(log), "p")
        self.session.stop_all()
        # The same from the classic edition.
        self.start_tarvix("tarvix-classic.exe", cwd=elsewhere)
        _, log = self.start_target("classic target")
        self.press("F5")
        self.assertTrue(log.wait_for(lambda l: l.text() != ""), "nothing played")
        self.assertEqual(self.text_before_sentinel(log), "p")


if __name__ == "__main__":
    unittest.main(verbosity=2)
