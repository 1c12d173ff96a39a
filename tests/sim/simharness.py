"""Starts krv2060-sim as a process and talks to it through its pseudo-terminal, or as
a client of its TCP port (--tcp: serial frames, --mbap: Modbus TCP frames).

The simulator binary comes from the environment variable KRV2060_SIM (set by CTest).
"""
import os
import re
import select
import signal
import socket
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


def mbap(tid, body, protocol=0):
    """A Modbus TCP frame: body is the unit id and the PDU."""
    return (tid.to_bytes(2, "big") + protocol.to_bytes(2, "big") + len(body).to_bytes(2, "big")
            + bytes(body))


def mbap_split(frame):
    """(transaction id, protocol id, body) of one whole Modbus TCP frame, else None."""
    if len(frame) < 7 or int.from_bytes(frame[4:6], "big") != len(frame) - 6:
        return None
    return int.from_bytes(frame[0:2], "big"), int.from_bytes(frame[2:4], "big"), frame[6:]


def mbap_whole(data):
    """True when data holds at least one complete Modbus TCP frame."""
    return len(data) >= 7 and len(data) >= 6 + int.from_bytes(data[4:6], "big")


def serial_whole(data):
    """True when data ends a complete RTU (good CRC) or ASCII (CR LF) frame."""
    return data.endswith(b"\r\n") or (len(data) >= 5 and crc16(data) == 0)


def words(*values):
    out = b""
    for v in values:
        out += (v & 0xFFFF).to_bytes(2, "big")
    return out


class _Process:
    """One simulator process, its first line of output, and a master's end of its
    line (subclasses), read with time-outs."""

    FIRST_LINE = None       # pattern of the first line of standard output
    whole = staticmethod(serial_whole)

    def __init__(self, *args):
        self.proc = subprocess.Popen([SIM, *args], stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE)
        ready, _, _ = select.select([self.proc.stdout], [], [], 5)
        if not ready:
            self.kill()
            raise RuntimeError("simulator did not start")
        self.first_line = self.proc.stdout.readline().decode()
        self.match = re.fullmatch(self.FIRST_LINE, self.first_line)
        if not self.match:
            self.kill()
            raise RuntimeError("unexpected first line %r" % self.first_line)

    def _readable(self, wait):
        return bool(select.select([self._fileno()], [], [], wait)[0])

    def read(self, timeout=1.0, quiet=0.05, whole=True):
        """Bytes until `quiet` seconds pass without one (after the first byte), or
        with whole, until they form one complete frame."""
        out = b""
        end = time.monotonic() + timeout
        while True:
            if whole and self.whole(out):
                return out
            wait = end - time.monotonic()
            if out:
                wait = min(wait, quiet)
            if wait <= 0 or not self._readable(wait):
                return out
            data = self._recv()
            if not data:            # the other end closed the connection
                return out
            out += data

    def ask(self, frame, timeout=1.0, whole=True):
        self._send(frame)
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


class Sim(_Process):
    """One simulator process and the master's end of its pseudo-terminal."""

    FIRST_LINE = r"pty: (/dev/pts/\d+)\n"

    def __init__(self, *args):
        self.fd = None
        super().__init__(*args)
        self.path = self.match.group(1)
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

    def _fileno(self):
        return self.fd

    def _recv(self):
        return os.read(self.fd, 4096)

    def _send(self, frame):
        os.write(self.fd, frame)


class TcpSim(_Process):
    """One simulator process serving TCP on a free port (mode "tcp": serial frames,
    "mbap": Modbus TCP frames) and one client connection to it."""

    FIRST_LINE = r"(tcp|mbap): 127\.0\.0\.1:(\d+)\n"

    def __init__(self, mode, *args, port=0):
        self.sock = None
        super().__init__("--" + mode, str(port), *args)
        if self.match.group(1) != mode:
            self.kill()
            raise RuntimeError("unexpected first line %r" % self.first_line)
        self.port = int(self.match.group(2))
        if mode == "mbap":
            self.whole = mbap_whole
        self.sock = self.connect()

    def connect(self):
        """A new connection to the simulator (the harness's own one is self.sock)."""
        sock = socket.create_connection(("127.0.0.1", self.port), timeout=2)
        sock.setblocking(False)
        return sock

    def reconnect(self):
        self.close()
        self.sock = self.connect()

    def close(self):
        if self.sock is not None:
            self.sock.close()
            self.sock = None

    def _fileno(self):
        return self.sock.fileno()

    def _recv(self):
        try:
            return self.sock.recv(4096)
        except ConnectionResetError:
            return b""

    def _send(self, frame):
        self.sock.sendall(frame)

    def mbap(self, tid, body, timeout=0.5):
        """Sends a Modbus TCP request; returns the reply's (transaction id, body)
        after checking its protocol id and length."""
        reply = self.ask(mbap(tid, body), timeout)
        got = mbap_split(reply)
        if got is None or got[1] != 0:
            raise AssertionError("no good Modbus TCP reply to %s: %s" % (bytes(body).hex(),
                                                                        reply.hex()))
        return got[0], got[2]


class SimTestCase(unittest.TestCase):
    """Runs each test with its own simulator; the process is always killed."""

    def start(self, *args):
        sim = Sim(*args)
        self.addCleanup(sim.kill)
        return sim

    def start_tcp(self, mode, *args, port=0):
        sim = TcpSim(mode, *args, port=port)
        self.addCleanup(sim.kill)
        return sim
