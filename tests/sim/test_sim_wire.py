"""krv2060-sim on the wire: raw RTU and ASCII frames through its pseudo-terminal."""
import os
import signal
import subprocess
import tempfile
import time
import unittest

from simharness import SIM, SimTestCase, ascii_body, ascii_frame, crc16, rtu, words

RTU2 = "addr=2,framing=rtu"


def system_fields(data, fw):
    """Decodes a system block read (data bytes after the byte count) as the tool does."""
    if fw < 53:
        return {"comm": data[3], "sensor": data[2], "address": data[11], "cold": data[10]}
    return {"comm": data[3], "sensor": data[5], "address": data[17],
            "cold": int.from_bytes(data[18:20], "big", signed=True)}


class ProcessTest(SimTestCase):
    def test_link_made_and_removed_signals_end_cleanly(self):
        for sig in (signal.SIGTERM, signal.SIGINT):
            link = os.path.join(tempfile.mkdtemp(), "ttyKRV")
            sim = self.start("--fast", "--link", link)
            self.assertEqual(os.readlink(link), sim.path)
            self.assertEqual(sim.rtu(b"\x02\x11")[3:17], b"REREVE2060RIDU")
            code, _ = sim.stop(sig)
            self.assertEqual(code, 0)
            self.assertFalse(os.path.lexists(link))

    def test_port_can_be_closed_and_reopened(self):
        sim = self.start("--fast")
        for _ in range(3):
            self.assertEqual(len(sim.rtu(b"\x02\x03\x00\x00\x00\x08")), 19)
            sim.close()
            sim.open()

    def test_verbose_log_shows_requests_and_replies(self):
        sim = self.start("--fast", "-v")
        sim.rtu(b"\x02\x11")
        sim.ascii(b"\x05\x11")
        _, err = sim.stop()
        stamp = r"\d\d:\d\d:\d\d\.\d\d\d "
        self.assertRegex(err, stamp + r"\[2 RTU 9600\] rx 02 11 C0 DC\n")
        self.assertRegex(err, stamp + r"\[2 RTU 9600\] tx 02 11 10 52 45 ")
        self.assertRegex(err, stamp + r"\[5 ASCII 9600\] rx :0511EA\\r\\n\n")
        self.assertRegex(err, stamp + r"\[5 ASCII 9600\] tx :051110")

    def test_help_and_bad_options(self):
        out = subprocess.run([SIM, "--help"], capture_output=True, text=True, timeout=5)
        self.assertEqual(out.returncode, 0)
        for opt in ("--module", "--link", "--fast", "-v", "--silent", "--drop", "--corrupt",
                    "--lowercase", "--delay", "--garbage", "--exception", "addr=", "fw=",
                    "framing=", "baud=", "id=", "--tcp", "--mbap", "one client at a time"):
            self.assertIn(opt, out.stdout)
        out = subprocess.run([SIM, "--module", "addr=2,baud=7"], capture_output=True, text=True,
                             timeout=5)
        self.assertEqual((out.returncode, out.stdout), (2, ""))
        self.assertTrue(out.stderr.startswith("krv2060-sim: --module addr=2,baud=7: baud"))


class FrameTest(SimTestCase):
    def test_identification_in_both_framings(self):
        sim = self.start("--fast")
        self.assertEqual(sim.ask(rtu(b"\x02\x11")),
                         rtu(b"\x02\x11\x10REREVE2060RIDU\x05\x03"))
        self.assertEqual(sim.ask(ascii_frame(b"\x05\x11")),
                         ascii_frame(b"\x05\x11\x10ZEZADO2040ZOZE\x05\x02"))

    def test_multidrop_each_module_hears_only_its_frames(self):
        sim = self.start("--fast")
        read = b"\x03\x00\x00\x00\x08"
        self.assertTrue(sim.unanswered(rtu(b"\x05" + read)))           # ASCII module, RTU frame
        self.assertTrue(sim.unanswered(ascii_frame(b"\x02" + read)))   # RTU module, ASCII frame
        self.assertTrue(sim.unanswered(rtu(b"\x03" + read)))           # nobody there
        bad = bytearray(rtu(b"\x02" + read))
        bad[-1] ^= 1
        self.assertTrue(sim.unanswered(bytes(bad)))                    # bad CRC
        self.assertTrue(sim.unanswered(ascii_frame(b"\x05" + read)[:-4] + b"00\r\n"))  # bad LRC
        # Noise, then an ASCII and an RTU request back to back: both modules answer.
        reply = sim.ask(b"\x00\xFF\x10\x02" + ascii_frame(b"\x05" + read) + rtu(b"\x02" + read),
                        whole=False)
        colon = reply.index(b":")
        end = reply.index(b"\r\n", colon) + 2
        self.assertEqual(ascii_body(reply[colon:end])[:3], b"\x05\x03\x10")
        rtu_reply = reply[:colon] + reply[end:]
        self.assertEqual((crc16(rtu_reply), rtu_reply[:3]), (0, b"\x02\x03\x10"))

    def test_exceptions(self):
        sim = self.start("--fast")
        cases = [(b"\x07", 1),                              # unsupported function
                 (b"\x03\x03\x00\x00\x01", 2),              # register outside the map
                 (b"\x03\x00\x12\x00\x0D", 2),              # runs past the system block
                 (b"\x01\x00\x09\x00\x01", 2),              # no such coil
                 (b"\x05\x00\x30\x12\x34", 3),              # coil value not FF00/0000
                 (b"\x03\x00\x00\x00\x00", 3),              # zero registers
                 (b"\x06\x00\x14\x00\x07", 3),              # line speed code 7
                 (b"\x06\x00\x14\x00\x13", 3),              # protocol code 2
                 (b"\x06\x00\x1C\x00\x00", 3),              # station address 0
                 (b"\x06\x00\x66\x00\x14", 3),              # sensor code 20
                 (b"\x06\x00\x00\x00\x01", 2)]              # measurements are read only
        for pdu, code in cases:
            with self.subTest(pdu=pdu.hex()):
                reply = sim.ask(rtu(b"\x02" + pdu))
                self.assertEqual(reply, rtu(bytes([2, pdu[0] | 0x80, code])))
                self.assertEqual(len(reply), 5)
        self.assertEqual(sim.ascii(b"\x05\x07"), b"\x05\x87\x01")
        self.assertEqual(sim.ascii(b"\x05\x03\x00\x12\x00\x0A"), b"\x05\x83\x02")  # 5.2: short block

    def test_replies_are_paced_at_the_line_speed(self):
        sim = self.start("--module", "addr=2,baud=1200")
        sim.set_speed(1200)
        t0 = time.monotonic()
        reply = sim.ask(rtu(b"\x02\x03\x00\x00\x00\x08"))
        elapsed = time.monotonic() - t0
        self.assertEqual(len(reply), 21)
        self.assertGreater(elapsed, 0.17)                # 21 characters of 10 bits at 1200 baud
        self.assertLess(elapsed, 0.5)


class WriteReadBackTest(SimTestCase):
    def transact(self, sim, framing, body):
        return sim.rtu(body) if framing == "rtu" else sim.ascii(body)

    def test_system_writes_in_both_layouts_and_addressing_modes(self):
        # (firmware, set bit 15 of module control register 0, continuous expected, framing)
        for fw, bit15, continuous, framing in [(52, False, False, "rtu"), (52, True, False, "rtu"),
                                               (53, False, False, "rtu"), (53, True, True, "rtu"),
                                               (52, False, False, "ascii"), (53, True, True, "ascii")]:
            with self.subTest(fw=fw, bit15=bit15, framing=framing):
                sim = self.start("--fast", "--module",
                                 "addr=2,fw=%d.%d,framing=%s" % (fw // 10, fw % 10, framing))
                ask = lambda body: self.transact(sim, framing, body)
                if bit15:
                    ask(b"\x02\x10\x01\xF8\x00\x03\x06" + words(0x8301, 0, 7))
                regs = (0x13, 0x14, 0x1B, 0x1A) if continuous else (0x14, 0x15, 0x1D, 0x1C)
                comm = 0x63 if framing == "rtu" else 0x6B    # same speed and protocol, bits 5, 6
                for reg, value in zip(regs, (comm, 0xA5, -20, 9)):
                    req = b"\x02\x06" + words(reg, value)
                    self.assertEqual(ask(req), req)
                count = 10 if fw >= 53 else 6
                data = ask(b"\x09\x03" + words(0x12, count))[3:]   # the new address answers
                self.assertEqual(len(data), 2 * count)
                self.assertEqual(system_fields(data, fw),
                                 {"comm": comm, "sensor": 0xA5, "address": 9,
                                  "cold": -20 if fw >= 53 else 0xEC})
                sim.kill()

    def test_channel_coil_and_block_writes(self):
        for framing in ("rtu", "ascii"):
            with self.subTest(framing=framing):
                sim = self.start("--fast", "--module", "addr=2,framing=" + framing)
                ask = lambda body: self.transact(sim, framing, body)
                ask(b"\x02\x06" + words(0x0065, 7))                          # sensor of channel 3
                self.assertEqual(ask(b"\x02\x03" + words(0x62, 8))[3 + 6:3 + 8], words(7))
                ask(b"\x02\x06" + words(0x0090, -5))                         # calibration of channel 7
                ask(b"\x02\x06" + words(0x0084, 300))                        # calibration of channel 1
                cal = ask(b"\x02\x03" + words(0x82, 8))[3:]
                self.assertEqual((cal[2:4], cal[14:16]), (words(300), words(-5)))
                for coil, first in ((4, 0x10), (0x30, 0x01)):
                    ask(b"\x02\x05" + words(coil, 0xFF00))
                    n = 9 if coil < 9 else 1
                    self.assertEqual(ask(b"\x02\x01" + words(0 if coil < 9 else coil, n))[3], first)
                    ask(b"\x02\x05" + words(coil, 0))
                    self.assertEqual(ask(b"\x02\x01" + words(0 if coil < 9 else coil, n))[3], 0)
                for start, values in ((0x0192, (0x0105, 0x0A0A, -3, 1, 2, 3, 44)),   # control block 8
                                      (0x01C6, (-50, 40000, 0x100A)),                 # alarm block 3
                                      (0x01F8, (0x8301, 1, 0x0107))):                 # module control
                    n = len(values)
                    echo = ask(b"\x02\x10" + words(start, n) + bytes([2 * n]) + words(*values))
                    self.assertEqual(echo, b"\x02\x10" + words(start, n))
                    self.assertEqual(ask(b"\x02\x03" + words(start, n))[3:], words(*values))
                sim.kill()

    def test_single_register_write_moves_the_station_after_its_echo(self):
        sim = self.start("--fast", "--module", "addr=2,fw=5.2")
        # Function 16 with one register at 0x001C (28), as the alarm editor writes it.
        self.assertEqual(sim.rtu(b"\x02\x10\x00\x1C\x00\x01\x02\x00\x07"), b"\x02\x10\x00\x1C\x00\x01")
        self.assertTrue(sim.unanswered(rtu(b"\x02\x03\x00\x1C\x00\x01")))
        self.assertEqual(sim.rtu(b"\x07\x03\x00\x1C\x00\x01"), b"\x07\x03\x02\x00\x07")

    def test_protocol_and_speed_change_after_the_echo(self):
        sim = self.start("--fast", "--module", "addr=2")
        req = b"\x02\x06\x00\x14\x00\x0B"                 # 9600, ASCII
        self.assertEqual(sim.rtu(req), req)               # echo still in RTU
        self.assertTrue(sim.unanswered(rtu(b"\x02\x11")))
        req = b"\x02\x06\x00\x14\x00\x04"                 # back to RTU, now 19200
        self.assertEqual(sim.ascii(req), req)             # echo in ASCII at 9600
        self.assertTrue(sim.unanswered(rtu(b"\x02\x11")))
        sim.set_speed(19200)
        self.assertEqual(sim.rtu(b"\x02\x11")[3:17], b"REREVE2060RIDU")


class LineSpeedTest(SimTestCase):
    def test_no_answers_while_the_master_runs_at_another_speed(self):
        sim = self.start("--fast")
        self.assertEqual(len(sim.rtu(b"\x02\x11")), 19)
        sim.set_speed(19200)
        self.assertTrue(sim.unanswered(rtu(b"\x02\x11")))
        self.assertTrue(sim.unanswered(ascii_frame(b"\x05\x11")))
        sim.set_speed(9600)
        self.assertEqual(len(sim.rtu(b"\x02\x11")), 19)
        self.assertEqual(len(sim.ascii(b"\x05\x11")), 19)


class FaultTest(SimTestCase):
    ID2 = rtu(b"\x02\x11")

    def replies(self, sim, frame, n):
        return [sim.ask(frame) for _ in range(n)]

    def test_silent_global_and_per_module(self):
        sim = self.start("--fast", "--silent")
        self.assertTrue(sim.unanswered(self.ID2) and sim.unanswered(ascii_frame(b"\x05\x11")))
        sim = self.start("--fast", "--module", "addr=2,silent", "--module", "addr=5,framing=ascii")
        self.assertTrue(sim.unanswered(self.ID2))
        self.assertEqual(len(sim.ascii(b"\x05\x11")), 19)

    def test_drop_loses_the_reply_but_executes_the_request(self):
        sim = self.start("--fast", "--module", "addr=2,drop=2")
        on = rtu(b"\x02\x05\x00\x02\xFF\x00")
        self.assertEqual(sim.ask(self.ID2)[:2], b"\x02\x11")
        self.assertTrue(sim.unanswered(on))                                  # 2nd: dropped
        self.assertEqual(sim.rtu(b"\x02\x01\x00\x00\x00\x09")[3], 0x04)     # yet coil 2 is on
        self.assertTrue(sim.unanswered(self.ID2))                            # 4th: dropped

    def test_corrupt_spoils_every_nth_check(self):
        sim = self.start("--fast", "--corrupt", "2")
        good, bad = self.replies(sim, self.ID2, 2)
        self.assertEqual(crc16(good), 0)
        self.assertEqual((len(bad), bad[:-2]), (len(good), good[:-2]))
        self.assertNotEqual(crc16(bad), 0)
        good, bad = self.replies(sim, ascii_frame(b"\x05\x11"), 2)
        self.assertIsNotNone(ascii_body(good))
        self.assertEqual((len(bad), bad[:-4]), (len(good), good[:-4]))
        self.assertIsNone(ascii_body(bad))

    def test_lowercase_hex_in_ascii_only(self):
        sim = self.start("--fast", "--lowercase")
        reply = sim.ask(ascii_frame(b"\x05\x03\x00\x12\x00\x06"))
        self.assertRegex(reply, rb"^:[0-9a-f]+\r\n$")
        self.assertRegex(reply, rb"[a-f]")
        self.assertIsNotNone(ascii_body(reply))           # right LRC, just lower case
        self.assertEqual(len(sim.rtu(b"\x02\x11")), 19)

    def test_delay_holds_the_reply_back(self):
        sim = self.start("--fast", "--delay", "300")
        t0 = time.monotonic()
        os.write(sim.fd, self.ID2)
        self.assertEqual(sim.read(timeout=0.25), b"")
        self.assertEqual(len(sim.read(timeout=0.5)), 21)
        self.assertGreater(time.monotonic() - t0, 0.3)

    def test_garbage_before_every_nth_reply(self):
        sim = self.start("--fast", "--garbage", "2")
        clean, noisy = self.replies(sim, self.ID2, 2)
        self.assertEqual(len(clean), 21)
        self.assertTrue(2 <= len(noisy) - 21 <= 5)
        self.assertEqual(noisy[-21:], clean)
        self.assertNotEqual(crc16(noisy), 0)

    def test_exception_replaces_every_nth_reply_unexecuted(self):
        sim = self.start("--fast", "--module", "addr=2,exception=2")
        self.assertEqual(sim.rtu(b"\x02\x01\x00\x00\x00\x09")[3], 0)
        self.assertEqual(sim.rtu(b"\x02\x05\x00\x01\xFF\x00"), b"\x02\x85\x04")   # 2nd
        self.assertEqual(sim.rtu(b"\x02\x01\x00\x00\x00\x09")[3], 0)              # not executed
        self.assertEqual(sim.rtu(b"\x02\x11"), b"\x02\x91\x04")                    # 4th


if __name__ == "__main__":
    unittest.main()
