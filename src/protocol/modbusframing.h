#pragma once
// Modbus RTU (CRC-16) and ASCII (LRC) framing: the pure checks used by both the
// master and the simulator, and the framing and unframing steps that work in place
// on the shared frame buffer.

#include "framebuffer.h"

#include <QByteArrayView>

namespace krv {

// Modbus CRC-16 (poly 0xA001 reflected, start 0xFFFF). Sent low byte first.
quint16 modbusCrc16(QByteArrayView bytes);
// Low 8 bits of the two's complement of the byte sum.
quint8 modbusLrc(QByteArrayView bytes);
// Upper-case hexadecimal digit of a nibble 0..15.
char hexDigit(int nibble);
// Value 0..15 of a hexadecimal digit in either case; -1 for any other character.
int hexValue(char c);
// Builds an ASCII frame ":" hex(body) hex(lrc) CR LF.
QByteArray asciiFrame(QByteArrayView body);
// Builds an RTU frame: body, CRC low, CRC high.
QByteArray rtuFrame(QByteArrayView body);

// CRC-16 of the first CommLen bytes of CommBuf into CheckSum; marks the slot RTU.
void CalcCRC(FrameBuffer &fb, ModuleSlots &mods);
// Replaces the body in CommBuf by its ASCII frame; converts ReplyLen; marks the slot ASCII.
void RtuToAscii(FrameBuffer &fb, ModuleSlots &mods);
// Decodes the received ASCII characters in place; CheckSum 0 when the LRC matches.
void AsciiToRtu(FrameBuffer &fb);

// Completes the request the builder left in CommBuf (FrameLen bytes) for the
// current slot's framing. Afterwards CommBuf is exactly what goes on the wire.
void frameRequest(FrameBuffer &fb, ModuleSlots &mods);
// Checks (and for ASCII decodes) the CommLen received bytes in CommBuf.
// Returns true when the check passed (CheckSum 0).
bool unframeReply(FrameBuffer &fb, ModuleSlots &mods);

// True when the received bytes are one frame that passes its check (CRC, or
// colon and LRC); changes nothing.
bool frameIntact(QByteArrayView received, bool ascii);

// How many of the received bytes the first frame takes: in RTU as its
// function code and byte count tell (the echo of a write is 8 bytes, an
// exception reply 5), in ASCII up to and including the first LF. Returns 0
// when more bytes are needed to tell; the result may exceed the bytes at hand
// (the rest of the frame is still on its way). A function code that tells no
// length makes the whole of `received` one frame.
qsizetype firstFrameLength(QByteArrayView received, bool ascii);

} // namespace krv
