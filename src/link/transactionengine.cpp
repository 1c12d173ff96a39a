#include "transactionengine.h"

#include "protocol/modbusframing.h"

namespace krv {

TransactionEngine::TransactionEngine(SharedState &state, SerialPortComponent &port, Config config,
                                     QObject *parent)
    : QObject(parent), m_state(state), m_port(port), m_config(config)
{
    m_timMscon.setTimerType(Qt::PreciseTimer);
    m_timMscon.setParent(this); // found by name for inspection
    m_timMscon.setObjectName(QStringLiteral("timMscon"));
    connect(&m_timMscon, &QTimer::timeout, this, &TransactionEngine::timMscon_Timer);
    connect(&m_port, &SerialPortComponent::OnComm, this, &TransactionEngine::Comm1_OnComm);
    connect(&m_port, &SerialPortComponent::portFailed, this, [this](const QString &message) {
        m_timMscon.stop();
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
}

void TransactionEngine::resetErrCount()
{
    m_errCount = 0;
    Q_EMIT errCountText(QString());
}

void TransactionEngine::SendCommand()
{
    FrameBuffer &fb = m_state.frame;
    frameRequest(fb, m_state.mods);
    // RTU shows all FrameLen bytes; ASCII shows its characters colon to LF.
    Q_EMIT sentFrameText(frameText(fb.CommBuf, fb.CommLen + (m_state.mods.isAscii() ? 1 : 0)));

    if (m_portFailed)
        return; // nothing more goes out until the port is configured again
    if (!m_port.portOpen() && !m_port.setPortOpen(true))
        return;
    m_port.output(fb.CommBuf);
    if (m_config.replyTimer)
        m_timMscon.start();
    m_port.discardInput();
    m_port.setRThreshold(fb.ReplyLen);
}

void TransactionEngine::Comm1_OnComm()
{
    ++m_commCount;
    Q_EMIT commCountText(QString::number(m_commCount));
    m_timMscon.stop();

    FrameBuffer &fb = m_state.frame;
    fb.CommBuf = m_port.input();
    fb.CommLen = static_cast<qint16>(qMin<qsizetype>(fb.CommBuf.size(), 0x7FFF));
    Q_EMIT receivedFrameText(frameText(fb.CommBuf, fb.CommLen));

    if (!unframeReply(fb, m_state.mods)) {
        setStatus(tr("CRC 校验错误"));
    } else {
        setStatus(QString());
        if (m_dispatch)
            m_dispatch();
    }
    Q_EMIT transactionEnded();
}

void TransactionEngine::timMscon_Timer()
{
    m_timMscon.stop();
    ++m_errCount;
    Q_EMIT errCountText(QString::number(m_errCount));
    m_port.discardInput();
    Q_EMIT transactionEnded();
}

} // namespace krv
