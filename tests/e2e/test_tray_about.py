"""The way out of sight and back, in Wine's desktop with its notification
area: the icon from start to shutdown and after the taskbar is made again,
Minimise and a click on the icon, the about box from its button and from the
system menu, help and the home page links as the shell receives them. Both
editions.

What reaches the shell is read from a recorder program registered in the
prefix as the program that opens .htm files and http addresses; what the
window is doing is asked from inside the desktop by shell_probe.exe."""

import ctypes
import ntpath
import subprocess
import time
import unittest

import harness
from e2e import TarvixCase, WIN_BUILD_DIR, require, wait_until, windows_path

HELPERS = WIN_BUILD_DIR / "tests" / "e2e" / "target"
PROBE_EXE = HELPERS / "shell_probe.exe"
RECORDER_EXE = HELPERS / "shell_recorder.exe"

HOME_PAGE = "https://www.tarvix.org/"
TITLE = "Tapwisp"
ABOUT_TITLE = "關於"

# Where Wine's desktop draws the notification icon (the only one there).
TRAY_ICON = (1013, 757)
TRAY_AREA = (1004, 749, 18, 17)  # x, y, width, height

VISIBLE, ICONIC, FOREGROUND = 1, 2, 4
NO_WINDOW = -1

# The main window's controls (res/resource.h) whose middles the cases
# point at; the link to the home page is a logo in 1.1, a banner in 1.0.
CONTROLS = {"minimize": 1006, "about": 1007, "help": 1008, "list": 1009}
LINK_CONTROL = {"tarvix.exe": 1063, "tarvix-classic.exe": 1010}
# The about box's link 1059 from the box's client area (7, 50, 104, 17
# dialog units), and a point of the box that is not the link.
ABOUT_LINK = (60, 96)
ABOUT_ELSEWHERE = (250, 40)


class _CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


def pointer_shape(display_name):
    """The X pointer's size and hot spot on the display, as Wine set it."""
    x11 = ctypes.CDLL("libX11.so.6")
    xfixes = ctypes.CDLL("libXfixes.so.3")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XFree.argtypes = [ctypes.c_void_p]
    xfixes.XFixesQueryVersion.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                          ctypes.POINTER(ctypes.c_int)]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_CursorImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(display_name.encode())
    if not display:
        raise RuntimeError(f"cannot open display {display_name}")
    try:
        major, minor = ctypes.c_int(4), ctypes.c_int(0)
        xfixes.XFixesQueryVersion(display, ctypes.byref(major), ctypes.byref(minor))
        image = xfixes.XFixesGetCursorImage(display)
        if not image:
            return None
        shape = (image.contents.width, image.contents.height, image.contents.xhot, image.contents.yhot)
        x11.XFree(image)
        return shape
    finally:
        x11.XCloseDisplay(display)


class TrayAndLinks(TarvixCase):

    def setUp(self):
        require(PROBE_EXE)
        require(RECORDER_EXE)
        super().setUp()
        self.points = {}
        self.recorded = {"htm": self.logs / "htm.log", "http": self.logs / "http.log"}
        self.register_recorder()

    # -- helpers ------------------------------------------------------------

    def register_recorder(self):
        """Makes the recorder the program for .htm files and for web
        addresses (http and https, one log for both)."""
        def command(log):
            return f'"{windows_path(RECORDER_EXE)}" "{windows_path(log)}" "%1"'
        keys = {}
        for root in (r"HKEY_CURRENT_USER\Software\Classes", r"HKEY_LOCAL_MACHINE\Software\Classes"):
            keys[f"{root}\\.htm"] = {"@": "tarvix.recorded.htm"}
            keys[f"{root}\\tarvix.recorded.htm\\shell\\open\\command"] = {"@": command(self.recorded["htm"])}
            for scheme in ("http", "https"):
                keys[f"{root}\\{scheme}\\shell\\open\\command"] = {"@": command(self.recorded["http"])}
        self.session.prefix.set_registry(keys)

    def records(self, kind):
        """What the recorder was handed, as (current folder, argument) pairs."""
        try:
            text = self.recorded[kind].read_text(encoding="utf-8")
        except FileNotFoundError:
            return []
        return [tuple(line.split("\t")[:2]) for line in text.splitlines() if line]

    def wait_records(self, kind, count):
        if wait_until(lambda: len(self.records(kind)) >= count, 30, step=0.2):
            return self.records(kind)
        self.shot(f"no-{kind}-record")
        self.fail(f"the shell started no {kind} program ({len(self.records(kind))} of {count} records)")

    def probe(self, *args):
        """Runs shell_probe.exe inside the desktop and returns its answer."""
        result = self.logs / f"probe-{time.monotonic_ns()}.txt"
        # The wine process that starts it may stay as the desktop's own when
        # it is the first: the answer, not its end, is waited for.
        self.session.start(PROBE_EXE, [windows_path(result), *args], cwd=self.logs, desktop=True)
        if wait_until(lambda: result.exists() and result.read_text().strip(), 30):
            return int(result.read_text())
        self.fail(f"shell_probe {' '.join(args)} gave no answer")

    def wait_state(self, title, predicate, what):
        states = []
        if wait_until(lambda: states.append(self.probe("state", title)) or
                      (states[-1] != NO_WINDOW and predicate(states[-1])), 20, step=0.3):
            return states[-1]
        self.shot(what.replace(" ", "-"))
        self.fail(f"{title}: {what} (state {states[-1]})")

    def wait_about(self, open_):
        def reached():
            state = self.probe("state", ABOUT_TITLE)
            return (state != NO_WINDOW and state & VISIBLE != 0) == open_
        if wait_until(reached, 20, step=0.3):
            return
        self.shot("about-" + ("not-open" if open_ else "still-open"))
        self.fail("the about box " + ("did not open" if open_ else "stayed open"))

    def close_about(self):
        self.assertEqual(self.probe("close", ABOUT_TITLE), 0)
        self.wait_about(False)

    def tray_shows_icon(self):
        shot = self.shot(f"tray-{time.monotonic_ns()}")
        x, y, w, h = TRAY_AREA
        result = subprocess.run(["convert", str(shot), "-crop", f"{w}x{h}+{x}+{y}", "+repage",
                                 "-format", "%k", "info:"], capture_output=True, text=True,
                                timeout=60, check=True)
        shot.unlink()
        # The bare taskbar is one or two shades; the icon brings its own.
        return int(result.stdout.strip()) > 2

    def wait_tray(self, shown):
        if wait_until(lambda: self.tray_shows_icon() == shown, 20, step=0.3):
            return
        self.shot("tray")
        self.fail("the notification area " + ("shows no icon" if shown else "still shows the icon"))

    def point(self, name):
        """The screen point in the middle of a main window control, asked of
        the window once per case."""
        if name not in self.points:
            control = LINK_CONTROL[self.edition_exe] if name == "logo" else CONTROLS[name]
            cx, cy, _, _ = map(int, self.window_probe("client", TITLE).split())
            x, y, w, h = map(int, self.window_probe("rect", TITLE, control).split())
            self.points[name] = (cx + x + w // 2, cy + y + h // 2)
        return self.points[name]

    def start_in_desktop(self):
        self.session.start(self.folder / self.edition_exe, cwd=self.folder, desktop=True)
        if wait_until(lambda: self.probe("state", TITLE) == VISIBLE | FOREGROUND, 60, step=0.5):
            # A click straight after the window appears can be lost while
            # Wine's desktop settles; the pointer's first move over the
            # window is given its moment first.
            self.mouse(self.point("list"))
            time.sleep(1.5)
            return
        self.shot("no-main-window")
        self.fail(f"{self.edition_exe} showed no main window")

    def assert_hand_pointer(self, where):
        shapes = []
        if not wait_until(lambda: shapes.append(pointer_shape(self.session.display.name)) or
                          shapes[-1] == (32, 32, 10, 3), 10, step=0.2):
            self.fail(f"the pointer over {where} is {shapes[-1]} (width, height, hot spot), not the hand")

    def mouse(self, point, *actions):
        # The pointer is there before any button: a button sent right after
        # a move can land where the pointer was before it.
        self.session.xdotool("mousemove", *point)
        time.sleep(0.3)
        if actions:
            self.session.xdotool(*actions)
            time.sleep(0.3)

    def click(self, point, button=1):
        self.mouse(point, "click", button)

    def press(self, *keys):
        self.session.xdotool("key", "--delay", "60", *keys)

    # -- cases --------------------------------------------------------------

    def test_icon_lives_as_long_as_the_window_and_brings_it_back(self):
        self.start_in_desktop()
        self.assertEqual(self.probe("has-icon", TITLE), 0, "no notification icon at start-up")
        self.wait_tray(True)
        harness.log(f"{self.edition_exe}: main window")
        self.session.screenshot(f"main-window-{self.edition_exe.replace('.exe', '')}")

        self.click(self.point("minimize"))
        self.wait_state(TITLE, lambda s: not s & VISIBLE, "Minimise left the window shown")
        self.assertEqual(self.probe("has-icon", TITLE), 0, "the icon went with the window")

        # Neither the right button nor a move over the icon brings it back;
        # the left button does, to the front.
        self.click(TRAY_ICON, button=3)
        self.mouse((TRAY_ICON[0] - 3, TRAY_ICON[1] - 2))
        self.click(TRAY_ICON)
        state = self.wait_state(TITLE, lambda s: s & VISIBLE, "a click on the icon left it hidden")
        self.assertEqual(state, VISIBLE | FOREGROUND, "restored, not minimised, and in front")
        self.assertEqual(self.probe("state", ABOUT_TITLE), NO_WINDOW, "the right click opened something")

        self.assertEqual(self.probe("close", TITLE), 0)
        self.wait_tray(False)

    def test_icon_is_added_again_when_the_taskbar_is_made_again(self):
        self.start_in_desktop()
        self.wait_tray(True)
        # As a shell that restarts: every icon gone, then the broadcast.
        self.assertEqual(self.probe("delete-icon", TITLE), 0)
        self.wait_tray(False)
        self.assertEqual(self.probe("has-icon", TITLE), 1)
        self.assertEqual(self.probe("taskbar-created"), 0)
        self.wait_tray(True)
        self.assertEqual(self.probe("has-icon", TITLE), 0)

        # And it still works as the way back.
        self.click(self.point("minimize"))
        self.wait_state(TITLE, lambda s: not s & VISIBLE, "Minimise left the window shown")
        self.click(TRAY_ICON)
        self.wait_state(TITLE, lambda s: s & VISIBLE, "a click on the icon left it hidden")

    def test_about_box_from_its_button_and_the_system_menu(self):
        self.start_in_desktop()
        self.click(self.point("about"))
        self.wait_about(True)
        self.shot("about-box")
        self.close_about()

        # The menu item's id and every id up to 0x1F, which share its top bits.
        for command in ("0x10", "0x1F"):
            self.assertEqual(self.probe("syscommand", TITLE, command), 0)
            self.wait_about(True)
            self.close_about()

        # Other commands keep their usual meaning: minimise to the taskbar.
        self.assertEqual(self.probe("syscommand", TITLE, "0xF020"), 0)  # SC_MINIMIZE
        self.wait_state(TITLE, lambda s: s & ICONIC, "SC_MINIMIZE did not minimise")
        self.assertEqual(self.probe("state", ABOUT_TITLE), NO_WINDOW, "SC_MINIMIZE opened the about box")

    def test_help_button_and_f1_open_the_help_folders_page(self):
        self.start_in_desktop()
        help_folder = windows_path(self.folder / "help").lower()
        self.click(self.point("help"))
        records = self.wait_records("htm", 1)
        folder, opened = records[0]
        # Wine hands over the name as given, to be found from the current
        # folder; Windows the whole path. Either way it is the same file.
        self.assertEqual(folder.lower().rstrip("\\"), help_folder)
        self.assertEqual(ntpath.join(folder, opened).lower(), help_folder + "\\index.htm")

        self.click(self.point("list"))  # the focus on a control, as a user has it
        self.press("F1")
        records = self.wait_records("htm", 2)
        self.assertEqual(ntpath.join(*records[1]).lower(), help_folder + "\\index.htm")
        self.assertEqual(self.records("http"), [])

    def test_logo_and_about_link_open_the_home_page_on_release_over_them(self):
        self.start_in_desktop()
        logo = self.point("logo")
        # Over the logo the pointer is the program's hand, 32 x 32 with its hot
        # spot at (10, 3).
        self.mouse(logo)
        self.mouse((logo[0] + 2, logo[1] + 1))
        self.assert_hand_pointer("the logo")

        # Pressed on the logo, let go elsewhere: nothing. What the program
        # would have started then is on its way before the help page that
        # the next click opens, so once that has arrived it would be there.
        self.mouse(logo, "mousedown", 1)
        self.mouse(self.point("list"), "mouseup", 1)
        self.barrier(1)
        self.assertEqual(self.records("http"), [], "a release off the logo opened the home page")
        self.click(logo)
        self.assertEqual(self.wait_records("http", 1), [(windows_path(self.folder), HOME_PAGE)])

        link, elsewhere = self.open_about_at_link()
        self.assert_hand_pointer("the about box's link")
        self.mouse(link, "mousedown", 1)
        self.mouse(elsewhere, "mouseup", 1)
        self.close_about()
        self.barrier(2)
        self.assertEqual(len(self.records("http")), 1, "a release off the about box's link opened the page")

        link, _ = self.open_about_at_link()
        self.click(link)
        records = self.wait_records("http", 2)
        self.assertEqual(records[1][1], HOME_PAGE)
        self.close_about()
        self.barrier(3)
        self.assertEqual(len(self.records("http")), 2)

    def open_about_at_link(self):
        """Opens the about box and puts the pointer on its link; returns the
        link's point and one of the box off the link."""
        self.click(self.point("about"))
        self.wait_about(True)
        origin = self.probe("origin", ABOUT_TITLE)
        ox, oy = origin // 10000, origin % 10000
        link = (ox + ABOUT_LINK[0], oy + ABOUT_LINK[1])
        self.mouse(link)
        self.mouse((link[0] + 2, link[1]))
        return link, (ox + ABOUT_ELSEWHERE[0], oy + ABOUT_ELSEWHERE[1])

    def barrier(self, count):
        """The help page opened once more, the count-th time: whatever the
        program asked the shell for before has been started by then."""
        self.click(self.point("help"))
        self.wait_records("htm", count)

class ClassicTrayAndLinks(TrayAndLinks):
    edition_exe = "tarvix-classic.exe"


if __name__ == "__main__":
    unittest.main(verbosity=2)
