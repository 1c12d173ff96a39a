// One transaction at a time through the in-memory port: bytes on the wire, the
// frame texts, the counters, the check, the confirmation against the request
// and the dispatch table.
#include "linkfixture.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

using namespace krv;
using testsupport::hex;

namespace {
// Sends the write of switch output `index`, toggled against its last read
// state `wasOn` (the outputs are active low: one that was off gets 0xFF00).
void sendToggle(LinkFixture &f, int index, bool wasOn)
{
    f.state.module.outputs[index] = wasOn;
    f.writes.toggleOutput(index);
    f.writes.sendOutputSwitch();
}
} // namespace

class TestTransactionEngine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void measurementRoundTripRtu()
    {
        LinkFixture f;
        f.useModule(1, false);
        f.reads.readMeasurements();
        QCOMPARE(f.status, QStringLiteral("取测量实时数据"));
        QCOMPARE(f.port.sent(), QList<QByteArray>{hex("010300000008440C")});
        QCOMPARE(f.sentText, QStringLiteral("010300000008440C"));
        QCOMPARE(f.port.receiveThreshold(), 21);
        QVERIFY(f.engine.awaitingReply());
        QCOMPARE(f.engine.replyTimeout(), 288);

        const QByteArray body = hex("010310") + hex("FF387FFF80000000000100020003FFFF");
        const QByteArray frame = rtuFrame(body);
        f.deliver(frame, 4); // arrives in several chunks
        QVERIFY(!f.engine.awaitingReply());
        QCOMPARE(f.receiveCountText, QStringLiteral("1"));
        QCOMPARE(f.receivedText, QString::fromLatin1(frame.toHex().toUpper()));
        QCOMPARE(f.status, QStringLiteral("取8通道数据成功"));
        const std::array<qint32, 8> expected{-200, 32767, -32768, 0, 1, 2, 3, -1};
        QCOMPARE(f.state.module.measurements.count, 8);
        for (int k = 0; k < 8; ++k)
            QCOMPARE(f.state.module.measurements.values[k], expected[k]);
        QCOMPARE(f.measured, 1);
    }

    void measurementRoundTripAscii()
    {
        LinkFixture f;
        f.useModule(5, true);
        f.reads.readMeasurements();
        QCOMPARE(f.port.sent().constLast(), QByteArray(":050300000008F0\r\n"));
        QCOMPARE(f.sentText, QStringLiteral(":050300000008F0\r\n"));
        QCOMPARE(f.port.receiveThreshold(), 43);
        const QByteArray frame =
            asciiFrame(hex("050310") + QByteArray(16, '\0').replace(0, 2, hex("0102")));
        f.deliver(frame, 7);
        QCOMPARE(f.receivedText, QString::fromLatin1(frame));
        QCOMPARE(f.state.module.measurements.values[0], 258);
    }

    void checkFailures()
    {
        LinkFixture f;
        f.useModule(1, false);
        f.reads.readDeviceId();
        QByteArray frame = rtuFrame(hex("0111") + QByteArray(17, 'A'));
        frame[frame.size() - 1] = char(frame.at(frame.size() - 1) ^ 1);
        f.deliver(frame);
        QCOMPARE(f.status, QStringLiteral("CRC 校验错误"));
        QCOMPARE(f.engine.receiveCount(), 1);
        QCOMPARE(f.engine.timeoutCount(), 0);
        QCOMPARE(f.state.module.firmwareMajor, qint16(0)); // nothing decoded
    }

    // The dispatch table itself, for replies handed to it directly with the
    // start register their request read.
    void dispatchTable_data()
    {
        QTest::addColumn<quint16>("start");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("status");
        QTest::newRow("unknown start register")
            << quint16(0x0040) << hex("01030200FF") << "无此起始地址号";
        QTest::newRow("function 04 measurements")
            << quint16(0x0012) << hex("0104020005") << "取8通道数据";
        QTest::newRow("write coil echo") << quint16(0) << hex("01050000FF00") << "置数字输出成功";
        QTest::newRow("write register echo")
            << quint16(0) << hex("010600140003") << "写系统参数成功";
        QTest::newRow("function 0x0F") << quint16(0) << hex("010F00000009") << "无此功能号";
        QTest::newRow("exception") << quint16(0) << hex("018302") << "无此功能号";
        QTest::newRow("coils byte count 3") << quint16(0) << hex("0101030102030405") << "";
        QTest::newRow("too short for layout")
            << quint16(0x0012) << hex("010302FFFF") << "数据长度错误";
        QTest::newRow("count beyond bytes")
            << quint16(0x0000) << hex("010310FFFF") << "数据长度错误";
    }
    void dispatchTable()
    {
        QFETCH(quint16, start);
        QFETCH(QByteArray, body);
        QFETCH(QString, status);
        LinkFixture f;
        f.useModule(1, false);
        f.state.module.firmwareMajor = 5;
        f.state.module.firmwareMinor = 3;
        f.state.module.firmwareKnown = true;
        f.state.module.measurements.values.fill(7);
        f.status = QStringLiteral("unchanged");
        const auto function = static_cast<quint8>(quint8(body.at(1)) & ~Fn::ExceptionBit);
        f.decode(body, buildRequest(1, function, start, 8));
        QCOMPARE(f.status, status.isEmpty() ? QStringLiteral("unchanged") : status);
        QCOMPARE(f.state.module.measurements.values[0],
                 status == QStringLiteral("取8通道数据") ? 5 : 7);
    }

    // A 5-byte exception never reaches the 8-byte echo threshold: the reply
    // timer ends the transaction and the request's own text stays.
    void exceptionEndsByTimeout()
    {
        LinkFixture f;
        f.useModule(1, false);
        sendToggle(f, 2, true);
        QCOMPARE(f.lastSent(), rtuFrame(hex("010500020000")));
        f.reply(hex("018502"));
        QCOMPARE(f.engine.receiveCount(), 0);
        f.engine.onReplyTimeout();
        QCOMPARE(f.timeoutCountText, QStringLiteral("1"));
        QCOMPARE(f.status, QStringLiteral("设置开关量输出为ON"));
        QCOMPARE(f.port.waitingCount(), 0);
    }

    // Frames that pass their check but answer another request are not decoded
    // and leave the request outstanding; an exception in the request's own
    // function is its answer.
    void repliesAreConfirmedAgainstTheirRequest_data()
    {
        QTest::addColumn<int>("request");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<QString>("status");
        const QString foreign = QStringLiteral("应答与请求不符");
        QTest::newRow("right reply") << 0 << hex("0101020501") << true << "取开关量输出成功";
        QTest::newRow("another station") << 0 << hex("0201020501") << false << foreign;
        QTest::newRow("another function") << 0 << hex("0102020501") << false << foreign;
        QTest::newRow("another byte count") << 0 << hex("010103050100") << false << foreign;
        QTest::newRow("exception form") << 0 << hex("01810200000000") << true << "无此功能号";
        QTest::newRow("another exception") << 0 << hex("01830200000000") << false << foreign;
        QTest::newRow("echo of another coil") << 1 << hex("01050003FF00") << false << foreign;
        QTest::newRow("echo of another value") << 1 << hex("010500020000") << false << foreign;
        QTest::newRow("right echo") << 1 << hex("01050002FF00") << true << "置数字输出成功";
        QTest::newRow("identifier of another station")
            << 2 << hex("0211") + QByteArray(17, 'A') << false << foreign;
    }
    void repliesAreConfirmedAgainstTheirRequest()
    {
        QFETCH(int, request);
        QFETCH(QByteArray, body);
        QFETCH(bool, answered);
        QFETCH(QString, status);
        LinkFixture f;
        f.useModule(1, false);
        QSignalSpy ended(&f.engine, &TransactionEngine::requestEnded);
        if (request == 0) {
            f.reads.readSwitchOutputs();
        } else if (request == 1) {
            sendToggle(f, 2, false);
            QCOMPARE(f.lastSent(), rtuFrame(hex("01050002FF00")));
        } else {
            f.reads.readDeviceId();
        }
        f.port.setReceiveThreshold(1); // exception replies too reach the handler
        f.reply(body);
        QCOMPARE(f.status, status);
        QCOMPARE(ended.count(), answered ? 1 : 0);
        QCOMPARE(f.engine.outstanding(), !answered);
        QCOMPARE(f.engine.awaitingReply(), !answered);
        const bool decoded = status == QStringLiteral("取开关量输出成功");
        QCOMPARE(f.state.module.outputs[0], decoded);
        QCOMPARE(f.engine.receiveCount(), 1);
    }

    // A reply that comes after its time-out is taken as that late reply and
    // decoded as nothing.
    void lateReplyIsNotDecoded()
    {
        LinkFixture f;
        f.useModule(1, false);
        QSignalSpy ended(&f.engine, &TransactionEngine::requestEnded);
        f.reads.readSwitchOutputs();
        f.engine.onReplyTimeout();
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).value<RequestEnd>(), RequestEnd::TimedOut);
        f.reply(hex("01010205") + hex("01"));
        QCOMPARE(f.engine.timeoutCount(), 1);
        QCOMPARE(f.engine.receiveCount(), 1);
        QCOMPARE(f.status, QStringLiteral("模块1的应答迟到，没有使用"));
        QCOMPARE(f.state.module.outputs[0], false);
        QCOMPARE(ended.count(), 1);
    }

    // A late reply and the right one in the same read: the first is passed
    // over, the second decoded; in RTU and in ASCII, in any chunking.
    void lateReplyThenTheRightOneInOneRead_data()
    {
        QTest::addColumn<bool>("ascii");
        QTest::addColumn<int>("chunks");
        QTest::newRow("rtu one read") << false << 1;
        QTest::newRow("rtu chunks") << false << 5;
        QTest::newRow("ascii one read") << true << 1;
        QTest::newRow("ascii chunks") << true << 7;
    }
    void lateReplyThenTheRightOneInOneRead()
    {
        QFETCH(bool, ascii);
        QFETCH(int, chunks);
        LinkFixture f;
        f.useModule(1, ascii);
        QSignalSpy ended(&f.engine, &TransactionEngine::requestEnded);
        f.reads.readMeasurements(); // times out; its reply comes later
        f.engine.onReplyTimeout();
        f.reads.readSwitchOutputs();
        const QByteArray late = testsupport::registersBody(1, 3, {9, 9, 9, 9, 9, 9, 9, 9});
        const QByteArray right = hex("0101020501");
        f.deliver(testsupport::framed(late, ascii) + testsupport::framed(right, ascii), chunks);
        QCOMPARE(f.status, QStringLiteral("取开关量输出成功"));
        QCOMPARE(f.state.module.outputs[0], true);
        QCOMPARE(f.state.module.outputs[8], true);
        QCOMPARE(f.state.module.measurements.values[0], 0); // the late measurements were not taken
        QCOMPARE(f.measured, 0);
        QCOMPARE(f.engine.receiveCount(), 2);
        QCOMPARE(ended.count(), 2);
        QCOMPARE(f.engine.timeoutCount(), 1);
    }

    // The fault seen on the line: with every reply late, "写工程校准" put
    // measurement values into the calibration row. Each late frame now finds
    // a request of another kind outstanding and is passed over.
    void lateMeasurementsNeverReachTheCalibrationRow()
    {
        LinkFixture f;
        f.useModule(1, false);
        QList<ChannelValues> calibrationRows;
        QObject::connect(&f.reads, &RegisterMap::calibrationDecoded,
                         [&](const ChannelValues &v) { calibrationRows << v; });
        f.state.module.calibration[3] = 5;
        f.reads.readMeasurements();
        f.engine.onReplyTimeout();
        f.state.module.calibration[3] = 7;
        f.writes.sendCalibration(3);
        QCOMPARE(f.lastSent(), rtuFrame(hex("010600880007")));
        f.reply(testsupport::registersBody(1, 3, {100, 101, 102, 103, 104, 105, 106, 107}));
        QCOMPARE(f.status, QStringLiteral("模块1的应答迟到，没有使用"));
        QVERIFY(calibrationRows.isEmpty());
        QCOMPARE(f.state.module.calibration[3], qint16(7));
        QCOMPARE(f.state.module.calibration[0], qint16(0));
        f.engine.onReplyTimeout();
        f.reads.readCalibration();
        QList<LinkStatus> statuses;
        QObject::connect(&f.engine, &TransactionEngine::statusChanged,
                         [&](const LinkStatus &s) { statuses << s; });
        f.reply(hex("010600880007")); // the write's late echo, too short to be looked at yet
        QVERIFY(calibrationRows.isEmpty());
        f.reply(testsupport::registersBody(1, 3, {0, 0, 0, 7, 0, 0, 0, 0}));
        QVERIFY(!statuses.isEmpty());
        // The second late reply in a row: the status line says how late.
        QCOMPARE(statuses.at(0).code, LinkStatus::Code::RepliesLate);
        QCOMPARE(f.status, QStringLiteral("取8通道工程校准成功"));
        QCOMPARE(calibrationRows.size(), 1);
        QCOMPARE(calibrationRows.at(0).values[3], 7);
        QCOMPARE(f.state.module.calibration[3], qint16(7));
        QCOMPARE(f.state.module.calibration[0], qint16(0));
    }

    // Traffic events: each frame with its kind, its wire bytes and framing.
    // Bytes too few for the receive threshold are reported at the time-out,
    // which still counts and reads as a time-out: an exception to this request
    // as such, another intact frame as foreign, anything else as failing its
    // check.
    void trafficAtTimeout_data()
    {
        using K = TrafficEvent::Kind;
        QTest::addColumn<bool>("ascii");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("reported"); // -1: nothing
        QTest::newRow("rtu exception") << false << hex("018502") << int(K::Exception);
        QTest::newRow("ascii exception") << true << hex("018502") << int(K::Exception);
        QTest::newRow("another station's exception") << false << hex("028502") << int(K::Foreign);
        QTest::newRow("exception to another function") << false << hex("018302") << int(K::Foreign);
        QTest::newRow("broken check") << false << QByteArray() << int(K::CheckFailed);
        QTest::newRow("ascii broken check") << true << QByteArray() << int(K::CheckFailed);
        QTest::newRow("nothing waiting") << false << QByteArray("") << -1;
    }
    void trafficAtTimeout()
    {
        QFETCH(bool, ascii);
        QFETCH(QByteArray, body);
        QFETCH(int, reported);
        LinkFixture f;
        f.useModule(1, ascii);
        QList<TrafficEvent> events;
        QObject::connect(&f.engine, &TransactionEngine::traffic,
                         [&](const TrafficEvent &e) { events << e; });
        sendToggle(f, 2, true);
        // A null body stands for an exception with a broken check.
        QByteArray frame = testsupport::framed(body.isNull() ? hex("018502") : body, ascii);
        if (body.isNull())
            frame[3] = char(frame[3] ^ 0x40);
        if (!body.isEmpty() || body.isNull())
            f.deliver(frame);
        f.engine.onReplyTimeout();

        QCOMPARE(events.size(), reported >= 0 ? 3 : 2);
        QCOMPARE(events[0].kind, TrafficEvent::Kind::Sent);
        QCOMPARE(events[0].bytes, f.lastSent());
        QCOMPARE(events[0].framing, serialFraming(ascii));
        if (reported >= 0) {
            QCOMPARE(events[1].kind, TrafficEvent::Kind(reported));
            QCOMPARE(events[1].bytes, frame);
            QCOMPARE(events[1].framing, serialFraming(ascii));
        }
        QCOMPARE(events.constLast().kind, TrafficEvent::Kind::TimedOut);
        QVERIFY(events.constLast().bytes.isEmpty());
        QCOMPARE(f.engine.timeoutCount(), 1);
        QCOMPARE(f.engine.receiveCount(), 0);
        QCOMPARE(f.status, QStringLiteral("设置开关量输出为ON"));
        QCOMPARE(f.port.waitingCount(), 0);
    }

    void trafficOfReceivedFrames()
    {
        LinkFixture f;
        f.useModule(1, false);
        QList<TrafficEvent::Kind> kinds;
        QObject::connect(&f.engine, &TransactionEngine::traffic,
                         [&](const TrafficEvent &e) { kinds << e.kind; });
        f.reads.readSwitchOutputs();
        f.reply(hex("0201020501")); // another station
        f.reply(hex("0101020501"));
        f.reads.readSwitchOutputs();
        QByteArray bad = rtuFrame(hex("0101020501"));
        bad[3] = char(bad[3] ^ 1);
        f.deliver(bad);
        using K = TrafficEvent::Kind;
        QCOMPARE(kinds, (QList<K>{K::Sent, K::Foreign, K::Answer, K::Sent, K::CheckFailed}));
    }

    void silentModuleCountsEachRequest()
    {
        LinkFixture f;
        f.useModule(1, false);
        for (int i = 0; i < 3; ++i) {
            f.reads.readSystemBlock();
            f.engine.onReplyTimeout();
        }
        QCOMPARE(f.timeoutCountText, QStringLiteral("3"));
        QCOMPARE(f.engine.timeoutCount(), 3);
        QCOMPARE(f.status, QStringLiteral("取系统信息"));
        QCOMPARE(f.receiveCountText, QString());
        // A new polling start empties the box again.
        f.engine.resetTimeoutCount();
        QCOMPARE(f.timeoutCountText, QString());
        QCOMPARE(f.engine.timeoutCount(), 0);
    }

    void portFailureStopsSending()
    {
        LinkFixture f;
        f.useModule(1, false);
        QList<PortFailure> errors;
        QObject::connect(&f.engine, &TransactionEngine::portFailed,
                         [&](const PortFailure &failure) { errors << failure; });
        f.port.failOpen(QStringLiteral("busy"));
        f.reads.readMeasurements();
        f.reads.readMeasurements();
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.at(0).kind, PortFailure::Kind::CannotOpen);
        QCOMPARE(errors.at(0).reason, QStringLiteral("busy"));
        QVERIFY(f.engine.hasPortFailure());
        QVERIFY(f.port.sent().isEmpty());
        QVERIFY(!f.engine.awaitingReply());

        f.port.failOpen(QString());
        f.engine.configurePort(LineAddress::com(1), QStringLiteral("9600,N,8,1"));
        QVERIFY(!f.engine.hasPortFailure());
        f.reads.readMeasurements();
        QCOMPARE(f.port.sent().size(), 1);
        f.port.pull(QStringLiteral("unplugged"));
        QCOMPARE(errors.size(), 2);
        QCOMPARE(errors.at(1).kind, PortFailure::Kind::Lost);
        QCOMPARE(errors.at(1).reason, QStringLiteral("unplugged"));
        QVERIFY(!f.engine.outstanding());
        f.reads.readMeasurements();
        QCOMPARE(f.port.sent().size(), 1);
    }

    // Frames as the windows show them: RTU bytes as two upper-case digits
    // each, an ASCII frame as its own characters.
    void frameTexts()
    {
        QCOMPARE(krv::hexText(hex("0A")), QStringLiteral("0A"));
        QCOMPARE(TransactionEngine::frameText(hex("00FF"), Framing::Rtu), QStringLiteral("00FF"));
        QCOMPARE(TransactionEngine::frameText(hex("00FF7E").first(2), Framing::Rtu),
                 QStringLiteral("00FF"));
        QCOMPARE(TransactionEngine::frameText(hex("00"), Framing::Rtu), QStringLiteral("00"));
        QCOMPARE(TransactionEngine::frameText(QByteArray(":0111EE\r\n"), Framing::Ascii),
                 QStringLiteral(":0111EE\r\n"));
        QCOMPARE(krv::hexText(hex("00FF"), u" "), QStringLiteral("00 FF"));
    }
};

QTEST_GUILESS_MAIN(TestTransactionEngine)
#include "tst_transactionengine.moc"
