#include "linecodec.h"

#include "protocol/modbusframing.h"

namespace sim {

namespace {

// The receive buffer never needs more than two of the longest frames.
constexpr int kMaxBuffer = 2 * 256;

} // namespace

RtuReceiver::RtuReceiver(int baud) : m_silenceUs(silenceUs(baud)) {}

qint64 RtuReceiver::silenceUs(int baud)
{
    if (baud > 19200 || baud <= 0)
        return 1750;
    return 35LL * 1000000 / baud;
}

int RtuReceiver::requestLength(QByteArrayView b)
{
    if (b.size() < 2)
        return 0;
    const auto byteAt = [&](int i) { return static_cast<quint8>(b[i]); };
    switch (byteAt(1)) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x06:
    case 0x08:
        return 8;
    case 0x07:
    case 0x0B:
    case 0x0C:
    case 0x11:
        return 4;
    case 0x0F:
    case 0x10:
        return b.size() < 7 ? 0 : 9 + byteAt(6);
    case 0x14:
    case 0x15:
        return b.size() < 3 ? 0 : 5 + byteAt(2);
    case 0x16:
        return 10;
    case 0x17:
        return b.size() < 11 ? 0 : 13 + byteAt(10);
    case 0x18:
        return 6;
    default:
        return -1;
    }
}

QList<QByteArray> RtuReceiver::feed(QByteArrayView bytes, qint64 nowUs)
{
    QList<QByteArray> out;
    if (!m_buf.isEmpty() && nowUs - m_last >= m_silenceUs)
        out += expire(nowUs);
    m_buf.append(bytes.data(), bytes.size());
    m_last = nowUs;
    scan(out);
    if (m_buf.size() > kMaxBuffer) {
        const qsizetype excess = m_buf.size() - kMaxBuffer / 2;
        m_ignored += m_buf.left(excess);
        m_buf.remove(0, excess);
    }
    return out;
}

// The first offset at which a complete frame with a good CRC starts wins; the bytes
// before it are garbage. A frame that is still arriving keeps the buffer waiting.
void RtuReceiver::scan(QList<QByteArray> &out)
{
    bool found = true;
    while (found) {
        found = false;
        for (qsizetype s = 0; s + 4 <= m_buf.size(); ++s) {
            const QByteArrayView rest = QByteArrayView(m_buf).sliced(s);
            const int len = requestLength(rest);
            if (len <= 0 || len > rest.size() || krv::modbusCrc16(rest.first(len)) != 0)
                continue;
            m_ignored += m_buf.left(s);
            out.append(m_buf.mid(s, len - 2));
            m_buf.remove(0, s + len);
            found = true;
            break;
        }
    }
}

qint64 RtuReceiver::deadline() const
{
    return m_buf.isEmpty() ? 0 : m_last + m_silenceUs;
}

QList<QByteArray> RtuReceiver::expire(qint64)
{
    QList<QByteArray> out;
    // A function the receiver cannot size ends with the silence after it.
    if (m_buf.size() >= 4 && krv::modbusCrc16(m_buf) == 0)
        out.append(m_buf.chopped(2));
    else
        m_ignored += m_buf;
    m_buf.clear();
    return out;
}

void RtuReceiver::reset()
{
    m_ignored += m_buf;
    m_buf.clear();
}

QList<QByteArray> AsciiReceiver::feed(QByteArrayView bytes, qint64 nowUs)
{
    QList<QByteArray> out;
    if (!m_frame.isEmpty() && nowUs - m_last >= kTimeoutUs)
        reset();
    m_last = nowUs;
    for (char c : bytes) {
        if (c == ':') {
            m_ignored += m_frame;
            m_frame = ":";
        } else if (m_frame.isEmpty()) {
            m_ignored += c;
        } else {
            m_frame += c;
            if (c == '\n')
                finish(out);
            else if (m_frame.size() >= kMaxFrame)
                reset();
        }
    }
    return out;
}

void AsciiReceiver::finish(QList<QByteArray> &out)
{
    const QByteArray frame = std::exchange(m_frame, {});
    // ":" + at least address, function and LRC in hex + CR LF
    const qsizetype digits = frame.size() - 3;
    bool good = frame.endsWith("\r\n") && digits >= 6;
    bool whole = false;
    const QByteArray bytes =
        good ? krv::bytesFromHex(QByteArrayView(frame).sliced(1, digits), &whole) : QByteArray();
    if (good && whole && krv::modbusLrc(bytes) == 0)
        out.append(bytes.chopped(1));
    else
        m_ignored += frame;
}

qint64 AsciiReceiver::deadline() const
{
    return m_frame.isEmpty() ? 0 : m_last + kTimeoutUs;
}

QList<QByteArray> AsciiReceiver::expire(qint64)
{
    reset();
    return {};
}

void AsciiReceiver::reset()
{
    m_ignored += m_frame;
    m_frame.clear();
}

std::unique_ptr<FrameReceiver> makeReceiver(Framing framing, int baud)
{
    if (framing == Framing::Ascii)
        return std::make_unique<AsciiReceiver>();
    return std::make_unique<RtuReceiver>(baud);
}

QByteArray frameReply(QByteArrayView body, Framing framing, bool lowercase, bool badCheck)
{
    if (framing == Framing::Rtu) {
        QByteArray f = krv::rtuFrame(body);
        if (badCheck)
            f[f.size() - 2] = static_cast<char>(f[f.size() - 2] ^ 0xFF);
        return f;
    }
    QByteArray f = krv::asciiFrame(body);
    if (badCheck) {
        const quint8 wrong = static_cast<quint8>(krv::modbusLrc(body) + 1);
        f[f.size() - 4] = krv::hexDigit(wrong >> 4);
        f[f.size() - 3] = krv::hexDigit(wrong);
    }
    return lowercase ? f.toLower() : f;
}

QByteArray logText(QByteArrayView bytes, Framing framing)
{
    if (framing == Framing::Rtu)
        return krv::hexBytes(bytes, ' ');
    QByteArray text;
    for (char c : bytes) {
        if (c == '\r')
            text += "\\r";
        else if (c == '\n')
            text += "\\n";
        else if (c >= 0x20 && c < 0x7F)
            text += c;
        else
            text += "\\x" + QByteArray::number(static_cast<quint8>(c), 16).rightJustified(2, '0');
    }
    return text;
}

} // namespace sim
