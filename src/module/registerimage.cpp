#include "registerimage.h"

namespace krv {

void packRegister(qint32 v, quint8 &high, quint8 &low)
{
    const quint32 u = static_cast<quint32>(v) & 0xFFFFu;
    high = static_cast<quint8>(u >> 8);
    low = static_cast<quint8>(u & 0xFF);
}

qint16 unpackRegister(quint8 high, quint8 low)
{
    return static_cast<qint16>(static_cast<quint16>(high << 8 | low));
}

QByteArray packRegisters(std::span<const qint32> values)
{
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(2 * values.size()));
    for (qint32 v : values) {
        quint8 high = 0;
        quint8 low = 0;
        packRegister(v, high, low);
        bytes.append(static_cast<char>(high));
        bytes.append(static_cast<char>(low));
    }
    return bytes;
}

void unpackRegisters(QByteArrayView bytes, std::span<qint32> values)
{
    const std::size_t n = std::min(values.size(), static_cast<std::size_t>(bytes.size() / 2));
    for (std::size_t k = 0; k < n; ++k)
        values[k] = unpackRegister(static_cast<quint8>(bytes[2 * k]),
                                   static_cast<quint8>(bytes[2 * k + 1]));
}

} // namespace krv
