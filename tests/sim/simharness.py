"""Starts krv2060-sim as a process and talks to it through its pseudo-terminal.

The simulator binary comes from the environment variable KRV2060_SIM (set by CTest).
"""
import os
import re
import select
import signal
import subprocess
import sys
import termios
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from modbus_crc import crc16, lrc  # noqa: E402

SIM = os.environ.get("KRV2060_SIM", "build-sim/krv2060-sim")
SPEEDS = {1200: termios.B1200, 2400: termios.B2400, 4800: termios.B4800,
          9600: termios.B9600, 19200: termios.B19200, 38400: termios.B38400}


def rtu(body):
    c = crc16(body)
    return bytes(body) + bytes([c & 0xFF, c >> 8])


def ascii_frame(body):
    return b":" + (bytes(body) + bytes([lrc(body)])).hex().upper().encode() + b"\r\n"


def ascii_body(frame):
    """Body of an ASCII frame with a good LRC, else None."""
    if not (frame.startswith(b":") and frame.endswith(b"\r\n")):
        return None
    data = bytes.fromhex(frame[1:-2].decode())
    return data[:-1] if sum(data) & 0xFF == 0 else None


def words(*values):
    out = b""
    for v in values:
        out += (v & 0xFFFF).to_bytes(2, "big")
    return out


class Sim:
    """One simulator process and the master's end of its line."""

    def __init__(self, *args):
        self.proc = subprocess.Popen([SIM, *args], stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE)
        ready, _, _ = select.select([self.proc.stdout], [], [], 5)
        if not ready:
            self.kill()
            raise RuntimeError("simulator did not start")
        self.first_line = self.proc.stdout.readline().decode()
        m = re.fullmatch(r"pty: (/dev/pts/\d+)\n", self.first_line)
        if not m:
            self.kill()
            raise RuntimeError("unexpected first line %r" % self.first_line)
        self.path = m.group(1)
        self.fd = None
        self.open()

    def open(self, baud=9600):
        self.fd = os.open(self.path, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
        self.set_speed(baud)

    def close(self):
        if self.fd is not None:
            os.close(self.fd)
            self.fd = None

    def set_speed(self, baud):
        a = termios.tcgetattr(self.fd)
        a[0] = a[1] = a[3] = 0                      # raw
        a[2] = termios.CS8 | termios.CREAD | termios.CLOCAL
        a[4] = a[5] = SPEEDS[baud]
        termios.tcsetattr(self.fd, termios.TCSANOW, a)

    def read(self, timeout=1.0, quiet=0.05, whole=True):
        """Bytes until `quiet` seconds pass without one (after the first byte), or
        with whole, until they form one complete RTU or ASCII frame."""
        out = b""
        end = time.monotonic() + timeout
        while True:
            if whole and (out.endswith(b"\r\n") or (len(out) >= 5 and crc16(out) == 0)):
                return out
            wait = end - time.monotonic()
            if out:
                wait = min(wait, quiet)
            if wait <= 0 or not select.select([self.fd], [], [], wait)[0]:
                return out
            out += os.read(self.fd, 4096)

    def ask(self, frame, timeout=1.0, whole=True):
        os.write(self.fd, frame)
        return self.read(timeout, whole=whole)

    def unanswered(self, frame):
        """True when frame gets no reply within 0.3 s."""
        return self.ask(frame, timeout=0.3) == b""

    def rtu(self, body, timeout=0.5):
        """Sends an RTU request; returns the reply body if its CRC is good."""
        reply = self.ask(rtu(body), timeout)
        if len(reply) < 4 or crc16(reply) != 0:
            raise AssertionError("no good RTU reply to %s: %s" % (bytes(body).hex(), reply.hex()))
        return reply[:-2]

    def ascii(self, body, timeout=0.5):
        reply = self.ask(ascii_frame(body), timeout)
        got = ascii_body(reply)
        if got is None:
            raise AssertionError("no good ASCII reply to %s: %r" % (bytes(body).hex(), reply))
        return got

    def stop(self, sig=signal.SIGTERM):
        """Ends the process with sig; returns its exit code and standard error."""
        self.close()
        self.proc.send_signal(sig)
        try:
            _, err = self.proc.communicate(timeout=5)
        except subprocess.TimeoutExpired:
            self.kill()
            raise
        return self.proc.returncode, err.decode()

    def kill(self):
        self.close()
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.communicate()


class SimTestCase(unittest.TestCase):
    """Runs each test with its own simulator; the process is always killed."""

    def start(self, *args):
        sim = Sim(*args)
        self.addCleanup(sim.kill)
        return sim
