"""The main job end to end: script files in script\\, tarvix running, a start
hotkey pressed in another program (from outside, with xdotool), the actions
arriving in that program's window; the stop hotkey ending every run.

Where a case checks that nothing more arrived, a sentinel script started
after the expected play marks the point by which it would have."""

import time
import unittest

from e2e import SENTINEL_MARK, TarvixCase, script_text, VK, SHIFT, CTRL, ALT

# The loop scripts press B once per pass of about this many milliseconds.
LOOP_PASS_MS = 150


class Playback(TarvixCase):

    def play(self, scripts, keys=("F5",)):
        """Writes the scripts and the sentinel, starts tarvix and the target,
        presses the keys."""
        for name, data in scripts.items():
            self.write_script(name, data)
        self.write_sentinel()
        self.start_tarvix()
        _, log = self.start_target()
        for key in keys:
            self.press(key)
        return log

    def assert_stopped(self, log, vk, stop_vk):
        """After a stop press: once the step in progress is done, no further
        key-downs of vk arrive. No sentinel can mark this: a run that starts
        clears the stop signal. So, from the stop key's arrival, what a run
        that went on would press in many passes is waited for."""
        self.assertTrue(log.wait_for(lambda l: l.keydowns(stop_vk)), "the stop key did not arrive")
        stop_at = log.keydowns(stop_vk)[-1][0]
        time.sleep(2 * LOOP_PASS_MS / 1000)
        counts = len(log.keydowns(vk))
        time.sleep(10 * LOOP_PASS_MS / 1000)
        self.assertEqual(len(log.keydowns(vk)), counts, "a run went on after the stop")
        self.assertLessEqual(len([e for e in log.keydowns(vk) if e[0] > stop_at]), 1,
                             "more than the step in progress after the stop")

    def test_chinese_text_arrives_as_its_characters(self):
        log = self.play({"chinese.txt": script_text(["SayString 你好，世界 ok"], VK["F5"])})
        self.assertTrue(log.wait_for(lambda l: len(l.text()) >= 8), log.text())
        self.assertEqual(self.text_before_sentinel(log), "你好，世界 ok")

    def test_typed_text_is_the_text_with_caps_lock_on(self):
        self.write_script("mail.txt", script_text(["SayString a@b.com Hello"], VK["F5"]))
        self.write_sentinel()
        self.start_tarvix()
        _, log = self.start_target()
        self.press("Caps_Lock")
        self.addCleanup(self.press, "Caps_Lock")  # the display outlives the case
        self.press("F5")
        self.assertTrue(log.wait_for(lambda l: len(l.text()) >= 13), log.text())
        self.assertEqual(self.text_before_sentinel(log), "a@b.com Hello")

    def test_keys_with_an_extended_form_arrive_as_the_keyboards_do(self):
        # Left, Right, Up, Down, Home, End, Insert, Delete, Page Up, Page Down
        # and right Ctrl, played and then typed from outside: each key message
        # with the same scan code and extended-key bit (lParam bits 16-24).
        codes = [0x25, 0x27, 0x26, 0x28, 0x24, 0x23, 0x2D, 0x2E, 0x21, 0x22, 0xA3]
        self.write_script("keys.txt", script_text([f"KeyPress {code} 1" for code in codes], VK["F5"]))
        self.start_tarvix()
        _, log = self.start_target()

        def keys(l):
            return [(name, args[0], int(args[2], 16) >> 16 & 0x1FF) for _, name, args in l.events()
                    if name in ("keydown", "keyup") and args[0] != "74"]

        self.press("F5")
        self.assertTrue(log.wait_for(lambda l: len(keys(l)) >= 22), keys(log))
        self.press("Left", "Right", "Up", "Down", "Home", "End", "Insert", "Delete", "Prior", "Next", "Control_R")
        # Wine wraps the X server's right Control in a left Ctrl of its own
        # (scan 0x1D), which no script played.
        def typed(l):
            return [k for k in keys(l)[22:] if k[1:] != ("11", 0x1D)]

        self.assertTrue(log.wait_for(lambda l: len(typed(l)) >= 22), keys(log))
        played, typed = keys(log)[:22], typed(log)
        self.assertEqual(played, typed)
        self.assertEqual((played[0], played[-1]), (("keydown", "25", 0x14B), ("keyup", "11", 0x11D)))

    def test_keys_buttons_and_moves_land_where_the_script_says(self):
        actions = ["MoveTo 512 384", "LeftClick 1", "MoveTo 1023 767", "RightClick 1",
                   "MoveTo 0 0", "MoveR 10 20", "KeyPress 66 2", "KeyDown 67 1", "KeyUp 67 1"]
        log = self.play({"mixed.txt": script_text(actions, VK["F5"])})
        self.assertTrue(log.wait_for(lambda l: [e for e in l.named("keyup") if e[2][0] == "43"]), log.events())
        self.text_before_sentinel(log)
        events = log.events()
        sentinel_at = next(i for i, e in enumerate(events) if e[1] == "keydown" and e[2][0] == "2D")
        events = events[:sentinel_at]
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
        # Key lines carry their message time after the code; up to the
        # sentinel's key.
        played = [(name, *(args[:1] if name.startswith("key") else args)) for _, name, args in events
                  if name in ("keydown", "keyup", "lbuttondown", "lbuttonup", "rbuttondown", "rbuttonup")
                  and not (name.startswith("key") and args[0] == "74")]
        self.assertEqual(played, [
            ("lbuttondown", "512", "384"), ("lbuttonup",),
            ("rbuttondown", "1023", "767"), ("rbuttonup",),
            ("keydown", "42"), ("keyup", "42"), ("keydown", "42"), ("keyup", "42"),
            ("keydown", "43"), ("keyup", "43")])

    def test_middle_and_side_buttons_and_wheels_arrive_as_their_messages(self):
        actions = ["MiddleClick 1", "X1Click 1", "X2Down 1", "X2Up 1", "MiddleDown 1", "MiddleUp 1",
                   "Wheel -360", "Wheel 120", "HWheel 240", "HWheel -40", "X1Down 1", "X1Up 1"]
        log = self.play({"extra.txt": script_text(actions, VK["F5"])})
        self.assertTrue(log.wait_for(lambda l: len(l.named("xbuttonup")) >= 3), log.events())
        self.text_before_sentinel(log)
        # The buttons without their places, which the pointer's own move
        # checks elsewhere.
        played = [(name, *(args[:1] if name.startswith("x") else args if "wheel" in name else ()))
                  for _, name, args in log.events()
                  if name in ("mbuttondown", "mbuttonup", "xbuttondown", "xbuttonup", "wheel", "hwheel")]
        self.assertEqual(played, [
            ("mbuttondown",), ("mbuttonup",), ("xbuttondown", "1"), ("xbuttonup", "1"),
            ("xbuttondown", "2"), ("xbuttonup", "2"), ("mbuttondown",), ("mbuttonup",),
            ("wheel", "-360"), ("wheel", "120"), ("hwheel", "240"), ("hwheel", "-40"),
            ("xbuttondown", "1"), ("xbuttonup", "1")])

    def test_a_script_at_double_speed_halves_its_delays_but_not_its_holds(self):
        log = self.play({"fast.txt": script_text(["KeyPress 66 1", "Delay 400", "KeyPress 67 1"], VK["F5"],
                                                 speed=200)})
        self.assertTrue(log.wait_for(lambda l: [e for e in l.named("keyup") if e[2][0] == "43"]))
        self.text_before_sentinel(log)
        [b_down, c_down] = [int(args[1]) for _, _, args in log.named("keydown") if args[0] in ("42", "43")]
        [b_up, c_up] = [int(args[1]) for _, _, args in log.named("keyup") if args[0] in ("42", "43")]
        # Message times, in whole milliseconds. C is due 250 ms after the run
        # started (450 at the normal speed); B may have come up to 20 ms late.
        for hold in (b_up - b_down, c_up - c_down):
            self.assertGreaterEqual(hold, 49)
            self.assertLess(hold, 150)
        self.assertGreaterEqual(c_down - b_down, 229)
        self.assertLess(c_down - b_down, 420, "the Delay was not halved")

    def test_held_hotkey_modifiers_never_reach_the_played_keys(self):
        # Each hotkey is held 300 ms after its key went down, as a user does;
        # the script types at once and must not be read as Ctrl+H, Alt+H or
        # Shift+I.
        scripts = {f"{name}.txt": script_text(["SayString Hi!"], VK[key], mod=mod)
                   for name, key, mod in (("ctrl", "F5", CTRL), ("alt", "F6", ALT), ("shift", "F7", SHIFT))}
        log = self.play(scripts, keys=())
        typed = ""
        for modifier, key in (("ctrl", "F5"), ("alt", "F6"), ("shift", "F7")):
            self.press_held(modifier, key)
            typed += "Hi!"
            # The sentinels' marks of the rounds before do not count.
            self.assertTrue(log.wait_for(lambda l: len(l.text().replace(SENTINEL_MARK, "")) >= len(typed)),
                            f"{modifier}+{key}: nothing typed")
            self.assertEqual(self.text_before_sentinel(log), typed, f"{modifier}+{key}")

    def test_a_changed_stop_hotkey_is_read_from_the_settings(self):
        # Ctrl+F10 as stop; Ctrl+Shift+A then no longer stops.
        (self.folder / "tarvix.ini").write_bytes(b"[General]\r\nEndHotkey=121\r\nEndHotkeyMod=2\r\n")
        log = self.play({"loop.txt": script_text(["KeyPress 66 1", "Delay 100"], VK["F5"],
                                                 repeat_type=1)})
        self.assertTrue(log.wait_for(lambda l: len(l.keydowns(0x42)) >= 3))
        self.press_held("ctrl+shift", "a")
        # The run's presses after the A of the old stop key went through.
        self.assertTrue(log.wait_for(lambda l: l.keydowns(0x41)), "Ctrl+Shift+A did not arrive")
        stop_at = log.keydowns(0x41)[-1][0]
        self.assertTrue(log.wait_for(lambda l: len([e for e in l.keydowns(0x42) if e[0] > stop_at]) > 3),
                        "the default stop hotkey stopped the run")
        self.press_held("ctrl", "F10")
        self.assert_stopped(log, 0x42, 0x79)


class PlaybackOnAnEnglishWindows(TarvixCase):
    """Typed text and the window choice in a prefix whose code page is 1252:
    the Big5 of the scripts plays as it does in the users' code page."""

    code_page = 1252
    play = Playback.play
    test_chinese_text_arrives_as_its_characters = Playback.test_chinese_text_arrives_as_its_characters

    RADIO_ONE = (290, 37)
    IDC_ONE_WINDOW = 1055
    WINDOW_COMBO_ID = 1056

    def test_a_chinese_window_title_chosen_from_the_list_is_played_into(self):
        chosen_title, other_title = "目標 視窗 é", "Other window"
        self.write_script("a.txt", script_text(["SayString 中"], VK["F5"]))
        self.write_sentinel()
        chosen, chosen_log = self.start_target(chosen_title)
        other, other_log = self.start_target(other_title)
        main = self.start_tarvix()
        self.focus(main)
        self.click_client(main, *self.RADIO_ONE)
        self.assertTrue(self.wait_checked("Tapwisp", self.IDC_ONE_WINDOW), "one-window mode not taken")
        # The list holds the title in Big5, as the run reads the foreground
        # window's: é has no Big5 form and reads as the nearest character
        # on both sides of the comparison, as on a code-page-950 system.
        combo = self.control_text("Tapwisp", self.WINDOW_COMBO_ID)
        self.assertIn("目標 視窗 e", combo[1:])
        self.set_control_text("Tapwisp", self.WINDOW_COMBO_ID, "目標 視窗 e")

        # Not the chosen window in front: nothing may play. What this press
        # would have played arrives before the chosen window's play below,
        # which starts later and plays as long.
        self.focus(other, other_log)
        self.press("F5")
        self.assertTrue(other_log.wait_for(lambda l: l.keydowns(VK["F5"])), "the hotkey itself passes on")

        self.bring_to_front(chosen, chosen_log)
        self.press("F5")
        self.assertEqual(self.text_before_sentinel(chosen_log), "中")
        self.assertEqual(other_log.text(), "", "played into a window that was not chosen")


if __name__ == "__main__":
    unittest.main(verbosity=2)
