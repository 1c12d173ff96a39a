// Framing and unframing on the shared frame buffer, with the exact effects on
// CommBuf, CommLen, CheckSum, ReplyLen and the slot's framing flag.
#include "protocol/modbusframing.h"
#include "testsupport.h"

#include <QTest>

using namespace krv;
using testsupport::hex;

namespace {
// A request body in the layout the builders leave: FrameLen bytes, last two zero.
void loadRequest(FrameBuffer &fb, const QByteArray &body, qint16 replyLen)
{
    fb.CommBuf = body + QByteArray(2, '\0');
    fb.FrameLen = static_cast<qint16>(fb.CommBuf.size());
    fb.ReplyLen = replyLen;
}

void loadReply(FrameBuffer &fb, const QByteArray &bytes)
{
    fb.CommBuf = bytes;
    fb.CommLen = static_cast<qint16>(bytes.size());
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
        ModuleSlots mods;
        mods.ModIndex = 3;
        // CalcCRC re-asserts the slot's framing as RTU.
        mods.AsciiMode[3] = True16;
        fb.CommBuf = hex("010300000008");
        fb.CommLen = 6;
        CalcCRC(fb, mods);
        QCOMPARE(fb.CheckSum, 0x0C44);
        QCOMPARE(mods.AsciiMode[3], False16);
        loadRequest(fb, hex("010300000008"), 21);
        frameRequest(fb, mods);
        QCOMPARE(fb.CommBuf, hex("010300000008440C"));
        QCOMPARE(fb.CommLen, qint16(8));
        QCOMPARE(fb.ReplyLen, qint16(21));
        QCOMPARE(mods.AsciiMode[3], False16);
    }

    void frameAsciiRequest()
    {
        FrameBuffer fb;
        ModuleSlots mods;
        mods.ModIndex = 512; // the last slot is valid
        mods.AsciiMode[512] = True16;
        loadRequest(fb, hex("010300000008"), 21);
        frameRequest(fb, mods);
        QCOMPARE(fb.CommBuf, QByteArray(":010300000008F4\r\n"));
        QCOMPARE(fb.CommBuf.size(), 17);
        QCOMPARE(fb.CommLen, qint16(16));
        QCOMPARE(fb.ReplyLen, qint16(43));
        QCOMPARE(fb.CheckSum, -12); // minus the sum of the body bytes
        QCOMPARE(mods.AsciiMode[512], True16);
        QVERIFY(!ModuleSlots::validIndex(513));
    }

    void asciiDigitsAreUpperCase() { QCOMPARE(asciiFrame(hex("FAAB")), QByteArray(":FAAB5B\r\n")); }

    void unframeReplies_data()
    {
        QTest::addColumn<bool>("ascii");
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<bool>("intact");
        QTest::addColumn<qint32>("checkSum");
        QTest::addColumn<qint16>("commLen");
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
        QFETCH(qint32, checkSum);
        QFETCH(qint16, commLen);
        QFETCH(QByteArray, decodedHead);

        FrameBuffer fb;
        ModuleSlots mods;
        mods.AsciiMode[0] = ascii ? True16 : False16;
        loadReply(fb, received);
        QCOMPARE(unframeReply(fb, mods), intact);
        if (checkSum >= 0)
            QCOMPARE(fb.CheckSum, checkSum);
        else
            QCOMPARE_NE(fb.CheckSum, 0);
        QCOMPARE(fb.CommLen, commLen);
        QVERIFY(fb.CommBuf.startsWith(decodedHead));
        QCOMPARE(mods.isAscii(), ascii);
    }

    // The ASCII decoder leaves the characters past the decoded bytes in place.
    void asciiDecodeKeepsTail()
    {
        FrameBuffer fb;
        loadReply(fb, ":0111EE\r\n");
        AsciiToRtu(fb);
        QCOMPARE(fb.CommBuf, QByteArray("\x01\x11\xEE"
                                        "11EE\r\n"));
    }

    // Framing never indexes outside the buffer, whatever FrameLen says.
    void frameWithInconsistentLength()
    {
        FrameBuffer fb;
        ModuleSlots mods;
        fb.CommBuf = hex("01");
        fb.FrameLen = 8;
        frameRequest(fb, mods);
        QCOMPARE(fb.CommBuf.size(), 8);
        fb.FrameLen = 0;
        frameRequest(fb, mods);
        QCOMPARE(fb.CommBuf.size(), 2);
    }
};

QTEST_APPLESS_MAIN(TestModbusFraming)
#include "tst_modbusframing.moc"
