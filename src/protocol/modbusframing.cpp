#include "modbusframing.h"

namespace krv {

quint16 modbusCrc16(QByteArrayView bytes)
{
    quint16 crc = 0xFFFF;
    for (char c : bytes) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<quint16>((crc >> 1) ^ 0xA001)
                            : static_cast<quint16>(crc >> 1);
    }
    return crc;
}

quint8 modbusLrc(QByteArrayView bytes)
{
    quint8 sum = 0;
    for (char c : bytes)
        sum = static_cast<quint8>(sum + static_cast<quint8>(c));
    return static_cast<quint8>(-sum);
}

QByteArray asciiFrame(QByteArrayView body)
{
    QByteArray out;
    out.reserve(2 * body.size() + 5);
    out.append(':');
    out.append(hexBytes(body));
    const quint8 lrc = modbusLrc(body);
    out.append(hexDigit(lrc >> 4));
    out.append(hexDigit(lrc));
    out.append("\r\n");
    return out;
}

QByteArray rtuFrame(QByteArrayView body)
{
    QByteArray out(body.data(), body.size());
    const quint16 crc = modbusCrc16(body);
    out.append(static_cast<char>(crc & 0xFF));
    out.append(static_cast<char>(crc >> 8));
    return out;
}

namespace {
// The first n bytes of the buffer, never past its end.
QByteArrayView head(const FrameBuffer &frame, int n)
{
    const int len = qBound(0, n, static_cast<int>(frame.bytes.size()));
    return QByteArrayView(frame.bytes.constData(), len);
}

int digitValue(quint8 c)
{
    // Upper-case digits only, as the modules send them; other characters give
    // wrong values and, as a rule, an LRC failure.
    return c >= 0x41 ? c - 0x37 : c - 0x30;
}
} // namespace

void computeCrc(FrameBuffer &frame)
{
    frame.checksum = modbusCrc16(head(frame, frame.length));
}

void frameAsAscii(FrameBuffer &frame)
{
    const QByteArrayView body = head(frame, frame.length);
    qint32 sum = 0;
    for (char c : body)
        sum -= static_cast<quint8>(c);
    QByteArray ascii = asciiFrame(body);
    frame.checksum = sum;
    frame.length = static_cast<qint16>(2 * body.size() + 4);
    frame.bytes = std::move(ascii);
    frame.replyLength = static_cast<qint16>(2 * frame.replyLength + 1);
}

void decodeAscii(FrameBuffer &frame)
{
    const int received =
        qBound(0, static_cast<int>(frame.length), static_cast<int>(frame.bytes.size()));
    const int n = received >= 3 ? (received - 3) / 2 : 0;
    if (received < 3 || frame.bytes.at(0) != ':') {
        frame.checksum = 255;
        frame.length = static_cast<qint16>(n);
        return;
    }
    quint8 sum = 0;
    for (int k = 0; k < n; ++k) {
        const int hi = digitValue(static_cast<quint8>(frame.bytes.at(2 * k + 1)));
        const int lo = digitValue(static_cast<quint8>(frame.bytes.at(2 * k + 2)));
        const quint8 b = static_cast<quint8>((hi * 16 + lo) & 0xFF);
        frame.bytes[k] = static_cast<char>(b);
        sum = static_cast<quint8>(sum + b);
    }
    frame.checksum = sum;
    frame.length = static_cast<qint16>(n);
}

void frameRequest(FrameBuffer &frame, bool ascii)
{
    // A builder always leaves requestLength bytes; keep the buffer exactly that
    // long so a stray length can never make us transmit or index past it.
    if (frame.requestLength < 2)
        frame.requestLength = 2;
    frame.bytes.resize(frame.requestLength);
    frame.length = static_cast<qint16>(frame.requestLength - 2);
    if (ascii) {
        frameAsAscii(frame);
        return;
    }
    computeCrc(frame);
    frame.bytes[frame.requestLength - 2] = static_cast<char>(frame.checksum & 0xFF);
    frame.bytes[frame.requestLength - 1] = static_cast<char>((frame.checksum / 256) & 0xFF);
    frame.length = static_cast<qint16>(frame.length + 2);
}

bool unframeReply(FrameBuffer &frame, bool ascii)
{
    if (ascii)
        decodeAscii(frame);
    else
        computeCrc(frame);
    return frame.checksum == 0;
}

bool frameIntact(QByteArrayView received, bool ascii)
{
    if (!ascii)
        return !received.isEmpty() && modbusCrc16(received) == 0;
    FrameBuffer frame;
    frame.bytes = received.toByteArray();
    frame.length = static_cast<qint16>(qMin<qsizetype>(received.size(), 0x7FFF));
    decodeAscii(frame);
    return frame.checksum == 0;
}

qsizetype firstFrameLength(QByteArrayView received, bool ascii)
{
    constexpr qsizetype MaxAsciiFrame = 513; // ":" + 2 x 255 digits + CR LF
    if (ascii) {
        const qsizetype lf = received.indexOf('\n');
        if (lf >= 0)
            return lf + 1;
        return received.size() >= MaxAsciiFrame ? received.size() : 0;
    }
    if (received.size() < 2)
        return 0;
    const quint8 function = static_cast<quint8>(received[1]);
    if (function & 0x80)
        return 5; // address, function, exception code, CRC
    switch (function) {
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
    case 0x11:
        return received.size() < 3 ? 0 : 5 + static_cast<quint8>(received[2]);
    case 0x05:
    case 0x06:
    case 0x0F:
    case 0x10:
        return 8;
    default:
        return received.size();
    }
}

} // namespace krv
