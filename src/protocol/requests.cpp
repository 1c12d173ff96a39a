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

Request buildRequest(quint8 station, quint8 function, quint16 start, quint16 count,
                     QByteArrayView payload)
{
    Request request;
    QByteArray &body = request.body;
    body.reserve(7 + payload.size());
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
    request.replyLength = replyLengthFor(function, count);
    return request;
}

void loadRequest(FrameBuffer &frame, const Request &request)
{
    frame.bytes = request.body;
    frame.bytes.append(2, '\0'); // the check field, filled in by framing
    frame.requestLength = static_cast<qint16>(frame.bytes.size());
    frame.replyLength = request.replyLength;
}

ReplyReader::ReplyReader(const FrameBuffer &frame, int checkLength)
    : ReplyReader(
          QByteArrayView(frame.bytes.constData(), qBound(0, static_cast<int>(frame.length),
                                                         static_cast<int>(frame.bytes.size()))),
          checkLength)
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

ReplyMatch confirmReply(const Request &request, const ReplyReader &reply)
{
    if (request.body.size() < 2 || !reply.has(2))
        return ReplyMatch::Foreign;
    if (reply.station() != request.station())
        return ReplyMatch::Foreign;
    const quint8 function = request.function();
    if (reply.function() == (function | Fn::ExceptionBit))
        return reply.has(3) ? ReplyMatch::Exception : ReplyMatch::Foreign;
    if (reply.function() != function)
        return ReplyMatch::Foreign;
    switch (function) {
    case Fn::ReadCoils:
    case Fn::ReadInputs:
    case Fn::ReadHolding:
    case Fn::ReadInputRegisters:
        return reply.has(3) && reply.byteCount() == replyLengthFor(function, request.count()) - 5
                   ? ReplyMatch::Answer
                   : ReplyMatch::Foreign;
    case Fn::WriteCoil:
    case Fn::WriteRegister:
    case Fn::WriteRegisters:
        return reply.has(6) && reply.bytes(2, 4) == QByteArrayView(request.body.mid(2, 4))
                   ? ReplyMatch::Answer
                   : ReplyMatch::Foreign;
    default:
        return ReplyMatch::Answer;
    }
}

bool repliesAlike(const Request &a, const Request &b)
{
    if (a.station() != b.station() || a.function() != b.function())
        return false;
    switch (a.function()) {
    case Fn::ReadCoils:
    case Fn::ReadInputs:
    case Fn::ReadHolding:
    case Fn::ReadInputRegisters:
        return a.count() == b.count();
    case Fn::WriteCoil:
    case Fn::WriteRegister:
    case Fn::WriteRegisters:
        return a.start() == b.start() && a.count() == b.count();
    default:
        return true;
    }
}

} // namespace krv
