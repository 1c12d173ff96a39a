"""krv2060-sim against independent Modbus masters: mbpoll (RTU, Modbus TCP) and pymodbus
(RTU, ASCII, both over TCP too, and Modbus TCP)."""
import re
import subprocess
import unittest

from pymodbus.client import ModbusSerialClient, ModbusTcpClient
from pymodbus.framer.ascii_framer import ModbusAsciiFramer
from pymodbus.framer.rtu_framer import ModbusRtuFramer
from pymodbus.framer.socket_framer import ModbusSocketFramer
from pymodbus.pdu import ExceptionResponse

from simharness import SimTestCase


class MbpollTest(SimTestCase):
    def mbpoll(self, *args):
        """Runs one mbpoll transaction (0-based references) on station 2."""
        out = subprocess.run(["mbpoll", "-m", "rtu", "-b", "9600", "-P", "none", "-a", "2",
                              "-0", "-1", "-o", "1", *args[:-1], self.sim.path, *args[-1]],
                             capture_output=True, text=True, timeout=10)
        self.assertEqual(out.returncode, 0, out.stdout + out.stderr)
        return out.stdout

    def read(self, *args):
        text = self.mbpoll(*args, [])
        return [int(v) for v in re.findall(r"^\[\d+\]:\s+(-?\d+)", text, re.M)]

    def test_reads_and_writes(self):
        self.sim = self.start("--fast")
        self.sim.close()            # mbpoll opens the port itself
        meas = self.read("-r", "0", "-c", "8")
        self.assertEqual(len(meas), 8)
        signed = [v - 65536 if v > 32767 else v for v in meas]
        self.assertEqual(sum(150 < v < 350 for v in signed), 7)   # room temperature ...
        self.assertEqual(sum(v < 0 for v in signed), 1)           # ... and one freezer
        self.assertEqual(len(self.read("-r", "18", "-c", "10")), 10)   # long system block

        self.mbpoll("-r", "99", ["12"])                               # function 06
        self.assertEqual(self.read("-r", "98", "-c", "8")[1], 12)
        self.mbpoll("-r", "434", ["65496", "60", "4106"])                # function 16
        self.assertEqual(self.read("-r", "434", "-c", "3"), [65496, 60, 4106])
        self.mbpoll("-t", "0", "-r", "8", ["1"])                      # function 05
        self.assertEqual(self.read("-t", "0", "-r", "0", "-c", "9"), [0] * 8 + [1])
        self.assertEqual(len(self.read("-t", "1", "-r", "16", "-c", "20")), 20)
        self.assertIn("REVE2060RIDU", self.mbpoll("-u", []))             # function 0x11

    def test_modbus_tcp_read_shows_what_the_log_sent(self):
        sim = self.start_tcp("mbap", "-v")
        sim.close()                 # mbpoll connects itself
        out = subprocess.run(["mbpoll", "-m", "tcp", "-p", str(sim.port), "-a", "2", "-r", "1",
                              "-c", "8", "-1", "127.0.0.1"],
                             capture_output=True, text=True, timeout=10)
        self.assertEqual(out.returncode, 0, out.stdout + out.stderr)
        values = [int(v) for v in re.findall(r"^\[\d+\]:\s+(-?\d+)", out.stdout, re.M)]
        _, err = sim.stop()
        sent = re.search(r"\[2 MBAP\] tx (?:[0-9A-F]{2} ){6}02 03 10((?: [0-9A-F]{2}){16})\n", err)
        self.assertIsNotNone(sent, err)
        data = bytes.fromhex(sent.group(1))
        self.assertEqual(values, [int.from_bytes(data[i:i + 2], "big") for i in range(0, 16, 2)])


class PymodbusTest(SimTestCase):
    def client(self, framer):
        c = ModbusSerialClient(port=self.sim.path, framer=framer, baudrate=9600, timeout=1)
        self.assertTrue(c.connect())
        self.addCleanup(c.close)
        return c

    def exercise(self, c, slave, fw):
        sysblock = c.read_holding_registers(0x12, 10 if fw >= 53 else 6, slave=slave)
        self.assertEqual(sysblock.registers[0], 2000 + slave)         # serial number
        self.assertEqual(c.write_register(0x64, 9, slave=slave).value, 9)
        self.assertEqual(c.read_holding_registers(0x62, 8, slave=slave).registers[2], 9)
        c.write_registers(0x0126 + 2, [250, 10, 20], slave=slave)       # control block 2
        self.assertEqual(c.read_holding_registers(0x0128, 3, slave=slave).registers, [250, 10, 20])
        c.write_coil(0x30, True, slave=slave)
        self.assertEqual(c.read_coils(0x30, 1, slave=slave).bits[0], True)
        base = 0x10 if fw >= 52 else 0
        self.assertFalse(c.read_discrete_inputs(base, 20, slave=slave).isError())
        for reply, code in ((c.read_exception_status(slave=slave), 1),
                            (c.read_holding_registers(0x300, 1, slave=slave), 2),
                            (c.write_register(0x62, 25, slave=slave), 3)):
            self.assertIsInstance(reply, ExceptionResponse)
            self.assertEqual(reply.exception_code, code)

    def test_rtu_and_ascii_on_one_line(self):
        self.sim = self.start("--fast")
        self.sim.close()
        self.exercise(self.client(ModbusRtuFramer), 2, 53)
        self.exercise(self.client(ModbusAsciiFramer), 5, 52)

    def tcp_client(self, framer):
        c = ModbusTcpClient("127.0.0.1", port=self.sim.port, framer=framer, timeout=1)
        self.assertTrue(c.connect())
        self.addCleanup(c.close)
        return c

    def test_modbus_tcp(self):
        self.sim = self.start_tcp("mbap", "--fast")
        self.sim.close()
        c = self.tcp_client(ModbusSocketFramer)
        self.exercise(c, 2, 53)
        self.exercise(c, 5, 52)                 # an ASCII module on a line: any unit id

    def test_serial_frames_over_tcp(self):
        for framer, slave, fw in ((ModbusRtuFramer, 2, 53), (ModbusAsciiFramer, 5, 52)):
            with self.subTest(framer=framer.__name__):
                self.sim = self.start_tcp("tcp")
                self.sim.close()
                self.exercise(self.tcp_client(framer), slave, fw)

    def test_paced_ascii_at_19200_old_firmware(self):
        self.sim = self.start("--module", "addr=7,framing=ascii,baud=19200,fw=5.1")
        self.sim.close()
        c = ModbusSerialClient(port=self.sim.path, framer=ModbusAsciiFramer, baudrate=19200,
                               timeout=1)
        self.assertTrue(c.connect())
        self.addCleanup(c.close)
        self.exercise(c, 7, 51)


if __name__ == "__main__":
    unittest.main()
