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

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

char hexDigit(int nibble)
{
    nibble &= 0x0F;
    return static_cast<char>(nibble < 10 ? nibble + 0x30 : nibble + 0x37);
}

QByteArray asciiFrame(QByteArrayView body)
{
    QByteArray out;
    out.reserve(2 * body.size() + 5);
    out.append(':');
    auto put = [&out](quint8 b) {
        out.append(hexDigit(b >> 4));
        out.append(hexDigit(b));
    };
    for (char c : body)
        put(static_cast<quint8>(c));
    put(modbusLrc(body));
    out.append('\r');
    out.append('\n');
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
// The first n bytes of CommBuf, never past its end.
QByteArrayView head(const FrameBuffer &fb, int n)
{
    const int len = qBound(0, n, static_cast<int>(fb.CommBuf.size()));
    return QByteArrayView(fb.CommBuf.constData(), len);
}

int digitValue(quint8 c)
{
    // Upper-case digits only, as the modules send them; other characters give
    // wrong values and, as a rule, an LRC failure.
    return c >= 0x41 ? c - 0x37 : c - 0x30;
}
} // namespace

void CalcCRC(FrameBuffer &fb, ModuleSlots &mods)
{
    fb.CheckSum = modbusCrc16(head(fb, fb.CommLen));
    mods.ascii() = False16;
}

void RtuToAscii(FrameBuffer &fb, ModuleSlots &mods)
{
    const QByteArrayView body = head(fb, fb.CommLen);
    qint32 sum = 0;
    for (char c : body)
        sum -= static_cast<quint8>(c);
    QByteArray frame = asciiFrame(body);
    fb.CheckSum = sum;
    fb.CommLen = static_cast<qint16>(2 * body.size() + 4);
    fb.CommBuf = std::move(frame);
    mods.ascii() = True16;
    fb.ReplyLen = static_cast<qint16>(2 * fb.ReplyLen + 1);
}

void AsciiToRtu(FrameBuffer &fb)
{
    const int received =
        qBound(0, static_cast<int>(fb.CommLen), static_cast<int>(fb.CommBuf.size()));
    const int n = received >= 3 ? (received - 3) / 2 : 0;
    if (received < 3 || fb.CommBuf.at(0) != ':') {
        fb.CheckSum = 255;
        fb.CommLen = static_cast<qint16>(n);
        return;
    }
    quint8 sum = 0;
    for (int k = 0; k < n; ++k) {
        const int hi = digitValue(static_cast<quint8>(fb.CommBuf.at(2 * k + 1)));
        const int lo = digitValue(static_cast<quint8>(fb.CommBuf.at(2 * k + 2)));
        const quint8 b = static_cast<quint8>((hi * 16 + lo) & 0xFF);
        fb.CommBuf[k] = static_cast<char>(b);
        sum = static_cast<quint8>(sum + b);
    }
    fb.CheckSum = sum;
    fb.CommLen = static_cast<qint16>(n);
}

void frameRequest(FrameBuffer &fb, ModuleSlots &mods)
{
    // A builder always leaves FrameLen bytes; keep the buffer exactly that long
    // so a stray length can never make us transmit or index past it.
    if (fb.FrameLen < 2)
        fb.FrameLen = 2;
    fb.CommBuf.resize(fb.FrameLen);
    fb.CommLen = static_cast<qint16>(fb.FrameLen - 2);
    if (!mods.isAscii()) {
        CalcCRC(fb, mods);
        fb.CommBuf[fb.FrameLen - 2] = static_cast<char>(fb.CheckSum & 0xFF);
        fb.CommBuf[fb.FrameLen - 1] = static_cast<char>((fb.CheckSum / 256) & 0xFF);
        fb.CommLen = static_cast<qint16>(fb.CommLen + 2);
    } else {
        RtuToAscii(fb, mods);
    }
}

bool frameIntact(QByteArrayView received, bool ascii)
{
    if (!ascii)
        return !received.isEmpty() && modbusCrc16(received) == 0;
    FrameBuffer fb;
    fb.CommBuf = received.toByteArray();
    fb.CommLen = static_cast<qint16>(qMin<qsizetype>(received.size(), 0x7FFF));
    AsciiToRtu(fb);
    return fb.CheckSum == 0;
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

bool unframeReply(FrameBuffer &fb, ModuleSlots &mods)
{
    if (!mods.isAscii())
        CalcCRC(fb, mods);
    else
        AsciiToRtu(fb);
    return fb.CheckSum == 0;
}

} // namespace krv
