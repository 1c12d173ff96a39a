#include "transactionengine.h"

#include "protocol/modbusframing.h"
#include "protocol/requests.h"

#include <QDateTime>
#include <QMetaMethod>

namespace krv {

TransactionEngine::TransactionEngine(SharedState &state, SerialPortComponent &port, Config config,
                                     QObject *parent)
    : QObject(parent), m_state(state), m_port(port), m_config(config)
{
    m_timMscon.setParent(this); // found by name for inspection
    m_timMscon.setObjectName(QStringLiteral("timMscon"));
    m_timMscon.setTimerType(Qt::PreciseTimer);
    m_timMscon.setSingleShot(true);
    connect(&m_timMscon, &QTimer::timeout, this, &TransactionEngine::timMscon_Timer);
    connect(&m_port, &SerialPortComponent::OnComm, this, &TransactionEngine::Comm1_OnComm);
    connect(&m_port, &SerialPortComponent::portFailed, this, [this](const QString &message) {
        m_timMscon.stop();
        if (m_outstanding)
            endRequest(RequestEnd::Abandoned);
        if (m_portFailed)
            return;
        m_portFailed = true;
        Q_EMIT portError(message);
    });
}

QString TransactionEngine::ByteToASC(quint8 b)
{
    const QChar digits[2] = {QLatin1Char(hexDigit(b >> 4)), QLatin1Char(hexDigit(b))};
    return QString(digits, 2);
}

QString TransactionEngine::TurnByteToString(const QByteArray &buf, int count)
{
    QString s;
    const int n = qBound(0, count, static_cast<int>(buf.size()));
    s.reserve(2 * n);
    for (int i = 0; i < n; ++i)
        s += ByteToASC(static_cast<quint8>(buf.at(i)));
    return s;
}

QString TransactionEngine::frameText(const QByteArray &buf, int count) const
{
    if (!m_state.mods.isAscii())
        return TurnByteToString(buf, count);
    return QString::fromLatin1(buf.left(qBound(0, count, static_cast<int>(buf.size()))));
}

void TransactionEngine::setStatus(const QString &text)
{
    Q_EMIT statusText(text);
}

void TransactionEngine::configurePort(int commPort, const QString &settings)
{
    m_port.configure(commPort, settings);
    m_portFailed = false;
}

void TransactionEngine::cancel()
{
    m_timMscon.stop();
    if (m_outstanding)
        endRequest(RequestEnd::Abandoned);
}

void TransactionEngine::resetErrCount()
{
    m_errCount = 0;
    Q_EMIT errCountText(QString());
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
    e.ascii = m_state.mods.isAscii();
    if (kind != TrafficEvent::Kind::Sent)
        e.elapsedMs = QDateTime::currentMSecsSinceEpoch() - m_sentAt;
    Q_EMIT traffic(e);
}

void TransactionEngine::SendCommand()
{
    FrameBuffer &fb = m_state.frame;
    if (m_outstanding) {
        m_timMscon.stop();
        endRequest(RequestEnd::Abandoned);
    }
    const QByteArray request = fb.CommBuf.left(qMax(0, fb.FrameLen - 2));
    frameRequest(fb, m_state.mods);
    // RTU shows all FrameLen bytes; ASCII shows its characters colon to LF.
    Q_EMIT sentFrameText(frameText(fb.CommBuf, fb.CommLen + (m_state.mods.isAscii() ? 1 : 0)));

    if (m_portFailed)
        return; // nothing more goes out until the port is configured again
    if (!m_port.portOpen() && !m_port.setPortOpen(true))
        return;
    m_request = request;
    m_replyThreshold = fb.ReplyLen;
    m_outstanding = true;
    m_sentAt = QDateTime::currentMSecsSinceEpoch();
    m_port.output(fb.CommBuf);
    report(TrafficEvent::Kind::Sent, fb.CommBuf);
    if (m_config.replyTimer)
        m_timMscon.start();
    m_port.discardInput();
    m_port.setRThreshold(fb.ReplyLen);
}

void TransactionEngine::Comm1_OnComm()
{
    QByteArray waiting = m_port.input();
    while (!waiting.isEmpty()) {
        const bool ascii = m_state.mods.isAscii();
        qsizetype length = waiting.size();
        // All that is waiting is one frame whenever it passes its check (the
        // usual case); otherwise the first frame's own header tells its end.
        if (!frameIntact(waiting, ascii)) {
            const qsizetype first = frameLength(waiting, ascii);
            if (first == 0 || first > waiting.size()) {
                // A longer frame (a late reply, say) is still arriving.
                m_port.unread(waiting);
                m_port.setRThreshold(static_cast<int>(qMax(first, waiting.size() + 1)));
                return;
            }
            length = first;
        }
        const QByteArray frame = waiting.left(length);
        waiting.remove(0, length);
        if (takeFrame(frame))
            return; // what follows the reply is left over from the line: dropped
    }
    m_port.setRThreshold(m_replyThreshold);
}

qsizetype TransactionEngine::frameLength(const QByteArray &waiting, bool ascii) const
{
    // The identifier reply's byte count is the module's own affair: a reply of
    // the station asked is as long as the request expects.
    if (!ascii && m_outstanding && waiting.size() >= 2 && m_request.size() >= 2 &&
        m_request[1] == char(Fn::ReportId) && waiting[1] == char(Fn::ReportId) &&
        waiting[0] == m_request[0])
        return m_replyThreshold;
    return firstFrameLength(waiting, ascii);
}

bool TransactionEngine::takeFrame(const QByteArray &frame)
{
    ++m_commCount;
    Q_EMIT commCountText(QString::number(m_commCount));

    FrameBuffer &fb = m_state.frame;
    fb.CommBuf = frame;
    fb.CommLen = static_cast<qint16>(qMin<qsizetype>(frame.size(), 0x7FFF));
    Q_EMIT receivedFrameText(frameText(fb.CommBuf, fb.CommLen));

    if (!unframeReply(fb, m_state.mods)) {
        report(TrafficEvent::Kind::CheckFailed, frame);
        setStatus(tr("CRC 校验错误"));
        if (!m_outstanding)
            return true;
        m_timMscon.stop();
        endRequest(RequestEnd::CheckFailed);
        return true;
    }
    const ReplyReader reply(fb, m_state.mods.isAscii());
    const ReplyMatch match = m_outstanding ? confirmReply(m_request, reply) : ReplyMatch::Foreign;
    if (match == ReplyMatch::Foreign) {
        report(TrafficEvent::Kind::Foreign, frame);
        setStatus(tr("应答与请求不符"));
        return false;
    }
    report(match == ReplyMatch::Exception ? TrafficEvent::Kind::Exception
                                          : TrafficEvent::Kind::Answer,
           frame);
    m_timMscon.stop();
    m_outstanding = false;
    setStatus(QString());
    if (m_dispatch)
        m_dispatch();
    Q_EMIT requestEnded(RequestEnd::Reply);
    return true;
}

void TransactionEngine::timMscon_Timer()
{
    m_timMscon.stop();
    ++m_errCount;
    Q_EMIT errCountText(QString::number(m_errCount));
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
    const QByteArray waiting = m_port.input();
    if (waiting.isEmpty())
        return;
    const bool ascii = m_state.mods.isAscii();
    if (!frameIntact(waiting, ascii)) {
        report(TrafficEvent::Kind::CheckFailed, waiting);
        return;
    }
    FrameBuffer fb;
    fb.CommBuf = waiting;
    fb.CommLen = static_cast<qint16>(qMin<qsizetype>(waiting.size(), 0x7FFF));
    if (ascii)
        AsciiToRtu(fb);
    const bool refused = confirmReply(m_request, ReplyReader(fb, ascii)) == ReplyMatch::Exception;
    report(refused ? TrafficEvent::Kind::Exception : TrafficEvent::Kind::Foreign, waiting);
}

} // namespace krv
