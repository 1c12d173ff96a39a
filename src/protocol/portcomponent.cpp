#include "portcomponent.h"

#include <QSerialPort>
#include <QTcpSocket>
#include <QTimer>
#include <QtGlobal>

#ifdef Q_OS_LINUX
#include "protocol/ttyline.h"
#endif
#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

#include <utility>

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

void PortComponent::configure(const LineAddress &address, const QString &settings)
{
    close();
    setAddress(address);
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

void PortComponent::openFailed(const QString &reason)
{
    if (isOpen())
        closeDevice();
    m_waiting.clear();
    Q_EMIT failed(failure(PortFailure::Kind::CannotOpen, reason));
}

PortFailure PortComponent::failure(PortFailure::Kind kind, const QString &reason) const
{
    QString name;
    switch (m_address.kind) {
    case LineAddress::Kind::Tcp:
        name = QStringLiteral("TCP");
        break;
    case LineAddress::Kind::Mbap:
        name = QStringLiteral("Modbus TCP");
        break;
    default:
        name = m_address.text();
        break;
    }
    return {kind, name, m_address.location(), reason};
}

class SystemPortComponent::Device
{
public:
#ifdef Q_OS_LINUX
    TtyLine tty;
#else
    QSerialPort serial;
#endif
    QTcpSocket socket;
    QTimer connectTimer;
    QByteArray pending; // transmitted while the connection is being made
    bool network = false;

    bool serialOpen() const
    {
#ifdef Q_OS_LINUX
        return tty.isOpen();
#else
        return serial.isOpen();
#endif
    }

    // What the connection holds: QTcpSocket's buffer, then what the system
    // holds back below the low-water mark.
    QByteArray socketInput()
    {
        QByteArray out = socket.readAll();
#ifdef Q_OS_UNIX
        if (socket.state() == QAbstractSocket::ConnectedState) {
            char buffer[4096];
            for (;;) {
                const ssize_t n = ::recv(static_cast<int>(socket.socketDescriptor()), buffer,
                                         sizeof buffer, MSG_DONTWAIT);
                if (n <= 0)
                    break;
                out.append(buffer, n);
            }
        }
#endif
        return out;
    }

    // The connection reports readability once `count` bytes are there.
    void setLowWaterMark(int count)
    {
#ifdef Q_OS_UNIX
        if (socket.state() != QAbstractSocket::ConnectedState)
            return;
        const int mark = qMax(1, count);
        if (mark == lowWaterMark)
            return;
        if (::setsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_RCVLOWAT,
                         &mark, sizeof mark) == 0)
            lowWaterMark = mark;
#else
        Q_UNUSED(count);
#endif
    }
    int lowWaterMark = 1;
};

SystemPortComponent::SystemPortComponent(QObject *parent)
    : PortComponent(parent), d(std::make_unique<Device>())
{
#ifdef Q_OS_LINUX
    connect(&d->tty, &TtyLine::arrived, this, [this] {
        if (d->tty.isOpen())
            deliver(d->tty.takeAvailable());
    });
    connect(&d->tty, &TtyLine::lost, this, [this](const QString &reason) { lost(reason); });
#else
    connect(&d->serial, &QSerialPort::readyRead, this, [this] { deliver(d->serial.readAll()); });
    connect(&d->serial, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        // A vanished device (USB adapter pulled) or a dead line; other errors
        // (a single framing error, say) leave the port usable.
        if (e == QSerialPort::ResourceError || e == QSerialPort::PermissionError)
            lost(d->serial.errorString());
    });
#endif

    d->connectTimer.setSingleShot(true);
    d->connectTimer.setInterval(ConnectTimeoutMs);
    connect(&d->connectTimer, &QTimer::timeout, this, [this] {
        d->socket.abort();
        // In the system's words, as the other reasons (the windows translate them).
        openFailed(QStringLiteral("Connection timed out"));
    });
    connect(&d->socket, &QTcpSocket::readyRead, this, [this] { deliver(d->socket.readAll()); });
    connect(&d->socket, &QTcpSocket::connected, this, [this] {
        d->connectTimer.stop();
        d->socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        d->lowWaterMark = 1;
        receiveThresholdChanged();
        if (!d->pending.isEmpty())
            d->socket.write(std::exchange(d->pending, {}));
    });
    connect(&d->socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        const QString reason = d->socket.errorString();
        const bool connecting = d->connectTimer.isActive();
        d->connectTimer.stop();
        d->pending.clear();
        // lost() and openFailed() close the socket (after seeing it open).
        if (connecting)
            openFailed(reason);
        else
            lost(reason);
    });
}

SystemPortComponent::~SystemPortComponent()
{
    closeDevice();
}

bool SystemPortComponent::isOpen() const
{
    if (d->network)
        return d->socket.state() != QAbstractSocket::UnconnectedState;
    return d->serialOpen();
}

void SystemPortComponent::transmit(const QByteArray &bytes)
{
    if (d->network) {
        if (d->socket.state() == QAbstractSocket::ConnectedState) {
            takeWithoutEvent(d->socketInput());
            if (d->socket.write(bytes) != bytes.size()) {
                lost(d->socket.errorString());
                return;
            }
            // Out now rather than when the event loop next turns (which would
            // also cost a wake-up of its own).
            d->socket.flush();
            // The bytes taken in count towards the threshold.
            receiveThresholdChanged();
        } else if (d->socket.state() != QAbstractSocket::UnconnectedState) {
            d->pending.append(bytes);
        }
        return;
    }
    if (!d->serialOpen())
        return;
#ifdef Q_OS_LINUX
    // Whatever the system holds arrived before this request: take it into the
    // waiting bytes now, before the write, so that a fast reply can never be
    // mixed up with it. Whoever transmits decides whether to drop it (it may
    // be the beginning of a late reply).
    QByteArray before;
    QString reason;
    const bool written = d->tty.write(bytes, &before, &reason);
    takeWithoutEvent(before);
    if (!written) {
        lost(reason);
        return;
    }
    // The bytes taken in count towards the threshold.
    receiveThresholdChanged();
#else
    // As above: what arrived before this request waits apart from its reply.
    takeWithoutEvent(d->serial.readAll());
    if (d->serial.write(bytes) != bytes.size()) {
        lost(d->serial.errorString());
        return;
    }
    // Out now, from the tick that sent it, rather than on a later turn of the
    // event loop after whatever repaint the tick asked for: the requests keep
    // the tick's cadence.
    d->serial.flush();
#endif
}

void SystemPortComponent::collectInput()
{
    if (d->network)
        takeWithoutEvent(d->socketInput());
#ifdef Q_OS_LINUX
    else if (d->tty.isOpen())
        takeWithoutEvent(d->tty.takeAvailable());
#endif
    receiveThresholdChanged();
}

void SystemPortComponent::receiveThresholdChanged()
{
    // The bytes still missing; 0: none expected, hold what comes.
    const int missing =
        receiveThreshold() > 0 ? qMax(1, receiveThreshold() - static_cast<int>(waitingCount())) : 0;
    if (d->network) {
        d->setLowWaterMark(missing);
        return;
    }
#ifdef Q_OS_LINUX
    if (d->tty.isOpen())
        d->tty.expect(missing);
#endif
}

bool SystemPortComponent::openDevice(QString *reason)
{
    const LineAddress &a = address();
    d->network = a.isNetwork();
    if (!a.valid()) {
        *reason = QStringLiteral("Invalid address");
        return false;
    }
    if (d->network) {
        d->pending.clear();
        d->connectTimer.start();
        d->socket.connectToHost(a.host, a.port);
        return true;
    }
    const PortSettings s = parseSettings(settings());
#ifdef Q_OS_LINUX
    return d->tty.open(a.location(), s.valid ? s.baud : 9600, reason);
#else
    d->serial.setPortName(a.location());
    if (!d->serial.open(QIODevice::ReadWrite)) {
        *reason = d->serial.errorString();
        return false;
    }
    const bool ok = d->serial.setBaudRate(s.valid ? s.baud : 9600) &&
                    d->serial.setDataBits(QSerialPort::Data8) &&
                    d->serial.setParity(QSerialPort::NoParity) &&
                    d->serial.setStopBits(QSerialPort::OneStop) &&
                    d->serial.setFlowControl(QSerialPort::NoFlowControl);
    if (!ok) {
        *reason = d->serial.errorString();
        d->serial.close();
        return false;
    }
    d->serial.clear(QSerialPort::Input);
    return true;
#endif
}

void SystemPortComponent::closeDevice()
{
    d->connectTimer.stop();
    d->pending.clear();
    d->socket.abort();
#ifdef Q_OS_LINUX
    d->tty.close();
#else
    if (d->serial.isOpen())
        d->serial.close();
#endif
}

} // namespace krv
