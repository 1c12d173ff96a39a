"""The check fields of Modbus frames, for the Python test helpers.

crc16: the CRC-16 of an RTU frame (polynomial 0xA001 reflected, start 0xFFFF).
Appended low byte first; over a whole frame with its CRC the result is 0.
lrc: the LRC of an ASCII frame's body, the two's complement of the byte sum.
Over a whole body with its LRC the byte sum is 0 (mod 256).
"""


def crc16(data):
    crc = 0xFFFF
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return crc


def lrc(data):
    return (-sum(data)) & 0xFF
