// Framing and unframing on a frame buffer, with the exact effects on its
// bytes, length, checksum and reply length, in the framing of the selected slot
// (RTU, ASCII) or of a Modbus TCP line (MBAP header); where the first frame of
// a receive ends, and how long a reply is as framed.
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
        frameRequest(fb, Framing::Rtu);
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
        frameRequest(fb, serialFraming(moduleSlots.selectedIsAscii()));
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
        QTest::addColumn<Framing>("framing");
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<bool>("intact");
        QTest::addColumn<qint32>("checksum");
        QTest::addColumn<qint16>("length");
        QTest::addColumn<QByteArray>("decodedHead");

        const QByteArray rtu = rtuFrame(hex("0103020064"));
        QByteArray swapped = rtu;
        std::swap(swapped[5], swapped[6]);
        QTest::newRow("rtu intact") << Framing::Rtu << rtu << true << 0 << qint16(7) << rtu;
        QTest::newRow("rtu crc swapped")
            << Framing::Rtu << swapped << false << -1 << qint16(7) << swapped;
        QTest::newRow("ascii 9 characters") << Framing::Ascii << QByteArray(":0111EE\r\n") << true
                                            << 0 << qint16(3) << hex("0111EE");
        QTest::newRow("ascii without colon") << Framing::Ascii << QByteArray("0111EE\r\n") << false
                                             << 255 << qint16(2) << QByteArray("0111EE\r\n");
        QTest::newRow("ascii lower case") << Framing::Ascii << QByteArray(":0111ee\r\n") << false
                                          << -1 << qint16(3) << QByteArray();
        QTest::newRow("ascii two characters")
            << Framing::Ascii << QByteArray(":0") << false << 255 << qint16(0) << QByteArray(":0");
        QTest::newRow("ascii nothing")
            << Framing::Ascii << QByteArray() << false << 255 << qint16(0) << QByteArray();

        // Modbus TCP: the header goes, the body moves to the front; a header
        // of another protocol or a length other than the bytes that follow
        // leaves everything as it was.
        const auto mbap = [](const char *name, const char *frame, bool intact, int length,
                             const char *head) {
            QTest::newRow(name) << Framing::Mbap << hex(frame) << intact << (intact ? 0 : 255)
                                << qint16(length) << hex(head);
        };
        mbap("mbap intact", "0007000000050103020064", true, 5, "0103020064");
        mbap("mbap exception", "000700000003018302", true, 3, "018302");
        mbap("mbap protocol 1", "0007000100050103020064", false, 11, "000700010005");
        mbap("mbap length beyond", "0007000000060103020064", false, 11, "000700000006");
        mbap("mbap length short", "0007000000040103020064", false, 11, "000700000004");
        mbap("mbap unit id alone", "00070000000101", false, 7, "00070000000101");
    }
    void unframeReplies()
    {
        QFETCH(Framing, framing);
        QFETCH(QByteArray, received);
        QFETCH(bool, intact);
        QFETCH(qint32, checksum);
        QFETCH(qint16, length);
        QFETCH(QByteArray, decodedHead);

        FrameBuffer fb;
        loadReply(fb, received);
        QCOMPARE(unframeReply(fb, framing), intact);
        if (checksum >= 0)
            QCOMPARE(fb.checksum, checksum);
        else
            QCOMPARE_NE(fb.checksum, 0);
        QCOMPARE(fb.length, length);
        QVERIFY(fb.bytes.startsWith(decodedHead));
        // The same verdict without touching the bytes.
        QCOMPARE(frameIntact(received, framing), intact);
    }

    // Modbus TCP: the header (transaction id, protocol 0, the body's length,
    // high bytes first) in place of the check field; the reply expected with
    // its header; a reply's transaction id taken from its header.
    void mbapFraming()
    {
        QCOMPARE(mbapFrame(0xFFFF, hex("0211")), hex("FFFF000000020211"));
        FrameBuffer fb;
        loadRequest(fb, buildRequest(1, Fn::ReadHolding, 0, 8));
        fb.transactionId = 0x0102;
        frameRequest(fb, Framing::Mbap);
        QCOMPARE(fb.bytes, hex("010200000006010300000008"));
        QCOMPARE(fb.length, qint16(12));
        QCOMPARE(fb.replyLength, qint16(25));

        loadReply(fb, hex("ABCD00000007010304FF387FFF"));
        QVERIFY(unframeReply(fb, Framing::Mbap));
        QCOMPARE(fb.transactionId, quint16(0xABCD));
        const ReplyReader r(fb, checkFieldLength(Framing::Mbap));
        QCOMPARE(r.size(), 7);
        QCOMPARE(r.signedRegister(1), qint16(32767));
    }

    // Where the first frame of the received bytes ends (0: cannot tell yet;
    // beyond the bytes: the rest is on its way).
    void firstFrameLengths_data()
    {
        QTest::addColumn<Framing>("framing");
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<qsizetype>("length");
        const auto row = [](const char *name, Framing f, const QByteArray &bytes, qsizetype n) {
            QTest::newRow(name) << f << bytes << n;
        };
        row("rtu without count", Framing::Rtu, hex("0103"), 0);
        row("rtu read begun", Framing::Rtu, hex("010302"), 7);
        row("rtu exception", Framing::Rtu, hex("0183"), 5);
        row("rtu write echo", Framing::Rtu, hex("0110"), 8);
        row("rtu unknown function", Framing::Rtu, hex("01070000"), 4);
        row("ascii up to LF", Framing::Ascii, ":0111EE\r\n:01", 9);
        row("ascii without LF", Framing::Ascii, ":0111EE\r", 0);
        row("ascii longer than any frame", Framing::Ascii, QByteArray(513, 'A'), 513);
        row("mbap header not whole", Framing::Mbap, hex("0001000000"), 0);
        row("mbap header alone", Framing::Mbap, hex("000100000105"), 6 + 0x105);
        row("mbap, another behind", Framing::Mbap, hex("00010000000301830200020000"), 9);
    }
    void firstFrameLengths()
    {
        QFETCH(Framing, framing);
        QFETCH(QByteArray, received);
        QFETCH(qsizetype, length);
        QCOMPARE(firstFrameLength(received, framing), length);
    }

    // A reply's length as framed, from its RTU length.
    void framedReplyLengths_data()
    {
        QTest::addColumn<int>("rtu");
        QTest::addColumn<int>("ascii");
        QTest::addColumn<int>("mbap");
        QTest::newRow("8 registers") << 21 << 43 << 25;
        QTest::newRow("write echo") << 8 << 17 << 12;
        QTest::newRow("exception") << 5 << 11 << 9;
    }
    void framedReplyLengths()
    {
        QFETCH(int, rtu);
        QFETCH(int, ascii);
        QFETCH(int, mbap);
        QCOMPARE(framedReplyLength(rtu, Framing::Rtu), rtu);
        QCOMPARE(framedReplyLength(rtu, Framing::Ascii), ascii);
        QCOMPARE(framedReplyLength(rtu, Framing::Mbap), mbap);
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
        frameRequest(fb, Framing::Rtu);
        QCOMPARE(fb.bytes.size(), 8);
        fb.requestLength = 0;
        frameRequest(fb, Framing::Rtu);
        QCOMPARE(fb.bytes.size(), 2);
    }
};

QTEST_APPLESS_MAIN(TestModbusFraming)
#include "tst_modbusframing.moc"
