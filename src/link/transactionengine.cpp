#include "transactionengine.h"

#include "protocol/hextext.h"
#include "protocol/modbusframing.h"

#include <QDateTime>
#include <QMetaMethod>

namespace krv {

TransactionEngine::TransactionEngine(const ModuleSlots &moduleSlots, PortComponent &port,
                                     Config config, QObject *parent)
    : QObject(parent), m_slots(moduleSlots), m_port(port), m_config(config)
{
    m_replyTimer.setParent(this); // found by name for inspection
    m_replyTimer.setObjectName(QStringLiteral("timMscon"));
    m_replyTimer.setTimerType(Qt::PreciseTimer);
    m_replyTimer.setSingleShot(true);
    connect(&m_replyTimer, &QTimer::timeout, this, &TransactionEngine::onReplyTimeout);
    connect(&m_port, &PortComponent::thresholdReached, this,
            &TransactionEngine::onThresholdReached);
    connect(&m_port, &PortComponent::failed, this, [this](const PortFailure &failure) {
        m_replyTimer.stop();
        if (m_outstanding)
            endRequest(RequestEnd::Abandoned);
        if (m_portFailed)
            return;
        m_portFailed = true;
        Q_EMIT portFailed(failure);
    });
}

QString TransactionEngine::frameText(QByteArrayView wire, bool ascii)
{
    return ascii ? QString::fromLatin1(wire) : hexText(wire);
}

void TransactionEngine::setStatus(const LinkStatus &status)
{
    Q_EMIT statusChanged(status);
}

void TransactionEngine::configurePort(int portNumber, const QString &settings)
{
    m_port.configure(portNumber, settings);
    m_portFailed = false;
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
    e.ascii = ascii();
    if (kind != TrafficEvent::Kind::Sent)
        e.elapsedMs = QDateTime::currentMSecsSinceEpoch() - m_sentAt;
    Q_EMIT traffic(e);
}

void TransactionEngine::send(const Request &request)
{
    if (m_outstanding) {
        m_replyTimer.stop();
        endRequest(RequestEnd::Abandoned);
    }
    loadRequest(m_frame, request);
    frameRequest(m_frame, ascii());
    Q_EMIT frameSent(frameText(m_frame.bytes, ascii()));

    if (m_portFailed)
        return; // nothing more goes out until the port is configured again
    if (!m_port.isOpen() && !m_port.open())
        return;
    m_request = request;
    m_replyThreshold = m_frame.replyLength;
    m_outstanding = true;
    m_sentAt = QDateTime::currentMSecsSinceEpoch();
    m_port.transmit(m_frame.bytes);
    report(TrafficEvent::Kind::Sent, m_frame.bytes);
    if (m_config.replyTimer)
        m_replyTimer.start();
    m_port.discardInput();
    m_port.setReceiveThreshold(m_frame.replyLength);
}

void TransactionEngine::onThresholdReached()
{
    QByteArray waiting = m_port.takeInput();
    while (!waiting.isEmpty()) {
        qsizetype length = waiting.size();
        // All that is waiting is one frame whenever it passes its check (the
        // usual case); otherwise the first frame's own header tells its end.
        if (!frameIntact(waiting, ascii())) {
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

qsizetype TransactionEngine::frameLength(const QByteArray &waiting) const
{
    // The identifier reply's byte count is the module's own affair: a reply of
    // the station asked is as long as the request expects.
    if (!ascii() && m_outstanding && waiting.size() >= 2 && m_request.function() == Fn::ReportId &&
        waiting[1] == char(Fn::ReportId) && static_cast<quint8>(waiting[0]) == m_request.station())
        return m_replyThreshold;
    return firstFrameLength(waiting, ascii());
}

bool TransactionEngine::takeFrame(const QByteArray &frame)
{
    ++m_receiveCount;
    Q_EMIT receiveCountChanged(m_receiveCount);

    m_frame.bytes = frame;
    m_frame.length = static_cast<qint16>(qMin<qsizetype>(frame.size(), 0x7FFF));
    Q_EMIT frameReceived(frameText(frame, ascii()));

    if (!unframeReply(m_frame, ascii())) {
        report(TrafficEvent::Kind::CheckFailed, frame);
        setStatus({LinkStatus::Code::CheckFailed});
        if (!m_outstanding)
            return true;
        m_replyTimer.stop();
        endRequest(RequestEnd::CheckFailed);
        return true;
    }
    const ReplyReader reply(m_frame, ascii());
    const ReplyMatch match = m_outstanding ? confirmReply(m_request, reply) : ReplyMatch::Foreign;
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
    setStatus({});
    if (m_dispatch)
        m_dispatch(m_request, reply);
    Q_EMIT requestEnded(RequestEnd::Reply);
    return true;
}

void TransactionEngine::onReplyTimeout()
{
    m_replyTimer.stop();
    ++m_timeoutCount;
    Q_EMIT timeoutCountChanged(m_timeoutCount);
    if (m_outstanding && tracing())
        reportWaitingBytes();
    m_port.discardInput();
    report(TrafficEvent::Kind::TimedOut, QByteArray());
    if (m_outstanding)
        endRequest(RequestEnd::TimedOut);
}

void TransactionEngine::reportWaitingBytes()
{
    // An exception reply (5 bytes in RTU) is shorter than any reply a request
    // expects, so it never reaches the receive threshold and the request ends
    // by its time-out; so do a reply cut short and a short frame of another
    // request. The traffic view is still told what came in; counters, status
    // and the request's end stay those of a time-out.
    const QByteArray waiting = m_port.takeInput();
    if (waiting.isEmpty())
        return;
    if (!frameIntact(waiting, ascii())) {
        report(TrafficEvent::Kind::CheckFailed, waiting);
        return;
    }
    FrameBuffer frame;
    frame.bytes = waiting;
    frame.length = static_cast<qint16>(qMin<qsizetype>(waiting.size(), 0x7FFF));
    unframeReply(frame, ascii());
    const bool refused =
        confirmReply(m_request, ReplyReader(frame, ascii())) == ReplyMatch::Exception;
    report(refused ? TrafficEvent::Kind::Exception : TrafficEvent::Kind::Foreign, waiting);
}

} // namespace krv
