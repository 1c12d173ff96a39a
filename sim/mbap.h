#pragma once
// Modbus TCP framing (MBAP): a 7-byte header (transaction id, protocol id 0, length
// of what follows, unit id) and the PDU, with no check field. The unit id is the
// station address, so the header's unit id and the PDU together are exactly the
// request body a module takes from a serial frame.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace sim {

struct MbapRequest
{
    quint16 transactionId = 0;
    QByteArray body; // unit id (station address), function code, data
};

// Cuts the byte stream from a Modbus TCP client into requests. A frame with a
// protocol id other than 0 is skipped whole; a length that no frame can have (below
// 2: unit id and function code, above 254: a 253-byte PDU) leaves no way to find the
// next frame, so everything received up to then is thrown away. Both are logged at
// level 2.
class MbapReceiver
{
public:
    static constexpr int kHeader = 6; // transaction id, protocol id, length
    static constexpr int kMinLength = 2;
    static constexpr int kMaxLength = 254;

    QList<MbapRequest> feed(QByteArrayView bytes);
    // Forgets a partly received frame (the client went away).
    void reset() { m_buf.clear(); }
    qsizetype pending() const { return m_buf.size(); }

private:
    QByteArray m_buf;
};

// The frame of a reply body (unit id and PDU) for transaction transactionId.
QByteArray mbapFrame(quint16 transactionId, QByteArrayView body);

} // namespace sim
