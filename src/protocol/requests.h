#pragma once
// Requests and replies: the one place that knows how a Modbus request is laid
// out, which reply length it implies, and how the bytes and registers of a
// checked reply are reached. Every window builds its requests with
// buildRequest and reads its replies through ReplyReader, so no caller passes
// lengths by hand or assembles bytes itself.

#include "protocol/framebuffer.h"

#include <QByteArray>
#include <QByteArrayView>

namespace krv {

// Function codes the tool uses.
namespace Fn {
constexpr quint8 ReadCoils = 0x01;
constexpr quint8 ReadInputs = 0x02;
constexpr quint8 ReadHolding = 0x03;
constexpr quint8 ReadInputRegisters = 0x04;
constexpr quint8 WriteCoil = 0x05;
constexpr quint8 WriteRegister = 0x06;
constexpr quint8 WriteRegisters = 0x10;
constexpr quint8 ReportId = 0x11;
constexpr quint8 ExceptionBit = 0x80;
} // namespace Fn

// Length in RTU form of the reply to a request: 5 + 2n for register reads,
// 5 + ceil(n/8) for coil and input reads, 8 for the echo of a write, and the
// identifier reply (address, function, byte count, 14 identifier bytes, two
// version bytes, CRC) for 0x11.
qint16 replyLengthFor(quint8 function, quint16 count);

// One request as built: its body (station, function, start and count, then
// for a write of several registers the byte count and the payload) without
// the check field, and the length in RTU form its reply will have.
struct Request
{
    QByteArray body;
    qint16 replyLength = 0;

    quint8 station() const { return byte(0); }
    quint8 function() const { return byte(1); }
    quint16 start() const { return static_cast<quint16>(byte(2) << 8 | byte(3)); }
    // The register or coil count; for a single write (05, 06) the value.
    quint16 count() const { return static_cast<quint16>(byte(4) << 8 | byte(5)); }
    bool isEmpty() const { return body.isEmpty(); }

private:
    quint8 byte(int i) const { return i < body.size() ? static_cast<quint8>(body[i]) : quint8(0); }
};

// The request for station, function, start and count (for single writes, 05
// and 06, `count` is the value written) and, for a write of several
// registers, their bytes. The identifier request (0x11) is only station and
// function.
Request buildRequest(quint8 station, quint8 function, quint16 start = 0, quint16 count = 0,
                     QByteArrayView payload = {});
// Puts a request into a frame buffer as framing expects it: the body, then two
// zero bytes for the check field; sets requestLength and replyLength.
void loadRequest(FrameBuffer &frame, const Request &request);

// Read access to a checked reply: station at 0, function at 1, byte count at 2,
// data from 3, in both framings. The check field is not part of the body, and
// nothing outside the body is ever read (such bytes read as 0).
class ReplyReader
{
public:
    // The frame buffer after unframing: `length` bytes, the last one (ASCII,
    // LRC) or two (RTU, CRC) of them the check field (none on Modbus TCP).
    ReplyReader(const FrameBuffer &frame, int checkLength);
    // A frame in RTU form (body and CRC), or any bytes with a check field of the
    // given length.
    ReplyReader(QByteArrayView frame, int checkLength);

    int size() const { return static_cast<int>(m_body.size()); }
    bool has(int n) const { return size() >= n; }
    quint8 byte(int i) const;
    QByteArrayView bytes(int from, int n) const;

    quint8 station() const { return byte(0); }
    quint8 function() const { return byte(1); }
    quint8 byteCount() const { return byte(2); }
    // Data register k (bytes 3 + 2k and 4 + 2k), high byte first.
    quint16 unsignedRegister(int k) const;
    qint16 signedRegister(int k) const { return static_cast<qint16>(unsignedRegister(k)); }

private:
    QByteArrayView m_body;
};

// How a checked reply relates to the request it is meant to answer.
enum class ReplyMatch {
    Answer,    // station, function and byte count (or echo) fit the request
    Exception, // the module refused the request: its exception form
    Foreign,   // another station, another function, another length or echo
};
// Confirms a reply against its request: the station; the function or its
// exception form; for reads the byte count the request asked for; for writes
// the echoed register and value or count. An identifier reply (0x11) is
// confirmed by station and function only.
ReplyMatch confirmReply(const Request &request, const ReplyReader &reply);
// True when one intact, non-exception reply could answer both requests: the
// same station and function and, for reads, the same count; for writes the
// same register and count or value (their echo).
bool repliesAlike(const Request &a, const Request &b);

} // namespace krv
