"""The way out of sight and back, in Wine's desktop with its notification
area: the icon from start-up on, Minimise and a click on the icon; the about
box; help and the home page link as the shell receives them. Both editions.

What reaches the shell is read from the target window program registered
in the prefix as the program that opens .htm files and http addresses."""

import ntpath
import time

from harness import MAIN, TARGET_EXE, TarvixCase, wait_until, windows_path

ABOUT = "關於"
HOME_PAGE = "https://www.tarvix.org/"
# Where Wine's desktop draws the notification icon (the only one there).
TRAY_ICON = (1013, 757)
VISIBLE, FOREGROUND, ICON = 1, 4, 8
IDC_MINIMIZE, IDC_ABOUT, IDC_HELP = 1006, 1007, 1008


class TrayAndLinks(TarvixCase):

    edition_exe, link_control = "tarvix.exe", 1063  # a logo in 1.1, a banner in 1.0

    def register_browser(self):
        """The target program opens .htm files and web addresses, writing
        down what it was handed: the folder and the argument."""
        self.opened = {kind: self.logs / f"{kind}.log" for kind in ("htm", "http")}
        command = lambda kind: f'"{windows_path(TARGET_EXE)}" --opened "{windows_path(self.opened[kind])}" "%1"'
        keys = {}
        for root in (r"HKEY_CURRENT_USER\Software\Classes", r"HKEY_LOCAL_MACHINE\Software\Classes"):
            keys[rf"{root}\.htm"] = {"@": "tarvix.recorded.htm"}
            keys[rf"{root}\tarvix.recorded.htm\shell\open\command"] = {"@": command("htm")}
            for scheme in ("http", "https"):
                keys[rf"{root}\{scheme}\shell\open\command"] = {"@": command("http")}
        self.session.prefix.set_registry(keys)

    def records(self, kind, count):
        """What the browser was handed, once it was handed `count` things."""
        read = lambda: [tuple(line.split("\t")[:2]) for line in self.opened[kind].read_text("utf-8").splitlines()]
        if not wait_until(lambda: self.opened[kind].exists() and len(read()) >= count, 30):
            self.shot(f"no-{kind}")
            self.fail(f"the shell started no {kind} program")
        return read()

    def wait_state(self, title, predicate, what):
        states = []
        if not wait_until(lambda: states.append(int(self.probe("state", title, check=False) or 0)) or
                          predicate(states[-1]), 20, step=0.3):
            self.shot(what.replace(" ", "-"))
            self.fail(f"{title}: {what} (state {states[-1]})")

    def test_icon_about_help_and_home_page(self):
        self.register_browser()
        main = self.start_tarvix(self.edition_exe)
        self.wait_state(MAIN, lambda s: s == VISIBLE | FOREGROUND | ICON, "no notification icon at start-up")
        # A click straight after the window appears can be lost while Wine's
        # desktop settles; the pointer's first move over the window is given
        # its moment first.
        self.session.xdotool("mousemove", "--window", main, 300, 200)
        time.sleep(1.5)

        self.click_control(main, IDC_MINIMIZE)
        self.wait_state(MAIN, lambda s: s & (VISIBLE | ICON) == ICON, "Minimise left the window shown or took the icon")
        # The pointer is there before the button: a button sent right after
        # a move can land where the pointer was before it.
        self.session.xdotool("mousemove", *TRAY_ICON, "sleep", "0.3", "click", "1")
        self.wait_state(MAIN, lambda s: s == VISIBLE | FOREGROUND | ICON, "a click on the icon did not restore it")

        self.click_control(main, IDC_ABOUT)
        self.wait_state(ABOUT, lambda s: s & VISIBLE, "the about box did not open")
        self.shot("about-box")
        self.probe("close", ABOUT)
        self.wait_state(ABOUT, lambda s: not s & VISIBLE, "the about box stayed open")

        self.click_control(main, IDC_HELP)
        help_folder = windows_path(self.folder / "help").lower()
        [(folder, opened)] = self.records("htm", 1)
        # Wine hands over the name as given, to be found from the current
        # folder; Windows the whole path. Either way it is the same file.
        self.assertEqual(ntpath.join(folder, opened).lower(), help_folder + "\\index.htm")

        self.click_control(main, self.link_control)
        self.assertEqual(self.records("http", 1), [(windows_path(self.folder), HOME_PAGE)])


class ClassicTrayAndLinks(TrayAndLinks):
    edition_exe, link_control = "tarvix-classic.exe", 1010
