#include "mbap.h"

#include "linecodec.h"
#include "simlog.h"

namespace sim {

namespace {

quint16 word(QByteArrayView b, int i)
{
    return static_cast<quint16>(static_cast<quint8>(b[i]) << 8 | static_cast<quint8>(b[i + 1]));
}

void appendWord(QByteArray &out, quint16 v)
{
    out.append(static_cast<char>(v >> 8));
    out.append(static_cast<char>(v & 0xFF));
}

} // namespace

QList<MbapRequest> MbapReceiver::feed(QByteArrayView bytes)
{
    m_buf.append(bytes);
    QList<MbapRequest> out;
    while (m_buf.size() >= kHeader) {
        const quint16 protocol = word(m_buf, 2);
        const int length = word(m_buf, 4);
        if (length < kMinLength || length > kMaxLength) {
            logLine(2, "[MBAP] ignored (length " + QByteArray::number(length) +
                           ", no frame to be found after it): " + logText(m_buf, Framing::Rtu));
            m_buf.clear();
            break;
        }
        if (m_buf.size() < kHeader + length)
            break;
        const QByteArray frame = m_buf.left(kHeader + length);
        m_buf.remove(0, kHeader + length);
        if (protocol != 0) {
            logLine(2, "[MBAP] ignored (protocol id " + QByteArray::number(protocol) +
                           "): " + logText(frame, Framing::Rtu));
            continue;
        }
        out.append({word(frame, 0), frame.mid(kHeader)});
    }
    return out;
}

QByteArray mbapFrame(quint16 transactionId, QByteArrayView body)
{
    QByteArray out;
    appendWord(out, transactionId);
    appendWord(out, 0);
    appendWord(out, static_cast<quint16>(body.size()));
    out.append(body);
    return out;
}

} // namespace sim
