#pragma once
// Helpers several suites share: hex text, frames as a slot would frame them,
// the last frame an in-memory port sent, and reply bodies.

#include "memoryport.h"
#include "protocol/modbusframing.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace testsupport {

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// A reply or request body framed for RTU (CRC) or ASCII (LRC).
inline QByteArray framed(const QByteArray &body, bool ascii)
{
    return ascii ? krv::asciiFrame(body) : krv::rtuFrame(body);
}

inline QByteArray lastSent(const MemoryPort &port)
{
    return port.sent().isEmpty() ? QByteArray() : port.sent().constLast();
}

// Hands a frame to the port in about `chunks` pieces.
inline void deliver(MemoryPort &port, const QByteArray &frame, int chunks = 1)
{
    const int step = qMax(1, static_cast<int>(frame.size()) / qMax(1, chunks));
    for (int i = 0; i < frame.size(); i += step)
        port.receive(frame.mid(i, step));
}

// The RTU request bodies sent so far, without check bytes, as hex text.
inline QStringList sentBodies(const MemoryPort &port)
{
    QStringList out;
    for (const QByteArray &f : port.sent())
        out << QString::fromLatin1(krv::hexBytes(f.left(f.size() - 2)));
    return out;
}

// A register or bit reply body: station, function, byte count, 16-bit values.
inline QByteArray registersBody(quint8 station, quint8 function, const QList<int> &values)
{
    QByteArray b;
    b.append(char(station)).append(char(function)).append(char(2 * values.size()));
    for (int v : values)
        b.append(char((v >> 8) & 0xFF)).append(char(v & 0xFF));
    return b;
}

} // namespace testsupport
