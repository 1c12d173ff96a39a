#include "trafficdecode.h"

#include "protocol/modbusframing.h"
#include "protocol/requests.h"

#include <QCoreApplication>
#include <QStringList>

namespace krv::traffic {

namespace {

constexpr char Context[] = "krv::TrafficLog";

// Replies with up to this many registers show their values.
constexpr int ShownRegisters = 10;

QString say(const char *source, Wording w)
{
    return w == Wording::Screen ? QCoreApplication::translate(Context, source)
                                : QString::fromUtf8(source);
}

quint16 word(const QByteArray &body, int at)
{
    if (body.size() < at + 2)
        return 0;
    return static_cast<quint16>(static_cast<quint8>(body[at]) << 8 |
                                static_cast<quint8>(body[at + 1]));
}

QString address(quint16 a)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(a, 4, 16, QLatin1Char('0')).toUpper();
}

QString registerValues(const QByteArray &body, int from, int count)
{
    QStringList values;
    for (int k = 0; k < count; ++k)
        values << QString::number(static_cast<qint16>(word(body, from + 2 * k)));
    return values.join(u' ');
}

QString describeRequest(const QByteArray &body, Wording w)
{
    if (body.size() < 2)
        return QString();
    const quint8 fn = static_cast<quint8>(body[1]);
    const quint16 start = word(body, 2);
    const quint16 count = word(body, 4);
    const bool full = body.size() >= 6;
    switch (fn) {
    case Fn::ReadCoils:
    case Fn::ReadInputs:
    case Fn::ReadHolding:
    case Fn::ReadInputRegisters:
        if (!full)
            break;
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "%1 起始 %2 数量 %3"), w)
            .arg(functionName(fn, w), address(start))
            .arg(count);
    case Fn::WriteCoil:
        if (!full)
            break;
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "%1 %2 = %3"), w)
            .arg(functionName(fn, w), address(start),
                 count == 0xFF00 ? QStringLiteral("ON")
                 : count == 0    ? QStringLiteral("OFF")
                                 : address(count));
    case Fn::WriteRegister:
        if (!full)
            break;
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "%1 %2 = %3"), w)
            .arg(functionName(fn, w), address(start))
            .arg(static_cast<qint16>(count));
    case Fn::WriteRegisters: {
        if (!full)
            break;
        const int n = qMin<int>(count, (static_cast<int>(body.size()) - 7) / 2);
        QString text = say(QT_TRANSLATE_NOOP("krv::TrafficLog", "%1 起始 %2 数量 %3"), w)
                           .arg(functionName(fn, w), address(start))
                           .arg(count);
        if (n > 0 && n <= ShownRegisters)
            text += say(QT_TRANSLATE_NOOP("krv::TrafficLog", "：%1"), w)
                        .arg(registerValues(body, 7, n));
        return text;
    }
    case Fn::ReportId:
        return functionName(fn, w);
    default:
        break;
    }
    return functionName(fn, w);
}

QString describeException(const QByteArray &body, Wording w)
{
    const quint8 code = body.size() >= 3 ? static_cast<quint8>(body[2]) : 0;
    return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "异常 %1：%2"), w)
        .arg(QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper(),
             exceptionMeaning(code, w));
}

QString describeReply(const QByteArray &body, const QByteArray &request, Wording w)
{
    if (body.size() < 2)
        return QString();
    const quint8 fn = static_cast<quint8>(body[1]);
    if (fn & Fn::ExceptionBit)
        return describeException(body, w);
    const bool answersRequest = request.size() >= 6 && static_cast<quint8>(request[1]) == fn;
    switch (fn) {
    case Fn::ReadCoils:
    case Fn::ReadInputs: {
        if (body.size() < 3)
            break;
        const int n = qMin<int>(static_cast<quint8>(body[2]), static_cast<int>(body.size()) - 3);
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "%1 字节：%2"), w)
            .arg(n)
            .arg(hexText(QByteArrayView(body).sliced(3, n), u" "));
    }
    case Fn::ReadHolding:
    case Fn::ReadInputRegisters: {
        if (body.size() < 3)
            break;
        const int n =
            qMin<int>(static_cast<quint8>(body[2]), static_cast<int>(body.size()) - 3) / 2;
        QString text = answersRequest
                           ? say(QT_TRANSLATE_NOOP("krv::TrafficLog", "起始 %1 数量 %2"), w)
                                 .arg(address(word(request, 2)))
                                 .arg(n)
                           : say(QT_TRANSLATE_NOOP("krv::TrafficLog", "%1 个寄存器"), w).arg(n);
        if (n > 0 && n <= ShownRegisters)
            text += say(QT_TRANSLATE_NOOP("krv::TrafficLog", "：%1"), w)
                        .arg(registerValues(body, 3, n));
        return text;
    }
    case Fn::WriteCoil:
    case Fn::WriteRegister:
    case Fn::WriteRegisters:
        return describeRequest(body.left(6), w);
    case Fn::ReportId: {
        if (body.size() < 3)
            break;
        const int n = qMin<int>(static_cast<quint8>(body[2]), static_cast<int>(body.size()) - 3);
        const QByteArray data = body.mid(3, n);
        QString id;
        for (char c : data.left(14))
            id += (c >= 0x20 && c < 0x7F) ? QChar(QLatin1Char(c)) : QChar(u'.');
        if (data.size() >= 16)
            return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "%1 版本%2.%3"), w)
                .arg(id.trimmed())
                .arg(static_cast<quint8>(data[14]))
                .arg(static_cast<quint8>(data[15]));
        return id.trimmed();
    }
    default:
        break;
    }
    return functionName(fn, w);
}

} // namespace

QByteArray frameBody(const QByteArray &wire, Framing framing)
{
    if (framing == Framing::Mbap)
        return wire.mid(MbapHeaderLength);
    if (framing == Framing::Rtu)
        return wire.size() > 2 ? wire.left(wire.size() - 2) : QByteArray();
    const qsizetype colon = wire.indexOf(':');
    if (colon < 0)
        return QByteArray();
    QByteArray decoded = bytesFromHex(QByteArrayView(wire).sliced(colon + 1));
    decoded.chop(1); // the LRC
    return decoded;
}

QString timeText(const TrafficRow &row)
{
    return row.time.toString(QStringLiteral("hh:mm:ss.zzz"));
}

QString directionText(const TrafficRow &row, Wording w)
{
    return row.sent() ? say(QT_TRANSLATE_NOOP("krv::TrafficLog", "发"), w)
                      : say(QT_TRANSLATE_NOOP("krv::TrafficLog", "收"), w);
}

QString framingText(const TrafficRow &row)
{
    switch (row.framing) {
    case Framing::Ascii:
        return QStringLiteral("ASCII");
    case Framing::Mbap:
        // Modbus TCP: the module's RTU or ASCII does not apply.
        return QStringLiteral("TCP");
    case Framing::Rtu:
        break;
    }
    return QStringLiteral("RTU");
}

QByteArray headerBody(const TrafficRow &row)
{
    switch (row.kind) {
    case TrafficEvent::Kind::Sent:
    case TrafficEvent::Kind::TimedOut:
        return row.request;
    case TrafficEvent::Kind::CheckFailed:
        return QByteArray();
    case TrafficEvent::Kind::Answer:
    case TrafficEvent::Kind::Foreign:
    case TrafficEvent::Kind::Exception:
    case TrafficEvent::Kind::Late:
        break;
    }
    return frameBody(row.bytes, row.framing);
}

QString stationText(const TrafficRow &row)
{
    const QByteArray body = headerBody(row);
    return body.isEmpty() ? QString() : QString::number(static_cast<quint8>(body[0]));
}

QString functionText(const TrafficRow &row)
{
    const QByteArray body = headerBody(row);
    if (body.size() < 2)
        return QString();
    return QStringLiteral("%1")
        .arg(static_cast<quint8>(body[1]), 2, 16, QLatin1Char('0'))
        .toUpper();
}

namespace {

QString describeFrame(const TrafficRow &row, Wording w)
{
    switch (row.kind) {
    case TrafficEvent::Kind::Sent:
    case TrafficEvent::Kind::TimedOut:
        return describeRequest(row.request, w);
    case TrafficEvent::Kind::CheckFailed:
        return QString(); // nothing in it can be trusted
    case TrafficEvent::Kind::Late:
        return describeReply(frameBody(row.bytes, row.framing), QByteArray(), w);
    case TrafficEvent::Kind::Answer:
    case TrafficEvent::Kind::Foreign:
    case TrafficEvent::Kind::Exception:
        break;
    }
    return describeReply(frameBody(row.bytes, row.framing), row.request, w);
}

} // namespace

std::optional<quint16> transactionId(const TrafficRow &row)
{
    if (row.framing != Framing::Mbap || row.kind == TrafficEvent::Kind::CheckFailed ||
        row.bytes.size() < 2)
        return std::nullopt;
    return static_cast<quint16>(static_cast<quint8>(row.bytes[0]) << 8 |
                                static_cast<quint8>(row.bytes[1]));
}

QString decodingText(const TrafficRow &row, Wording w)
{
    const QString description = describeFrame(row, w);
    const std::optional<quint16> id = transactionId(row);
    if (!id)
        return description;
    // The transaction id first: it tells which request a reply answers.
    const QString idText = say(QT_TRANSLATE_NOOP("krv::TrafficLog", "事务%1"), w).arg(*id);
    return description.isEmpty() ? idText : idText + u' ' + description;
}

QString checkText(const TrafficRow &row, Wording w)
{
    switch (row.kind) {
    case TrafficEvent::Kind::Sent:
        return QString();
    case TrafficEvent::Kind::Answer:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "正常"), w);
    case TrafficEvent::Kind::CheckFailed:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "校验错误"), w);
    case TrafficEvent::Kind::TimedOut:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "超时"), w);
    case TrafficEvent::Kind::Foreign:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "应答与请求不符"), w);
    case TrafficEvent::Kind::Exception:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "异常响应"), w);
    case TrafficEvent::Kind::Late:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "迟到的应答"), w);
    }
    return QString();
}

QString elapsedText(const TrafficRow &row)
{
    return row.sent() ? QString() : QString::number(row.elapsedMs);
}

QString bytesText(const TrafficRow &row)
{
    if (row.framing != Framing::Ascii)
        return hexText(row.bytes, u" ");
    QString text;
    text.reserve(row.bytes.size() + 4);
    for (char c : row.bytes) {
        if (c == '\r')
            text += QStringLiteral("\\r");
        else if (c == '\n')
            text += QStringLiteral("\\n");
        else if (c >= 0x20 && c < 0x7F && c != '\\')
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x%1").arg(static_cast<quint8>(c), 2, 16, QLatin1Char('0'));
    }
    return text;
}

QString functionName(quint8 function, Wording w)
{
    switch (function) {
    case Fn::ReadCoils:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "读线圈"), w);
    case Fn::ReadInputs:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "读离散输入"), w);
    case Fn::ReadHolding:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "读保持寄存器"), w);
    case Fn::ReadInputRegisters:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "读输入寄存器"), w);
    case Fn::WriteCoil:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "写单个线圈"), w);
    case Fn::WriteRegister:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "写单个寄存器"), w);
    case Fn::WriteRegisters:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "写多个寄存器"), w);
    case Fn::ReportId:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "读设备标识"), w);
    default:
        return QString();
    }
}

QString exceptionMeaning(quint8 code, Wording w)
{
    switch (code) {
    case 0x01:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "非法功能"), w);
    case 0x02:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "非法数据地址"), w);
    case 0x03:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "非法数据值"), w);
    case 0x04:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "从站设备故障"), w);
    case 0x05:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "确认"), w);
    case 0x06:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "从站设备忙"), w);
    case 0x08:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "存储奇偶性差错"), w);
    case 0x0A:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "网关路径不可用"), w);
    case 0x0B:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "网关目标设备响应失败"), w);
    default:
        return say(QT_TRANSLATE_NOOP("krv::TrafficLog", "未知异常"), w);
    }
}

QString windowText(const QString &name, Wording w)
{
    if (w == Wording::File)
        return name;
    const QByteArray source = name.toUtf8();
    return QCoreApplication::translate(Context, source.constData());
}

} // namespace krv::traffic
