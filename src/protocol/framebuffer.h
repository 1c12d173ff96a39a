#pragma once
// The frame buffer of one transaction engine: a request as built, framed in
// place for the line; then a reply as read from the port, unframed and checked
// in place. Each engine owns its own.

#include <QByteArray>
#include <QtGlobal>

namespace krv {

struct FrameBuffer
{
    QByteArray bytes;          // what is transmitted, then what was received
    qint16 length = 0;         // byte count the current step works on
    qint32 checksum = 0;       // CRC-16 or LRC; 0 after a reply check means intact
    qint16 requestLength = 0;  // request length in RTU form (body + 2 CRC bytes)
    qint16 replyLength = 0;    // expected reply length (RTU form, as framed after framing)
    quint16 transactionId = 0; // Modbus TCP: the request's, then the reply's
};

} // namespace krv
