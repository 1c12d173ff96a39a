#include "hextext.h"

namespace krv {

char hexDigit(int nibble)
{
    nibble &= 0x0F;
    return static_cast<char>(nibble < 10 ? '0' + nibble : 'A' + nibble - 10);
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

QByteArray hexBytes(QByteArrayView bytes, char separator)
{
    QByteArray out;
    out.reserve(bytes.size() * (separator ? 3 : 2));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (separator && i > 0)
            out.append(separator);
        const auto b = static_cast<quint8>(bytes[i]);
        out.append(hexDigit(b >> 4));
        out.append(hexDigit(b));
    }
    return out;
}

QByteArray bytesFromHex(QByteArrayView digits, bool *whole)
{
    QByteArray out;
    out.reserve(digits.size() / 2);
    qsizetype i = 0;
    for (; i + 1 < digits.size(); i += 2) {
        const int hi = hexValue(digits[i]);
        const int lo = hexValue(digits[i + 1]);
        if (hi < 0 || lo < 0)
            break;
        out.append(static_cast<char>(hi << 4 | lo));
    }
    if (whole)
        *whole = i == digits.size();
    return out;
}

QString hexText(QByteArrayView bytes, QStringView separator)
{
    QString out;
    out.reserve(bytes.size() * (2 + separator.size()));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            out.append(separator);
        const auto b = static_cast<quint8>(bytes[i]);
        out.append(QLatin1Char(hexDigit(b >> 4)));
        out.append(QLatin1Char(hexDigit(b)));
    }
    return out;
}

} // namespace krv
