#pragma once
// The one frame buffer every window shares, and the module slot table that says
// which station address and framing each module slot uses.

#include <QByteArray>
#include <QtGlobal>

#include <array>

namespace krv {

constexpr qint16 True16 = -1; // 16-bit booleans: true is -1, false is 0
constexpr qint16 False16 = 0;

struct FrameBuffer
{
    QByteArray CommBuf;  // what is transmitted, then what was received
    qint16 CommLen = 0;  // byte count the current step works on
    qint32 CheckSum = 0; // CRC-16 or LRC; 0 after a reply check means intact
    qint16 FrameLen = 0; // request length in RTU form (body + 2 CRC bytes)
    qint16 ReplyLen = 0; // expected reply length (RTU form, ASCII after framing)
};

struct ModuleSlots
{
    static constexpr int Count = 513; // slots 0..512
    qint16 ModIndex = 0;
    std::array<qint16, Count> ModAddress{};
    std::array<qint16, Count> AsciiMode{}; // True16 = Modbus ASCII

    static bool validIndex(int i) { return i >= 0 && i < Count; }
    // Slot accessors clamp a stray index instead of reading past the table.
    qint16 &address() { return ModAddress[clamped()]; }
    qint16 &ascii() { return AsciiMode[clamped()]; }
    bool isAscii() const { return AsciiMode[clamped()] != False16; }

private:
    int clamped() const { return validIndex(ModIndex) ? ModIndex : 0; }
};

} // namespace krv
