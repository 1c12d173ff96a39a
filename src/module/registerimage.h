#pragma once
// Register values as they travel in Modbus frames: 16 bits, high byte first.

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

#include <span>

namespace krv {

// One value to its two bytes: the 16-bit two's-complement image, so values
// below zero are taken modulo 65536 and 32768..65535 give their unsigned image.
void packRegister(qint32 v, quint8 &high, quint8 &low);
// Two register bytes to a value in -32768..32767.
qint16 unpackRegister(quint8 high, quint8 low);

// A block of registers in ascending order, two bytes each.
QByteArray packRegisters(std::span<const qint32> values);
// The registers of `bytes` (two each, ascending) into `values`; only as many
// as both hold.
void unpackRegisters(QByteArrayView bytes, std::span<qint32> values);

} // namespace krv
