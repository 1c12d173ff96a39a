// The engine on a Modbus TCP line: requests go out with an MBAP header and a
// new transaction id each; a reply is confirmed by its transaction id as well
// as by station, function and length; a frame of another transaction, another
// protocol or another length is not decoded; the late reply of a request that
// timed out is known by its id and never decoded, whatever its shape; and the
// scan asks each address once.
#include "linkfixture.h"
#include "protocol/hextext.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

#include <utility>

using namespace krv;
using testsupport::hex;

namespace {

const LineChoice GatewayLine{LineAddress::parse(QStringLiteral("mbap://127.0.0.1:1502")),
                             QStringLiteral("9600"), 3};

quint16 transactionIdOf(const QByteArray &frame)
{
    return frame.size() < 2 ? 0 : static_cast<quint16>(quint8(frame[0]) << 8 | quint8(frame[1]));
}

// The reply body to reading the eight measurements of station 2.
QByteArray eight(int base)
{
    QList<int> values;
    for (int k = 0; k < 8; ++k)
        values << base + k;
    return testsupport::registersBody(2, 0x03, values);
}

// An MBAP frame with a header as given, whatever the body.
QByteArray mbapWithHeader(quint16 transactionId, quint16 protocol, quint16 length,
                          const QByteArray &body)
{
    QByteArray f;
    f.append(char(transactionId >> 8)).append(char(transactionId & 0xFF));
    f.append(char(protocol >> 8)).append(char(protocol & 0xFF));
    f.append(char(length >> 8)).append(char(length & 0xFF));
    return f + body;
}

// A main-window link on module 2 over a Modbus TCP gateway, with a clock the
// test moves and every status, traffic event and request end kept.
struct GatewayFixture : LinkFixture
{
    qint64 t = 0;
    QStringList statuses;
    QList<TrafficEvent> traffic;
    QList<RequestEnd> ends;
    QList<ChannelValues> measurements;

    GatewayFixture()
    {
        cycle.load(GatewayLine);
        useModule(2, false);
        engine.setClock([this] { return t; });
        QObject::connect(&engine, &TransactionEngine::statusChanged,
                         [this](const LinkStatus &s) { statuses << StatusText::of(s); });
        QObject::connect(&engine, &TransactionEngine::traffic,
                         [this](const TrafficEvent &e) { traffic << e; });
        QObject::connect(&engine, &TransactionEngine::requestEnded,
                         [this](RequestEnd how) { ends << how; });
        QObject::connect(&reads, &RegisterMap::measurementsDecoded,
                         [this](const ChannelValues &v) { measurements << v; });
    }
    quint16 lastId() const { return transactionIdOf(lastSent()); }
    // The body framed as the gateway answers the request sent last.
    QByteArray answer(const QByteArray &body) const { return mbapFrame(lastId(), body); }
    QList<TrafficEvent::Kind> kinds() const
    {
        QList<TrafficEvent::Kind> out;
        for (const TrafficEvent &e : traffic)
            out << e.kind;
        return out;
    }
};

using K = TrafficEvent::Kind;

} // namespace

class TestMbapLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Whatever framing the slot names, a gateway line carries MBAP frames:
    // the body without check field behind a header with the next transaction id.
    void requestsGoOutWithIncreasingIds_data()
    {
        QTest::addColumn<bool>("slotAscii");
        QTest::newRow("slot in RTU") << false;
        QTest::newRow("slot in ASCII") << true;
    }
    void requestsGoOutWithIncreasingIds()
    {
        QFETCH(bool, slotAscii);
        GatewayFixture f;
        f.useModule(2, slotAscii);
        QVERIFY(f.port.carriesMbap());
        QCOMPARE(f.engine.framing(), Framing::Mbap);

        f.reads.readMeasurements();
        const quint16 first = f.lastId();
        QCOMPARE(f.lastSent(), mbapFrame(first, hex("020300000008")));
        QCOMPARE(f.sentText, hexText(f.lastSent()));
        QCOMPARE(f.port.receiveThreshold(), 25); // header 6, station, function, count, 16 bytes
        f.t = 300;
        f.engine.onReplyTimeout();

        f.reads.readDeviceId();
        QCOMPARE(f.lastSent(), mbapFrame(first + 1, hex("0211")));
        QCOMPARE(f.port.receiveThreshold(), 25);
        f.state.module.outputs[3] = false; // off: written 0xFF00
        f.writes.toggleOutput(3);
        f.writes.sendOutputSwitch(); // replaces the identification request
        QCOMPARE(f.lastSent(), mbapFrame(first + 2, hex("02050003FF00")));
        QCOMPARE(f.port.receiveThreshold(), 12); // the echo behind its header
        QCOMPARE(f.port.sent().size(), 3);
        QCOMPARE(f.traffic.first().framing, Framing::Mbap);
        QCOMPARE(f.traffic.first().bytes, f.port.sent().first());
    }

    // The reply carrying the request's transaction id, in any chunking, is
    // decoded; its text is shown as hexadecimal digits.
    void replyWithItsIdIsDecoded()
    {
        GatewayFixture f;
        f.reads.readMeasurements();
        const QByteArray frame = f.answer(eight(100));
        f.deliver(frame, 5);
        QCOMPARE(f.measurements.size(), 1);
        QCOMPARE(f.measurements.at(0).values[0], 100);
        QCOMPARE(f.measurements.at(0).values[7], 107);
        QCOMPARE(f.status, QStringLiteral("取8通道数据成功"));
        QCOMPARE(f.receivedText, hexText(frame));
        QCOMPARE(f.receiveCountText, QStringLiteral("1"));
        QCOMPARE(f.ends, QList<RequestEnd>{RequestEnd::Reply});
        QCOMPARE(f.kinds(), (QList<K>{K::Sent, K::Answer}));
        QCOMPARE(f.traffic.last().framing, Framing::Mbap);
        QVERIFY(!f.engine.outstanding());
    }

    // A frame that is not the reply is not decoded and leaves the request
    // waiting; the reply behind it in the same receive is still taken.
    void otherFramesAreForeign_data()
    {
        QTest::addColumn<int>("idOffset");
        QTest::addColumn<QByteArray>("frame"); // with the id as offset from the request's
        const QByteArray body = eight(900);
        QTest::newRow("next transaction id") << 1 << mbapFrame(0, body);
        QTest::newRow("protocol 1") << 0 << mbapWithHeader(0, 1, 19, body);
        QTest::newRow("byte count of two registers")
            << 0 << mbapFrame(0, testsupport::registersBody(2, 0x03, {1, 2}));
        // The lengths of a reply one byte short of, or one byte longer than,
        // what the request asked (its byte count says 16 data bytes).
        QTest::newRow("length one short") << 0 << mbapWithHeader(0, 0, 18, body.chopped(1));
        QTest::newRow("length one more") << 0 << mbapWithHeader(0, 0, 20, body + '\0');
        QTest::newRow("length of the unit id alone") << 0 << mbapWithHeader(0, 0, 1, hex("02"));
    }
    void otherFramesAreForeign()
    {
        QFETCH(int, idOffset);
        QFETCH(QByteArray, frame);
        GatewayFixture f;
        f.reads.readMeasurements();
        const quint16 id = static_cast<quint16>(f.lastId() + idOffset);
        frame[0] = char(id >> 8);
        frame[1] = char(id & 0xFF);

        f.deliver(frame + f.answer(eight(100)));
        QCOMPARE(f.kinds(), (QList<K>{K::Sent, K::Foreign, K::Answer}));
        QCOMPARE(f.traffic.at(1).bytes, frame);
        QVERIFY(f.statuses.contains(QStringLiteral("应答与请求不符")));
        QCOMPARE(f.measurements.size(), 1);
        QCOMPARE(f.measurements.at(0).values[0], 100);
        QCOMPARE(f.ends, QList<RequestEnd>{RequestEnd::Reply});
    }

    // The reply to a request that timed out comes while the next one of the
    // same shape is outstanding: its transaction id tells it is late, and it
    // is never decoded; the outstanding request's own reply is.
    void lateReplyIsKnownByItsId()
    {
        GatewayFixture f;
        f.engine.setReplyTimeout(288);
        f.reads.readMeasurements();
        const QByteArray lateFrame = f.answer(eight(100));
        f.t = 288;
        f.engine.onReplyTimeout();
        QCOMPARE(f.engine.unansweredCount(), 1);
        // No waiting out the late reply: the ids keep the replies apart.
        QCOMPARE(f.engine.msUntilUnambiguous(buildRequest(2, Fn::ReadHolding, 0, 8)), 0);

        f.t = 300;
        f.reads.readMeasurements();
        QCOMPARE(f.lastId(), quint16(transactionIdOf(lateFrame) + 1));
        f.t = 310;
        f.deliver(lateFrame);
        QVERIFY(f.measurements.isEmpty());
        QCOMPARE(f.kinds().last(), K::Late);
        QCOMPARE(f.status, QStringLiteral("模块2的应答迟到，没有使用"));
        QVERIFY(f.engine.outstanding());
        QCOMPARE(f.engine.unansweredCount(), 0);

        f.t = 320;
        f.deliver(f.answer(eight(200)));
        QCOMPARE(f.measurements.size(), 1);
        QCOMPARE(f.measurements.at(0).values[0], 200);
        QCOMPARE(f.kinds(), (QList<K>{K::Sent, K::TimedOut, K::Sent, K::Late, K::Answer}));
        QCOMPARE(f.ends, (QList<RequestEnd>{RequestEnd::TimedOut, RequestEnd::Reply}));

        // Once the later request is answered, the earlier id answers nothing.
        f.reads.readMeasurements();
        f.deliver(lateFrame);
        QCOMPARE(f.kinds().last(), K::Foreign);
        QCOMPARE(f.status, QStringLiteral("应答与请求不符"));
        QCOMPARE(f.measurements.size(), 1);
    }

    // On a gateway line the scan asks each address once (the gateway frames
    // the request for its serial side), stepping 0..255 in MBAP.
    void scanAsksEachAddressOnce()
    {
        GatewayFixture f;
        QList<std::pair<int, Framing>> steps;
        QObject::connect(&f.scan, &ModuleScan::stepped, [&](int address, Framing framing) {
            steps << std::pair{address, framing};
        });
        f.scan.start(GatewayLine);
        f.scan.tickTimer().stop();
        for (int tick = 0; tick < 256; ++tick) {
            f.scan.onTick();
            if (f.engine.outstanding() && f.state.moduleSlots.selectedAddress() == 5)
                f.deliver(f.answer(hex("05111052455245564532303630524944550503")));
        }
        QCOMPARE(steps.size(), 256);
        for (int a = 0; a < 256; ++a)
            QCOMPARE(steps.at(a), std::pair(a, Framing::Mbap));
        QCOMPARE(f.port.sent().size(), 255);
        for (int a = 1; a <= 255; ++a) {
            const QByteArray &sent = f.port.sent().at(a - 1);
            QCOMPARE(sent.mid(2), mbapFrame(0, QByteArray(1, char(a)) + '\x11').mid(2));
            QCOMPARE(transactionIdOf(sent),
                     quint16(transactionIdOf(f.port.sent().first()) + a - 1));
        }
        QCOMPARE(f.found, QStringList{QStringLiteral("MOD(5)")});
        QCOMPARE(f.state.moduleSlots.stationAddress[0], qint16(5));
        // The last request is still out: the scan ends with it.
        QVERIFY(f.scan.running());
        f.engine.onReplyTimeout();
        QVERIFY(!f.scan.running());
    }
};

QTEST_GUILESS_MAIN(TestMbapLine)
#include "tst_mbapline.moc"
