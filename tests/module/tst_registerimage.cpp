// Register image of the control and alarm blocks: packing high byte first, two's
// complement, the alarm values that only fit modulo 65536, and the block
// records carried in their write requests and read replies.
#include "module/alarmrecord.h"
#include "module/controlrecord.h"
#include "module/registerimage.h"

#include <QTest>

using namespace krv;

namespace {
// The register bytes of a write request of several registers (past station,
// function, start, count and byte count).
QByteArray payloadOf(const Request &request)
{
    return request.body.mid(7);
}

// The read reply a module gives with these register bytes (no check field).
QByteArray readReply(quint8 station, const QByteArray &registerBytes)
{
    QByteArray body;
    body.append(char(station)).append(char(Fn::ReadHolding)).append(char(registerBytes.size()));
    return body + registerBytes;
}
} // namespace

class TestRegisterImage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void controlWordRoundTrip_data()
    {
        QTest::addColumn<qint16>("word");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("low");
        QTest::newRow("-1") << qint16(-1) << 0xFF << 0xFF;
        QTest::newRow("32767") << qint16(32767) << 0x7F << 0xFF;
        QTest::newRow("-32768") << qint16(-32768) << 0x80 << 0x00;
        QTest::newRow("300") << qint16(300) << 0x01 << 0x2C;
    }
    // The first and the last channel's block pack alike: seven words, the
    // control range last (bytes 12, 13), nothing after them.
    void controlWordRoundTrip()
    {
        QFETCH(qint16, word);
        QFETCH(int, high);
        QFETCH(int, low);
        for (int channel : {0, 8}) {
            ControlRecord r;
            r.words[ControlRecord::OrderAndInput] = 1;
            r.words[ControlRecord::ControlRange] = word;
            const Request write = controlWriteRequest(3, channel, r);
            QCOMPARE(write.start(), controlBlockStart(channel));
            QCOMPARE(write.count(), quint16(ControlRegisterCount));
            QCOMPARE(quint8(write.body.at(6)), quint8(2 * ControlRegisterCount));
            const QByteArray bytes = payloadOf(write);
            QCOMPARE(bytes.size(), 2 * ControlRegisterCount);
            QCOMPARE(int(quint8(bytes[0])), 0);
            QCOMPARE(int(quint8(bytes[1])), 1);
            QCOMPARE(int(quint8(bytes[12])), high);
            QCOMPARE(int(quint8(bytes[13])), low);

            const auto back = controlRecordFromReply(ReplyReader(readReply(3, bytes), 0));
            QVERIFY(back.has_value());
            QCOMPARE(back->words[ControlRecord::ControlRange], word);
            QCOMPARE(back->words[ControlRecord::OrderAndInput], qint16(1));
            QCOMPARE(back->words, r.words);
        }
        QCOMPARE(controlBlockStart(0), quint16(0x0102));
        QCOMPARE(controlBlockStart(8), quint16(0x0192));
    }

    void alarmValues_data()
    {
        QTest::addColumn<qint32>("value");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("low");
        QTest::addColumn<qint32>("unpacked");
        QTest::newRow("40000") << 40000 << 0x9C << 0x40 << -25536;
        QTest::newRow("-40000") << -40000 << 0x63 << 0xC0 << 25536;
        QTest::newRow("-32768") << -32768 << 0x80 << 0x00 << -32768;
        QTest::newRow("32767") << 32767 << 0x7F << 0xFF << 32767;
        QTest::newRow("65535") << 65535 << 0xFF << 0xFF << -1;
        QTest::newRow("-65536") << -65536 << 0x00 << 0x00 << 0;
    }
    // Block 8 (module control) packs like the channel blocks; its third
    // register is bytes 4 and 5.
    void alarmValues()
    {
        QFETCH(qint32, value);
        QFETCH(int, high);
        QFETCH(int, low);
        QFETCH(qint32, unpacked);
        AlarmRecord r;
        r.values[2] = value;
        const Request write = alarmWriteRequest(3, AlarmBlock::ModuleControl, r);
        QCOMPARE(write.start(), quint16(0x01F8));
        QCOMPARE(write.count(), quint16(AlarmBlock::Registers));
        const QByteArray bytes = payloadOf(write);
        QCOMPARE(bytes, packRegisters(r.values));
        QCOMPARE(bytes.size(), 6);
        QCOMPARE(int(quint8(bytes[4])), high);
        QCOMPARE(int(quint8(bytes[5])), low);

        const auto back = alarmRecordFromReply(ReplyReader(readReply(3, bytes), 0));
        QVERIFY(back.has_value());
        QCOMPARE(back->values[2], unpacked);
        std::array<qint32, 3> values{};
        unpackRegisters(bytes, values);
        QCOMPARE(values[2], unpacked);
    }

    // Unpacking touches no value beyond what both the bytes and the values
    // hold; a block index outside 0..8 is none; a short reply gives no record.
    void outOfRangeTouchesNothing()
    {
        std::array<qint32, 4> values{101, 102, 103, 104};
        unpackRegisters(QByteArray::fromHex("FFFF0001"), values); // two registers only
        QCOMPARE(values, (std::array<qint32, 4>{-1, 1, 103, 104}));
        std::array<qint32, 1> one{7};
        unpackRegisters(QByteArray::fromHex("00020003"), one); // more bytes than values
        QCOMPARE(one[0], 2);
        unpackRegisters(QByteArray::fromHex("FF"), one); // half a register
        QCOMPARE(one[0], 2);
        QCOMPARE(packRegisters(std::span<const qint32>{}), QByteArray());

        for (int bad : {-1, 9, 1000})
            QVERIFY(!AlarmBlock::valid(bad));
        for (int block = 0; block < AlarmBlock::Count; ++block)
            QVERIFY(AlarmBlock::valid(block));

        const QByteArray control = readReply(3, QByteArray(2 * ControlRegisterCount, '\x11'));
        QVERIFY(!controlRecordFromReply(ReplyReader(control.chopped(1), 0)));
        const QByteArray alarm = readReply(3, QByteArray(6, '\x22'));
        QVERIFY(!alarmRecordFromReply(ReplyReader(alarm.chopped(1), 0)));

        QCOMPARE(unpackRegister(0x80, 0x00), qint16(-32768));
        QCOMPARE(unpackRegister(0x7F, 0xFF), qint16(32767));
    }
};

QTEST_APPLESS_MAIN(TestRegisterImage)
#include "tst_registerimage.moc"
