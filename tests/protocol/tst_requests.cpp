// The request builder (body, reply length, the fields read back, and the
// frame buffer it loads) and the reply reader (bounds, registers, check-field
// length per framing).
#include "protocol/modbusframing.h"
#include "protocol/requests.h"
#include "testsupport.h"

#include <QTest>

using namespace krv;
using testsupport::hex;

class TestRequests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void builder_data()
    {
        QTest::addColumn<quint8>("function");
        QTest::addColumn<quint16>("start");
        QTest::addColumn<quint16>("count");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<qint16>("replyLen");

        QTest::newRow("03 eight registers") << quint8(3) << quint16(0) << quint16(8) << QByteArray()
                                            << hex("020300000008") << qint16(21);
        QTest::newRow("03 one register") << quint8(3) << quint16(0x1C) << quint16(1) << QByteArray()
                                         << hex("0203001C0001") << qint16(7);
        QTest::newRow("03 control block") << quint8(3) << quint16(0x0192) << quint16(7)
                                          << QByteArray() << hex("020301920007") << qint16(19);
        QTest::newRow("01 nine coils") << quint8(1) << quint16(0) << quint16(9) << QByteArray()
                                       << hex("020100000009") << qint16(7);
        QTest::newRow("01 one coil") << quint8(1) << quint16(0x30) << quint16(1) << QByteArray()
                                     << hex("020100300001") << qint16(6);
        QTest::newRow("02 twenty inputs") << quint8(2) << quint16(0x10) << quint16(20)
                                          << QByteArray() << hex("020200100014") << qint16(8);
        QTest::newRow("05 coil on") << quint8(5) << quint16(4) << quint16(0xFF00) << QByteArray()
                                    << hex("02050004FF00") << qint16(8);
        QTest::newRow("06 register") << quint8(6) << quint16(0x1D) << quint16(0xFFEC)
                                     << QByteArray() << hex("0206001DFFEC") << qint16(8);
        QTest::newRow("10 three registers")
            << quint8(0x10) << quint16(0x01C6) << quint16(3) << hex("FFCE9C40100A")
            << hex("021001C6000306FFCE9C40100A") << qint16(8);
        QTest::newRow("11 identifier") << quint8(0x11) << quint16(0) << quint16(0) << QByteArray()
                                       << hex("0211") << qint16(21);
    }
    void builder()
    {
        QFETCH(quint8, function);
        QFETCH(quint16, start);
        QFETCH(quint16, count);
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, body);
        QFETCH(qint16, replyLen);
        const Request request = buildRequest(2, function, start, count, payload);
        QCOMPARE(request.body, body);
        QCOMPARE(request.replyLength, replyLen);
        QCOMPARE(request.station(), quint8(2));
        QCOMPARE(request.function(), function);
        // The identifier request has neither start nor count.
        const bool identifier = function == Fn::ReportId;
        QCOMPARE(request.start(), identifier ? quint16(0) : start);
        QCOMPARE(request.count(), identifier ? quint16(0) : count);

        FrameBuffer fb;
        fb.bytes = "stale contents";
        loadRequest(fb, request);
        QCOMPARE(fb.bytes, body + QByteArray(2, '\0'));
        QCOMPARE(fb.requestLength, qint16(body.size() + 2));
        QCOMPARE(fb.replyLength, replyLen);
    }

    void replyLengths()
    {
        QCOMPARE(replyLengthFor(Fn::ReadCoils, 8), qint16(6));
        QCOMPARE(replyLengthFor(Fn::ReadCoils, 17), qint16(8));
        QCOMPARE(replyLengthFor(Fn::ReadHolding, 10), qint16(25));
        QCOMPARE(replyLengthFor(Fn::ReadInputRegisters, 8), qint16(21));
        QCOMPARE(replyLengthFor(Fn::WriteRegisters, 7), qint16(8));
    }

    void readerBodyExcludesCheckField()
    {
        const QByteArray rtu = testsupport::framed(hex("020304FF387FFF"), false);
        FrameBuffer fb;
        fb.bytes = rtu + "trailing";
        fb.length = static_cast<qint16>(rtu.size());
        const ReplyReader r(fb, checkFieldLength(Framing::Rtu));
        QCOMPARE(r.size(), 7);
        QVERIFY(r.has(7));
        QVERIFY(!r.has(8));
        QCOMPARE(r.station(), quint8(2));
        QCOMPARE(r.function(), quint8(3));
        QCOMPARE(r.byteCount(), quint8(4));
        QCOMPARE(r.signedRegister(0), qint16(-200));
        QCOMPARE(r.unsignedRegister(0), quint16(0xFF38));
        QCOMPARE(r.signedRegister(1), qint16(32767));
        // The CRC bytes and anything past the body read as 0.
        QCOMPARE(r.byte(7), quint8(0));
        QCOMPARE(r.byte(-1), quint8(0));
        QCOMPARE(r.signedRegister(2), qint16(0));
        QCOMPARE(r.bytes(5, 10).toByteArray(), hex("7FFF"));
        QCOMPARE(r.bytes(9, 3).size(), 0);
    }

    void readerAsciiHasOneCheckByte()
    {
        // After unframing an ASCII reply, the buffer starts with the decoded
        // bytes (body and LRC); its length counts them.
        FrameBuffer fb;
        fb.bytes = hex("0111EE") + "11EE\r\n";
        fb.length = 3;
        const ReplyReader r(fb, checkFieldLength(Framing::Ascii));
        QCOMPARE(r.size(), 2);
        QCOMPARE(r.function(), quint8(0x11));
        QCOMPARE(checkFieldLength(Framing::Ascii), 1);
        QCOMPARE(checkFieldLength(Framing::Rtu), 2);
        QCOMPARE(checkFieldLength(Framing::Mbap), 0);
    }

    void readerNeverReadsPastTheBuffer()
    {
        FrameBuffer fb;
        fb.bytes = hex("0103");
        fb.length = 100; // a length that overstates the buffer
        const ReplyReader r(fb, checkFieldLength(Framing::Rtu));
        QCOMPARE(r.size(), 0);
        QCOMPARE(r.byte(1), quint8(0));
        fb.length = -5;
        QCOMPARE(ReplyReader(fb, checkFieldLength(Framing::Rtu)).size(), 0);
    }
};

QTEST_APPLESS_MAIN(TestRequests)
#include "tst_requests.moc"
