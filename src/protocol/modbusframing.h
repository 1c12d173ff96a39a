#pragma once
// Modbus RTU (CRC-16), ASCII (LRC) and TCP (MBAP header) framing: the pure
// checks used by both the master and the simulator, and the framing and
// unframing steps that work in place on a frame buffer.

#include "protocol/framebuffer.h"
#include "protocol/hextext.h"

#include <QByteArrayView>

namespace krv {

// How frames travel on a line: RTU or ASCII per module on a serial line (or a
// serial device server), MBAP on a Modbus TCP line.
enum class Framing { Rtu, Ascii, Mbap };

inline Framing serialFraming(bool ascii)
{
    return ascii ? Framing::Ascii : Framing::Rtu;
}
// Bytes after the body: CRC 2, LRC 1, none on Modbus TCP.
int checkFieldLength(Framing framing);

// Modbus CRC-16 (poly 0xA001 reflected, start 0xFFFF). Sent low byte first.
quint16 modbusCrc16(QByteArrayView bytes);
// Low 8 bits of the two's complement of the byte sum.
quint8 modbusLrc(QByteArrayView bytes);
// Builds an ASCII frame ":" hex(body) hex(lrc) CR LF.
QByteArray asciiFrame(QByteArrayView body);
// Builds an RTU frame: body, CRC low, CRC high.
QByteArray rtuFrame(QByteArrayView body);
// Builds a Modbus TCP frame: transaction id, protocol id 0, the length of the
// body, then the body (unit id = station, function, data).
QByteArray mbapFrame(quint16 transactionId, QByteArrayView body);
constexpr int MbapHeaderLength = 6;

// CRC-16 of the first `length` bytes into `checksum`.
void computeCrc(FrameBuffer &frame);
// Replaces the body (the first `length` bytes) by its ASCII frame; `length`
// becomes the frame's length without its LF, `replyLength` the ASCII length
// of the reply, `checksum` the negated byte sum.
void frameAsAscii(FrameBuffer &frame);
// Decodes the `length` received ASCII characters in place into bytes;
// `checksum` is 0 when the LRC matches, 255 for a frame without its colon.
void decodeAscii(FrameBuffer &frame);

// Completes the request a builder left in the buffer (`requestLength` bytes,
// check field last) for the framing in use (Modbus TCP: with the buffer's
// transaction id; `replyLength` becomes the framed reply's length). Afterwards
// `bytes` is exactly what goes on the wire.
void frameRequest(FrameBuffer &frame, Framing framing);
// Checks (and for ASCII and Modbus TCP decodes) the `length` received bytes.
// Returns true when the check passed (`checksum` 0); a Modbus TCP frame then
// holds its body first and its transaction id in `transactionId`.
bool unframeReply(FrameBuffer &frame, Framing framing);

// True when the received bytes are one frame that passes its check (CRC, or
// colon and LRC, or an MBAP header of protocol 0 whose length fits); changes
// nothing.
bool frameIntact(QByteArrayView received, Framing framing);

// How many of the received bytes the first frame takes: in RTU as its
// function code and byte count tell (the echo of a write is 8 bytes, an
// exception reply 5), in ASCII up to and including the first LF, on Modbus TCP
// as its header's length field tells. Returns 0 when more bytes are needed to
// tell; the result may exceed the bytes at hand (the rest of the frame is
// still on its way). A function code that tells no length makes the whole of
// `received` one frame.
qsizetype firstFrameLength(QByteArrayView received, Framing framing);
// The length of the reply to a request as framed, from its length in RTU form.
int framedReplyLength(int rtuLength, Framing framing);

} // namespace krv
