"""The advertisement panel of edition 1.1: the maker's page in the web
browser control once a web server answers for it, the banner picture while
none does. The page is served by a server of the test's own on this machine
(TARVIX_AD_URL points tarvix at it); what the panel shows is read from inside
Wine by panel_state.exe."""

import http.server
import socket
import subprocess
import threading
import time
import unittest

from e2e import TarvixCase, WIN_BUILD_DIR

PANEL_STATE_EXE = WIN_BUILD_DIR / "tests" / "e2e" / "target" / "panel_state.exe"
PAGE_PATH = "/cn/ad/ad_tarvix.htm"
PAGE = b"<html><body>ad</body></html>"


class AdServer:
    """An HTTP server on 127.0.0.1 that answers every request with `status`
    after `delay` seconds. It remembers the requests."""

    def __init__(self, status=200, delay=0.0):
        self.status, self.delay = status, delay
        self.requests = []
        self.release = threading.Event()  # ends every delay at once
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                server.requests.append((self.path, dict(self.headers)))
                server.release.wait(server.delay)
                try:
                    self.send_response(server.status)
                    self.send_header("Content-Type", "text/html")
                    self.send_header("Content-Length", str(len(PAGE)))
                    self.end_headers()
                    self.wfile.write(PAGE)
                except OSError:
                    pass  # the asker is gone

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    @property
    def url(self):
        return f"http://127.0.0.1:{self.httpd.server_port}{PAGE_PATH}"

    def probe_requests(self):
        """The probe names no agent; the browser's own loading of the page
        sends one, which tells the two apart."""
        return [r for r in self.requests if "User-Agent" not in r[1]]

    def close(self):
        self.release.set()
        self.httpd.shutdown()
        self.httpd.server_close()


def closed_port_url():
    """A page on a local port that nobody listens to."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    return f"http://127.0.0.1:{port}{PAGE_PATH}"


def wait_until(predicate, timeout, step=0.2):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(step)
    return predicate()


class AdPanel(TarvixCase):

    def setUp(self):
        super().setUp()
        if not PANEL_STATE_EXE.exists():
            self.skipTest(f"no {PANEL_STATE_EXE} (build the windows preset)")

    def serve(self, **kwargs):
        server = AdServer(**kwargs)
        self.addCleanup(server.close)
        return server

    def start_with(self, url, exe="tarvix.exe", extra_env=None):
        env = {"TARVIX_AD_URL": url, **(extra_env or {})}
        process = self.session.start(self.folder / exe, cwd=self.folder, env=env)
        try:
            window = self.session.wait_window("Tapwisp", timeout=60)
        except TimeoutError:
            self.shot("no-main-window")
            raise AssertionError(f"{exe} showed no main window")
        return process, window

    def panel(self):
        """{'banner': '1'|'0'|'-', 'browser': ..., 'class': ..., 'banner-above': ...}"""
        result = subprocess.run(["wine", str(PANEL_STATE_EXE), "Tapwisp"], env=self.session.env(),
                                capture_output=True, text=True, timeout=60)
        self.assertEqual(result.returncode, 0, "panel_state found no main window")
        words = result.stdout.split()
        return dict(zip(words[0::2], words[1::2]))

    def wait_panel(self, banner, browser, timeout=20.0):
        states = []
        def reached():
            states.append(self.panel())
            return (states[-1]["banner"], states[-1]["browser"]) == (banner, browser)
        if not wait_until(reached, timeout):
            self.shot("panel")
            self.fail(f"the panel never showed banner {banner}, browser {browser}; last {states[-1]}")
        return states[-1]

    def wait_probe(self, server, timeout=30.0):
        self.assertTrue(wait_until(lambda: server.probe_requests(), timeout),
                        f"the probe asked nothing; requests seen: {server.requests}")
        path, _ = server.probe_requests()[0]
        self.assertEqual(path, PAGE_PATH)

    # -- the page answers ----------------------------------------------------

    def test_banner_covers_the_hidden_browser_until_the_page_answers_then_the_browser_shows(self):
        server = self.serve(delay=4.0)
        self.start_with(server.url)
        self.wait_probe(server)
        state = self.panel()
        self.assertEqual((state["banner"], state["browser"], state["class"], state["banner-above"]),
                         ("1", "0", "AtlAxWin", "1"), "start state while the server thinks")
        self.shot("while-asking")
        self.wait_panel(banner="0", browser="1")
        self.shot("answered")

    def test_an_error_status_counts_as_an_answer(self):
        for status in (500, 404):
            with self.subTest(status=status):
                server = self.serve(status=status)
                self.start_with(server.url)
                self.wait_probe(server)
                self.wait_panel(banner="0", browser="1")
                self.session.stop_all()

    def test_without_a_browser_the_banner_stays_though_the_page_answers(self):
        # No atl.dll, as on a system without the browser: nothing hosts it.
        server = self.serve()
        self.start_with(server.url, extra_env={
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d;atl="})
        self.wait_probe(server)
        time.sleep(2.0)  # the answer has come back; the window had time to act on it
        state = self.panel()
        self.assertEqual((state["banner"], state["browser"]), ("1", "-"),
                         "no browser: the banner stays and no stand-in is shown")
        self.assertEqual(server.requests, server.probe_requests(), "something but the probe loaded the page")

    # -- no answer -----------------------------------------------------------

    def test_the_banner_stays_when_nothing_answers(self):
        self.start_with(closed_port_url())
        time.sleep(5.0)  # a refused connection fails the probe at once
        state = self.panel()
        self.assertEqual((state["banner"], state["browser"]), ("1", "0"))
        self.shot("refused")

    # -- closing while the probe waits ---------------------------------------

    def test_closing_while_the_probe_waits_ends_the_program_at_once_and_cleanly(self):
        server = self.serve(delay=60.0)
        process, window = self.start_with(server.url)
        self.wait_probe(server)
        self.focus(window)
        self.press("Escape")
        try:
            code = process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            self.shot("still-running")
            self.fail("tarvix went on running while its probe waited for the server")
        self.assertEqual(code, 0, "tarvix did not end cleanly")
        self.assertEqual(self.session.windows_processes("tarvix.exe"), [])
        # The server answers the probe that is gone; nothing is left to hear it.
        server.release.set()
        time.sleep(1.0)

    # -- edition 1.0 ---------------------------------------------------------

    def test_edition_1_0_has_no_panel_and_asks_no_server(self):
        server = self.serve()
        self.start_with(server.url, exe="tarvix-classic.exe")
        time.sleep(3.0)
        state = self.panel()
        self.assertEqual((state["banner"], state["browser"]), ("-", "-"))
        self.assertEqual(server.requests, [])


if __name__ == "__main__":
    unittest.main()
