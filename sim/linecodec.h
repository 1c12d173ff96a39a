#pragma once
// A module's receiver and transmitter framing. The receivers cut the byte stream
// from the master into request frames the way a module's firmware does it and hand
// on only frames whose check is good, with the check removed:
// - RTU: a frame's length follows from its function code (and, for the writes of
//   many values, its byte count). After garbage the receiver finds the next good
//   frame at a later offset; 3.5 character times of silence end whatever is pending
//   (a frame of a function it cannot size is accepted there if its CRC is good).
// - ASCII: a frame runs from ":" to CR LF; a new ":" starts over; one second without
//   a character drops a started frame.

#include "modulemodel.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <memory>
#include <utility>

namespace sim {

class FrameReceiver
{
public:
    virtual ~FrameReceiver() = default;
    // Takes bytes received at nowUs (monotonic microseconds); returns the bodies of
    // the frames they completed.
    virtual QList<QByteArray> feed(QByteArrayView bytes, qint64 nowUs) = 0;
    // When the pending bytes run out of time; 0 when nothing is pending.
    virtual qint64 deadline() const = 0;
    // Called at or after the deadline.
    virtual QList<QByteArray> expire(qint64 nowUs) = 0;
    virtual void reset() = 0;
    // Bytes thrown away since the last call (for the log).
    QByteArray takeIgnored() { return std::exchange(m_ignored, {}); }

protected:
    QByteArray m_ignored;
};

class RtuReceiver : public FrameReceiver
{
public:
    explicit RtuReceiver(int baud);
    QList<QByteArray> feed(QByteArrayView bytes, qint64 nowUs) override;
    qint64 deadline() const override;
    QList<QByteArray> expire(qint64 nowUs) override;
    void reset() override;

    // Length of the request frame starting at bytes[0] with its CRC: > 0 when known,
    // 0 when more bytes are needed to tell, -1 for a function that cannot be sized.
    static int requestLength(QByteArrayView bytes);
    // 3.5 character times at 10 bits per character; 1.75 ms above 19200 baud.
    static qint64 silenceUs(int baud);

private:
    void scan(QList<QByteArray> &out);

    QByteArray m_buf;
    qint64 m_last = 0;
    qint64 m_silenceUs;
};

class AsciiReceiver : public FrameReceiver
{
public:
    static constexpr qint64 kTimeoutUs = 1000000;
    static constexpr int kMaxFrame = 513;

    QList<QByteArray> feed(QByteArrayView bytes, qint64 nowUs) override;
    qint64 deadline() const override;
    QList<QByteArray> expire(qint64 nowUs) override;
    void reset() override;

private:
    void finish(QList<QByteArray> &out);

    QByteArray m_frame; // from ":" on; empty while waiting for ":"
    qint64 m_last = 0;
};

std::unique_ptr<FrameReceiver> makeReceiver(Framing framing, int baud);

// A reply body framed for the line; lowercase writes the ASCII hex digits in lower
// case, badCheck spoils the CRC or LRC.
QByteArray frameReply(QByteArrayView body, Framing framing, bool lowercase = false,
                      bool badCheck = false);

// Frame text for the log: hex bytes for RTU, the characters for ASCII (CR LF shown
// as \r\n).
QByteArray logText(QByteArrayView bytes, Framing framing);

} // namespace sim
