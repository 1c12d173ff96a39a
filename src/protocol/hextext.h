#pragma once
// Bytes as hexadecimal text and back: the one place that spells a byte as two
// digits, for the frames the windows show, the traffic monitor and the
// simulator's log.

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace krv {

// Upper-case hexadecimal digit of a nibble 0..15 (higher bits are ignored).
char hexDigit(int nibble);
// Value 0..15 of a hexadecimal digit in either case; -1 for any other character.
int hexValue(char c);
// Two upper-case digits per byte, `separator` between bytes: "010300000008440C"
// with none, "01 03 00 00" with a blank.
QString hexText(QByteArrayView bytes, QStringView separator = {});
QByteArray hexBytes(QByteArrayView bytes, char separator = 0);
// The bytes that pairs of hexadecimal digits (either case) spell, up to the
// first character that is not a digit; `whole` tells whether that was all of
// `digits` (an even number of them, every one a digit).
QByteArray bytesFromHex(QByteArrayView digits, bool *whole = nullptr);

} // namespace krv
