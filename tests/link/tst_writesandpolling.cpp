// Write requests, the command stack, the start burst and rotation, the lending
// of the line, and the scan, driven by direct calls of the tick handlers.
#include "linkfixture.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

using namespace krv;
using testsupport::hex;

namespace {
QList<qint16> stack(const LinkFixture &f)
{
    const auto &cs = f.state.commandStack;
    return QList<qint16>(cs.entries.begin(), cs.entries.begin() + cs.topIndex + 1);
}

// Runs n polling ticks and returns the request bodies that went out (RTU).
// Runs n ticks; no request is answered but, with `identify`, the
// identification (a module of firmware 5.3).
QList<QByteArray> ticks(LinkFixture &f, int n, bool identify = false)
{
    QList<QByteArray> bodies;
    for (int i = 0; i < n; ++i) {
        const qsizetype before = f.port.sent().size();
        f.cycle.onTick();
        const QByteArray sent = f.lastSent().chopped(2);
        if (identify && sent.size() == 2 && sent[1] == char(Fn::ReportId))
            f.reply(sent + QByteArray::fromHex("10") + "REREVE2060RIDU" +
                    QByteArray::fromHex("0503"));
        else
            f.engine.onReplyTimeout();
        bodies << (f.port.sent().size() > before ? sent : QByteArray());
    }
    return bodies;
}

const LineChoice Line9600{LineAddress::com(1), QStringLiteral("9600"), 3};
} // namespace

class TestWritesAndPolling : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void systemRegistersMoveWithAddressing_data()
    {
        QTest::addColumn<bool>("continuous");
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::newRow("separate") << false
                                  << QList<QByteArray>{hex("02060014000B"), hex("020600150093"),
                                                       hex("0206001C0007"), hex("0206001DFFEC")};
        QTest::newRow("continuous") << true
                                    << QList<QByteArray>{hex("02060013000B"), hex("020600140093"),
                                                         hex("0206001A0007"), hex("0206001BFFEC")};
    }
    void systemRegistersMoveWithAddressing()
    {
        QFETCH(bool, continuous);
        QFETCH(QList<QByteArray>, frames);
        LinkFixture f;
        f.useModule(2, false);
        ModuleData &m = f.state.module;
        m.control.continuousAddressing = continuous;
        m.system.commByte = 0x0B;
        m.system.sensorByte = 0x93;
        m.system.stationAddress = 7;
        m.system.coldJunctionAdjust = -20;
        // Each request is given up before the next, so that no late reply of
        // it is waited for.
        for (void (WriteRequests::*send)() :
             {&WriteRequests::sendCommByte, &WriteRequests::sendSensorByte,
              &WriteRequests::sendStationAddress, &WriteRequests::sendColdJunctionAdjust}) {
            (f.writes.*send)();
            QCOMPARE(f.port.receiveThreshold(), 8);
            f.engine.cancel();
        }
        QList<QByteArray> sent;
        for (const QByteArray &s : f.port.sent())
            sent << s.chopped(2);
        QCOMPARE(sent, frames);
        // Channel registers do not move.
        m.sensorCodes[3] = 19;
        f.writes.sendSensorCode(3);
        QCOMPARE(f.lastSent().chopped(2), hex("020600650013"));
        m.calibration[7] = 300;
        f.writes.sendCalibration(7);
        QCOMPARE(f.lastSent().chopped(2), hex("02060090012C"));
    }

    void switchOutputs()
    {
        LinkFixture f;
        f.useModule(2, false);
        f.state.module.outputs[ControlEnableIndex] = false;
        f.writes.toggleOutput(ControlEnableIndex); // "控温" is coil 0x30
        QCOMPARE(stack(f), (QList<qint16>{0, 5}));
        f.cycle.onTick();
        QCOMPARE(f.lastSent().chopped(2), hex("02050030FF00"));
        QCOMPARE(f.status, QStringLiteral("设置开关量输出为OFF"));
        f.state.module.outputs[4] = true;
        f.writes.toggleOutput(4);
        f.cycle.onTick();
        QCOMPARE(f.lastSent().chopped(2), hex("020500040000"));
        QCOMPARE(f.status, QStringLiteral("设置开关量输出为ON"));
    }

    void writeModuleParameters()
    {
        LinkFixture f;
        f.useModule(2, false);
        SystemBlock &m = f.state.module.system;
        m.commByte = 0x03;
        m.sensorByte = 0x10;
        m.stationAddress = 2;
        m.coldJunctionAdjust = 5;

        // Right after a system read nothing edited: only the protocol selection
        // counts, so the communication byte goes back unchanged.
        SystemSelection shown;
        shown.protocol = 0;
        QVERIFY(!f.writes.writeModuleParameters(shown, QStringLiteral("2"), QStringLiteral("5")));
        QCOMPARE(stack(f), (QList<qint16>{0, 4, 0x6014}));
        QCOMPARE(ticks(f, 2), (QList<QByteArray>{hex("020600140003"), hex("020300120006")}));

        // Everything picked: writes pushed in the order cold junction, address,
        // communication byte, sensor byte.
        SystemSelection all;
        all.sensorType = 13;
        all.perChannel = 0;
        all.channel8 = 1;
        all.compensation = 1;
        all.filter = 1;
        all.baudRate = 4;
        all.byteOutput = 1;
        all.requestOutput = 0;
        all.protocol = 1;
        QVERIFY(!f.writes.writeModuleParameters(all, QStringLiteral("9"), QStringLiteral("127")));
        QCOMPARE(stack(f), (QList<qint16>{0, 4, 0x601D, 0x601C, 0x6014, 0x6015}));
        QCOMPARE(int(m.sensorByte), 0xED);
        QCOMPARE(int(m.commByte), 0x2C);
        QCOMPARE(m.stationAddress, qint16(9));
        QCOMPARE(m.coldJunctionAdjust, qint16(127));
        QCOMPARE(ticks(f, 5),
                 (QList<QByteArray>{hex("0206001500ED"), hex("02060014002C"), hex("0206001C0009"),
                                    hex("0206001D007F"), hex("020300120006")}));
        // Only the value that differs from the stored one is written; the
        // lowest cold-junction value and the highest address go out as typed.
        QVERIFY(!f.writes.writeModuleParameters({}, QStringLiteral("9"), QStringLiteral("-128")));
        QCOMPARE(stack(f), (QList<qint16>{0, 4, 0x601D}));
        QCOMPARE(ticks(f, 2), (QList<QByteArray>{hex("0206001DFF80"), hex("020300120006")}));
        QVERIFY(!f.writes.writeModuleParameters({}, QStringLiteral("255"), QStringLiteral("-128")));
        QCOMPARE(stack(f), (QList<qint16>{0, 4, 0x601C}));
        QCOMPARE(ticks(f, 1), QList<QByteArray>{hex("0206001C00FF")});
        QCOMPARE(m.coldJunctionAdjust, qint16(-128));
    }

    // Nothing is clamped or wrapped: an address beyond 1..255 (0 is the
    // broadcast station) or a cold-junction value beyond one signed byte is
    // refused with its range, before anything changes.
    void writeModuleParametersRefusesBadFields_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("adj");
        QTest::addColumn<InputRefusal::Field>("field");
        QTest::addColumn<InputRefusal::Reason>("reason");
        using Field = InputRefusal::Field;
        using Reason = InputRefusal::Reason;
        QTest::newRow("address 256") << "256"
                                     << "0" << Field::StationAddress << Reason::OutOfRange;
        QTest::newRow("address 0") << "0"
                                   << "0" << Field::StationAddress << Reason::OutOfRange;
        QTest::newRow("address text") << "abc"
                                      << "0" << Field::StationAddress << Reason::NotANumber;
        QTest::newRow("address fraction") << "2.5"
                                          << "0" << Field::StationAddress << Reason::NotWhole;
        QTest::newRow("adj empty") << "2"
                                   << "" << Field::ColdJunctionAdjust << Reason::NotANumber;
        QTest::newRow("adj fraction") << "2"
                                      << "-1.5" << Field::ColdJunctionAdjust << Reason::NotWhole;
        QTest::newRow("adj 200") << "2"
                                 << "200" << Field::ColdJunctionAdjust << Reason::OutOfRange;
        QTest::newRow("adj 128") << "2"
                                 << "128" << Field::ColdJunctionAdjust << Reason::OutOfRange;
        QTest::newRow("adj -129") << "2"
                                  << "-129" << Field::ColdJunctionAdjust << Reason::OutOfRange;
    }
    void writeModuleParametersRefusesBadFields()
    {
        QFETCH(QString, address);
        QFETCH(QString, adj);
        QFETCH(InputRefusal::Field, field);
        QFETCH(InputRefusal::Reason, reason);
        LinkFixture f;
        f.state.module.system.stationAddress = 2;
        SystemSelection sel;
        sel.baudRate = 3;
        const auto bad = f.writes.writeModuleParameters(sel, address, adj);
        QVERIFY(bad.has_value());
        QCOMPARE(bad->field, field);
        QCOMPARE(bad->reason, reason);
        const FieldRange range = field == InputRefusal::Field::StationAddress
                                     ? SystemRange::StationAddress
                                     : SystemRange::ColdJunction;
        QCOMPARE(bad->low, range.low);
        QCOMPARE(bad->high, range.high);
        QCOMPARE(f.state.commandStack.topIndex, qint16(0));
        QCOMPARE(int(f.state.module.system.commByte), 0);
        QCOMPARE(f.state.module.system.stationAddress, qint16(2));
        QCOMPARE(f.state.module.system.coldJunctionAdjust, qint16(0));
    }

    void channelSensors()
    {
        LinkFixture f;
        f.useModule(2, false);
        std::array<int, 8> picked;
        picked.fill(-1);
        picked[2] = 19;
        picked[5] = 4;
        f.writes.writeChannelSensors(picked);
        QCOMPARE(stack(f), (QList<qint16>{0, 0x3062, 0x6064, 0x6067}));
        QCOMPARE(ticks(f, 3), (QList<QByteArray>{hex("020600670004"), hex("020600640013"),
                                                 hex("020300620008")}));
    }

    void calibration()
    {
        LinkFixture f;
        f.useModule(2, false);
        auto &e = f.state.module.calibration;
        for (int i = 0; i < 8; ++i)
            e[i] = static_cast<qint16>(i);
        std::array<QString, 8> texts;
        for (int i = 0; i < 8; ++i)
            texts[i] = QString::number(i);
        QVERIFY(f.writes.writeCalibration(texts).isEmpty());
        QCOMPARE(stack(f), (QList<qint16>{0, 0x3082})); // read-back even with nothing changed

        f.state.commandStack.topIndex = 0;
        texts[1] = QStringLiteral("-5");
        texts[3] = QStringLiteral("3.0");   // same number: unchanged
        texts[4] = QStringLiteral("40000"); // does not fit: skipped
        texts[6] = QStringLiteral("x");     // not a number: skipped
        texts[7] = QStringLiteral("300");
        const QList<InputRefusal> refused = f.writes.writeCalibration(texts);
        QList<int> refusedChannels;
        for (const InputRefusal &r : refused) {
            QCOMPARE(r.field, InputRefusal::Field::Calibration);
            refusedChannels << r.channel;
        }
        QCOMPARE(refusedChannels, (QList<int>{4, 6}));
        QCOMPARE(stack(f), (QList<qint16>{0, 0x3082, 0x6084, 0x6090}));
        QCOMPARE(e[4], qint16(4));
        QCOMPARE(ticks(f, 3), (QList<QByteArray>{hex("02060090012C"), hex("02060084FFFB"),
                                                 hex("020300820008")}));
    }

    // The port hand-over to an editor and back: everything stops and the port
    // closes; the return resumes polling with the stack as it was, configures
    // the port without opening it, and repeats that 100 ms later without
    // touching a port that is open by then.
    void handOverSuspendsAndResumes()
    {
        LinkFixture f;
        f.cycle.start(Line9600, -1, 0, 2, false);
        f.cycle.onTick();
        QVERIFY(f.port.isOpen());
        QVERIFY(f.engine.awaitingReply());
        const QList<qint16> before = stack(f);

        f.cycle.lend({LineAddress::com(2), QStringLiteral("19200"), 4});
        QVERIFY(!f.port.isOpen());
        QVERIFY(!f.engine.awaitingReply());
        QVERIFY(!f.cycle.tickTimer().isActive());
        QCOMPARE(f.cycle.lentLine().address, LineAddress::com(2));

        f.cycle.takeBack();
        QVERIFY(f.cycle.tickTimer().isActive());
        QCOMPARE(f.cycle.tickTimer().interval(), 300);
        QVERIFY(!f.port.isOpen());
        QCOMPARE(f.port.address(), LineAddress::com(2));
        QCOMPARE(f.port.settings(), QStringLiteral("19200,N,8,1"));
        QCOMPARE(stack(f), before);

        f.cycle.onTick(); // polling opens the port again
        QVERIFY(f.port.isOpen());
        QVERIFY(f.engine.outstanding());
        const int opens = f.port.openCount();
        auto *endTimer = f.cycle.findChild<QTimer *>(QStringLiteral("EndTimer"));
        QVERIFY(endTimer && endTimer->isActive());
        QCOMPARE(endTimer->interval(), 100);
        QTRY_VERIFY_WITH_TIMEOUT(!endTimer->isActive(), 2000);
        QVERIFY(f.port.isOpen());
        QCOMPARE(f.port.openCount(), opens);
        QVERIFY(f.cycle.tickTimer().isActive());
        // The request sent before the repeat was not abandoned by it.
        QVERIFY(f.engine.outstanding());
        QVERIFY(f.engine.awaitingReply());
        f.cycle.tickTimer().stop();
    }

    // Lending the line ends a running scan: it must not go on sending on a port
    // the editor owns.
    void handOverEndsAScan()
    {
        LinkFixture f;
        QSignalSpy finished(&f.scan, &ModuleScan::finished);
        f.cycle.stop();
        f.scan.start(Line9600);
        f.scan.onTick();
        QVERIFY(!f.cycle.selectModule(0)); // the scan owns the slot
        f.cycle.lend(Line9600);
        QVERIFY(!f.scan.tickTimer().isActive());
        QVERIFY(!f.scan.running());
        QCOMPARE(finished.count(), 1);
        QVERIFY(!f.cycle.selectModule(-1));
        QVERIFY(f.cycle.selectModule(0));
    }

    void fullStackRefusesPush()
    {
        LinkFixture f;
        for (int i = 0; i < 30; ++i)
            QVERIFY(f.cycle.push(0x3062));
        QVERIFY(!f.cycle.push(0x3072));
        QCOMPARE(f.status, QStringLiteral("命令队列已满"));
        QCOMPARE(f.state.commandStack.topIndex, qint16(30));
        QCOMPARE(f.state.commandStack.entries[30], qint16(0x3062));
    }

    void startBurstAndRotation()
    {
        LinkFixture f;
        f.state.commandStack.entries[1] = 0x3062; // pushed while stopped: dropped by Start
        f.state.commandStack.topIndex = 1;
        f.cycle.start(Line9600, -1, 0, 2, false);
        QCOMPARE(f.state.moduleSlots.selected, qint16(1));
        QCOMPARE(f.cycle.tickTimer().interval(), 300);
        QCOMPARE(f.engine.replyTimeout(), 288);
        QVERIFY(f.cycle.tickTimer().isActive());
        QVERIFY(f.port.sent().isEmpty()); // the first request leaves at the first tick

        // The module control and system blocks come before the identification:
        // they are read again once it told the firmware (the system block then
        // has 10 registers).
        const QList<QByteArray> expected{
            hex("020301F80003"), hex("020300820008"), hex("020300720001"), hex("020300620008"),
            hex("020300120006"), hex("0211"),         hex("02030012000A"), hex("020301F80003"),
            hex("020100000009"), hex("020200100014"), hex("020300000008"), hex("020100300001"),
            hex("020100000009"),
        };
        QCOMPARE(ticks(f, 13, true), expected);

        // A push takes the next tick; the rotation resumes where it was.
        f.cycle.push(0x3062);
        QCOMPARE(ticks(f, 2), (QList<QByteArray>{hex("020300620008"), hex("020200100014")}));

        f.cycle.stop();
        QVERIFY(!f.cycle.tickTimer().isActive());
        f.state.commandStack.entries[0] = 0x1234;
        f.cycle.onTick();
        QCOMPARE(f.status, QStringLiteral("无此功能号"));
        QCOMPARE(f.state.commandStack.entries[0], qint16(0x1234)); // stays and repeats
    }

    // The burst reads the version-dependent blocks before the identifier; a
    // module whose identifier tells another firmware gets them read again.
    void firmwareLearnedInBurst()
    {
        LinkFixture f;
        f.cycle.start(Line9600, -1, 0, 2, false);
        QList<QByteArray> bodies = ticks(f, 5);
        QCOMPARE(bodies.at(4), hex("020300120006")); // short form: version still unknown
        f.cycle.onTick();
        QCOMPARE(f.lastSent().chopped(2), hex("0211"));
        f.reply(hex("021110") + "REREVE2060RIDU" + hex("0503"));
        QCOMPARE(ticks(f, 5),
                 (QList<QByteArray>{hex("02030012000A"), hex("020301F80003"), hex("020100000009"),
                                    hex("020200100014"), hex("020300000008")}));
        // The same firmware again (next Start) reads nothing twice.
        f.cycle.start(Line9600, -1, 0, 2, false);
        ticks(f, 5);
        f.cycle.onTick();
        f.reply(hex("021110") + "REREVE2060RIDU" + hex("0503"));
        QCOMPARE(ticks(f, 1), QList<QByteArray>{hex("020100000009")});
    }

    void startSpeeds()
    {
        const int poll[] = {1200, 600, 400, 300, 240, 200};
        const int reply[] = {1150, 575, 383, 288, 230, 192};
        const int scan[] = {800, 400, 267, 200, 160, 133};
        const int scanReply[] = {700, 350, 233, 175, 140, 117};
        for (int i = 0; i < 6; ++i) {
            LinkFixture f;
            const LineChoice line{LineAddress::com(1), QStringLiteral("x"), i};
            f.cycle.start(line, -1, 0, 1, false);
            QCOMPARE(f.cycle.tickTimer().interval(), poll[i]);
            QCOMPARE(f.engine.replyTimeout(), reply[i]);
            // "扫描模块" stops polling, then starts the scan.
            f.cycle.stop();
            f.scan.start(line);
            QCOMPARE(f.scan.tickTimer().interval(), scan[i]);
            QCOMPARE(f.engine.replyTimeout(), scanReply[i]);
            QVERIFY(f.scan.tickTimer().isActive());
            QVERIFY(!f.cycle.tickTimer().isActive());
        }
    }

    void startOnScannedSlot()
    {
        LinkFixture f;
        ModuleSlots &moduleSlots = f.state.moduleSlots;
        moduleSlots.stationAddress[1] = 5;
        moduleSlots.ascii[1] = true;
        f.cycle.start(Line9600, 1, 2, 99, false);
        QCOMPARE(moduleSlots.selected, qint16(1));
        QCOMPARE(moduleSlots.stationAddress[1], qint16(5));
        QVERIFY(moduleSlots.selectedIsAscii());
        f.cycle.start(Line9600, -1, 2, 99, true);
        QCOMPARE(moduleSlots.selected, qint16(3));
        QCOMPARE(moduleSlots.stationAddress[3], qint16(99));
        QVERIFY(moduleSlots.ascii[3]);
    }

    // Answers every scan request from address 5 in RTU; counts ticks.
    void scanFindsModule()
    {
        LinkFixture f;
        QSignalSpy finished(&f.scan, &ModuleScan::finished);
        f.scan.start(Line9600);
        int answeredTick = 0;
        for (int tick = 1; tick <= 512; ++tick) {
            const qsizetype before = f.port.sent().size();
            f.scan.onTick();
            if (f.port.sent().size() > before && f.lastSent() == rtuFrame(hex("0511"))) {
                answeredTick = tick;
                QByteArray id = hex("051110") + "ZEZADO2040ZOZE" + hex("0502");
                f.reply(id);
            } else if (f.port.sent().size() > before) {
                f.engine.onReplyTimeout();
            }
        }
        QCOMPARE(answeredTick, 12);
        QCOMPARE(f.found, QStringList{QStringLiteral("MOD(5)")});
        QCOMPARE(f.state.moduleSlots.stationAddress[0], qint16(5));
        QVERIFY(!f.state.moduleSlots.ascii[0]);
        QCOMPARE(f.state.moduleSlots.selected, qint16(1));
        QCOMPARE(f.port.sent().size(), 510); // address 0 is never asked
        QCOMPARE(f.port.sent().at(0), asciiFrame(hex("0111")));
        QVERIFY(!f.scan.tickTimer().isActive());
        QVERIFY(!f.scan.running());
        QCOMPARE(finished.count(), 1);
    }

    // The last request of a scan (address 255, RTU) still lists its module.
    void scanLastAddress()
    {
        LinkFixture f;
        QSignalSpy finished(&f.scan, &ModuleScan::finished);
        f.scan.start(Line9600);
        QVERIFY(f.scanTo(255, true));
        QCOMPARE(f.lastSent(), asciiFrame(hex("FF11")));
        f.engine.onReplyTimeout();
        f.scan.onTick();
        QCOMPARE(f.lastSent(), rtuFrame(hex("FF11")));
        QVERIFY(!f.scan.tickTimer().isActive());
        QVERIFY(f.scan.running());
        QCOMPARE(finished.count(), 0);
        f.reply(hex("FF1110") + "REREVE2060RIDU" + hex("0503"));
        QCOMPARE(f.found, QStringList{QStringLiteral("MOD(255)")});
        QVERIFY(!f.scan.running());
        QCOMPARE(finished.count(), 1);
    }

    void portLossStopsPolling()
    {
        LinkFixture f;
        QSignalSpy errors(&f.engine, &TransactionEngine::portFailed);
        f.cycle.start(Line9600, -1, 0, 2, false);
        f.cycle.onTick();
        f.port.pull(QStringLiteral("unplugged"));
        QCOMPARE(errors.count(), 1);
        QVERIFY(!f.cycle.tickTimer().isActive());
        QVERIFY(!f.engine.awaitingReply());
    }
};

QTEST_GUILESS_MAIN(TestWritesAndPolling)
#include "tst_writesandpolling.moc"
