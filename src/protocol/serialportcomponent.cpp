#include "serialportcomponent.h"

#include <QSerialPort>
#include <QtGlobal>

namespace krv {

PortSettings parseSettings(const QString &settings)
{
    PortSettings s;
    const QStringList parts = settings.split(QLatin1Char(','));
    if (parts.size() != 4)
        return s;
    bool ok = false;
    const int baud = parts[0].trimmed().toInt(&ok);
    s.valid = ok && baud > 0 &&
              parts[1].trimmed().compare(QLatin1String("N"), Qt::CaseInsensitive) == 0 &&
              parts[2].trimmed() == QLatin1String("8") && parts[3].trimmed() == QLatin1String("1");
    s.baud = baud;
    return s;
}

QString devicePathForPort(int n)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    const QByteArray env = qgetenv(QStringLiteral("KRV2060_COM%1").arg(n).toLatin1().constData());
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
}

SerialPortComponent::SerialPortComponent(QObject *parent) : QObject(parent) {}

void SerialPortComponent::configure(int port, const QString &settings)
{
    if (portOpen())
        setPortOpen(false);
    setCommPort(port);
    setSettings(settings);
    setInputMode(1);
}

bool SerialPortComponent::setPortOpen(bool open)
{
    if (!open) {
        if (portOpen())
            doClose();
        m_in.clear();
        return true;
    }
    if (portOpen())
        return true;
    QString reason;
    if (!doOpen(&reason)) {
        Q_EMIT portFailed(
            tr("%1 (%2) 无法打开: %3").arg(portLabel(), devicePathForPort(m_commPort), reason));
        return false;
    }
    return true;
}

void SerialPortComponent::discardInput()
{
    // Bytes reach m_in only from the event loop, so clearing it right after a
    // transmit cannot lose the reply to that transmit.
    m_in.clear();
}

QByteArray SerialPortComponent::input()
{
    QByteArray out;
    out.swap(m_in);
    return out;
}

void SerialPortComponent::deliver(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    m_in.append(bytes);
    if (m_threshold > 0 && m_in.size() >= m_threshold)
        Q_EMIT OnComm();
}

void SerialPortComponent::lost(const QString &reason)
{
    if (!portOpen())
        return;
    doClose();
    m_in.clear();
    Q_EMIT portFailed(
        tr("%1 (%2) 连接中断: %3").arg(portLabel(), devicePathForPort(m_commPort), reason));
}

QString SerialPortComponent::portLabel() const
{
    return QStringLiteral("COM%1").arg(m_commPort);
}

class QSerialPortComponent::Impl
{
public:
    QSerialPort port;
};

QSerialPortComponent::QSerialPortComponent(QObject *parent)
    : SerialPortComponent(parent), d(std::make_unique<Impl>())
{
    connect(&d->port, &QSerialPort::readyRead, this, [this] { deliver(d->port.readAll()); });
    connect(&d->port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        // A vanished device (USB adapter pulled) or a dead line; other errors
        // (a single framing error, say) leave the port usable.
        if (e == QSerialPort::ResourceError || e == QSerialPort::PermissionError)
            lost(d->port.errorString());
    });
}

QSerialPortComponent::~QSerialPortComponent()
{
    if (d->port.isOpen())
        d->port.close();
}

bool QSerialPortComponent::portOpen() const
{
    return d->port.isOpen();
}

void QSerialPortComponent::output(const QByteArray &bytes)
{
    if (!d->port.isOpen())
        return;
    // Whatever is still waiting arrived before this request: drop it now, before
    // the write, so that a fast reply can never be thrown away with it.
    d->port.readAll();
    if (d->port.write(bytes) != bytes.size()) {
        lost(d->port.errorString());
        return;
    }
    // Out now, from the tick that sent it, rather than on a later turn of the
    // event loop after whatever repaint the tick asked for: the requests keep
    // the tick's cadence.
    d->port.flush();
}

bool QSerialPortComponent::doOpen(QString *reason)
{
    const PortSettings s = parseSettings(settings());
    d->port.setPortName(devicePathForPort(commPort()));
    if (!d->port.open(QIODevice::ReadWrite)) {
        *reason = d->port.errorString();
        return false;
    }
    const bool ok =
        d->port.setBaudRate(s.valid ? s.baud : 9600) && d->port.setDataBits(QSerialPort::Data8) &&
        d->port.setParity(QSerialPort::NoParity) && d->port.setStopBits(QSerialPort::OneStop) &&
        d->port.setFlowControl(QSerialPort::NoFlowControl);
    if (!ok) {
        *reason = d->port.errorString();
        d->port.close();
        return false;
    }
    d->port.clear(QSerialPort::Input);
    return true;
}

void QSerialPortComponent::doClose()
{
    d->port.close();
}

bool MemoryPortComponent::doOpen(QString *reason)
{
    if (!m_failReason.isEmpty()) {
        *reason = m_failReason;
        return false;
    }
    m_open = true;
    ++m_opens;
    return true;
}

} // namespace krv
