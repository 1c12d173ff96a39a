// Replies that come late, replies that never come, and a line that goes away:
// a late reply is never decoded as another request's, one lost reply costs at
// most one more reading, an editor's sweep waits out a late reply instead of
// guessing, writes waiting at "返 回" still go out, a lost port is tried again,
// and nothing laid out by the firmware is decoded before the module has
// identified itself.
#include "link/controlblocks.h"
#include "link/editorlink.h"
#include "linkfixture.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

using namespace krv;
using testsupport::hex;

namespace {

// Eight registers of the given values from station 2.
QByteArray eight(int base)
{
    QList<int> values;
    for (int k = 0; k < 8; ++k)
        values << base + k;
    return testsupport::registersBody(2, 0x03, values);
}

// A main-window link on module 2 with a clock the test moves.
struct ClockedFixture : LinkFixture
{
    qint64 t = 0;
    QList<ChannelValues> measured, calibrated;
    QList<TrafficEvent::Kind> traffic;

    ClockedFixture()
    {
        useModule(2, false);
        engine.setClock([this] { return t; });
        engine.setReplyTimeout(288);
        QObject::connect(&reads, &RegisterMap::measurementsDecoded,
                         [this](const ChannelValues &v) { measured << v; });
        QObject::connect(&reads, &RegisterMap::calibrationDecoded,
                         [this](const ChannelValues &v) { calibrated << v; });
        QObject::connect(&engine, &TransactionEngine::traffic,
                         [this](const TrafficEvent &e) { traffic << e.kind; });
    }
    // Sends at time `at`.
    void readCalibrationAt(qint64 at)
    {
        t = at;
        reads.readCalibration();
    }
    void readMeasurementsAt(qint64 at)
    {
        t = at;
        reads.readMeasurements();
    }
    void timeOutAt(qint64 at)
    {
        t = at;
        engine.onReplyTimeout();
    }
    void replyAt(qint64 at, const QByteArray &body)
    {
        t = at;
        reply(body);
    }
};

// An editor's line on module 2 with the control blocks, its ticks run by the
// test and its reply time-out short, so that waits are real but brief.
struct SweepFixture : LinkFixture
{
    testsupport::MemoryPort editorPort;
    EditorLink editor{state.moduleSlots, editorPort, cycle};
    ControlBlocks blocks{state.moduleSlots, editor};
    QList<int> read;
    QList<int> unconfirmed;

    SweepFixture()
    {
        useModule(2, false);
        state.module.firmwareKnown = true;
        QObject::connect(&blocks, &ControlBlocks::channelRead,
                         [this](int channel) { read << channel; });
        QObject::connect(&editor, &EditorLink::writeUnconfirmed,
                         [this](int block) { unconfirmed << block; });
        cycle.lend({LineAddress::com(1), QStringLiteral("9600"), 3});
        editor.open();
        editor.sweepTimer().stop();
        editor.engine().setReplyTimeout(30);
    }
    // The reply a control block read gets: channel c's words are c+1 ... c+7.
    static QByteArray blockReply(int c)
    {
        QByteArray body = hex("02030E");
        for (int k = 0; k < 7; ++k)
            body.append('\0').append(char(c + 1 + k));
        return testsupport::framed(body, false);
    }
    // The channel of the block read sent last (from its start register).
    int lastReadChannel() const
    {
        const QByteArray f = testsupport::lastSent(editorPort);
        return ((quint8(f[2]) << 8 | quint8(f[3])) - 0x0102) / 18;
    }
    bool waitSent(int count)
    {
        return QTest::qWaitFor([&] { return editorPort.sent().size() >= count; }, 2000);
    }
};

} // namespace

class TestLateReplies : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The calibration read times out; its reply, late, has the shape of the
    // measurement read sent next. It is not taken for the measurements, and
    // the measurements' own reply, after it, is.
    void lateReplyOfTheSameShapeBeforeTheRealOne()
    {
        ClockedFixture f;
        f.readCalibrationAt(0);
        f.timeOutAt(288);
        f.readMeasurementsAt(300);
        f.replyAt(320, eight(100)); // the calibration values, late
        QVERIFY(f.measured.isEmpty());
        QVERIFY(f.calibrated.isEmpty());
        QCOMPARE(f.traffic.last(), TrafficEvent::Kind::Late);
        QCOMPARE(f.status, StatusText::of({LinkStatus::Code::LateReply, 2}));
        QVERIFY(f.engine.outstanding());
        f.replyAt(340, eight(200));
        QCOMPARE(f.measured.size(), 1);
        QCOMPARE(f.measured[0].values[0], 200);
        QCOMPARE(f.engine.unansweredCount(), 0);
    }

    // One reply lost: the next request of the same shape cannot tell its reply
    // from the lost one's and loses it too; once the lost one's chance has
    // passed (twice the time-out after it was sent), readings are decoded again.
    void lostReplyCostsAtMostOneMoreReading()
    {
        ClockedFixture f;
        f.readMeasurementsAt(0); // its reply is lost
        f.timeOutAt(288);
        f.readMeasurementsAt(300);
        f.replyAt(330, eight(10)); // could be the first one's: not used
        QVERIFY(f.measured.isEmpty());
        f.timeOutAt(588);
        f.readMeasurementsAt(600);
        f.replyAt(630, eight(20)); // could still be the second's, late
        f.timeOutAt(888);
        f.readMeasurementsAt(900);
        f.replyAt(930, eight(30));
        f.timeOutAt(1188);
        // The polling rotation never reads the same shape twice in a row: a
        // request of another shape is answered at once.
        f.t = 1200;
        f.reads.readSwitchOutputs();
        f.replyAt(1230, hex("0201020500"));
        QCOMPARE(f.lastStatus.code, LinkStatus::Code::OutputsRead);
        // And the next measurement read, its predecessors' chances gone, is decoded.
        f.readMeasurementsAt(1800);
        f.replyAt(1830, eight(40));
        QCOMPARE(f.measured.size(), 1);
        QCOMPARE(f.measured[0].values[0], 40);
    }

    // Every reply late: nothing is ever decoded, and the status line says how
    // late against what.
    void everyReplyLateIsNeverDecodedAndSaidSo()
    {
        ClockedFixture f;
        for (int k = 0; k < 4; ++k) {
            const qint64 sent = 300 * k;
            if (k % 2 == 0)
                f.readMeasurementsAt(sent);
            else
                f.readCalibrationAt(sent);
            if (k > 0)
                f.replyAt(sent + 20, eight(100 * k)); // the previous request's reply
            f.timeOutAt(sent + 288);
        }
        QVERIFY(f.measured.isEmpty());
        QVERIFY(f.calibrated.isEmpty());
        QCOMPARE(f.lastStatus.code, LinkStatus::Code::RepliesLate);
        QCOMPARE(f.status, QStringLiteral("模块2的应答晚于超时：约320 ms > 288 ms"));
    }

    // An exception reply as the late frame: the earlier request is answered by
    // it, the request outstanding still gets its own reply.
    void exceptionAsTheLateFrame()
    {
        ClockedFixture f;
        f.readCalibrationAt(0);
        f.timeOutAt(288);
        f.t = 300;
        f.reads.readModuleControl();   // another count, the same function
        f.replyAt(310, hex("028304")); // below the threshold: it waits
        QVERIFY(f.engine.outstanding());
        f.state.module.firmwareKnown = true;
        QSignalSpy control(&f.reads, &RegisterMap::moduleControlDecoded);
        f.replyAt(330, hex("020306800300010007"));
        QCOMPARE(control.size(), 1);
        QCOMPARE(f.traffic.mid(f.traffic.size() - 2),
                 (QList<TrafficEvent::Kind>{TrafficEvent::Kind::Late, TrafficEvent::Kind::Answer}));
    }

    // A late reply whose first bytes came before the next request was sent is
    // not cut in two: it is taken whole, as late, and the next reply after it.
    void lateReplyBeganBeforeTheNextRequest()
    {
        ClockedFixture f;
        f.readCalibrationAt(0);
        f.timeOutAt(288);
        const QByteArray late = rtuFrame(eight(100));
        f.t = 299;
        f.deliver(late.left(3));
        f.readMeasurementsAt(300);
        f.deliver(late.mid(3) + rtuFrame(eight(200)));
        QCOMPARE(f.traffic.count(TrafficEvent::Kind::Late), 1);
        QCOMPARE(f.traffic.count(TrafficEvent::Kind::CheckFailed), 0);
        QCOMPARE(f.measured.size(), 1);
        QCOMPARE(f.measured[0].values[0], 200);
    }

    // A late reply shorter than the outstanding request's (an exception, a
    // short block) waits below the receive threshold; when the real reply
    // follows, the late one is taken as such and the real one decoded.
    void shortLateReplyBeforeTheRealOne_data()
    {
        QTest::addColumn<QByteArray>("late");
        QTest::newRow("a short block") << hex("020306800300010007");
        QTest::newRow("an exception") << hex("028302");
    }
    void shortLateReplyBeforeTheRealOne()
    {
        QFETCH(QByteArray, late);
        ClockedFixture f;
        f.state.module.firmwareKnown = true;
        f.t = 0;
        f.reads.readModuleControl();
        f.timeOutAt(288);
        f.readMeasurementsAt(300);
        f.replyAt(320, late);
        QVERIFY(f.measured.isEmpty());
        f.replyAt(340, eight(5));
        QCOMPARE(f.traffic.mid(f.traffic.size() - 2),
                 (QList<TrafficEvent::Kind>{TrafficEvent::Kind::Late, TrafficEvent::Kind::Answer}));
        QCOMPARE(f.engine.unansweredCount(), 0);
        QCOMPARE(f.measured.size(), 1);
    }

    // A reply later than twice the time-out is no longer expected: a frame of
    // that shape is the outstanding request's.
    void noReplyExpectedAfterTwiceTheTimeout()
    {
        ClockedFixture f;
        f.readCalibrationAt(0);
        f.timeOutAt(288);
        f.readMeasurementsAt(600);
        f.replyAt(620, eight(7));
        QCOMPARE(f.measured.size(), 1);
    }

    // The editors' sweep: every block read has the same shape. A lost reply
    // makes the next read wait until the lost one's late reply could no longer
    // come, so only that block is lost.
    void lostReplyInTheMiddleOfAnEditorSweep()
    {
        SweepFixture f;
        for (int c = 0; c < BlockCount; ++c) {
            f.editor.onSweepTick();
            QVERIFY(f.waitSent(c + 1));
            QCOMPARE(f.lastReadChannel(), c);
            if (c != 3)
                f.editorPort.receive(SweepFixture::blockReply(c));
            else
                QVERIFY(QTest::qWaitFor([&] { return !f.editor.engine().outstanding(); }, 2000));
        }
        QVERIFY(QTest::qWaitFor([&] { return f.read.size() == BlockCount - 1; }, 2000));
        QCOMPARE(f.read, (QList<int>{0, 1, 2, 4, 5, 6, 7, 8}));
        QCOMPARE(f.blocks.record(4).words[0], 5);
    }

    // A late reply shortens the wait: the next read goes out as soon as it came.
    void lateReplyEndsTheSweepsWait()
    {
        SweepFixture f;
        f.editor.engine().setReplyTimeout(200);
        f.editor.onSweepTick(); // block 0
        QVERIFY(QTest::qWaitFor([&] { return !f.editor.engine().outstanding(); }, 2000));
        f.editor.onSweepTick(); // block 1 waits
        QCOMPARE(f.editorPort.sent().size(), 1);
        QCOMPARE(f.editor.waiting(), 1);
        f.editorPort.receive(SweepFixture::blockReply(0)); // block 0's, late
        QCOMPARE(f.editorPort.sent().size(), 2);
        QCOMPARE(f.lastReadChannel(), 1);
        f.editorPort.receive(SweepFixture::blockReply(1));
        QCOMPARE(f.read, QList<int>{1});
    }

    // "返 回" with writes waiting: they go out (and are answered) before the
    // line is given back; reads waiting are dropped.
    void returnSendsTheWritesStillWaiting()
    {
        SweepFixture f;
        QSignalSpy returned(&f.editor, &EditorLink::returned);
        const ControlTexts texts = {"1", "2", "0", "10", "250", "100", "20", "5", "30"};
        f.blocks.readChannel(8);
        for (int c = 0; c < 5; ++c)
            QVERIFY(!f.blocks.writeChannel(c, texts));
        QCOMPARE(f.editor.waiting(), 5);
        f.editor.returnToMain();
        QVERIFY(returned.isEmpty());
        QVERIFY(f.editorPort.isOpen());
        f.editorPort.receive(SweepFixture::blockReply(8));
        for (int c = 0; c < 5; ++c) {
            const QByteArray sent = testsupport::lastSent(f.editorPort);
            QCOMPARE(quint8(sent[1]), Fn::WriteRegisters);
            f.editorPort.receive(rtuFrame(sent.left(6)));
        }
        QCOMPARE(returned.size(), 1);
        QVERIFY(!f.editorPort.isOpen());
        QCOMPARE(f.editorPort.sent().size(), 6);
        QVERIFY(f.unconfirmed.isEmpty());
    }

    // The line goes away in an editor session: each request that cannot go
    // out says so, and the next request tries the port again.
    void lostLineIsReportedPerRequestAndTriedAgain()
    {
        SweepFixture f;
        QString status;
        QObject::connect(&f.editor.engine(), &TransactionEngine::statusChanged,
                         [&](const LinkStatus &s) { status = StatusText::of(s); });
        QSignalSpy failures(&f.editor.engine(), &TransactionEngine::portFailed);
        QSignalSpy notSent(&f.editor.engine(), &TransactionEngine::requestNotSent);
        const ControlTexts texts = {"1", "2", "0", "10", "250", "100", "20", "5", "30"};
        f.blocks.readChannel(0);
        f.editorPort.pull(QStringLiteral("device gone"));
        f.editorPort.failOpen(QStringLiteral("No such file or directory"));
        QVERIFY(!f.blocks.writeChannel(1, texts));
        QVERIFY(!f.blocks.writeChannel(2, texts));
        QCOMPARE(notSent.size(), 2);
        QCOMPARE(f.unconfirmed, (QList<int>{1, 2}));
        QCOMPARE(status, QStringLiteral("写通道2控制参数失败"));
        f.blocks.readChannel(4);
        QCOMPARE(status, QStringLiteral("端口无法打开，命令没有发送"));
        QCOMPARE(notSent.size(), 3);
        QCOMPARE(failures.size(), 1); // the message box once
        f.editorPort.failOpen(QString());
        const int opens = f.editorPort.openCount();
        f.blocks.readChannel(3);
        QCOMPARE(f.editorPort.openCount(), opens + 1);
        QCOMPARE(f.lastReadChannel(), 3);
    }

    // A lost identification reply at start is asked for again, and the blocks
    // whose layout the firmware decides are not decoded before it came.
    void identificationAskedAgainUntilAnswered()
    {
        LinkFixture f;
        f.useModule(2, false);
        f.cycle.start({LineAddress::com(1), QStringLiteral("9600"), 3}, 1, 0, 0, false);
        f.cycle.tickTimer().stop(); // the test runs the ticks
        QStringList sent;
        const auto tick = [&](const QByteArray &reply = {}) {
            f.cycle.onTick();
            sent << QString::fromLatin1(f.lastSent().toHex().left(4));
            if (!reply.isEmpty())
                f.reply(reply);
            else if (f.engine.outstanding())
                f.engine.onReplyTimeout();
        };
        QSignalSpy control(&f.reads, &RegisterMap::moduleControlDecoded);
        // The start burst reads the module control block first: laid out by
        // the firmware, it is not decoded before the identification.
        tick(hex("020306800300010007"));
        QCOMPARE(f.lastStatus.code, LinkStatus::Code::AwaitingIdentification);
        QVERIFY(control.isEmpty());
        tick(eight(1));                             // calibration
        tick(hex("0203020001"));                    // parallel output time
        tick(eight(2));                             // sensor codes
        tick(hex("02030C") + QByteArray(12, '\1')); // the system block: not decoded
        QVERIFY(!f.systemShown);
        tick();                  // the identification: lost
        tick(hex("0201020100")); // the outputs go on
        const QByteArray id = hex("021110") + QByteArray("REREVE2060RIDU") + hex("0503");
        tick(id); // asked again
        QVERIFY(f.state.module.firmwareKnown);
        QCOMPARE(f.state.module.version(), 53);
        tick(hex("020314") + QByteArray(20, '\1')); // the system block again, now decoded
        QVERIFY(f.systemShown);
        tick(hex("020306800300010007")); // and the module control block
        QCOMPARE(control.size(), 1);
        QCOMPARE(sent, (QStringList{"0203", "0203", "0203", "0203", "0203", "0211", "0201", "0211",
                                    "0203", "0203"}));
    }
};

QTEST_MAIN(TestLateReplies)
#include "tst_latereplies.moc"
