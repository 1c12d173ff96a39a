#include "lineaddress.h"

#include "protocol/portcomponent.h"

#include <QRegularExpression>

namespace krv {

namespace {
LineAddress invalid(LineAddress::Fault fault)
{
    LineAddress a;
    a.fault = fault;
    return a;
}

// "host:port", "[v6]:port"; the scheme is gone already.
LineAddress network(const QString &rest, LineAddress::Kind kind)
{
    using Fault = LineAddress::Fault;
    QString host;
    QString port;
    if (rest.startsWith(u'[')) {
        const qsizetype close = rest.indexOf(u']');
        if (close < 0)
            return invalid(Fault::UnknownForm);
        host = rest.mid(1, close - 1);
        if (close + 1 >= rest.size() || rest[close + 1] != u':')
            return invalid(Fault::NoPort);
        port = rest.mid(close + 2);
    } else {
        const qsizetype colon = rest.lastIndexOf(u':');
        if (colon < 0)
            return invalid(Fault::NoPort);
        host = rest.left(colon);
        port = rest.mid(colon + 1);
    }
    if (host.isEmpty())
        return invalid(Fault::NoHost);
    if (port.isEmpty())
        return invalid(Fault::NoPort);
    bool ok = false;
    const uint number = port.toUInt(&ok);
    if (!ok || number < 1 || number > 65535 || !port.front().isDigit())
        return invalid(Fault::BadPort);
    LineAddress a;
    a.kind = kind;
    a.fault = Fault::None;
    a.host = host;
    a.port = static_cast<quint16>(number);
    return a;
}
} // namespace

LineAddress LineAddress::com(int n)
{
    LineAddress a;
    a.kind = Kind::ComNumber;
    a.fault = Fault::None;
    a.comNumber = n;
    return a;
}

LineAddress LineAddress::parse(const QString &typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return invalid(Fault::Empty);
    if (text.contains(QRegularExpression(QStringLiteral("\\s"))))
        return invalid(Fault::Blank);
    static const QRegularExpression comPort(QStringLiteral("^COM([1-9][0-9]{0,2})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (const auto m = comPort.match(text); m.hasMatch())
        return com(m.captured(1).toInt());
    for (const auto &[scheme, kind] : {std::pair{QStringLiteral("tcp://"), Kind::Tcp},
                                       std::pair{QStringLiteral("mbap://"), Kind::Mbap}}) {
        if (text.startsWith(scheme, Qt::CaseInsensitive))
            return network(text.mid(scheme.size()), kind);
    }
    if (text.contains(QStringLiteral("://")))
        return invalid(Fault::UnknownForm);
    if (text.startsWith(u'/') || !text.contains(u':')) {
        // A device path, or a name the system lists ("ttyUSB0").
        static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9_./-]+$"));
        if (!name.match(text).hasMatch())
            return invalid(Fault::UnknownForm);
        LineAddress a;
        a.kind = Kind::SerialDevice;
        a.fault = Fault::None;
        a.device = text;
        return a;
    }
    return network(text, Kind::Tcp);
}

QString LineAddress::text() const
{
    switch (kind) {
    case Kind::Invalid:
        return QString();
    case Kind::ComNumber:
        return QStringLiteral("COM%1").arg(comNumber);
    case Kind::SerialDevice:
        return device;
    case Kind::Tcp:
    case Kind::Mbap: {
        const QString h = host.contains(u':') ? u'[' + host + u']' : host;
        return (kind == Kind::Mbap ? QStringLiteral("mbap://") : QString()) + h + u':' +
               QString::number(port);
    }
    }
    return QString();
}

QString LineAddress::location() const
{
    switch (kind) {
    case Kind::ComNumber:
        return devicePathForPort(comNumber);
    case Kind::SerialDevice:
#ifdef Q_OS_WIN
        return device;
#else
        // A name the system lists ("ttyUSB0") lives in /dev.
        return device.startsWith(u'/') ? device : QStringLiteral("/dev/") + device;
#endif
    case Kind::Tcp:
    case Kind::Mbap:
        return (host.contains(u':') ? u'[' + host + u']' : host) + u':' + QString::number(port);
    case Kind::Invalid:
        break;
    }
    return QString();
}

} // namespace krv
