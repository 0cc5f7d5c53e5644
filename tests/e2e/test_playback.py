"""The main job end to end: script files in script\\, tarvix running, a start
hotkey pressed in another program (from outside, with xdotool), the actions
arriving in that program's window as a real keyboard and mouse would give
them; one target window chosen by its Chinese title on an English Windows.

Where a case checks that nothing more arrived, a sentinel script started
after the expected play marks the point by which it would have."""

import unittest

from harness import ALT, CTRL, MAIN, SENTINEL_MARK, SHIFT, VK, TarvixCase, script_text

# Left, Right, Up, Down, Home, End, Delete, Page Up, Page Down and right Ctrl.
EXTENDED = [0x25, 0x27, 0x26, 0x28, 0x24, 0x23, 0x2E, 0x21, 0x22, 0xA3]
EXTENDED_X = ["Left", "Right", "Up", "Down", "Home", "End", "Delete", "Prior", "Next", "Control_R"]


def played(log):
    """Key messages as (event, code, scan code with the extended-key bit),
    buttons and wheels as (event, side button or amount), the start and
    sentinel keys aside."""
    out = []
    for _, name, args in log.events():
        if name in ("keydown", "keyup") and args[0] not in ("74", "2D"):
            out.append((name, args[0], int(args[2], 16) >> 16 & 0x1FF))
        elif name in ("xbuttondown", "xbuttonup", "wheel", "hwheel"):
            out.append((name, args[0]))
        elif "button" in name:
            out.append((name,))
    return out


class Playback(TarvixCase):

    def play(self, scripts):
        for name, data in scripts.items():
            self.write_script(name, data)
        self.write_sentinel()
        self.start_tarvix()
        return self.start_target()[1]

    def test_keys_buttons_moves_and_wheels_arrive_as_from_a_keyboard_and_mouse(self):
        actions = ["MoveTo 512 384", "LeftClick 1", "MoveTo 1023 767", "RightClick 1", "MoveTo 0 0", "MoveR 10 20",
                   "MiddleClick 1", "X1Click 1", "X2Down 1", "X2Up 1", "Wheel -360", "HWheel 240",
                   "KeyPress 66 2", "KeyDown 67 1", "KeyUp 67 1", *(f"KeyPress {code} 1" for code in EXTENDED)]
        log = self.play({"mixed.txt": script_text(actions, VK["F5"])})
        self.press("F5")
        keys = 6 + 2 * len(EXTENDED)
        self.assertTrue(log.wait_for(lambda l: len([e for e in played(l) if e[0].startswith("key")]) >= keys),
                        played(log))
        self.assertEqual(self.text_before_sentinel(log), "bbc")
        self.assertEqual(played(log)[:18], [
            ("lbuttondown",), ("lbuttonup",), ("rbuttondown",), ("rbuttonup",),
            ("mbuttondown",), ("mbuttonup",), ("xbuttondown", "1"), ("xbuttonup", "1"),
            ("xbuttondown", "2"), ("xbuttonup", "2"), ("wheel", "-360"), ("hwheel", "240"),
            ("keydown", "42", 0x30), ("keyup", "42", 0x30), ("keydown", "42", 0x30), ("keyup", "42", 0x30),
            ("keydown", "43", 0x2E), ("keyup", "43", 0x2E)])
        # Where the moves went, as the pointer reported it: inside Wine's
        # desktop Wine may put the pointer back a moment after a played move,
        # and a button right after it lands at the old spot (test_monitors
        # checks where buttons land, on a bare display).
        visited = iter(tuple(map(int, e[2])) for e in log.named("cursor"))
        self.assertTrue(all(point in visited for point in ((512, 384), (1023, 767))), log.named("cursor"))
        # The keys with an extended form as the keyboard gives them: the same
        # scan code and extended-key bit (lParam bits 16-24).
        self.assertTrue(log.wait_for(lambda l: not l.keys_held()), "the sentinel's Shift stayed down")
        before = len(played(log))
        self.press(*EXTENDED_X)
        # Wine wraps the X server's right Control in a left Ctrl of its own
        # (scan 0x1D), which no script played.
        def typed(l):
            return [k for k in played(l)[before:] if k[1:] != ("11", 0x1D)]
        self.assertTrue(log.wait_for(lambda l: len(typed(l)) >= 2 * len(EXTENDED)), played(log))
        self.assertEqual(played(log)[18:18 + 2 * len(EXTENDED)], typed(log))
        self.assertEqual(typed(log)[0], ("keydown", "25", 0x14B))

    def test_held_hotkey_modifiers_never_reach_the_played_keys(self):
        # Each hotkey is held 500 ms after its key went down, as a user does;
        # the script types at once and must not be read as Ctrl+H, Alt+H or
        # Shift+I.
        hotkeys = (("ctrl", "F5", CTRL), ("alt", "F6", ALT), ("shift", "F7", SHIFT))
        log = self.play({f"{name}.txt": script_text(["SayString Hi!"], VK[key], mod=mod) for name, key, mod in hotkeys})
        typed = ""
        for modifier, key, _ in hotkeys:
            self.press_held(modifier, key)
            typed += "Hi!"
            # The sentinels' marks of the rounds before do not count.
            self.assertTrue(log.wait_for(lambda l: len(l.text().replace(SENTINEL_MARK, "")) >= len(typed)),
                            f"{modifier}+{key}: nothing typed")
            self.assertEqual(self.text_before_sentinel(log), typed, f"{modifier}+{key}")


class OneWindowOnAnEnglishWindows(TarvixCase):
    """In a prefix whose code page is 1252: the window's Chinese title goes
    through the list and the comparison as on the users' systems."""

    code_page = 1252
    IDC_ALL_WINDOWS, IDC_ONE_WINDOW, IDC_WINDOW_COMBO = 1054, 1055, 1056

    def test_one_window_mode_plays_only_into_the_window_chosen_from_the_list(self):
        self.write_script("a.txt", script_text(["SayString 中"], VK["F5"]))
        self.write_sentinel()
        chosen, chosen_log = self.start_target("目標 視窗 é")
        other, other_log = self.start_target("Other window")
        main = self.start_tarvix()
        self.focus(main)
        self.click_control(main, self.IDC_ONE_WINDOW)
        self.assertTrue(self.wait_checked(MAIN, self.IDC_ONE_WINDOW), "one-window mode not taken")
        # The list holds the title in Big5, as the run reads the foreground
        # window's: é has no Big5 form and reads as the nearest character
        # on both sides of the comparison, as on a code-page-950 system.
        self.assertIn("目標 視窗 e", self.control_text(MAIN, self.IDC_WINDOW_COMBO)[1:])
        self.probe("set", MAIN, self.IDC_WINDOW_COMBO, "目標 視窗 e")

        # Another window in front: nothing plays. What this press would have
        # played arrives before the chosen window's play, which starts later.
        self.focus(other, other_log)
        self.press("F5")
        self.assertTrue(other_log.wait_for(lambda l: l.keydowns(VK["F5"])), "the hotkey itself passes on")
        self.bring_to_front(chosen, chosen_log)
        self.press("F5")
        self.assertEqual(self.text_before_sentinel(chosen_log), "中")
        self.assertEqual(other_log.text(), "", "played into a window that was not chosen")

        # Back to all windows: the other window gets it too.
        self.focus(main)
        self.click_control(main, self.IDC_ALL_WINDOWS)
        # A window busy with its activation handles a hotkey report, which is
        # posted, before the click, which is input: wait for the click.
        self.assertTrue(self.wait_checked(MAIN, self.IDC_ALL_WINDOWS), "all-windows mode not taken")
        self.focus(other, other_log)
        self.press("F5")
        self.assertEqual(self.text_before_sentinel(other_log), "中")


if __name__ == "__main__":
    unittest.main(verbosity=2)
