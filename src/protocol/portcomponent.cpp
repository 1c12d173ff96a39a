#include "portcomponent.h"

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

PortComponent::PortComponent(QObject *parent) : QObject(parent) {}

void PortComponent::configure(int portNumber, const QString &settings)
{
    close();
    setPortNumber(portNumber);
    setSettings(settings);
}

bool PortComponent::open()
{
    if (isOpen())
        return true;
    QString reason;
    if (!openDevice(&reason)) {
        Q_EMIT failed(failure(PortFailure::Kind::CannotOpen, reason));
        return false;
    }
    return true;
}

void PortComponent::close()
{
    if (isOpen())
        closeDevice();
    m_waiting.clear();
}

void PortComponent::discardInput()
{
    // Bytes reach the buffer only from the event loop, so clearing it right
    // after a transmit cannot lose the reply to that transmit.
    m_waiting.clear();
}

QByteArray PortComponent::takeInput()
{
    QByteArray out;
    out.swap(m_waiting);
    return out;
}

void PortComponent::takeWithoutEvent(const QByteArray &bytes)
{
    m_waiting.append(bytes);
}

void PortComponent::deliver(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    m_waiting.append(bytes);
    if (m_threshold > 0 && m_waiting.size() >= m_threshold)
        Q_EMIT thresholdReached();
}

void PortComponent::lost(const QString &reason)
{
    if (!isOpen())
        return;
    closeDevice();
    m_waiting.clear();
    Q_EMIT failed(failure(PortFailure::Kind::Lost, reason));
}

PortFailure PortComponent::failure(PortFailure::Kind kind, const QString &reason) const
{
    return {kind, QStringLiteral("COM%1").arg(m_portNumber), devicePathForPort(m_portNumber),
            reason};
}

class SerialPortComponent::Device
{
public:
    QSerialPort port;
};

SerialPortComponent::SerialPortComponent(QObject *parent)
    : PortComponent(parent), d(std::make_unique<Device>())
{
    connect(&d->port, &QSerialPort::readyRead, this, [this] { deliver(d->port.readAll()); });
    connect(&d->port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        // A vanished device (USB adapter pulled) or a dead line; other errors
        // (a single framing error, say) leave the port usable.
        if (e == QSerialPort::ResourceError || e == QSerialPort::PermissionError)
            lost(d->port.errorString());
    });
}

SerialPortComponent::~SerialPortComponent()
{
    if (d->port.isOpen())
        d->port.close();
}

bool SerialPortComponent::isOpen() const
{
    return d->port.isOpen();
}

void SerialPortComponent::transmit(const QByteArray &bytes)
{
    if (!d->port.isOpen())
        return;
    // Whatever the system holds arrived before this request: take it into the
    // waiting bytes now, before the write, so that a fast reply can never be
    // mixed up with it. Whoever transmits decides whether to drop it (it may
    // be the beginning of a late reply).
    takeWithoutEvent(d->port.readAll());
    if (d->port.write(bytes) != bytes.size()) {
        lost(d->port.errorString());
        return;
    }
    // Out now, from the tick that sent it, rather than on a later turn of the
    // event loop after whatever repaint the tick asked for: the requests keep
    // the tick's cadence.
    d->port.flush();
}

bool SerialPortComponent::openDevice(QString *reason)
{
    const PortSettings s = parseSettings(settings());
    d->port.setPortName(devicePathForPort(portNumber()));
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

void SerialPortComponent::closeDevice()
{
    d->port.close();
}

} // namespace krv
