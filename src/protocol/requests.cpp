#include "requests.h"

#include <algorithm>

namespace krv {

qint16 replyLengthFor(quint8 function, quint16 count)
{
    switch (function) {
    case Fn::ReadCoils:
    case Fn::ReadInputs:
        return static_cast<qint16>(5 + (count + 7) / 8);
    case Fn::ReadHolding:
    case Fn::ReadInputRegisters:
        return static_cast<qint16>(5 + 2 * count);
    case Fn::ReportId:
        return 21;
    default:
        return 8; // writes are echoed: address, function, register, count or value, CRC
    }
}

void buildRequest(FrameBuffer &fb, quint8 station, quint8 function, quint16 start, quint16 count,
                  QByteArrayView payload)
{
    QByteArray body;
    body.reserve(9 + payload.size());
    body.append(static_cast<char>(station));
    body.append(static_cast<char>(function));
    if (function != Fn::ReportId) {
        body.append(static_cast<char>(start >> 8));
        body.append(static_cast<char>(start & 0xFF));
        body.append(static_cast<char>(count >> 8));
        body.append(static_cast<char>(count & 0xFF));
        if (function == Fn::WriteRegisters) {
            body.append(static_cast<char>(payload.size() & 0xFF));
            body.append(payload.data(), payload.size());
        }
    }
    body.append(2, '\0'); // the check field, filled in by framing
    fb.CommBuf = std::move(body);
    fb.FrameLen = static_cast<qint16>(fb.CommBuf.size());
    fb.ReplyLen = replyLengthFor(function, count);
}

ReplyReader::ReplyReader(const FrameBuffer &fb, bool ascii)
    : ReplyReader(
          QByteArrayView(fb.CommBuf.constData(), qBound(0, static_cast<int>(fb.CommLen),
                                                        static_cast<int>(fb.CommBuf.size()))),
          checkLength(ascii))
{}

ReplyReader::ReplyReader(QByteArrayView frame, int checkLength)
    : m_body(frame.first(qMax<qsizetype>(0, frame.size() - checkLength)))
{}

quint8 ReplyReader::byte(int i) const
{
    return i >= 0 && i < m_body.size() ? static_cast<quint8>(m_body[i]) : 0;
}

QByteArrayView ReplyReader::bytes(int from, int n) const
{
    const qsizetype size = m_body.size();
    const qsizetype start = std::clamp<qsizetype>(from, 0, size);
    const qsizetype len = std::clamp<qsizetype>(n, 0, size - start);
    return m_body.sliced(start, len);
}

quint16 ReplyReader::unsignedRegister(int k) const
{
    return static_cast<quint16>(byte(3 + 2 * k) << 8 | byte(4 + 2 * k));
}

ReplyMatch confirmReply(QByteArrayView request, const ReplyReader &reply)
{
    if (request.size() < 2 || !reply.has(2))
        return ReplyMatch::Foreign;
    const ReplyReader asked(request, 0);
    if (reply.station() != asked.station())
        return ReplyMatch::Foreign;
    const quint8 function = asked.function();
    if (reply.function() == (function | Fn::ExceptionBit))
        return reply.has(3) ? ReplyMatch::Exception : ReplyMatch::Foreign;
    if (reply.function() != function)
        return ReplyMatch::Foreign;
    const quint16 count = static_cast<quint16>(asked.byte(4) << 8 | asked.byte(5));
    switch (function) {
    case Fn::ReadCoils:
    case Fn::ReadInputs:
    case Fn::ReadHolding:
    case Fn::ReadInputRegisters:
        return reply.has(3) && reply.byteCount() == replyLengthFor(function, count) - 5
                   ? ReplyMatch::Answer
                   : ReplyMatch::Foreign;
    case Fn::WriteCoil:
    case Fn::WriteRegister:
    case Fn::WriteRegisters:
        return reply.has(6) && reply.bytes(2, 4) == asked.bytes(2, 4) ? ReplyMatch::Answer
                                                                      : ReplyMatch::Foreign;
    default:
        return ReplyMatch::Answer;
    }
}

} // namespace krv
