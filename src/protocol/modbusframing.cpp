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

int checkFieldLength(Framing framing)
{
    switch (framing) {
    case Framing::Rtu:
        return 2;
    case Framing::Ascii:
        return 1;
    case Framing::Mbap:
        return 0;
    }
    return 0;
}

int framedReplyLength(int rtuLength, Framing framing)
{
    switch (framing) {
    case Framing::Rtu:
        return rtuLength;
    case Framing::Ascii:
        return 2 * rtuLength + 1; // ":" + two digits a byte (the LRC for the CRC) + CR LF
    case Framing::Mbap:
        return rtuLength - 2 + MbapHeaderLength; // the header for the CRC
    }
    return rtuLength;
}

QByteArray mbapFrame(quint16 transactionId, QByteArrayView body)
{
    QByteArray out;
    out.reserve(MbapHeaderLength + body.size());
    out.append(static_cast<char>(transactionId >> 8));
    out.append(static_cast<char>(transactionId & 0xFF));
    out.append(2, '\0'); // protocol 0: Modbus
    out.append(static_cast<char>((body.size() >> 8) & 0xFF));
    out.append(static_cast<char>(body.size() & 0xFF));
    out.append(body.data(), body.size());
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

void frameRequest(FrameBuffer &frame, Framing framing)
{
    // A builder always leaves requestLength bytes; keep the buffer exactly that
    // long so a stray length can never make us transmit or index past it.
    if (frame.requestLength < 2)
        frame.requestLength = 2;
    frame.bytes.resize(frame.requestLength);
    frame.length = static_cast<qint16>(frame.requestLength - 2);
    if (framing == Framing::Ascii) {
        frameAsAscii(frame);
        return;
    }
    if (framing == Framing::Mbap) {
        frame.bytes =
            mbapFrame(frame.transactionId, QByteArrayView(frame.bytes).first(frame.length));
        frame.length = static_cast<qint16>(frame.bytes.size());
        frame.replyLength = static_cast<qint16>(framedReplyLength(frame.replyLength, framing));
        return;
    }
    computeCrc(frame);
    frame.bytes[frame.requestLength - 2] = static_cast<char>(frame.checksum & 0xFF);
    frame.bytes[frame.requestLength - 1] = static_cast<char>((frame.checksum / 256) & 0xFF);
    frame.length = static_cast<qint16>(frame.length + 2);
}

namespace {
// A Modbus TCP frame's body moved to the front; checksum 0 when the header is
// one of protocol 0 whose length is the bytes that follow it.
void decodeMbap(FrameBuffer &frame)
{
    const int received =
        qBound(0, static_cast<int>(frame.length), static_cast<int>(frame.bytes.size()));
    const QByteArrayView bytes(frame.bytes.constData(), received);
    const auto byte = [&](int i) { return static_cast<quint8>(bytes[i]); };
    if (received < MbapHeaderLength + 2 || byte(2) != 0 || byte(3) != 0 ||
        (byte(4) << 8 | byte(5)) != received - MbapHeaderLength) {
        frame.checksum = 255;
        return;
    }
    frame.transactionId = static_cast<quint16>(byte(0) << 8 | byte(1));
    frame.bytes = frame.bytes.mid(MbapHeaderLength, received - MbapHeaderLength);
    frame.length = static_cast<qint16>(frame.bytes.size());
    frame.checksum = 0;
}
} // namespace

bool unframeReply(FrameBuffer &frame, Framing framing)
{
    switch (framing) {
    case Framing::Ascii:
        decodeAscii(frame);
        break;
    case Framing::Rtu:
        computeCrc(frame);
        break;
    case Framing::Mbap:
        decodeMbap(frame);
        break;
    }
    return frame.checksum == 0;
}

bool frameIntact(QByteArrayView received, Framing framing)
{
    if (framing == Framing::Rtu)
        return !received.isEmpty() && modbusCrc16(received) == 0;
    FrameBuffer frame;
    frame.bytes = received.toByteArray();
    frame.length = static_cast<qint16>(qMin<qsizetype>(received.size(), 0x7FFF));
    return unframeReply(frame, framing);
}

qsizetype firstFrameLength(QByteArrayView received, Framing framing)
{
    constexpr qsizetype MaxAsciiFrame = 513; // ":" + 2 x 255 digits + CR LF
    if (framing == Framing::Mbap) {
        if (received.size() < MbapHeaderLength)
            return 0;
        return MbapHeaderLength +
               (static_cast<quint8>(received[4]) << 8 | static_cast<quint8>(received[5]));
    }
    if (framing == Framing::Ascii) {
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
