"""The main job end to end: script files in script\\, tarvix running, a start
hotkey pressed in another program (from outside, with xdotool), the actions
arriving in that program's window; the stop hotkey ending every run."""

import time
import unittest

from e2e import TarvixCase, TargetLog, TARGET_EXE, script_text, windows_path, VK, SHIFT, CTRL, ALT

# Seconds to keep looking after what was expected has arrived, so that
# anything extra (a second run, a missed stop) shows up too.
SETTLE = 1.5


class Playback(TarvixCase):

    def play(self, scripts, keys=("F5",), exe=None):
        """Writes the scripts, starts tarvix and the target, presses the keys."""
        for name, data in scripts.items():
            self.write_script(name, data)
        self.start_tarvix(exe)
        _, log = self.start_target()
        for key in keys:
            self.press(key)
        return log

    def assert_stopped(self, log, *vks):
        """After a stop press: once the step in progress is done, no further
        key-downs of these keys arrive."""
        time.sleep(1.0)
        counts = [len(log.keydowns(vk)) for vk in vks]
        time.sleep(2.0)
        self.assertEqual([len(log.keydowns(vk)) for vk in vks], counts, "a run went on after the stop")

    def test_typed_text_arrives_with_its_case(self):
        log = self.play({"hello.txt": script_text(["SayString Hello World!"], VK["F5"])})
        self.assertTrue(log.wait_for(lambda l: len(l.text()) >= 12, settle=SETTLE), log.text())
        self.assertEqual(log.text(), "Hello World!")
        # Upper case comes from Shift held around the letter, not from a
        # character injected on its own.
        shift_downs = log.keydowns(0x10)
        self.assertEqual(len(shift_downs), 3)

    def test_chinese_text_arrives_as_its_characters(self):
        log = self.play({"chinese.txt": script_text(["SayString 你好，世界 ok"], VK["F5"])})
        self.assertTrue(log.wait_for(lambda l: len(l.text()) >= 8, settle=SETTLE), log.text())
        self.assertEqual(log.text(), "你好，世界 ok")

    def test_keys_buttons_and_moves_land_where_the_script_says(self):
        actions = ["MoveTo 512 384", "LeftClick 1", "MoveTo 1023 767", "RightClick 1",
                   "MoveTo 0 0", "MoveR 10 20", "KeyPress 66 2", "KeyDown 67 1", "KeyUp 67 1"]
        log = self.play({"mixed.txt": script_text(actions, VK["F5"])})
        self.assertTrue(log.wait_for(lambda l: len(l.named("keyup")) >= 3, settle=SETTLE), log.events())
        cursors = [tuple(map(int, args)) for _, _, args in log.named("cursor")]
        self.assertIn((512, 384), cursors)
        self.assertIn((1023, 767), cursors)
        self.assertEqual([e[2] for e in log.named("lbuttondown")], [["512", "384"]])
        self.assertEqual([e[2] for e in log.named("rbuttondown")], [["1023", "767"]])
        self.assertEqual(len(log.named("lbuttonup")), 1)
        self.assertEqual(len(log.named("rbuttonup")), 1)
        self.assertEqual(len(log.keydowns(0x42)), 2)
        self.assertEqual(len(log.keydowns(0x43)), 1)
        # Exactly these, in this order (the start hotkey's own key aside).
        played = [(name, *args) for _, name, args in log.events()
                  if name in ("keydown", "keyup", "lbuttondown", "lbuttonup", "rbuttondown", "rbuttonup")
                  and not (name.startswith("key") and args[0] == "74")]
        self.assertEqual(played, [
            ("lbuttondown", "512", "384"), ("lbuttonup",),
            ("rbuttondown", "1023", "767"), ("rbuttonup",),
            ("keydown", "42"), ("keyup", "42"), ("keydown", "42"), ("keyup", "42"),
            ("keydown", "43"), ("keyup", "43")])

    def test_a_key_press_is_held_for_50_ms(self):
        log = self.play({"hold.txt": script_text(["KeyPress 66 5"], VK["F5"])})
        self.assertTrue(log.wait_for(lambda l: len(l.named("keyup")) >= 5, settle=SETTLE))
        downs = [t for t, _, args in log.named("keydown") if args[0] == "42"]
        ups = [t for t, _, args in log.named("keyup") if args[0] == "42"]
        self.assertEqual(len(downs), 5)
        for down, up in zip(downs, ups):
            # Wine's message delivery adds jitter; the hold is never shorter.
            self.assertGreaterEqual(up - down, 45)
            self.assertLess(up - down, 200)

    def test_two_scripts_on_one_hotkey_both_play(self):
        log = self.play({"one.txt": script_text(["SayString a"], VK["F5"]),
                         "two.txt": script_text(["SayString b"], VK["F5"])})
        self.assertTrue(log.wait_for(lambda l: len(l.text()) >= 2, settle=SETTLE))
        self.assertEqual(sorted(log.text()), ["a", "b"])

    def test_modifiers_must_match_exactly(self):
        # The delay lets the user's Ctrl come up before the text is typed.
        log = self.play({"ctrl.txt": script_text(["Delay 500", "SayString x"], VK["F9"], mod=CTRL)},
                        keys=("F9", "shift+ctrl+F9", "alt+ctrl+F9"))
        time.sleep(2.0)
        self.assertEqual(log.text(), "", "started by the wrong modifiers")
        self.press("ctrl+F9")
        self.assertTrue(log.wait_for(lambda l: l.text() != "", settle=SETTLE))
        self.assertEqual(log.text(), "x")

    def test_held_hotkey_modifiers_never_reach_the_played_keys(self):
        # Each hotkey is held 300 ms after its key went down, as a user does;
        # the script types at once and must not be read as Ctrl+H, Alt+H or
        # Shift+I.
        scripts = {f"{name}.txt": script_text(["SayString Hi!"], VK[key], mod=mod)
                   for name, key, mod in (("ctrl", "F5", CTRL), ("alt", "F6", ALT), ("shift", "F7", SHIFT))}
        log = self.play(scripts, keys=())
        typed = ""
        for modifier, key in (("ctrl", "F5"), ("alt", "F6"), ("shift", "F7")):
            self.session.xdotool("keydown", modifier, "keydown", key)
            time.sleep(0.3)
            self.session.xdotool("keyup", key, "keyup", modifier)
            typed += "Hi!"
            self.assertTrue(log.wait_for(lambda l: len(l.text()) >= len(typed), settle=SETTLE),
                            f"{modifier}+{key}: nothing typed")
            self.assertEqual(log.text(), typed, f"{modifier}+{key}")

    def test_the_stop_hotkey_ends_a_run_that_repeats_until_stopped(self):
        log = self.play({"loop.txt": script_text(["KeyPress 66 1", "Delay 100"], VK["F5"],
                                                 repeat_type=1)})
        self.assertTrue(log.wait_for(lambda l: len(l.keydowns(0x42)) >= 5), "the run did not play")
        self.press("ctrl+shift+a")
        self.assert_stopped(log, 0x42)
        # The stop key itself was passed on to the target, and tarvix's own
        # B presses never reached the hotkey check as a stop.
        self.assertGreaterEqual(len(log.keydowns(0x41)), 1)

    def test_run_once_ignores_the_hotkey_while_the_script_plays(self):
        actions = ["Delay 1500", "KeyPress 66 1"]
        log = self.play({"once.txt": script_text(actions, VK["F5"], run_once=1),
                         "twice.txt": script_text(["Delay 1500", "KeyPress 67 1"], VK["F6"], run_once=0)},
                        keys=("F5", "F5", "F6", "F6"))
        self.assertTrue(log.wait_for(lambda l: len(l.keydowns(0x43)) >= 2, settle=SETTLE))
        self.assertEqual(len(log.keydowns(0x42)), 1, "a run-once script started twice")
        self.assertEqual(len(log.keydowns(0x43)), 2)
        # Once the run has ended the hotkey starts it again.
        self.press("F5")
        self.assertTrue(log.wait_for(lambda l: len(l.keydowns(0x42)) >= 2))

    def test_a_script_cannot_start_itself(self):
        # Pressing its own start hotkey: tarvix's input is not reported back.
        log = self.play({"self.txt": script_text(["KeyPress 116 1", "SayString s"], VK["F5"])})
        self.assertTrue(log.wait_for(lambda l: l.text() != "", settle=3.0))
        self.assertEqual(log.text(), "s")

    def test_classic_edition_plays_its_own_kinds(self):
        (self.folder / "script").mkdir(exist_ok=True)
        # In edition 1.0 the files hold no RunOnce and no MoveR.
        log = self.play({"classic.txt": script_text(["MoveTo 100 200", "Delay 10", "SayString C1"],
                                                    VK["F5"])},
                        exe="tarvix-classic.exe")
        self.assertTrue(log.wait_for(lambda l: len(l.text()) >= 2, settle=SETTLE))
        self.assertEqual(log.text(), "C1")
        self.assertIn(["100", "200"], [e[2] for e in log.named("cursor")])

    def test_a_changed_stop_hotkey_is_read_from_the_settings(self):
        # Ctrl+F10 as stop; Ctrl+Shift+A then no longer stops.
        (self.folder / "tarvix.ini").write_bytes(b"[General]\r\nEndHotkey=121\r\nEndHotkeyMod=2\r\n")
        log = self.play({"loop.txt": script_text(["KeyPress 66 1", "Delay 100"], VK["F5"],
                                                 repeat_type=1)})
        self.assertTrue(log.wait_for(lambda l: len(l.keydowns(0x42)) >= 3))
        self.press("ctrl+shift+a")
        time.sleep(1.0)
        count = len(log.keydowns(0x42))
        self.assertTrue(log.wait_for(lambda l: len(l.keydowns(0x42)) > count + 3),
                        "the default stop hotkey stopped the run")
        self.press("ctrl+F10")
        self.assert_stopped(log, 0x42)


class PlaybackOnAnEnglishWindows(TarvixCase):
    """Typed text and the window choice in a prefix whose code page is 1252:
    the Big5 of the scripts plays as it does in the users' code page."""

    code_page = 1252
    play = Playback.play
    test_chinese_text_arrives_as_its_characters = Playback.test_chinese_text_arrives_as_its_characters

    RADIO_ONE = (290, 37)
    WINDOW_COMBO_ID = 1056

    def start_recorder(self, title):
        if not TARGET_EXE.exists():
            raise AssertionError(f"no {TARGET_EXE} (build the windows preset)")
        log_path = self.logs / f"{len(list(self.logs.iterdir()))}.log"
        self.session.start(TARGET_EXE, [title, windows_path(log_path)], cwd=self.logs)
        window = self.session.wait_window(title, timeout=60)
        log = TargetLog(log_path)
        self.assertTrue(log.wait_for(lambda l: l.named("ready")))
        return window, log

    def bring_to_front(self, window, log, title):
        """Focus, then wait until the system's foreground window is this one:
        a one-window run compares with that, which can follow the activation
        late."""
        self.focus(window, log)
        deadline = time.monotonic() + 20
        while self.foreground_title() != title and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(self.foreground_title(), title)

    def test_a_chinese_window_title_chosen_from_the_list_is_played_into(self):
        chosen_title, other_title = "目標 視窗 é", "Other window"
        self.write_script("a.txt", script_text(["SayString 中"], VK["F5"]))
        chosen, chosen_log = self.start_recorder(chosen_title)
        other, other_log = self.start_recorder(other_title)
        main = self.start_tarvix()
        self.focus(main)
        self.session.xdotool("mousemove", "--window", main.id, *self.RADIO_ONE, "click", "1")
        time.sleep(0.5)
        # The list holds the title in Big5, as the run reads the foreground
        # window's: é has no Big5 form and reads as the nearest character
        # on both sides of the comparison, as on a code-page-950 system.
        combo = self.control_text("Tapwisp", self.WINDOW_COMBO_ID)
        self.assertIn("目標 視窗 e", combo[1:])
        self.set_control_text("Tapwisp", self.WINDOW_COMBO_ID, "目標 視窗 e")

        # Whatever Wine makes the foreground window here, it is not the chosen
        # one: nothing may play.
        self.focus(other, other_log)
        self.press("F5")
        # The hotkey itself passes on: once it has arrived, a run would have
        # started; give it the time to play before looking.
        self.assertTrue(other_log.wait_for(lambda l: l.keydowns(VK["F5"]), settle=1.5))
        self.assertEqual(other_log.text(), "", "played into a window that was not chosen")

        self.bring_to_front(chosen, chosen_log, chosen_title)
        self.press("F5")
        self.assertTrue(chosen_log.wait_for(lambda l: l.text() != "", settle=1.5), "nothing played")
        self.assertEqual(chosen_log.text(), "中")
        self.assertEqual(other_log.text(), "")


if __name__ == "__main__":
    unittest.main(verbosity=2)
