#!/usr/bin/python3
"""Checks the blocks krv2060-soak decoded against the replies krv2060-sim sent.

    soakcheck.py SIM_LOG RECORD

SIM_LOG is the simulator's -v log (standard error), RECORD the file
krv2060-soak --record wrote. The simulator logs every request it received
("rx") and every reply it put on the line ("tx"), with the noise bytes it put
before a reply, a wrong check it gave one, and replies it dropped. The record
holds, for every reply the tool decoded, the request it answered and the
values the shared state held right after decoding.

A reply counts as "sent for a request" when the simulator logged it after that
request at the same station, it was not dropped, its check is right (its note
says no wrong check, and the CRC or LRC verifies here) and it is no exception
reply. For each decoded block, the values the tool stored must be what one such
reply to the same request (station, function, start register, count) holds in
the fields' places, where that reply went out at most WINDOW_MS before the
tool decoded it. The places are written out below from the module's register
layout, independently of the tool's decoders: a field stored from the wrong
byte, a reply decoded for the wrong request (a late measurement reply taken as
the calibration read, say), a value from a reply with a bad check, or an old
value that outlived its reply all fail. Measurements drift, so a block only
matches the reply it came from or one very like it.

Prints a summary and every failure; exits 1 on a failure.
"""

import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from modbus_crc import crc16, lrc  # noqa: E402

WINDOW_MS = 5000
SLOP_MS = 100  # both logs use the same clock; lines are written a little apart

LINE = re.compile(r"^(\d\d):(\d\d):(\d\d)\.(\d\d\d) \[(\d+) (RTU|ASCII) \d+\] (rx|tx) (.*)$")


def millis(h, m, s, ms):
    return ((int(h) * 60 + int(m)) * 60 + int(s)) * 1000 + int(ms)


class Clock:
    """Time of day to a running count, across midnight. The first time is put
    on the day that brings it nearest to `near` (the other log's first time)."""

    def __init__(self, near=None):
        self.near = near
        self.last = None
        self.days = 0

    def __call__(self, t):
        if self.last is None and self.near is not None:
            self.days = round((self.near - t) / 86400000)
        elif self.last is not None and t + 12 * 3600000 < self.last:
            self.days += 1
        self.last = t
        t += self.days * 86400000
        if self.near is None:
            self.near = t
        return t


def unescape(text):
    out = bytearray()
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\" and text[i + 1:i + 2] in ("r", "n"):
            out.append(13 if text[i + 1] == "r" else 10)
            i += 2
        elif c == "\\" and text[i + 1:i + 2] == "x" and len(text) >= i + 4:
            out.append(int(text[i + 2:i + 4], 16))
            i += 4
        else:
            out.append(ord(c) & 0xFF)
            i += 1
    return bytes(out)


def split_frame(rest, ascii_framing):
    """A logged frame text and the notes after it."""
    if ascii_framing:
        end = rest.rfind("\\r\\n")
        if end < 0:
            return rest, ""
        return rest[:end + 4], rest[end + 4:]
    cut = rest.find(" (")
    return (rest, "") if cut < 0 else (rest[:cut], rest[cut:])


def frame_body(text, ascii_framing, noise=0):
    """The body (no check field) of a logged frame, or None when its check fails."""
    if ascii_framing:
        raw = unescape(text)[noise:]
        if not (raw.startswith(b":") and raw.endswith(b"\r\n")):
            return None
        try:
            data = bytes.fromhex(raw[1:-2].decode("ascii"))
        except ValueError:
            return None
        if len(data) < 2 or lrc(data[:-1]) != data[-1]:
            return None
        return data[:-1]
    try:
        raw = bytes.fromhex(text)[noise:]
    except ValueError:
        return None
    if len(raw) < 4 or crc16(raw) != 0:
        return None
    return raw[:-2]


def request_key(station, body):
    fn = body[1]
    if fn in (1, 2, 3, 4) and len(body) >= 6:
        return (station, fn, body[2] << 8 | body[3], body[4] << 8 | body[5])
    return (station, fn, None, None)


def read_sim_log(lines):
    """Replies sent per request key: {key: [(ms, reply body)]}, and counts."""
    clock = Clock()
    sent = {}
    last_request = {}
    counts = dict(rx=0, tx=0, dropped=0, wrong_check=0, noise=0, exceptions=0, unreadable=0)
    for line in lines:
        m = LINE.match(line.rstrip("\n"))
        if not m:
            continue
        t = clock(millis(*m.group(1, 2, 3, 4)))
        station, ascii_framing, kind, rest = int(m.group(5)), m.group(6) == "ASCII", m.group(7), m.group(8)
        if kind == "rx":
            counts["rx"] += 1
            body = frame_body(split_frame(rest, ascii_framing)[0], ascii_framing)
            last_request[station] = request_key(station, body) if body and len(body) >= 2 else None
            continue
        if rest.startswith("dropped:"):
            counts["dropped"] += 1
            continue
        counts["tx"] += 1
        text, notes = split_frame(rest, ascii_framing)
        if "(wrong check)" in notes:
            counts["wrong_check"] += 1
            continue
        noise = re.search(r"\((\d+) noise bytes first\)", notes)
        if noise:
            counts["noise"] += 1
        body = frame_body(text, ascii_framing, int(noise.group(1)) if noise else 0)
        key = last_request.get(station)
        if body is None or key is None or len(body) < 2:
            counts["unreadable"] += 1
            continue
        if body[1] & 0x80:
            counts["exceptions"] += 1
            continue
        sent.setdefault(key, []).append((t, body))
    return sent, counts, clock.near


def registers(body):
    return [body[3 + 2 * i] << 8 | body[4 + 2 * i] for i in range(body[2] // 2)]


def signed(v):
    return v - 0x10000 if v & 0x8000 else v


def bits(body, n):
    return [(body[3 + k // 8] >> (k % 8)) & 1 for k in range(n)]


def expected_fields(key, body, version):
    """Field values a reply holds in the places the module's layout gives them,
    or None when the reply is too short for the block."""
    _, fn, start, count = key
    try:
        if fn == 0x11:
            return {"id": body[3:17].hex(), "firmwareMajor": body[17], "firmwareMinor": body[18]}
        if fn == 1 and count == 9:
            return {f"outputs{k}": v for k, v in enumerate(bits(body, 9))}
        if fn == 1 and start == 0x30:
            return {"controlEnable": bits(body, 1)[0]}
        if fn == 2:
            return {f"inputs{k}": v for k, v in enumerate(bits(body, 20))}
        r = registers(body)
        if fn != 3:
            return None
        if start == 0x0000:
            return {f"measurements{k}": signed(v) for k, v in enumerate(r[:8])}
        if start == 0x0062:
            return {f"sensorCodes{k}": signed(v) for k, v in enumerate(r[:8])}
        if start == 0x0082:
            return {f"calibration{k}": signed(v) for k, v in enumerate(r[:8])}
        if start == 0x01F8:
            # 0x01F8: bit 15 continuous addressing (firmware 5.3 on), bits 8-11
            # serial output count, bit 0 request output; 0x01F9 bit 0 start
            # mode; 0x01FA low byte the channel count.
            return {"continuousAddressing": 1 if version >= 53 and r[0] & 0x8000 else 0,
                    "serialOutputCount": (r[0] >> 8) & 0x0F, "requestOutput": r[0] & 1,
                    "startMode": r[1] & 1, "measuredChannels": r[2] & 0xFF}
        if start == 0x0012 and count == 10:
            # From firmware 5.3: serial no., comm byte, sensor byte, year,
            # month, day, hour, minute, address, cold value (one per register).
            return {"serialNumber": r[0], "commByte": r[1] & 0xFF, "sensorByte": r[2] & 0xFF,
                    "year": r[3], "month": r[4] & 0xFF, "day": r[5] & 0xFF,
                    "hour": r[6] & 0xFF, "minute": r[7] & 0xFF,
                    "stationAddress": r[8] & 0xFF, "coldJunctionAdjust": signed(r[9])}
        if start == 0x0012 and count == 6:
            # Before 5.3: serial no., sensor|comm, year, day|month,
            # minute|hour, cold value|address (high|low byte).
            return {"serialNumber": r[0], "sensorByte": r[1] >> 8, "commByte": r[1] & 0xFF,
                    "year": r[2], "day": r[3] >> 8, "month": r[3] & 0xFF,
                    "minute": r[4] >> 8, "hour": r[4] & 0xFF,
                    "coldJunctionAdjust": r[5] >> 8, "stationAddress": r[5] & 0xFF}
    except IndexError:
        return None
    return None


def read_record(lines, near=None):
    """Decoded blocks: (ms, key, {field: value}) in the tool's order."""
    clock = Clock(near)
    blocks = []
    for line in lines:
        parts = line.split()
        if len(parts) < 6:
            continue
        h, m, rest = parts[0].split(":")
        s, ms = rest.split(".")
        t = clock(millis(h, m, s, ms))
        start = None if parts[3] == "-" else int(parts[3], 16)
        count = None if parts[4] == "-" else int(parts[4])
        key = (int(parts[1]), int(parts[2], 16), start, count)
        fields = {}
        for item in parts[5:]:
            name, value = item.split("=", 1)
            fields[name] = value if name == "id" else int(value)
        blocks.append((t, key, fields))
    return blocks


def check(sim_lines, record_lines):
    """Returns (summary lines, failure lines)."""
    sent, counts, first = read_sim_log(sim_lines)
    blocks = read_record(record_lines, first)
    failures = []
    version = 0  # the firmware of the identifier the tool decoded last
    for t, key, fields in blocks:
        candidates = [(ts, body) for ts, body in sent.get(key, [])
                      if t - WINDOW_MS <= ts <= t + SLOP_MS]
        nearest = None
        matched = False
        for ts, body in reversed(candidates):
            expected = expected_fields(key, body, version)
            if expected is None:
                continue
            if expected == fields:
                matched = True
                break
            if nearest is None:
                nearest = expected
        if not matched:
            if nearest is None:
                why = "no reply to this request was sent in the %d ms before" % WINDOW_MS
            else:
                wrong = [f"{k}={fields.get(k)} (sent {v})" for k, v in nearest.items()
                         if fields.get(k) != v]
                wrong += [f"{k}={v} (no such field)" for k, v in fields.items() if k not in nearest]
                why = "differs from the last reply sent: " + ", ".join(wrong)
            failures.append("%s station %d fn %02x start %s count %s: %s" % (
                fmt_time(t), key[0], key[1], "-" if key[2] is None else "%04x" % key[2],
                "-" if key[3] is None else key[3], why))
        if key[1] == 0x11:
            version = fields.get("firmwareMajor", 0) * 10 + fields.get("firmwareMinor", 0)
    values = sum(len(f) for _, _, f in blocks)
    summary = [
        "simulator: %(rx)d requests heard, %(tx)d replies sent (%(wrong_check)d with a wrong "
        "check, %(noise)d after noise, %(exceptions)d exceptions), %(dropped)d dropped" % counts,
        "tool: %d blocks decoded, %d values compared, %d check failures" % (
            len(blocks), values, len(failures)),
    ]
    if counts["unreadable"]:
        summary.append("simulator replies the check could not read: %d" % counts["unreadable"])
    return summary, failures


def fmt_time(t):
    t %= 86400000
    return "%02d:%02d:%02d.%03d" % (t // 3600000, t // 60000 % 60, t // 1000 % 60, t % 1000)


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    with open(argv[1], encoding="latin-1") as sim, open(argv[2], encoding="utf-8") as rec:
        summary, failures = check(sim.readlines(), rec.readlines())
    for line in summary:
        print(line)
    for line in failures[:50]:
        print("FAIL " + line)
    if len(failures) > 50:
        print("... and %d more" % (len(failures) - 50))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
