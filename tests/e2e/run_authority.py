"""A certificate authority made for one test run and trusted only inside that
run's Wine prefix.

Its certificate goes into the prefix's own machine-wide root store (the
registry key Windows keeps it under, HKLM\\Software\\Microsoft\\
SystemCertificates\\Root\\Certificates), which Wine's certificate chains read
beside the Linux system's roots. Nothing on the Linux side is touched: the
authority, its keys and the trust in it go away with the run's temporary
folders and prefix. Keys and certificates are made with openssl at run time;
none is kept in the tree.
"""

import atexit
import hashlib
import shutil
import ssl
import struct
import subprocess
import tempfile
from pathlib import Path

DAYS = 2


def _openssl(*args):
    subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


class RunAuthority:
    """Issues server certificates for host names; install() makes a prefix trust it."""

    _shared = None

    def __init__(self):
        self.folder = Path(tempfile.mkdtemp(prefix="tarvix-ca-"))
        self.key = self.folder / "ca.key"
        self.cert = self.folder / "ca.pem"
        _openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", str(self.key),
                 "-out", str(self.cert), "-days", str(DAYS), "-subj", "/CN=tarvix test authority",
                 "-addext", "basicConstraints=critical,CA:TRUE",
                 "-addext", "keyUsage=critical,keyCertSign,cRLSign")
        self.installed = set()
        self.issued = {}

    @classmethod
    def shared(cls):
        """One authority for the Python process (the cases of one file share a prefix)."""
        if cls._shared is None:
            cls._shared = cls()
            atexit.register(cls._shared.remove)
        return cls._shared

    def remove(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def issue(self, name, dns_names=None):
        """(certificate, key) for a server of the host name `name`, signed by the authority."""
        key = (name, "issued")
        if key not in self.issued:
            cert, private = self._paths(name, "issued")
            csr = self.folder / f"{name}.csr"
            extensions = self.folder / f"{name}.ext"
            names = ",".join(f"DNS:{n}" for n in (dns_names or [name]))
            extensions.write_text(f"subjectAltName={names}\nbasicConstraints=CA:FALSE\n"
                                  "keyUsage=critical,digitalSignature,keyEncipherment\n"
                                  "extendedKeyUsage=serverAuth\n")
            _openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", str(private), "-out", str(csr),
                     "-subj", f"/CN={name}")
            _openssl("x509", "-req", "-in", str(csr), "-CA", str(self.cert), "-CAkey", str(self.key),
                     "-CAcreateserial", "-out", str(cert), "-days", str(DAYS), "-extfile", str(extensions))
            self.issued[key] = (cert, private)
        return self.issued[key]

    def self_signed(self, name):
        """(certificate, key) for `name`, signed by nobody the prefix trusts."""
        key = (name, "self")
        if key not in self.issued:
            cert, private = self._paths(name, "self")
            _openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", str(private),
                     "-out", str(cert), "-days", str(DAYS), "-subj", f"/CN={name}",
                     "-addext", f"subjectAltName=DNS:{name}")
            self.issued[key] = (cert, private)
        return self.issued[key]

    def _paths(self, name, kind):
        return self.folder / f"{name}.{kind}.pem", self.folder / f"{name}.{kind}.key"

    def install(self, prefix):
        """Makes the Wine prefix trust the authority, once per prefix."""
        if prefix.path in self.installed:
            return
        der = ssl.PEM_cert_to_DER_cert(self.cert.read_text())
        thumbprint = hashlib.sha1(der).hexdigest().upper()
        # The stored form: the certificate as property 32 (the encoded
        # certificate) of a serialized store element.
        blob = struct.pack("<III", 32, 1, len(der)) + der
        key = rf"HKEY_LOCAL_MACHINE\Software\Microsoft\SystemCertificates\Root\Certificates\{thumbprint}"
        prefix.set_registry({key: {"Blob": blob}}, settle=True)
        self.installed.add(prefix.path)
