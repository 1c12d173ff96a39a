// Framing and unframing on a frame buffer, with the exact effects on its
// bytes, length, checksum and reply length, in the framing of the selected slot.
#include "module/moduleslots.h"
#include "protocol/modbusframing.h"
#include "protocol/requests.h"
#include "testsupport.h"

#include <QTest>

using namespace krv;
using testsupport::hex;

namespace {
void loadReply(FrameBuffer &fb, const QByteArray &bytes)
{
    fb.bytes = bytes;
    fb.length = static_cast<qint16>(bytes.size());
}
} // namespace

class TestModbusFraming : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void crcOfKnownFrames_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<quint16>("crc");
        QTest::newRow("read 8 registers") << hex("010300000008") << quint16(0x0C44);
        QTest::newRow("empty") << QByteArray() << quint16(0xFFFF);
        QTest::newRow("device id") << hex("0211") << quint16(0xDCC0);
    }
    void crcOfKnownFrames()
    {
        QFETCH(QByteArray, body);
        QFETCH(quint16, crc);
        QCOMPARE(modbusCrc16(body), crc);
        // Over a whole frame, CRC included, the residue is zero.
        QCOMPARE(modbusCrc16(rtuFrame(body)), quint16(0));
    }

    void frameRtuRequest()
    {
        FrameBuffer fb;
        fb.bytes = hex("010300000008");
        fb.length = 6;
        computeCrc(fb);
        QCOMPARE(fb.checksum, 0x0C44);
        QCOMPARE(fb.bytes, hex("010300000008")); // the CRC alone changes nothing else
        QCOMPARE(fb.length, qint16(6));

        loadRequest(fb, buildRequest(1, Fn::ReadHolding, 0, 8));
        QCOMPARE(fb.bytes, hex("0103000000080000"));
        QCOMPARE(fb.requestLength, qint16(8));
        frameRequest(fb, false);
        QCOMPARE(fb.bytes, hex("010300000008440C"));
        QCOMPARE(fb.length, qint16(8));
        QCOMPARE(fb.replyLength, qint16(21));
    }

    // The selected slot's framing decides; the last slot is a valid one.
    void frameAsciiRequest()
    {
        FrameBuffer fb;
        ModuleSlots moduleSlots;
        moduleSlots.selected = 512;
        moduleSlots.ascii[512] = true;
        QVERIFY(ModuleSlots::validIndex(512));
        QVERIFY(!ModuleSlots::validIndex(513));
        QVERIFY(moduleSlots.selectedIsAscii());
        loadRequest(fb, buildRequest(1, Fn::ReadHolding, 0, 8));
        frameRequest(fb, moduleSlots.selectedIsAscii());
        QCOMPARE(fb.bytes, QByteArray(":010300000008F4\r\n"));
        QCOMPARE(fb.bytes.size(), 17);
        QCOMPARE(fb.length, qint16(16));
        QCOMPARE(fb.replyLength, qint16(43));
        QCOMPARE(fb.checksum, -12); // minus the sum of the body bytes
        QVERIFY(moduleSlots.ascii[512]);
    }

    void asciiDigitsAreUpperCase() { QCOMPARE(asciiFrame(hex("FAAB")), QByteArray(":FAAB5B\r\n")); }

    void unframeReplies_data()
    {
        QTest::addColumn<bool>("ascii");
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<bool>("intact");
        QTest::addColumn<qint32>("checksum");
        QTest::addColumn<qint16>("length");
        QTest::addColumn<QByteArray>("decodedHead");

        const QByteArray rtu = rtuFrame(hex("0103020064"));
        QByteArray swapped = rtu;
        std::swap(swapped[5], swapped[6]);
        QTest::newRow("rtu intact") << false << rtu << true << 0 << qint16(7) << rtu;
        QTest::newRow("rtu crc swapped") << false << swapped << false << -1 << qint16(7) << swapped;
        QTest::newRow("ascii 9 characters")
            << true << QByteArray(":0111EE\r\n") << true << 0 << qint16(3) << hex("0111EE");
        QTest::newRow("ascii without colon") << true << QByteArray("0111EE\r\n") << false << 255
                                             << qint16(2) << QByteArray("0111EE\r\n");
        QTest::newRow("ascii lower case")
            << true << QByteArray(":0111ee\r\n") << false << -1 << qint16(3) << QByteArray();
        QTest::newRow("ascii two characters")
            << true << QByteArray(":0") << false << 255 << qint16(0) << QByteArray(":0");
        QTest::newRow("ascii nothing")
            << true << QByteArray() << false << 255 << qint16(0) << QByteArray();
    }
    void unframeReplies()
    {
        QFETCH(bool, ascii);
        QFETCH(QByteArray, received);
        QFETCH(bool, intact);
        QFETCH(qint32, checksum);
        QFETCH(qint16, length);
        QFETCH(QByteArray, decodedHead);

        FrameBuffer fb;
        loadReply(fb, received);
        QCOMPARE(unframeReply(fb, ascii), intact);
        if (checksum >= 0)
            QCOMPARE(fb.checksum, checksum);
        else
            QCOMPARE_NE(fb.checksum, 0);
        QCOMPARE(fb.length, length);
        QVERIFY(fb.bytes.startsWith(decodedHead));
        // The same verdict without touching the bytes.
        QCOMPARE(frameIntact(received, ascii), intact);
    }

    // The ASCII decoder leaves the characters past the decoded bytes in place.
    void asciiDecodeKeepsTail()
    {
        FrameBuffer fb;
        loadReply(fb, ":0111EE\r\n");
        decodeAscii(fb);
        QCOMPARE(fb.bytes, QByteArray("\x01\x11\xEE"
                                      "11EE\r\n"));
    }

    // Framing never indexes outside the buffer, whatever requestLength says.
    void frameWithInconsistentLength()
    {
        FrameBuffer fb;
        fb.bytes = hex("01");
        fb.requestLength = 8;
        frameRequest(fb, false);
        QCOMPARE(fb.bytes.size(), 8);
        fb.requestLength = 0;
        frameRequest(fb, false);
        QCOMPARE(fb.bytes.size(), 2);
    }
};

QTEST_APPLESS_MAIN(TestModbusFraming)
#include "tst_modbusframing.moc"
