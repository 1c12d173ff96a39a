// Read requests and the decoding of every reply kind into the shared module
// data and the values the signals carry.
#include "linkfixture.h"
#include "testsupport.h"

#include "module/replydecoding.h"
#include "text/numbertext.h"

#include <QSignalSpy>
#include <QTest>

#include <algorithm>

using namespace krv;
using testsupport::hex;

namespace {
QByteArray idReply(quint8 address, const QByteArray &id, quint8 major, quint8 minor)
{
    QByteArray body;
    body.append(char(address))
        .append('\x11')
        .append('\x10')
        .append(id)
        .append(char(major))
        .append(char(minor));
    return body;
}

const LineChoice Line9600{LineAddress::com(1), QStringLiteral("9600"), 3};

// Sends request `send` and answers it with `body`.
template <typename Send> void exchange(LinkFixture &f, Send send, const QByteArray &body)
{
    send();
    f.reply(body);
}
} // namespace

class TestRegisterMap : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void requestForms_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QByteArray>("sysRequest");
        QTest::addColumn<int>("sysReply");
        QTest::addColumn<QByteArray>("diRequest");
        QTest::newRow("5.1") << 51 << hex("020300120006") << 17 << hex("020200000014");
        QTest::newRow("5.2") << 52 << hex("020300120006") << 17 << hex("020200100014");
        QTest::newRow("5.3") << 53 << hex("02030012000A") << 25 << hex("020200100014");
    }
    void requestForms()
    {
        QFETCH(int, version);
        QFETCH(QByteArray, sysRequest);
        QFETCH(int, sysReply);
        QFETCH(QByteArray, diRequest);
        LinkFixture f;
        f.useModule(2, false);
        f.state.module.firmwareMajor = static_cast<qint16>(version / 10);
        f.state.module.firmwareMinor = static_cast<qint16>(version % 10);
        f.state.module.firmwareKnown = true;
        f.reads.readSystemBlock();
        QCOMPARE(f.lastSent(), rtuFrame(sysRequest));
        QCOMPARE(f.port.receiveThreshold(), sysReply);
        f.engine.cancel(); // no late reply of it is waited for
        f.reads.readSwitchInputs();
        QCOMPARE(f.lastSent(), rtuFrame(diRequest));
        QCOMPARE(f.port.receiveThreshold(), 8);
    }

    void otherRequests()
    {
        LinkFixture f;
        f.useModule(2, false);
        const struct
        {
            void (RegisterMap::*get)();
            const char *body;
            int replyLen;
            const char *status;
        } rows[] = {
            {&RegisterMap::readMeasurements, "020300000008", 21, "取测量实时数据"},
            {&RegisterMap::readSensorCodes, "020300620008", 21, "取传感器信息"},
            {&RegisterMap::readParallelOutputTime, "020300720001", 7, "取并口时间"},
            {&RegisterMap::readCalibration, "020300820008", 21, "取工程校准数据"},
            {&RegisterMap::readModuleControl, "020301F80003", 11, "取模块控制参数"},
            {&RegisterMap::readSwitchOutputs, "020100000009", 7, "取开关量输出状态"},
            {&RegisterMap::readControlEnable, "020100300001", 6, "取控制温度使能状态"},
            {&RegisterMap::readDeviceId, "0211", 21, "取设备标识信息"},
        };
        for (const auto &row : rows) {
            (f.reads.*row.get)();
            QCOMPARE(f.lastSent(), rtuFrame(hex(row.body)));
            QCOMPARE(f.port.receiveThreshold(), row.replyLen);
            QCOMPARE(f.status, QString::fromUtf8(row.status));
            f.engine.cancel(); // given up: no late reply of it is waited for
        }
    }

    void systemBlockShort()
    {
        LinkFixture f;
        f.useModule(2, false);
        f.state.module.firmwareMajor = 5;
        f.state.module.firmwareMinor = 2;
        f.state.module.firmwareKnown = true;
        SystemBlock shown;
        QObject::connect(&f.reads, &RegisterMap::systemBlockDecoded,
                         [&](const SystemBlock &block) { shown = block; });
        // Serial number 0x9000, sensor 0x93 / comm 0x0B, year 2006, day 7 / month 3,
        // minute 5 / hour 9, cold 200 / address 2.
        exchange(
            f, [&] { f.reads.readSystemBlock(); },
            hex("02030C"
                "9000"
                "930B"
                "07D6"
                "0703"
                "0509"
                "C802"));
        const SystemBlock &m = f.state.module.system;
        QCOMPARE(f.status, QStringLiteral("取系统信息成功"));
        QCOMPARE(m.serialNumber, quint16(0x9000)); // shown unsigned
        QCOMPARE(int(m.sensorByte), 0x93);
        QCOMPARE(int(m.commByte), 0x0B);
        QCOMPARE(m.year, quint16(2006));
        QCOMPARE(m.month, qint16(3));
        QCOMPARE(m.day, qint16(7));
        QCOMPARE(m.hour, qint16(9));
        QCOMPARE(m.minute, qint16(5));
        QCOMPARE(m.coldJunctionAdjust, qint16(200));
        QCOMPARE(m.stationAddress, qint16(2));
        QVERIFY(f.systemShown);
        QCOMPARE(shown.serialNumber, m.serialNumber);
        QCOMPARE(shown.coldJunctionAdjust, m.coldJunctionAdjust);
        QCOMPARE(shown.stationAddress, m.stationAddress);
    }

    void systemBlockLong()
    {
        LinkFixture f;
        f.useModule(2, false);
        f.state.module.firmwareMajor = 5;
        f.state.module.firmwareMinor = 3;
        f.state.module.firmwareKnown = true;
        // High bytes the layout does not list are ignored (set to FF here).
        exchange(
            f, [&] { f.reads.readSystemBlock(); },
            hex("020314"
                "1234"
                "FF0B"
                "FF93"
                "07D6"
                "FF03"
                "FF07"
                "FF09"
                "FF05"
                "FF02"
                "8000"));
        const SystemBlock &m = f.state.module.system;
        QCOMPARE(m.serialNumber, quint16(0x1234));
        QCOMPARE(int(m.commByte), 0x0B);
        QCOMPARE(int(m.sensorByte), 0x93);
        QCOMPARE(m.year, quint16(2006));
        QCOMPARE(m.month, qint16(3));
        QCOMPARE(m.day, qint16(7));
        QCOMPARE(m.hour, qint16(9));
        QCOMPARE(m.minute, qint16(5));
        QCOMPARE(m.stationAddress, qint16(2));
        QCOMPARE(m.coldJunctionAdjust, qint16(-32768));
    }

    void registerLists()
    {
        LinkFixture f;
        f.useModule(2, false);
        QList<ChannelValues> sensors;
        QObject::connect(&f.reads, &RegisterMap::sensorCodesDecoded,
                         [&](const ChannelValues &codes) { sensors << codes; });
        exchange(
            f, [&] { f.reads.readSensorCodes(); },
            hex("020310"
                "0013"
                "0001"
                "FFFF"
                "0000000000000000000C"));
        QCOMPARE(f.status, QStringLiteral("取通道传感器选择字"));
        QCOMPARE(sensors.size(), 1);
        QCOMPARE(sensors.at(0).count, 8);
        QCOMPARE(sensors.at(0).values[2], -1);
        QCOMPARE(f.state.module.sensorCodes[7], 12);
        QCOMPARE(f.state.module.sensorCodes[0], 19);
        QCOMPARE(f.state.module.sensorCodes[2], -1);

        // Ten registers (a reply no request of ours asks for, so it reaches
        // the decoder only directly): the first eight are taken, the rest
        // ignored.
        QList<ChannelValues> calibration;
        QObject::connect(&f.reads, &RegisterMap::calibrationDecoded,
                         [&](const ChannelValues &values) { calibration << values; });
        QByteArray ten = hex("020314");
        for (int k = 0; k < 10; ++k)
            ten += hex("FF38");
        f.decode(ten, buildRequest(2, Fn::ReadHolding, Reg::Calibration, 10));
        QCOMPARE(f.status, QStringLiteral("取8通道工程校准成功"));
        QCOMPARE(calibration.size(), 1);
        QCOMPARE(calibration.at(0).count, 8);
        QCOMPARE(calibration.at(0).values[7], -200);
        QCOMPARE(f.state.module.calibration[7], qint16(-200));
        QCOMPARE(f.state.module.calibration[0], qint16(-200));
    }

    void parallelPortTime()
    {
        LinkFixture f;
        f.useModule(2, false);
        QList<double> micros;
        QObject::connect(&f.reads, &RegisterMap::parallelOutputTimeDecoded,
                         [&](double us) { micros << us; });
        exchange(
            f, [&] { f.reads.readParallelOutputTime(); }, hex("020302FC18"));
        QCOMPARE(f.status, QStringLiteral("取并口半字节输出时间"));
        QCOMPARE(micros.size(), 1);
        // As the window shows it.
        QCOMPARE(formatDouble15(micros.at(0)), QStringLiteral("1085.06944444444"));
    }

    void moduleControl_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("continuous");
        QTest::newRow("5.3 continuous") << 53 << true;
        QTest::newRow("5.2 ignores bit 15") << 52 << false;
    }
    void moduleControl()
    {
        QFETCH(int, version);
        QFETCH(bool, continuous);
        LinkFixture f;
        f.useModule(2, false);
        f.state.module.firmwareMajor = static_cast<qint16>(version / 10);
        f.state.module.firmwareMinor = static_cast<qint16>(version % 10);
        f.state.module.firmwareKnown = true;
        QList<ModuleControl> shown;
        QObject::connect(&f.reads, &RegisterMap::moduleControlDecoded,
                         [&](const ModuleControl &c) { shown << c; });
        f.status = QStringLiteral("x");
        exchange(
            f, [&] { f.reads.readModuleControl(); },
            hex("020306"
                "8B01"
                "0001"
                "0007"));
        const ModuleControl &m = f.state.module.control;
        QCOMPARE(f.status, QString()); // this read reports nothing
        QCOMPARE(m.continuousAddressing, continuous);
        QCOMPARE(m.serialOutputCount, qint16(0x0B));
        QCOMPARE(m.requestOutput, qint16(1));
        QCOMPARE(m.startMode, qint16(1));
        QCOMPARE(m.measuredChannels, qint16(7));
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.at(0).continuousAddressing, continuous);
        QCOMPARE(shown.at(0).measuredChannels, qint16(7));
    }

    void coilsAndInputs()
    {
        LinkFixture f;
        f.useModule(2, false);
        f.state.module.firmwareKnown = true;
        QList<SwitchOutputs> outputs;
        QList<bool> enables;
        QList<SwitchInputs> inputs;
        QObject::connect(&f.reads, &RegisterMap::switchOutputsDecoded,
                         [&](const SwitchOutputs &on) { outputs << on; });
        QObject::connect(&f.reads, &RegisterMap::controlEnableDecoded,
                         [&](bool on) { enables << on; });
        QObject::connect(&f.reads, &RegisterMap::switchInputsDecoded,
                         [&](const SwitchInputs &on) { inputs << on; });
        exchange(
            f, [&] { f.reads.readSwitchOutputs(); }, hex("0201020501"));
        QCOMPARE(f.status, QStringLiteral("取开关量输出成功"));
        const auto &d = f.state.module.outputs;
        const SwitchOutputs expected{true, false, true, false, false, false, false, false, true};
        QCOMPARE((SwitchOutputs{d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8]}), expected);
        QCOMPARE(outputs, QList<SwitchOutputs>{expected});
        QCOMPARE(d[ControlEnableIndex], false);
        exchange(
            f, [&] { f.reads.readControlEnable(); }, hex("02010101"));
        QCOMPARE(f.status, QStringLiteral("取控制使能成功"));
        QCOMPARE(d[ControlEnableIndex], true);
        QCOMPARE(enables, QList<bool>{true});
        exchange(
            f, [&] { f.reads.readSwitchInputs(); },
            hex("020203"
                "01"
                "80"
                "08"));
        QCOMPARE(f.status, QStringLiteral("取开关量输入成功"));
        const auto &i = f.state.module.inputs;
        QVERIFY(i[0]);
        QVERIFY(i[15]);
        QVERIFY(i[19]);
        QVERIFY(!i[1] && !i[14] && !i[18]);
        QCOMPARE(std::count(i.begin(), i.end(), true), 3);
        QCOMPARE(inputs.size(), 1);
        QCOMPARE(inputs.at(0), i);
    }

    void deviceIdentification()
    {
        LinkFixture f;
        f.useModule(2, false);
        QList<DeviceId> ids;
        QList<int> previous;
        QObject::connect(&f.reads, &RegisterMap::deviceIdentified,
                         [&](const DeviceId &id, int before) {
                             ids << id;
                             previous << before;
                         });
        exchange(
            f, [&] { f.reads.readDeviceId(); }, idReply(2, "REREVE2060RIDU", 5, 3));
        QCOMPARE(f.status, QStringLiteral("取设备信息成功"));
        QCOMPARE(ids.size(), 1);
        QCOMPARE(ids.at(0).text(), QStringLiteral("REREVE2060RIDU  Version5.3"));
        QVERIFY(ids.at(0).isKnownModule());
        QCOMPARE(previous, QList<int>{0});
        QCOMPARE(f.state.module.version(), 53);
        QVERIFY(f.found.isEmpty()); // not scanning: nothing listed
    }

    // An identifier reply one byte short of its layout changes nothing: no
    // version, no text, no list entry, no slot moved.
    void shortIdentifierReplyChangesNothing()
    {
        LinkFixture f;
        f.scan.start(Line9600);
        QVERIFY(f.scanTo(2, false));
        QCOMPARE(f.state.moduleSlots.selected, qint16(0));
        QCOMPARE(f.lastSent(), rtuFrame(hex("0211")));
        f.state.module.firmwareMajor = 5;
        f.state.module.firmwareMinor = 2;
        f.state.module.firmwareKnown = true;
        QSignalSpy identified(&f.reads, &RegisterMap::deviceIdentified);
        const QByteArray frame = rtuFrame(idReply(2, "REREVE2060RIDU", 5, 3).chopped(1));
        f.port.setReceiveThreshold(static_cast<int>(frame.size()));
        f.deliver(frame);
        QCOMPARE(f.status, QStringLiteral("数据长度错误"));
        QCOMPARE(f.state.module.version(), 52);
        QCOMPARE(identified.count(), 0);
        QVERIFY(f.found.isEmpty());
        QCOMPARE(f.state.moduleSlots.selected, qint16(0));
        QVERIFY(f.scan.running());
    }

    void scanListsOnlyTheFamily_data()
    {
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<bool>("listed");
        QTest::newRow("first model") << QByteArray("REREVE2060RIDU") << true;
        QTest::newRow("second model") << QByteArray("ZEZADO2040ZOZE") << true;
        QTest::newRow("one character off") << QByteArray("REREVE2060RIDV") << false;
    }
    void scanListsOnlyTheFamily()
    {
        QFETCH(QByteArray, id);
        QFETCH(bool, listed);
        LinkFixture f;
        QList<int> foundSlots;
        QObject::connect(&f.scan, &ModuleScan::moduleFound,
                         [&](const QString &, int slot) { foundSlots << slot; });
        f.scan.start(Line9600);
        QVERIFY(f.scanTo(123, true));
        QCOMPARE(f.lastSent(), asciiFrame(hex("7B11")));
        f.reply(idReply(123, id, 5, 2));
        QCOMPARE(f.found, listed ? QStringList{QStringLiteral("MOD(123)")} : QStringList{});
        QCOMPARE(foundSlots, listed ? QList<int>{0} : QList<int>{});
        QCOMPARE(f.state.moduleSlots.selected, qint16(listed ? 1 : 0));
        // The slot found keeps the station and framing that answered.
        QCOMPARE(f.state.moduleSlots.stationAddress[0], qint16(123));
        QVERIFY(f.state.moduleSlots.ascii[0]);
        if (listed)
            QCOMPARE(f.status, QStringLiteral("找到模块地址为:123"));
    }
};

QTEST_GUILESS_MAIN(TestRegisterMap)
#include "tst_registermap.moc"
