#include "transactionengine.h"

#include "protocol/hextext.h"
#include "protocol/modbusframing.h"

#include <QMetaMethod>

namespace krv {

TransactionEngine::TransactionEngine(const ModuleSlots &moduleSlots, PortComponent &port,
                                     Config config, QObject *parent)
    : QObject(parent), m_slots(moduleSlots), m_port(port), m_config(config)
{
    m_clock.start();
    m_now = [this] { return m_clock.elapsed(); };
    m_replyTimer.setParent(this); // found by name for inspection
    m_replyTimer.setObjectName(QStringLiteral("timMscon"));
    m_replyTimer.setTimerType(Qt::PreciseTimer);
    m_replyTimer.setSingleShot(true);
    connect(&m_replyTimer, &QTimer::timeout, this, &TransactionEngine::onReplyTimeout);
    connect(&m_port, &PortComponent::thresholdReached, this,
            &TransactionEngine::onThresholdReached);
    connect(&m_port, &PortComponent::failed, this, [this](const PortFailure &failure) {
        m_replyTimer.stop();
        m_unanswered.clear(); // whatever was on its way is gone with the port
        if (m_outstanding)
            endRequest(RequestEnd::Abandoned);
        if (m_portFailed)
            return;
        m_portFailed = true;
        Q_EMIT portFailed(failure);
    });
}

QString TransactionEngine::frameText(QByteArrayView wire, Framing framing)
{
    return framing == Framing::Ascii ? QString::fromLatin1(wire) : hexText(wire);
}

Framing TransactionEngine::framing() const
{
    return m_port.carriesMbap() ? Framing::Mbap : serialFraming(m_slots.selectedIsAscii());
}

void TransactionEngine::setStatus(const LinkStatus &status)
{
    Q_EMIT statusChanged(status);
}

void TransactionEngine::configurePort(const LineAddress &address, const QString &settings)
{
    m_port.configure(address, settings);
    m_portFailed = false;
    m_unanswered.clear(); // a closed port receives nothing more
    m_lateInARow = 0;
}

void TransactionEngine::cancel()
{
    m_replyTimer.stop();
    if (m_outstanding)
        endRequest(RequestEnd::Abandoned);
}

void TransactionEngine::resetTimeoutCount()
{
    m_timeoutCount = 0;
    Q_EMIT timeoutCountChanged(0);
}

void TransactionEngine::endRequest(RequestEnd how)
{
    m_outstanding = false;
    Q_EMIT requestEnded(how);
}

bool TransactionEngine::tracing() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&TransactionEngine::traffic));
}

void TransactionEngine::report(TrafficEvent::Kind kind, const QByteArray &bytes)
{
    // Nothing is built for a traffic view that nobody opened.
    if (!tracing())
        return;
    TrafficEvent e;
    e.kind = kind;
    e.bytes = bytes;
    e.framing = framing();
    if (kind != TrafficEvent::Kind::Sent)
        e.elapsedMs = now() - m_sentAt;
    Q_EMIT traffic(e);
}

void TransactionEngine::send(const Request &request)
{
    if (m_outstanding) {
        // Replaced: its reply may still come.
        m_replyTimer.stop();
        rememberUnanswered();
        endRequest(RequestEnd::Abandoned);
    }
    loadRequest(m_frame, request);
    m_frame.transactionId = ++m_transactionId;
    frameRequest(m_frame, framing());
    Q_EMIT frameSent(frameText(m_frame.bytes, framing()));

    // After a failure nothing more goes out until the port is configured
    // again, unless this engine tries the port again at each request.
    if ((m_portFailed && !m_config.reopenAfterFailure) || (!m_port.isOpen() && !m_port.open())) {
        Q_EMIT requestNotSent();
        return;
    }
    m_portFailed = false; // open again: a new failure is reported again
    m_request = request;
    m_requestFraming = framing();
    m_replyThreshold = m_frame.replyLength;
    m_outstanding = true;
    m_sentAt = now();
    m_port.transmit(m_frame.bytes);
    report(TrafficEvent::Kind::Sent, m_frame.bytes);
    if (m_config.replyTimer)
        m_replyTimer.start();
    // What came before this request is left over from the line, unless it may
    // be (the beginning of) the late reply of an earlier one: that is taken as
    // such when it is whole.
    if (!mayBeLateReply(m_port.peekInput()))
        m_port.discardInput();
    m_port.setReceiveThreshold(m_replyThreshold);
    if (m_port.waitingCount() >= m_port.receiveThreshold())
        QMetaObject::invokeMethod(this, &TransactionEngine::onThresholdReached,
                                  Qt::QueuedConnection);
}

void TransactionEngine::onThresholdReached()
{
    QByteArray waiting = m_port.takeInput();
    while (!waiting.isEmpty()) {
        qsizetype length = waiting.size();
        // All that is waiting is one frame whenever it passes its check (the
        // usual case); otherwise the first frame's own header tells its end.
        if (!frameIntact(waiting, framing())) {
            const qsizetype first = frameLength(waiting);
            if (first == 0 || first > waiting.size()) {
                // A longer frame (a late reply, say) is still arriving.
                m_port.putBack(waiting);
                m_port.setReceiveThreshold(static_cast<int>(qMax(first, waiting.size() + 1)));
                return;
            }
            length = first;
        }
        const QByteArray frame = waiting.left(length);
        waiting.remove(0, length);
        if (takeFrame(frame))
            return; // what follows the reply is left over from the line: dropped
    }
    m_port.setReceiveThreshold(m_replyThreshold);
}

bool TransactionEngine::mayBeLateReply(QByteArrayView bytes)
{
    forgetExpired();
    if (bytes.isEmpty())
        return false;
    for (const Unanswered &u : m_unanswered) {
        if (u.framing != framing())
            continue;
        // The beginning of a frame of that station: in ASCII its colon, in RTU
        // its address and function (or the exception form), on Modbus TCP its
        // transaction id.
        switch (u.framing) {
        case Framing::Ascii:
            if (bytes[0] == ':')
                return true;
            break;
        case Framing::Rtu:
            if (static_cast<quint8>(bytes[0]) == u.request.station() &&
                (bytes.size() < 2 ||
                 (static_cast<quint8>(bytes[1]) & ~Fn::ExceptionBit) == u.request.function()))
                return true;
            break;
        case Framing::Mbap:
            if (static_cast<quint8>(bytes[0]) == u.transactionId >> 8 &&
                (bytes.size() < 2 || static_cast<quint8>(bytes[1]) == (u.transactionId & 0xFF)))
                return true;
            break;
        }
    }
    return false;
}

ReplyMatch TransactionEngine::confirmMbapOrSerial(const ReplyReader &reply,
                                                  quint16 transactionId) const
{
    const ReplyMatch match = confirmReply(m_request, reply);
    if (framing() != Framing::Mbap || match == ReplyMatch::Foreign)
        return match;
    // On Modbus TCP the transaction id says which request a reply answers, and
    // the header's length is the frame's: a reply must be as long as its kind.
    if (transactionId != m_transactionId)
        return ReplyMatch::Foreign;
    const int expected = match == ReplyMatch::Exception ? 3 : m_replyThreshold - MbapHeaderLength;
    return reply.size() == expected ? match : ReplyMatch::Foreign;
}

bool TransactionEngine::couldAnswer(const Unanswered &u, const ReplyReader &reply,
                                    quint16 transactionId) const
{
    if (u.framing != framing())
        return false;
    if (u.framing == Framing::Mbap && u.transactionId != transactionId)
        return false;
    return confirmReply(u.request, reply) != ReplyMatch::Foreign;
}

qsizetype TransactionEngine::frameLength(const QByteArray &waiting) const
{
    // The identifier reply's byte count is the module's own affair: a reply of
    // the station asked is as long as the request expects.
    if (framing() == Framing::Rtu && m_outstanding && waiting.size() >= 2 &&
        m_request.function() == Fn::ReportId && waiting[1] == char(Fn::ReportId) &&
        static_cast<quint8>(waiting[0]) == m_request.station())
        return m_replyThreshold;
    return firstFrameLength(waiting, framing());
}

bool TransactionEngine::takeFrame(const QByteArray &frame)
{
    ++m_receiveCount;
    Q_EMIT receiveCountChanged(m_receiveCount);

    m_frame.bytes = frame;
    m_frame.length = static_cast<qint16>(qMin<qsizetype>(frame.size(), 0x7FFF));
    Q_EMIT frameReceived(frameText(frame, framing()));

    if (!unframeReply(m_frame, framing())) {
        if (framing() == Framing::Mbap) {
            // A header of another protocol or a length that does not fit: no
            // reply to anything asked.
            report(TrafficEvent::Kind::Foreign, frame);
            setStatus({LinkStatus::Code::ReplyMismatch});
            return false;
        }
        report(TrafficEvent::Kind::CheckFailed, frame);
        setStatus({LinkStatus::Code::CheckFailed});
        if (!m_outstanding)
            return true;
        m_replyTimer.stop();
        // The spoilt frame may have been a late reply of an earlier request,
        // so this request's own reply may still come.
        rememberUnanswered();
        endRequest(RequestEnd::CheckFailed);
        return true;
    }
    const ReplyReader reply(m_frame, checkLength());
    if (const auto late = lateReplyTo(reply, m_frame.transactionId)) {
        takeLateReply(*late, frame);
        return false;
    }
    const ReplyMatch match =
        m_outstanding ? confirmMbapOrSerial(reply, m_frame.transactionId) : ReplyMatch::Foreign;
    if (match == ReplyMatch::Foreign) {
        report(TrafficEvent::Kind::Foreign, frame);
        setStatus({LinkStatus::Code::ReplyMismatch});
        return false;
    }
    report(match == ReplyMatch::Exception ? TrafficEvent::Kind::Exception
                                          : TrafficEvent::Kind::Answer,
           frame);
    m_replyTimer.stop();
    m_outstanding = false;
    // The station has answered a later request: nothing earlier can still come.
    std::erase_if(m_unanswered, [station = m_request.station()](const Unanswered &u) {
        return u.request.station() == station;
    });
    m_lateInARow = 0;
    setStatus({});
    if (m_dispatch)
        m_dispatch(m_request, reply);
    Q_EMIT requestEnded(RequestEnd::Reply);
    return true;
}

void TransactionEngine::onReplyTimeout()
{
    m_replyTimer.stop();
    // What came below the receive threshold (the line may hold it back).
    m_port.collectInput();
    ++m_timeoutCount;
    Q_EMIT timeoutCountChanged(m_timeoutCount);
    const bool answered = m_outstanding && takeWaitingAtTimeout();
    if (!m_outstanding)
        m_port.discardInput();
    report(TrafficEvent::Kind::TimedOut, QByteArray());
    if (m_outstanding) {
        if (!answered)
            rememberUnanswered();
        endRequest(RequestEnd::TimedOut);
    }
}

void TransactionEngine::rememberUnanswered()
{
    if (!m_outstanding)
        return;
    const int timeout = m_replyTimer.interval();
    m_unanswered.push_back({m_request, m_requestFraming, m_transactionId, m_sentAt,
                            m_sentAt + 2 * qint64(timeout), timeout});
}

void TransactionEngine::forgetExpired()
{
    const qint64 t = now();
    std::erase_if(m_unanswered, [t](const Unanswered &u) { return u.expiresAt <= t; });
}

std::optional<std::size_t>
TransactionEngine::lateReplyTo(const ReplyReader &reply, quint16 transactionId, bool arrivedEarlier)
{
    if (!arrivedEarlier)
        forgetExpired();
    for (std::size_t i = 0; i < m_unanswered.size(); ++i) {
        const Unanswered &u = m_unanswered[i];
        if (couldAnswer(u, reply, transactionId))
            return i;
    }
    return std::nullopt;
}

void TransactionEngine::takeLateReply(std::size_t index, const QByteArray &frame)
{
    const Unanswered late = m_unanswered[index];
    // In order: the requests of that station before it cannot be answered any more.
    const quint8 station = late.request.station();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_unanswered.size(); ++i) {
        if (i <= index && m_unanswered[i].request.station() == station)
            continue;
        m_unanswered[kept++] = m_unanswered[i];
    }
    m_unanswered.resize(kept);
    report(TrafficEvent::Kind::Late, frame);
    ++m_lateInARow;
    // One late reply may be chance; more in a row mean the module answers
    // slower than the time-out allows.
    if (m_lateInARow >= 2)
        setStatus({LinkStatus::Code::RepliesLate, station,
                   static_cast<int>((now() - late.sentAt + 5) / 10 * 10), late.timeoutMs});
    else
        setStatus({LinkStatus::Code::LateReply, station});
    Q_EMIT lateReplyTaken();
}

int TransactionEngine::msUntilUnambiguous(const Request &request)
{
    forgetExpired();
    qint64 until = 0;
    for (const Unanswered &u : m_unanswered) {
        // A reply of the same shape could be taken for either. (An exception
        // reply could too; taken for the earlier request's, it costs the new
        // request no wrong value: that one then simply goes unanswered.)
        // On Modbus TCP the transaction id tells replies apart: no wait.
        if (u.framing == framing() && framing() != Framing::Mbap &&
            repliesAlike(u.request, request))
            until = qMax(until, u.expiresAt);
    }
    return static_cast<int>(qMax<qint64>(0, until - now()));
}

bool TransactionEngine::takeWaitingAtTimeout()
{
    // An exception reply (5 bytes in RTU) is shorter than any reply a request
    // expects, so it never reaches the receive threshold and the request ends
    // by its time-out; so do a reply cut short, a short frame of another
    // request and a reply whole just as the time ran out. The traffic view is
    // still told what came in; counters, status and the request's end stay
    // those of a time-out. The beginning of a frame still arriving stays
    // waiting: it may be this request's late reply.
    const QByteArray waiting = m_port.takeInput();
    if (waiting.isEmpty())
        return false;
    if (!frameIntact(waiting, framing())) {
        const qsizetype first = frameLength(waiting);
        if (first == 0 || first > waiting.size()) {
            m_port.putBack(waiting);
            return false;
        }
        report(framing() == Framing::Mbap ? TrafficEvent::Kind::Foreign
                                          : TrafficEvent::Kind::CheckFailed,
               waiting);
        return false;
    }
    FrameBuffer frame;
    frame.bytes = waiting;
    frame.length = static_cast<qint16>(qMin<qsizetype>(waiting.size(), 0x7FFF));
    unframeReply(frame, framing());
    // The frame may have come long before this time-out (it stayed below the
    // threshold): a request whose reply was expected until then counts still.
    const ReplyReader reply(frame, checkLength());
    if (const auto late = lateReplyTo(reply, frame.transactionId, true)) {
        takeLateReply(*late, waiting);
        return false;
    }
    switch (confirmMbapOrSerial(reply, frame.transactionId)) {
    case ReplyMatch::Exception:
        report(TrafficEvent::Kind::Exception, waiting);
        return true;
    case ReplyMatch::Answer:
        // Its own reply, whole just as its time ran out: too late to be used.
        report(TrafficEvent::Kind::Late, waiting);
        return true;
    case ReplyMatch::Foreign:
        report(TrafficEvent::Kind::Foreign, waiting);
        return false;
    }
    return false;
}

} // namespace krv
