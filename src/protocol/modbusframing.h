#pragma once
// Modbus RTU (CRC-16) and ASCII (LRC) framing: the pure checks used by both the
// master and the simulator, and the framing and unframing steps that work in
// place on a frame buffer.

#include "protocol/framebuffer.h"
#include "protocol/hextext.h"

#include <QByteArrayView>

namespace krv {

// Modbus CRC-16 (poly 0xA001 reflected, start 0xFFFF). Sent low byte first.
quint16 modbusCrc16(QByteArrayView bytes);
// Low 8 bits of the two's complement of the byte sum.
quint8 modbusLrc(QByteArrayView bytes);
// Builds an ASCII frame ":" hex(body) hex(lrc) CR LF.
QByteArray asciiFrame(QByteArrayView body);
// Builds an RTU frame: body, CRC low, CRC high.
QByteArray rtuFrame(QByteArrayView body);

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
// check field last) for the framing in use. Afterwards `bytes` is exactly what
// goes on the wire.
void frameRequest(FrameBuffer &frame, bool ascii);
// Checks (and for ASCII decodes) the `length` received bytes. Returns true
// when the check passed (`checksum` 0).
bool unframeReply(FrameBuffer &frame, bool ascii);

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
