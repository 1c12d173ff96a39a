"""The soak's value check on small hand-made logs: what must pass and what must fail."""

import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "support"))
import soakcheck  # noqa: E402
from modbus_crc import crc16, lrc  # noqa: E402


def rtu(hex_body):
    body = bytes.fromhex(hex_body)
    crc = crc16(body)
    return (body + bytes([crc & 0xFF, crc >> 8])).hex(" ").upper()


def ascii_frame(hex_body):
    body = bytes.fromhex(hex_body)
    return ":" + (body + bytes([lrc(body)])).hex().upper() + "\\r\\n"


MEAS_REQ = rtu("020300000008")
MEAS_REPLY = "0203100001000200030004FFFF0006000700FF"  # 1 2 3 4 -1 6 7 255
MEAS_FIELDS = " ".join(f"measurements{k}={v}" for k, v in enumerate([1, 2, 3, 4, -1, 6, 7, 255]))
CALIB_REQ = rtu("020300820008")


def sim(*lines):
    return [line + "\n" for line in lines]


def run(sim_lines, record_lines):
    return soakcheck.check(sim_lines, [line + "\n" for line in record_lines])[1]


class SoakCheck(unittest.TestCase):
    def test_a_block_equal_to_the_reply_passes(self):
        log = sim(f"10:00:00.000 [2 RTU 9600] rx {MEAS_REQ}",
                  f"10:00:00.001 [2 RTU 9600] tx {rtu(MEAS_REPLY)} (100 ms late)")
        self.assertEqual(run(log, [f"10:00:00.130 2 03 0000 8 {MEAS_FIELDS}"]), [])

    def test_noise_before_the_reply_is_skipped(self):
        log = sim(f"10:00:00.000 [2 RTU 9600] rx {MEAS_REQ}",
                  f"10:00:00.001 [2 RTU 9600] tx 28 FF 01 {rtu(MEAS_REPLY)} (3 noise bytes first)")
        self.assertEqual(run(log, [f"10:00:00.130 2 03 0000 8 {MEAS_FIELDS}"]), [])

    def test_a_wrong_value_fails_and_names_the_field(self):
        log = sim(f"10:00:00.000 [2 RTU 9600] rx {MEAS_REQ}",
                  f"10:00:00.001 [2 RTU 9600] tx {rtu(MEAS_REPLY)}")
        failures = run(log, [f"10:00:00.130 2 03 0000 8 {MEAS_FIELDS.replace('=4 ', '=5 ')}"])
        self.assertEqual(len(failures), 1)
        self.assertIn("measurements3=5 (sent 4)", failures[0])

    def test_values_from_a_reply_with_a_wrong_check_or_dropped_fail(self):
        for tx in (f"tx {rtu(MEAS_REPLY)} (wrong check)", f"tx dropped: {rtu(MEAS_REPLY)}",
                   "tx " + rtu(MEAS_REPLY)[:-2] + "00"):
            log = sim(f"10:00:00.000 [2 RTU 9600] rx {MEAS_REQ}", f"10:00:00.001 [2 RTU 9600] {tx}")
            self.assertEqual(len(run(log, [f"10:00:00.130 2 03 0000 8 {MEAS_FIELDS}"])), 1, tx)

    def test_a_reply_taken_for_another_request_fails(self):
        # The measurement reply came late and was decoded as the calibration read.
        log = sim(f"10:00:00.000 [2 RTU 9600] rx {MEAS_REQ}",
                  f"10:00:00.001 [2 RTU 9600] tx {rtu(MEAS_REPLY)} (400 ms late)",
                  f"10:00:00.300 [2 RTU 9600] rx {CALIB_REQ}",
                  f"10:00:00.301 [2 RTU 9600] tx {rtu('020310' + '0000' * 8)}")
        calib = " ".join(f"calibration{k}={v}" for k, v in enumerate([1, 2, 3, 4, -1, 6, 7, 255]))
        self.assertEqual(len(run(log, [f"10:00:00.420 2 03 0082 8 {calib}"])), 1)

    def test_an_old_value_that_outlived_its_reply_fails(self):
        log = sim(f"10:00:00.000 [2 RTU 9600] rx {MEAS_REQ}",
                  f"10:00:00.001 [2 RTU 9600] tx {rtu(MEAS_REPLY)}")
        self.assertEqual(len(run(log, [f"10:00:09.000 2 03 0000 8 {MEAS_FIELDS}"])), 1)

    def test_exception_replies_hold_no_values(self):
        log = sim(f"10:00:00.000 [2 RTU 9600] rx {MEAS_REQ}",
                  f"10:00:00.001 [2 RTU 9600] tx {rtu('028304')} (injected exception)")
        self.assertEqual(len(run(log, [f"10:00:00.130 2 03 0000 8 {MEAS_FIELDS}"])), 1)

    def test_ascii_bits_and_the_short_system_block(self):
        coils_req = ascii_frame("050100000009")
        inputs_req = ascii_frame("050200100014")
        sys_req = ascii_frame("050300120006")
        log = sim(f"10:00:00.000 [5 ASCII 9600] rx {coils_req}",
                  f"10:00:00.001 [5 ASCII 9600] tx \\xff{ascii_frame('0501020901')} (1 noise bytes first)",
                  f"10:00:00.300 [5 ASCII 9600] rx {inputs_req}",
                  f"10:00:00.301 [5 ASCII 9600] tx {ascii_frame('050203010008')}",
                  f"10:00:00.600 [5 ASCII 9600] rx {sys_req}",
                  f"10:00:00.601 [5 ASCII 9600] tx {ascii_frame('05030C04D24A0307E5100C1E09F605')}")
        outputs = [1, 0, 0, 1, 0, 0, 0, 0, 1]
        inputs = [1] + [0] * 18 + [1]
        record = [
            "10:00:00.100 5 01 0000 9 " + " ".join(f"outputs{k}={v}" for k, v in enumerate(outputs)),
            "10:00:00.400 5 02 0010 20 " + " ".join(f"inputs{k}={v}" for k, v in enumerate(inputs)),
            "10:00:00.700 5 03 0012 6 serialNumber=1234 sensorByte=74 commByte=3 year=2021 "
            "day=16 month=12 minute=30 hour=9 coldJunctionAdjust=246 stationAddress=5",
        ]
        self.assertEqual(run(log, record), [])
        # The same bytes read in the layout from firmware 5.3 on would be wrong.
        self.assertEqual(len(run(log, [record[2].replace("sensorByte=74", "sensorByte=3")])), 1)

    def test_module_control_follows_the_firmware_the_tool_identified(self):
        id_req = rtu("0211")
        id_reply = "021110" + b"REREVE2060RIDU".hex() + "0503"
        modcon_req = rtu("020301F80003")
        log = sim(f"10:00:00.000 [2 RTU 9600] rx {modcon_req}",
                  f"10:00:00.001 [2 RTU 9600] tx {rtu('0203068301000100 08'.replace(' ', ''))}",
                  f"10:00:00.300 [2 RTU 9600] rx {id_req}",
                  f"10:00:00.301 [2 RTU 9600] tx {rtu(id_reply)}",
                  f"10:00:00.600 [2 RTU 9600] rx {modcon_req}",
                  f"10:00:00.601 [2 RTU 9600] tx {rtu('0203068301000100 08'.replace(' ', ''))}")
        before = ("continuousAddressing=0 serialOutputCount=3 requestOutput=1 startMode=1 "
                  "measuredChannels=8")
        after = before.replace("continuousAddressing=0", "continuousAddressing=1")
        record = [f"10:00:00.100 2 03 01f8 3 {before}",
                  "10:00:00.400 2 11 - - id=" + b"REREVE2060RIDU".hex() +
                  " firmwareMajor=5 firmwareMinor=3",
                  f"10:00:00.700 2 03 01f8 3 {after}"]
        self.assertEqual(run(log, record), [])
        self.assertEqual(len(run(log, record[:2] + [record[2].replace(after, before)])), 1)

    def test_times_across_midnight(self):
        log = sim(f"23:59:59.950 [2 RTU 9600] rx {MEAS_REQ}",
                  f"23:59:59.951 [2 RTU 9600] tx {rtu(MEAS_REPLY)}")
        self.assertEqual(run(log, [f"00:00:00.080 2 03 0000 8 {MEAS_FIELDS}"]), [])


if __name__ == "__main__":
    unittest.main()
