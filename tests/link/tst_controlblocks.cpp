// The control blocks: box texts to register bytes on the wire and back to
// texts, the requests, the sweep per line speed and what each reply shows.
#include "link/controlblocks.h"
#include "linkfixture.h"
#include "protocol/requests.h"
#include "testsupport.h"

#include <QTest>

using namespace krv;
using testsupport::hex;

namespace {
ControlTexts textsOf(const QString &spaced)
{
    ControlTexts t;
    const QStringList parts = spaced.split(' ');
    std::copy(parts.begin(), parts.end(), t.begin());
    return t;
}

// The control editor's line and blocks beside the main window's link.
struct ControlFixture : LinkFixture
{
    testsupport::MemoryPort editorPort;
    EditorLink editor{state.moduleSlots, editorPort, cycle};
    ControlBlocks blocks{state.moduleSlots, editor};
    QString status;
    QMap<int, QString> shown; // channel: its texts, blank-separated

    // By default COM1 at 9600 baud.
    explicit ControlFixture(const LineChoice &line = {}, bool ascii = false)
    {
        useModule(2, ascii);
        QObject::connect(&editor.engine(), &TransactionEngine::statusChanged,
                         [this](const LinkStatus &s) { status = StatusText::of(s); });
        QObject::connect(&blocks, &ControlBlocks::channelRead,
                         [this](int c, const ControlTexts &t) {
                             shown[c] = QStringList(t.begin(), t.end()).join(' ');
                         });
        cycle.lend(line);
        editor.open();
        editor.sweepTimer().stop(); // the test runs the ticks
    }
    void reply(const QByteArray &body)
    {
        testsupport::deliver(editorPort,
                             testsupport::framed(body, state.moduleSlots.selectedIsAscii()));
    }
};
} // namespace

class TestControlBlocks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Texts written as register bytes, those bytes read back as texts; or the
    // first box, in word order, that cannot be written (the record unchanged).
    void conversions_data()
    {
        QTest::addColumn<QString>("boxes");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("faultRow");
        QTest::addColumn<bool>("outOfRange");
        QTest::addColumn<bool>("packed"); // the refused value is high × 256 + low
        const auto ok = [](const char *tag, const char *boxes, const char *bytes,
                           const char *shown) {
            QTest::newRow(tag) << boxes << hex(bytes) << shown << -1 << false << false;
        };
        const auto refused = [](const char *tag, const char *boxes, int row, bool range,
                                bool packed = false) {
            QTest::newRow(tag) << boxes << QByteArray() << QString() << row << range << packed;
        };
        ok("1 and 5", "1 5 0 10 250 100 20 5 30", "0105000A00FA006400140005001E",
           "1 5 0 10 250 100 20 5 30");
        ok("1.5 × 256 carries into the low byte", "1.5 0 0 0 0 0 0 0 0",
           "0180000000000000000000000000", "1 128 0 0 0 0 0 0 0");
        ok("input 300 carries into the high byte", "1 300 0 0 0 0 0 0 0",
           "022C000000000000000000000000", "2 44 0 0 0 0 0 0 0");
        ok("0xFF05 shows 0 and 5", "-1 5 0 0 0 0 0 0 0", "FF05000000000000000000000000",
           "0 5 0 0 0 0 0 0 0");
        ok("0x8005 shows -127 and 5", "-128 5 0 0 0 0 0 0 0", "8005000000000000000000000000",
           "-127 5 0 0 0 0 0 0 0");
        ok("halves to even, negatives", "0 0 0 2.5 25.5 24.5 -3 -2.5 32767.4",
           "00000002001A0018FFFDFFFE7FFF", "0 0 0 2 26 24 -3 -2 32767");
        refused("start order 128", "128 0 0 0 0 0 0 0 0", 0, true, true);
        refused("phase 127, sample time 256", "0 0 127 256 0 0 0 0 0", 2, true, true);
        refused("set value 32767.5", "0 0 0 0 32767.5 0 0 0 0", 4, true);
        refused("initial text", "StartStep 0 0 0 0 0 0 0 0", 0, false);
        refused("exponent", "0 0 0 0 0 0 0 1e3 0", 7, false);
        refused("forty digits", "0 0 0 0 0 0 9999999999999999999999999999999999999999 0 0", 6,
                true);
        refused("sample time text", "0 0 0 x 0 0 0 0 0", 3, false);
        refused("earlier word first", "200 0 0 0 x 0 0 0 0", 0, true, true);
    }
    void conversions()
    {
        QFETCH(QString, boxes);
        QFETCH(QByteArray, written);
        QFETCH(QString, shown);
        QFETCH(int, faultRow);
        QFETCH(bool, outOfRange);
        QFETCH(bool, packed);
        ControlRecord record;
        record.words[ControlRecord::SetTemperature] = 77;
        const auto fault = textsToRecord(8, textsOf(boxes), record);
        if (faultRow >= 0) {
            QVERIFY(fault);
            QCOMPARE(fault->row, faultRow);
            QCOMPARE(fault->channel, 8);
            QCOMPARE(fault->reason == InputRefusal::Reason::OutOfRange, outOfRange);
            QCOMPARE(fault->field == InputRefusal::Field::ControlPackedBoxes, packed);
            QCOMPARE(record.words[ControlRecord::SetTemperature], qint16(77));
            return;
        }
        QVERIFY(!fault);
        const Request request = controlWriteRequest(2, 8, record);
        QCOMPARE(request.body, hex("0210019200070E") + written);
        QCOMPARE(request.replyLength, qint16(8));
        FrameBuffer fb;
        loadRequest(fb, request);
        QCOMPARE(fb.bytes, hex("0210019200070E") + written + hex("0000"));
        QCOMPARE(fb.requestLength, qint16(23));
        // The same bytes as a read reply of channel 0, shown.
        const QByteArray reply = hex("02030E") + written + hex("0000");
        const auto back = controlRecordFromReply(ReplyReader(reply, 2));
        QVERIFY(back);
        const ControlTexts texts = recordToTexts(*back);
        QCOMPARE(QStringList(texts.begin(), texts.end()).join(' '), shown);
    }

    void readRequests()
    {
        const Request first = controlReadRequest(2, 0);
        QCOMPARE(first.body, hex("020301020007"));
        QCOMPARE(first.replyLength, qint16(19));
        FrameBuffer fb;
        loadRequest(fb, first);
        QCOMPARE(fb.bytes, hex("0203010200070000"));
        QCOMPARE(fb.requestLength, qint16(8));
        QCOMPARE(controlReadRequest(2, 8).body, hex("020301920007"));
        // A reply too short for the seven registers carries no record.
        QVERIFY(!controlRecordFromReply(ReplyReader(hex("02030C") + QByteArray(12, '\0'), 0)));
    }

    // Tick per line speed; nine reads, each reply shown in its own channel
    // and kept as its record, with the status empty; the tenth tick stops.
    void sweep_data()
    {
        QTest::addColumn<int>("rateIndex");
        QTest::addColumn<int>("tick");
        QTest::addColumn<bool>("ascii");
        const int ticks[] = {1200, 600, 400, 300, 240, 200};
        for (int i = 0; i < 6; ++i)
            QTest::addRow("speed %d%s", i, i % 2 ? " ASCII" : "") << i << ticks[i] << (i % 2 == 1);
    }
    void sweep()
    {
        QFETCH(int, rateIndex);
        QFETCH(int, tick);
        QFETCH(bool, ascii);
        ControlFixture f({LineAddress::com(1), QStringLiteral("9600"), rateIndex}, ascii);
        QCOMPARE(f.editor.sweepTimer().interval(), tick);
        for (int c = 0; c < 9; ++c) {
            f.editor.onSweepTick();
            QCOMPARE(f.editorPort.receiveThreshold(), ascii ? 39 : 19);
            f.reply(testsupport::registersBody(2, 3, {(c + 1) << 8 | c, 10, 300 + c, 1, 2, 3, 4}));
        }
        f.editor.sweepTimer().start();
        f.editor.onSweepTick();
        QVERIFY(!f.editor.sweepTimer().isActive());
        QCOMPARE(f.editorPort.sent().size(), 9);
        QCOMPARE(f.shown.size(), 9);
        QCOMPARE(f.shown[4], QStringLiteral("5 4 0 10 304 1 2 3 4"));
        QCOMPARE(f.blocks.record(4).words[ControlRecord::SetTemperature], qint16(304));
        QCOMPARE(f.blocks.record(8).words[ControlRecord::OrderAndInput], qint16(9 << 8 | 8));
        QCOMPARE(f.status, QString());
    }

    void replyStatusTexts()
    {
        ControlFixture f;
        const ControlTexts plain = textsOf("1 5 0 10 250 100 20 5 30");
        QVERIFY(!f.blocks.writeChannel(3, plain));
        f.reply(hex("021001380007"));
        QCOMPARE(f.status, QStringLiteral("写通道3控制参数成功"));
        // No echo within the reply time-out, or one failing its check: the
        // write failed. A read without a reply stays silent.
        QVERIFY(!f.blocks.writeChannel(4, plain));
        f.editor.engine().onReplyTimeout();
        QCOMPARE(f.status, QStringLiteral("写通道4控制参数失败"));
        QVERIFY(!f.blocks.writeChannel(5, plain));
        QByteArray damaged = rtuFrame(hex("0210015C0007"));
        damaged[3] = char(damaged[3] ^ 0x01);
        testsupport::deliver(f.editorPort, damaged);
        QCOMPARE(f.status, QStringLiteral("写通道5控制参数失败"));
        f.status.clear();
        f.blocks.readChannel(2);
        f.editor.engine().onReplyTimeout();
        QCOMPARE(f.status, QString());
        // An exception reply, seen when line noise after it makes up the
        // read's reply length. (The read waits until channel 2's unanswered
        // read could no longer have its reply come: they look alike.)
        f.blocks.readChannel(6);
        QVERIFY(QTest::qWaitFor([&] { return f.editor.engine().outstanding(); }, 2000));
        testsupport::deliver(f.editorPort, rtuFrame(hex("028302")) + QByteArray(14, '\xFF'));
        QCOMPARE(f.status, QStringLiteral("无此功能号"));
        // A body too short for the block (the engine confirms the length
        // against the request first; the blocks do not rely on it): a
        // one-register read of channel 2's block, answered and confirmed.
        f.editor.submit(buildRequest(2, Fn::ReadHolding, controlBlockStart(2), 1), 2);
        f.reply(hex("0203020001"));
        QCOMPARE(f.status, QStringLiteral("数据长度错误"));
        QVERIFY(f.shown.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestControlBlocks)
#include "tst_controlblocks.moc"
