"""krv2060-sim behind a TCP port: --tcp passes serial frames through unchanged,
--mbap speaks Modbus TCP; one client at a time."""
import socket
import time
import unittest

from simharness import (SimTestCase, ascii_body, ascii_frame, crc16, mbap, mbap_split, rtu,
                        words)

READ_SENSORS = b"\x03" + words(0x62, 8)          # channel sensor codes 0..7


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def closed_at_once(sock, timeout=1.0):
    """True when the server closes sock within timeout without sending anything."""
    sock.settimeout(timeout)
    try:
        return sock.recv(100) == b""
    except ConnectionResetError:
        return True
    except socket.timeout:
        return False


class TransparentTest(SimTestCase):
    def test_read_and_write_in_rtu_and_ascii(self):
        sim = self.start_tcp("tcp", "--fast")
        # RTU module 2: bytes in and out are the serial frames themselves.
        reply = sim.ask(rtu(b"\x02" + READ_SENSORS))
        self.assertEqual(len(reply), 21)
        self.assertEqual((crc16(reply), reply[:3]), (0, b"\x02\x03\x10"))
        write = rtu(b"\x02\x06" + words(0x64, 9))
        self.assertEqual(sim.ask(write), write)                     # echo, CRC included
        self.assertEqual(sim.rtu(b"\x02" + READ_SENSORS)[3 + 4:3 + 6], words(9))
        # ASCII module 5 on the same connection.
        self.assertEqual(sim.ask(ascii_frame(b"\x05\x11")),
                         ascii_frame(b"\x05\x11\x10ZEZADO2040ZOZE\x05\x02"))
        write = ascii_frame(b"\x05\x06" + words(0x65, 4))
        self.assertEqual(sim.ask(write), write)
        self.assertEqual(sim.ascii(b"\x05" + READ_SENSORS)[3 + 6:3 + 8], words(4))
        # Each module still hears only its own framing.
        self.assertTrue(sim.unanswered(rtu(b"\x05\x11")))
        self.assertTrue(sim.unanswered(ascii_frame(b"\x02\x11")))

    def test_every_module_answers_at_its_own_pace_whatever_its_speed(self):
        sim = self.start_tcp("tcp", "--module", "addr=2,baud=1200",
                             "--module", "addr=5,framing=ascii,baud=19200")
        t0 = time.monotonic()
        self.assertEqual(len(sim.rtu(b"\x02\x03\x00\x00\x00\x08", timeout=1.0)), 19)
        elapsed = time.monotonic() - t0
        self.assertGreater(elapsed, 0.17)                # 21 characters of 10 bits at 1200 baud
        self.assertLess(elapsed, 0.5)
        self.assertEqual(sim.ascii(b"\x05\x11")[:3], b"\x05\x11\x10")

    def test_drop_loses_the_reply_but_executes_the_request(self):
        sim = self.start_tcp("tcp", "--fast", "--module", "addr=2,drop=2")
        self.assertEqual(len(sim.rtu(b"\x02\x11")), 19)
        self.assertTrue(sim.unanswered(rtu(b"\x02\x05\x00\x02\xFF\x00")))    # 2nd: dropped
        self.assertEqual(sim.rtu(b"\x02\x01\x00\x00\x00\x09")[3], 0x04)     # yet coil 2 is on

    def test_second_connection_refused_while_the_first_is_served(self):
        sim = self.start_tcp("tcp", "--fast", "-v")
        self.assertEqual(len(sim.rtu(b"\x02\x11")), 19)
        second = sim.connect()
        self.addCleanup(second.close)
        self.assertTrue(closed_at_once(second))
        self.assertEqual(len(sim.rtu(b"\x02\x11")), 19)              # the first one goes on
        _, err = sim.stop()
        self.assertRegex(err, r"tcp: refused 127\.0\.0\.1:\d+: 127\.0\.0\.1:\d+ is connected")

    def test_next_client_taken_after_the_first_closed(self):
        sim = self.start_tcp("tcp", "--delay", "300")
        # The first client asks and closes before its reply is due: the request is
        # executed, but its reply is not sent to whoever connects next.
        sim.sock.sendall(rtu(b"\x02\x05\x00\x03\xFF\x00"))
        sim.reconnect()
        self.assertEqual(sim.read(timeout=0.6), b"")
        self.assertEqual(sim.rtu(b"\x02\x01\x00\x00\x00\x09", timeout=1.0)[3], 0x08)
        for _ in range(2):
            sim.reconnect()
            self.assertEqual(len(sim.rtu(b"\x02\x11", timeout=1.0)), 19)

    def test_first_line_names_the_port_asked_for(self):
        port = free_port()
        sim = self.start_tcp("tcp", "--fast", port=port)
        self.assertEqual(sim.first_line, "tcp: 127.0.0.1:%d\n" % port)
        self.assertEqual(len(sim.rtu(b"\x02\x11")), 19)


class ModbusTcpTest(SimTestCase):
    def test_read_and_write_any_module_by_unit_id(self):
        sim = self.start_tcp("mbap", "--fast")
        for unit in (2, 5):                 # module 5 speaks ASCII on a line
            with self.subTest(unit=unit):
                reply = sim.ask(mbap(0x0101, bytes([unit]) + READ_SENSORS))
                self.assertEqual(len(reply), 6 + 3 + 16)
                self.assertEqual(reply[:9], b"\x01\x01\x00\x00\x00\x13" + bytes([unit, 3, 16]))
                write = bytes([unit]) + b"\x06" + words(0x66, 11)
                self.assertEqual(sim.mbap(0x0102, write), (0x0102, write))
                _, body = sim.mbap(0x0103, bytes([unit]) + READ_SENSORS)
                self.assertEqual(body[3 + 8:3 + 10], words(11))
        self.assertTrue(sim.unanswered(mbap(1, b"\x07\x11")))      # no module at unit 7

    def test_transaction_id_echoed(self):
        sim = self.start_tcp("mbap", "--fast")
        for tid in (0, 1, 0x1234, 0xFFFF):
            self.assertEqual(sim.mbap(tid, b"\x02\x11")[0], tid)
        # Two requests in one segment: two replies, in order.
        sim.sock.sendall(mbap(0x0A0A, b"\x02\x11") + mbap(0x0B0B, b"\x05\x11"))
        replies = sim.read(whole=False)
        self.assertEqual(len(replies), 2 * (6 + 19))
        first, second = mbap_split(replies[:25]), mbap_split(replies[25:])
        self.assertEqual((first[0], first[2][:3]), (0x0A0A, b"\x02\x11\x10"))
        self.assertEqual((second[0], second[2][3:17]), (0x0B0B, b"ZEZADO2040ZOZE"))

    def test_frames_with_another_protocol_or_impossible_length_ignored(self):
        sim = self.start_tcp("mbap", "--fast", "-vv")
        coil_on = b"\x02\x05\x00\x06\xFF\x00"
        self.assertTrue(sim.unanswered(mbap(7, coil_on, protocol=1)))
        # A whole frame is skipped: the one behind it in the stream is answered.
        reply = sim.ask(mbap(8, b"\x02\x11", protocol=0x0100) + mbap(9, b"\x02\x11"))
        self.assertEqual(mbap_split(reply)[0], 9)
        self.assertEqual(sim.mbap(10, b"\x02\x01\x00\x00\x00\x09")[1][3], 0)   # coil 6 stays off
        # A length no frame has: what was received is thrown away, later frames count.
        self.assertTrue(sim.unanswered(b"\x00\x0B\x00\x00\x00\x01\x02"))
        self.assertTrue(sim.unanswered(b"\x00\x0C\x00\x00\x01\x00" + b"\x02\x11"))
        self.assertEqual(sim.mbap(13, b"\x02\x11")[0], 13)
        _, err = sim.stop()
        self.assertIn("[MBAP] ignored (protocol id 1): 00 07 00 01 00 06 02 05 00 06 FF 00", err)
        self.assertIn("[MBAP] ignored (length 1", err)
        self.assertIn("[MBAP] ignored (length 256", err)

    def test_exception_replies(self):
        sim = self.start_tcp("mbap", "--fast", "--module", "addr=2,exception=3")
        self.assertEqual(sim.ask(mbap(0x55, b"\x02\x03\x03\x00\x00\x01")),
                         b"\x00\x55\x00\x00\x00\x03\x02\x83\x02")     # outside the map
        self.assertEqual(sim.mbap(0x56, b"\x02\x07"), (0x56, b"\x02\x87\x01"))
        self.assertEqual(sim.mbap(0x57, b"\x02\x11"), (0x57, b"\x02\x91\x04"))   # 3rd: injected

    def test_faults(self):
        ident = b"\x02\x11"
        sim = self.start_tcp("mbap", "--fast", "--module", "addr=2,corrupt=2,garbage=3,drop=4",
                             "--module", "addr=5,silent")
        self.assertEqual(sim.mbap(1, ident)[0], 1)
        wrong = mbap_split(sim.ask(mbap(0x1202, ident)))                     # 2nd: corrupt
        self.assertEqual((wrong[0], wrong[1], wrong[2][:3]), (0xEDFD, 0, b"\x02\x11\x10"))
        noisy = sim.ask(mbap(3, ident), whole=False)                         # 3rd: noise first
        self.assertTrue(2 <= len(noisy) - 25 <= 5)
        self.assertEqual(mbap_split(noisy[-25:])[0], 3)
        self.assertTrue(sim.unanswered(mbap(4, ident)))                      # 4th: dropped
        self.assertEqual(sim.mbap(5, ident)[0], 5)
        self.assertTrue(sim.unanswered(mbap(6, b"\x05\x11")))                # silent module

        sim = self.start_tcp("mbap", "--fast", "--delay", "300", "--lowercase")
        t0 = time.monotonic()
        sim.sock.sendall(mbap(7, b"\x05\x11"))
        self.assertEqual(sim.read(timeout=0.25), b"")
        reply = sim.read(timeout=0.5)
        self.assertGreater(time.monotonic() - t0, 0.3)
        self.assertEqual(mbap_split(reply)[2][3:17], b"ZEZADO2040ZOZE")     # no case change

    def test_station_address_write_moves_the_unit_after_its_echo(self):
        sim = self.start_tcp("mbap", "--fast", "--module", "addr=2,fw=5.2")
        write = b"\x02\x06\x00\x1C\x00\x09"
        self.assertEqual(sim.mbap(1, write), (1, write))
        self.assertTrue(sim.unanswered(mbap(2, b"\x02\x11")))
        self.assertEqual(sim.mbap(3, b"\x09\x11")[1][:2], b"\x09\x11")

    def test_verbose_log_shows_whole_frames(self):
        sim = self.start_tcp("mbap", "--fast", "-v")
        sim.mbap(0x1234, b"\x02\x03\x00\x00\x00\x01")
        sim.close()
        time.sleep(0.1)
        _, err = sim.stop()
        stamp = r"\d\d:\d\d:\d\d\.\d\d\d "
        self.assertRegex(err, stamp + r"\[2 MBAP\] rx 12 34 00 00 00 06 02 03 00 00 00 01\n")
        self.assertRegex(err, stamp + r"\[2 MBAP\] tx 12 34 00 00 00 05 02 03 02 [0-9A-F]{2} ")
        self.assertRegex(err, stamp + r"mbap: 127\.0\.0\.1:\d+ closed the connection")


if __name__ == "__main__":
    unittest.main()
