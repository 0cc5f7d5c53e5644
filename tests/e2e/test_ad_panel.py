"""The advertisement panel of edition 1.1, which cannot leave its site: the
maker's page in the web browser control once the page's own server answers
over a connection it trusts, the banner picture while none does. The server
is the test's own (TARVIX_AD_URL), its certificates from an authority made
for the run and trusted only in the run's prefix: one for the right name is
trusted; a self-signed one, one for another name, or a redirect off the
site is no answer."""

import hashlib
import http.server
import ssl
import struct
import subprocess
import tempfile
import threading
import time
from pathlib import Path

from harness import MAIN, TarvixCase, wait_until

PAGE_PATH = "/cn/ad/ad_tarvix.htm"


class AdServer(http.server.ThreadingHTTPServer):
    """Answers every request with `status` once `release` is set (at once
    unless `hold`), or with a redirect to `redirects[path]`. It remembers the
    requests, and the connections that ended before any request: a failed
    handshake, or a client that walked away from the certificate it saw."""

    daemon_threads = True

    def __init__(self, status=200, hold=False, tls=None, redirects=None):
        self.status, self.redirects, self.requests, self.ended_unasked = status, redirects or {}, [], 0
        self.release = threading.Event()
        if not hold:
            self.release.set()
        self.context = None
        if tls:
            self.context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            self.context.load_cert_chain(*map(str, tls))
        super().__init__(("127.0.0.1", 0), Handler)
        threading.Thread(target=self.serve_forever, daemon=True).start()

    def url(self, path=PAGE_PATH, host=None):
        scheme = "https" if self.context else "http"
        return f"{scheme}://{host or ('localhost' if self.context else '127.0.0.1')}:{self.server_port}{path}"

    def finish_request(self, request, client_address):
        # The handshake in the connection's own thread: a client that stalls
        # in it holds up nobody else.
        try:
            if self.context:
                request.settimeout(10)
                request = self.context.wrap_socket(request, server_side=True)
        except OSError:
            self.ended_unasked += 1
            return
        Handler(request, client_address, self)
        request.close()

    def probe_requests(self):
        """The probe names no agent; the browser's own loading of the page
        sends one, which tells the two apart."""
        return [path for path, agent in self.requests if not agent]

    def close(self):
        self.release.set()
        self.shutdown()
        self.server_close()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def handle(self):
        self.asked = False
        try:
            super().handle()
        except OSError:
            pass  # the asker is gone
        self.server.ended_unasked += not self.asked

    def do_GET(self):
        self.asked = True
        self.server.requests.append((self.path, self.headers.get("User-Agent")))
        target = self.server.redirects.get(self.path)
        self.server.release.wait(60 if target is None else 0)
        self.send_response(302 if target else self.server.status)
        if target:
            self.send_header("Location", target)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def log_message(self, *args):
        pass


class Authority:
    """Makes certificates, signed by itself for the authority (trusted in
    `prefix`), by the authority for `host`, or by nobody (`signed=False`)."""

    def __init__(self, prefix):
        self.folder = tempfile.TemporaryDirectory(prefix="tarvix-ca-")
        self.cert, self.key = self.make("authority", signed=False, extensions=("keyUsage=critical,keyCertSign",))
        der = ssl.PEM_cert_to_DER_cert(self.cert.read_text())
        # The stored form: the certificate as property 32 (the encoded
        # certificate) of a serialized store element.
        key = (r"HKEY_LOCAL_MACHINE\Software\Microsoft\SystemCertificates\Root\Certificates"
               + "\\" + hashlib.sha1(der).hexdigest().upper())
        prefix.set_registry({key: {"Blob": struct.pack("<III", 32, 1, len(der)) + der}}, settle=True)

    def make(self, host, signed=True, extensions=("basicConstraints=CA:FALSE", "extendedKeyUsage=serverAuth")):
        cert, key = (Path(self.folder.name) / f"{host}-{signed}.{kind}" for kind in ("pem", "key"))
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                        "-days", "2", "-subj", f"/CN={host}", "-addext", f"subjectAltName=DNS:{host}",
                        *(a for e in extensions for a in ("-addext", e)),
                        *(["-CA", self.cert, "-CAkey", self.key] if signed else [])], check=True, capture_output=True)
        return cert, key


class AdPanel(TarvixCase):

    authority = None

    def setUp(self):
        super().setUp()
        if AdPanel.authority is None:  # one per file, as the prefix
            AdPanel.authority = Authority(self.session.prefix)

    def serve(self, **kwargs):
        server = AdServer(**kwargs)
        self.addCleanup(server.close)
        return server

    def panel(self):
        """(banner, browser, browser's class, banner-above): 1 shown, 0 hidden, - none."""
        words = self.probe("panel", MAIN).split()
        return tuple(words[1::2])

    def wait_probe(self, server, path=PAGE_PATH):
        self.assertTrue(wait_until(lambda: path in server.probe_requests(), 30),
                        f"the probe did not ask for {path}; requests seen: {server.requests}")

    def test_the_banner_covers_the_hidden_browser_until_the_site_answers_even_with_an_error(self):
        # Over a trusted connection, redirected within the site, where the
        # server thinks until released and then answers with an error.
        moved = "/cn/ad/moved.htm"
        server = self.serve(status=500, hold=True, tls=self.authority.make("localhost"), redirects={PAGE_PATH: moved})
        self.start_tarvix(env={"TARVIX_AD_URL": server.url()})
        self.wait_probe(server, moved)
        self.assertEqual(self.panel(), ("1", "0", "AtlAxWin", "1"), "start state while the server thinks")
        server.release.set()
        self.assertTrue(wait_until(lambda: self.panel()[:2] == ("0", "1")), f"no browser: {self.panel()}")
        self.shot("answered")

    def test_an_untrusted_certificate_or_a_redirect_off_the_site_is_no_answer(self):
        plain = self.serve()
        for case, tls, redirect in (("self-signed", self.authority.make("localhost", signed=False), None),
                                    ("another name", self.authority.make("wrong.example"), None),
                                    ("redirect to http", self.authority.make("localhost"),
                                     plain.url(host="localhost"))):
            with self.subTest(case):
                server = self.serve(tls=tls, redirects={PAGE_PATH: redirect} if redirect else None)
                self.start_tarvix(env={"TARVIX_AD_URL": server.url()})
                # The probe has turned the connection down, or seen the redirect.
                self.assertTrue(wait_until(lambda: server.ended_unasked or server.probe_requests(), 30),
                                "nobody tried the server")
                time.sleep(1.0)  # the probe's verdict has reached the window
                self.assertEqual(self.panel()[:2], ("1", "0"), case)
                self.assertEqual(server.probe_requests(), [PAGE_PATH] if redirect else [], case)
                self.assertEqual(plain.probe_requests(), [], case)
                self.session.stop_all()

    def test_closing_while_the_probe_waits_ends_the_program_at_once(self):
        server = self.serve(hold=True)
        main = self.start_tarvix(env={"TARVIX_AD_URL": server.url()})
        self.wait_probe(server)
        self.focus(main)
        self.press("Escape")
        if not wait_until(lambda: not self.session.windows_processes("tarvix.exe"), 15):
            self.shot("still-running")
            self.fail("tarvix went on running while its probe waited for the server")
