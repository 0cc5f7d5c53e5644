"""The advertisement panel of edition 1.1: the maker's page in the web
browser control once a web server answers for it, the banner picture while
none does. The page is served by a server of the test's own on this machine
(TARVIX_AD_URL points tarvix at it); what the panel shows is read from inside
Wine by window_probe.exe.

Over HTTPS the server's certificate comes from an authority made for the run
and trusted only in the run's prefix (run_authority.py): a certificate from
it for the right name is an answer; a self-signed one, one for another name,
or a redirect off the site is none."""

import http.server
import ssl
import subprocess
import threading
import time
import unittest

from e2e import TarvixCase, wait_until
from run_authority import RunAuthority

PAGE_PATH = "/cn/ad/ad_tarvix.htm"
PAGE = b"<html><body>ad</body></html>"


class AdServer:
    """A web server on this machine that answers every request with `status`
    after `delay` seconds, or with a redirect to `redirects[path]`. With `tls`
    (certificate, key) it speaks HTTPS and is named localhost, the name its
    certificates carry. It remembers the requests, and the connections that
    ended before any request: a failed handshake, or a client that walked
    away from the certificate it was shown. With `hang_up` it closes every
    connection before reading a word."""

    def __init__(self, status=200, delay=0.0, tls=None, redirects=None, hang_up=False):
        self.status, self.delay, self.hang_up = status, delay, hang_up
        self.redirects = redirects or {}
        self.requests = []
        self.connections = 0
        self.ended_unasked = 0
        self.release = threading.Event()  # ends every delay at once
        self.lock = threading.Lock()
        self.scheme = "https" if tls else "http"
        self.host = "localhost" if tls else "127.0.0.1"
        context = None
        if tls:
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(*map(str, tls))
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.0"

            def handle(self):
                self.asked = False
                try:
                    super().handle()
                except OSError:
                    pass
                if not self.asked:
                    server.count("ended_unasked")

            def do_GET(self):
                self.asked = True
                with server.lock:
                    server.requests.append((self.path, dict(self.headers)))
                target = server.redirects.get(self.path)
                if target is None:
                    server.release.wait(server.delay)
                try:
                    if target is not None:
                        self.send_response(302)
                        self.send_header("Location", target)
                        self.send_header("Content-Length", "0")
                        self.end_headers()
                        return
                    self.send_response(server.status)
                    self.send_header("Content-Type", "text/html")
                    self.send_header("Content-Length", str(len(PAGE)))
                    self.end_headers()
                    self.wfile.write(PAGE)
                except OSError:
                    pass  # the asker is gone

            def log_message(self, *args):
                pass

        class Server(http.server.ThreadingHTTPServer):
            daemon_threads = True

            def get_request(self):
                connection, address = self.socket.accept()
                server.count("connections")
                if server.hang_up:
                    connection.close()
                    raise OSError("hung up unanswered")
                if context is None:
                    return connection, address
                # The handshake in the connection's own thread: a client
                # that stalls in it holds up nobody else.
                return context.wrap_socket(connection, server_side=True, do_handshake_on_connect=False), address

            def finish_request(self, request, client_address):
                if context is not None:
                    try:
                        request.settimeout(10)
                        request.do_handshake()
                        request.settimeout(None)
                    except OSError:
                        server.count("ended_unasked")
                        return
                super().finish_request(request, client_address)

        self.httpd = Server(("127.0.0.1", 0), Handler)
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def count(self, what):
        with self.lock:
            setattr(self, what, getattr(self, what) + 1)

    def address(self, path=PAGE_PATH):
        return f"{self.scheme}://{self.host}:{self.httpd.server_port}{path}"

    @property
    def url(self):
        return self.address()

    def probe_requests(self):
        """The probe names no agent; the browser's own loading of the page
        sends one, which tells the two apart."""
        with self.lock:
            return [r for r in self.requests if "User-Agent" not in r[1]]

    def close(self):
        self.release.set()
        self.httpd.shutdown()
        self.httpd.server_close()


class AdPanel(TarvixCase):

    def setUp(self):
        super().setUp()
        self.authority = RunAuthority.shared()
        self.authority.install(self.session.prefix)

    def serve(self, **kwargs):
        server = AdServer(**kwargs)
        self.addCleanup(server.close)
        return server

    def start_with(self, url, exe="tarvix.exe", extra_env=None):
        env = {"TARVIX_AD_URL": url, **(extra_env or {})}
        process = self.session.start(self.folder / exe, cwd=self.folder, env=env, desktop=self.desktop)
        try:
            window = self.session.wait_window("Tapwisp", timeout=60)
        except TimeoutError:
            self.shot("no-main-window")
            raise AssertionError(f"{exe} showed no main window")
        return process, window

    def panel(self):
        """{'banner': '1'|'0'|'-', 'browser': ..., 'class': ..., 'banner-above': ...}"""
        words = self.window_probe("panel", "Tapwisp").split()
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

    # -- over HTTPS ----------------------------------------------------------

    def test_a_page_over_https_with_a_trusted_certificate_shows_the_browser(self):
        server = self.serve(tls=self.authority.issue("localhost"))
        self.start_with(server.url)
        self.wait_probe(server)
        self.wait_panel(banner="0", browser="1")
        self.shot("https-answered")

    def test_a_certificate_the_system_does_not_trust_or_for_another_name_is_no_answer(self):
        for case, tls in (("self-signed", self.authority.self_signed("localhost")),
                          ("another name", self.authority.issue("wrong.example"))):
            with self.subTest(case=case):
                server = self.serve(tls=tls)
                self.start_with(server.url)
                # Every connection ends before a request: the probe and the
                # browser both turn the certificate down.
                self.assertTrue(wait_until(lambda: server.ended_unasked >= 1, 30),
                                f"nobody tried the server; connections {server.connections}")
                time.sleep(2.0)  # the probe has decided; the window had time to act on it
                state = self.panel()
                self.assertEqual((state["banner"], state["browser"]), ("1", "0"), case)
                self.assertEqual(server.requests, [], f"{case}: a page was asked for over a refused connection")
                self.session.stop_all()

    def test_a_redirect_to_plain_http_is_no_answer(self):
        plain = self.serve()
        target = plain.address().replace("127.0.0.1", "localhost")
        server = self.serve(tls=self.authority.issue("localhost"), redirects={PAGE_PATH: target})
        self.start_with(server.url)
        self.wait_probe(server)
        time.sleep(2.0)
        state = self.panel()
        self.assertEqual((state["banner"], state["browser"]), ("1", "0"))
        self.assertEqual(plain.probe_requests(), [], "the probe followed the redirect to plain http")

    def test_a_redirect_within_the_site_is_followed(self):
        moved = "/cn/ad/moved.htm"
        server = self.serve(tls=self.authority.issue("localhost"), redirects={PAGE_PATH: moved})
        self.start_with(server.url)
        self.assertTrue(wait_until(lambda: [r for r in server.probe_requests() if r[0] == moved], 30),
                        f"the probe did not follow the redirect; requests seen: {server.requests}")
        self.wait_panel(banner="0", browser="1")

    # -- no answer -----------------------------------------------------------

    def test_the_banner_stays_when_nothing_answers(self):
        # A server that hangs up at once: the probe has asked, and failed.
        server = self.serve(hang_up=True)
        self.start_with(server.url)
        self.assertTrue(wait_until(lambda: server.connections >= 1, 30), "the probe never asked")
        time.sleep(2.0)  # the probe has decided; the window had time to act on it
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
