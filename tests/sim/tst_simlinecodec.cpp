// The simulated module's receivers (RTU sized by function code with resync and
// silence, ASCII from ":" to CR LF, Modbus TCP by the header's length) and its reply
// framing.
#include "linecodec.h"
#include "mbap.h"
#include "protocol/modbusframing.h"

#include <QTest>

#include <random>

using namespace sim;

namespace {
QByteArray hex(const char *t)
{
    return QByteArray::fromHex(t);
}
const QByteArray kRead = hex("020300000008"); // body of a measurement read
const QByteArray kWrite16 = hex("021001A80003060064FFCE100A");
constexpr qint64 kSilence9600 = 3645; // 35 bit times at 9600 baud
} // namespace

class TestSimLineCodec : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void requestLengthByFunction_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<int>("length");
        QTest::newRow("03") << hex("0203") << 8;
        QTest::newRow("05") << hex("0205") << 8;
        QTest::newRow("11") << hex("0211") << 4;
        QTest::newRow("10 before byte count") << hex("021001A80003") << 0;
        QTest::newRow("10 with byte count 6") << hex("021001A8000306") << 15;
        QTest::newRow("0F with byte count 2") << hex("020F0000000A02") << 11;
        QTest::newRow("unknown 41") << hex("0241") << -1;
        QTest::newRow("one byte") << hex("02") << 0;
    }
    void requestLengthByFunction()
    {
        QFETCH(QByteArray, head);
        QFETCH(int, length);
        QCOMPARE(RtuReceiver::requestLength(head), length);
    }

    void rtuFramesInAnyChunks()
    {
        RtuReceiver rx(9600);
        const QByteArray wire = krv::rtuFrame(kRead) + krv::rtuFrame(kWrite16);
        QList<QByteArray> got;
        for (int i = 0; i < wire.size(); ++i) {
            got += rx.feed(wire.mid(i, 1), 1000 + i * 100);
            if (i == 7)
                QCOMPARE(got, QList<QByteArray>{kRead}); // complete on its 8th byte
        }
        QCOMPARE(got, (QList<QByteArray>{kRead, kWrite16}));
        QCOMPARE(rx.deadline(), 0);
        // Both at once.
        QCOMPARE(rx.feed(wire, 10000000), (QList<QByteArray>{kRead, kWrite16}));
        QVERIFY(rx.takeIgnored().isEmpty());
    }

    void rtuResynchronisesAfterGarbage()
    {
        RtuReceiver rx(9600);
        // Noise that starts like a long function-16 frame, an ASCII request, then ours.
        const QByteArray noise = hex("0110FFFF00FF") + krv::asciiFrame(kRead);
        QCOMPARE(rx.feed(noise + krv::rtuFrame(kRead), 1000), QList<QByteArray>{kRead});
        QCOMPARE(rx.takeIgnored(), noise);
        // A frame with a bad CRC is dropped at the silence after it.
        QByteArray bad = krv::rtuFrame(kRead);
        bad[7] = char(bad[7] ^ 1);
        QVERIFY(rx.feed(bad, 2000).isEmpty());
        QCOMPARE(rx.deadline(), 2000 + kSilence9600);
        QVERIFY(rx.expire(rx.deadline()).isEmpty());
        QCOMPARE(rx.takeIgnored(), bad);
    }

    void rtuSilenceEndsFrames()
    {
        RtuReceiver rx(9600);
        const QByteArray frame = krv::rtuFrame(kRead);
        // A pause of 3.5 characters inside a frame breaks it: neither half is a frame.
        QVERIFY(rx.feed(frame.left(4), 1000).isEmpty());
        QVERIFY(rx.feed(frame.mid(4), 1000 + kSilence9600).isEmpty());
        QVERIFY(rx.expire(rx.deadline()).isEmpty());
        // A shorter pause does not.
        QVERIFY(rx.feed(frame.left(4), 100000).isEmpty());
        QCOMPARE(rx.feed(frame.mid(4), 100000 + kSilence9600 - 100), QList<QByteArray>{kRead});
        // A function the receiver cannot size is taken at the silence if its CRC is good.
        const QByteArray odd = hex("02410102");
        QVERIFY(rx.feed(krv::rtuFrame(odd), 200000).isEmpty());
        QCOMPARE(rx.expire(rx.deadline()), QList<QByteArray>{odd});
        QCOMPARE(RtuReceiver::silenceUs(38400), 1750);
    }

    void asciiFrames()
    {
        AsciiReceiver rx;
        const QByteArray frame = krv::asciiFrame(kRead);
        QList<QByteArray> got;
        for (int i = 0; i < frame.size(); ++i)
            got += rx.feed(frame.mid(i, 1), 1000 + i);
        QCOMPARE(got, QList<QByteArray>{kRead});
        QCOMPARE(rx.feed(frame.toLower(), 2000), QList<QByteArray>{kRead});
        // A new colon starts over; the broken start is ignored.
        QCOMPARE(rx.feed(":0203" + frame, 3000), QList<QByteArray>{kRead});
        QCOMPARE(rx.takeIgnored(), QByteArray(":0203"));
    }

    void asciiRejects_data()
    {
        QTest::addColumn<QByteArray>("wire");
        QByteArray badLrc = krv::asciiFrame(kRead);
        badLrc[badLrc.size() - 3] = badLrc[badLrc.size() - 3] == '0' ? '1' : '0';
        QTest::newRow("bad LRC") << badLrc;
        QTest::newRow("odd digit count") << QByteArray(":02030000000F4\r\n");
        QTest::newRow("not hex") << QByteArray(":0203000G0008F3\r\n");
        QTest::newRow("LF without CR") << QByteArray(":020300000008F3\n");
        QTest::newRow("too short") << QByteArray(":02\r\n");
    }
    void asciiRejects()
    {
        QFETCH(QByteArray, wire);
        AsciiReceiver rx;
        QVERIFY(rx.feed(wire, 1000).isEmpty());
        QCOMPARE(rx.takeIgnored(), wire);
    }

    void asciiTimeoutDropsAStartedFrame()
    {
        AsciiReceiver rx;
        const QByteArray frame = krv::asciiFrame(kRead);
        QVERIFY(rx.feed(frame.left(5), 1000).isEmpty());
        QCOMPARE(rx.deadline(), 1000 + AsciiReceiver::kTimeoutUs);
        QVERIFY(rx.feed(frame.mid(5), 1000 + AsciiReceiver::kTimeoutUs).isEmpty());
    }

    void replyFraming()
    {
        const QByteArray body = hex("0203020A1B");
        QCOMPARE(frameReply(body, Framing::Rtu, true), krv::rtuFrame(body)); // no case in RTU
        const QByteArray badRtu = frameReply(body, Framing::Rtu, false, true);
        QCOMPARE(badRtu.left(5), body);
        QVERIFY(krv::modbusCrc16(badRtu) != 0);
        QCOMPARE(frameReply(body, Framing::Ascii, true), QByteArray(":0203020a1bd4\r\n"));
        QCOMPARE(frameReply(body, Framing::Ascii, false, true), QByteArray(":0203020A1BD5\r\n"));
    }

    // Noise never yields a frame shorter than address and function, and never
    // keeps a good frame behind it from being found.
    void noiseThenAFrame()
    {
        std::mt19937 rng(7);
        for (int round = 0; round < 200; ++round) {
            QByteArray noise(rng() % 600, Qt::Uninitialized);
            for (char &c : noise)
                c = static_cast<char>(rng());
            RtuReceiver rtu(19200);
            AsciiReceiver ascii;
            QList<QByteArray> got = rtu.feed(noise, 1000) + ascii.feed(noise, 1000);
            for (const QByteArray &f : got)
                QVERIFY(f.size() >= 2);
            QVERIFY(rtu.feed(krv::rtuFrame(kRead), 2000).contains(kRead));
            QVERIFY(ascii.feed(krv::asciiFrame(kRead), 2000).contains(kRead));
        }
    }

    void mbapFramesInAnyChunks()
    {
        const QByteArray wire = hex("1234000000060203000000080001000000020511");
        const QList<MbapRequest> both = MbapReceiver().feed(wire);
        QCOMPARE(both.size(), 2);
        QCOMPARE(both[0].transactionId, 0x1234);
        QCOMPARE(both[0].body, kRead);
        QCOMPARE(both[1].transactionId, 1);
        QCOMPARE(both[1].body, hex("0511"));
        MbapReceiver rx;
        QList<MbapRequest> got;
        for (int i = 0; i < wire.size(); ++i) {
            got += rx.feed(wire.mid(i, 1));
            QCOMPARE(got.size(), i < 11 ? 0 : i < 19 ? 1 : 2); // whole on their last byte
        }
        QCOMPARE(rx.pending(), 0);
    }

    // A frame of another protocol is skipped whole, so the stream stays in step; a
    // length no frame has loses what was received, and the next frame counts again.
    void mbapSkipsWhatItCannotTake()
    {
        MbapReceiver rx;
        QVERIFY(rx.feed(hex("0001000100060203000000")).isEmpty());
        QList<MbapRequest> got = rx.feed(hex("08"
                                             "000200000002"
                                             "0211"));
        QCOMPARE(got.size(), 1);
        QCOMPARE(got[0].transactionId, 2);
        for (const char *length : {"0000", "0001", "00FF", "FFFF"}) {
            QVERIFY(rx.feed(hex("00030000") + hex(length) + hex("0211")).isEmpty());
            QCOMPARE(rx.pending(), 0);
        }
        QCOMPARE(rx.feed(hex("000400000002"
                             "0211"))
                     .size(),
                 1);
        // The longest frame: a 253-byte PDU.
        QCOMPARE(rx.feed(hex("000500000"
                             "0FE") +
                         QByteArray(254, '\x02'))
                     .size(),
                 1);
        // A partly received frame is forgotten on reset.
        QVERIFY(rx.feed(hex("00060000000602")).isEmpty());
        rx.reset();
        QCOMPARE(rx.feed(hex("000700000002"
                             "0211"))
                     .size(),
                 1);
    }

    void mbapReplyFrame()
    {
        QCOMPARE(mbapFrame(0xBEEF, hex("0203020A1B")), hex("BEEF00000005"
                                                           "0203020A1B"));
        QCOMPARE(mbapFrame(0, hex("028302")), hex("000000000003"
                                                  "028302"));
    }
};

QTEST_APPLESS_MAIN(TestSimLineCodec)
#include "tst_simlinecodec.moc"
