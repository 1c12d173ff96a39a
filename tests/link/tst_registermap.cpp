// Read requests and the decoding of every reply kind into the shared module data.
#include "linkfixture.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

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
        f.state.module.VerMajor = static_cast<qint16>(version / 10);
        f.state.module.VerMinor = static_cast<qint16>(version % 10);
        f.reads.GetSys();
        QCOMPARE(f.lastSent(), rtuFrame(sysRequest));
        QCOMPARE(f.port.rThreshold(), sysReply);
        f.reads.GetDI();
        QCOMPARE(f.lastSent(), rtuFrame(diRequest));
        QCOMPARE(f.port.rThreshold(), 8);
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
            {&RegisterMap::GetChnlSensor, "020300620008", 21, "取传感器信息"},
            {&RegisterMap::GetPOutTime, "020300720001", 7, "取并口时间"},
            {&RegisterMap::GetECalbData, "020300820008", 21, "取工程校准数据"},
            {&RegisterMap::GetModCon, "020301F80003", 11, "取模块控制参数"},
            {&RegisterMap::GetDO, "020100000009", 7, "取开关量输出状态"},
            {&RegisterMap::GetControlEn, "020100300001", 6, "取控制温度使能状态"},
            {&RegisterMap::GetDeviceID, "0211", 21, "取设备标识信息"},
        };
        for (const auto &row : rows) {
            (f.reads.*row.get)();
            QCOMPARE(f.lastSent(), rtuFrame(hex(row.body)));
            QCOMPARE(f.port.rThreshold(), row.replyLen);
            QCOMPARE(f.status, QString::fromUtf8(row.status));
        }
    }

    void systemBlockShort()
    {
        LinkFixture f;
        f.useModule(2, false);
        f.state.module.VerMajor = 5;
        f.state.module.VerMinor = 2;
        // SerialNo 0x9000, sensor 0x93 / comm 0x0B, year 2006, day 7 / month 3,
        // minute 5 / hour 9, cold 200 / address 2.
        exchange(
            f, [&] { f.reads.GetSys(); },
            hex("02030C"
                "9000"
                "930B"
                "07D6"
                "0703"
                "0509"
                "C802"));
        const ModuleData &m = f.state.module;
        QCOMPARE(f.status, QStringLiteral("取系统信息成功"));
        QCOMPARE(m.SerialNo, quint16(0x9000)); // shown unsigned
        QCOMPARE(int(m.SensorByte), 0x93);
        QCOMPARE(int(m.CommByte), 0x0B);
        QCOMPARE(m.MadeYear, quint16(2006));
        QCOMPARE(m.MadeMonth, qint16(3));
        QCOMPARE(m.MadeDay, qint16(7));
        QCOMPARE(m.MadeHour, qint16(9));
        QCOMPARE(m.MadeMinute, qint16(5));
        QCOMPARE(m.ColdAdj, qint16(200));
        QCOMPARE(m.SysAddress, qint16(2));
        QVERIFY(f.systemShown);
    }

    void systemBlockLong()
    {
        LinkFixture f;
        f.useModule(2, false);
        f.state.module.VerMajor = 5;
        f.state.module.VerMinor = 3;
        // High bytes the layout does not list are ignored (set to FF here).
        exchange(
            f, [&] { f.reads.GetSys(); },
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
        const ModuleData &m = f.state.module;
        QCOMPARE(m.SerialNo, quint16(0x1234));
        QCOMPARE(int(m.CommByte), 0x0B);
        QCOMPARE(int(m.SensorByte), 0x93);
        QCOMPARE(m.MadeYear, quint16(2006));
        QCOMPARE(m.MadeMonth, qint16(3));
        QCOMPARE(m.MadeDay, qint16(7));
        QCOMPARE(m.MadeHour, qint16(9));
        QCOMPARE(m.MadeMinute, qint16(5));
        QCOMPARE(m.SysAddress, qint16(2));
        QCOMPARE(m.ColdAdj, qint16(-32768));
    }

    void registerLists()
    {
        LinkFixture f;
        f.useModule(2, false);
        QSignalSpy sensors(&f.reads, &RegisterMap::sensorCodesDecoded);
        exchange(
            f, [&] { f.reads.GetChnlSensor(); },
            hex("020310"
                "0013"
                "0001"
                "FFFF"
                "0000000000000000000C"));
        QCOMPARE(f.status, QStringLiteral("取通道传感器选择字"));
        QCOMPARE(sensors.at(0).at(0).toInt(), 8);
        QCOMPARE(f.state.module.ChnlSensorCode[7], 12);
        QCOMPARE(f.state.module.ChnlSensorCode[0], 19);
        QCOMPARE(f.state.module.ChnlSensorCode[2], -1);

        // Ten registers (a reply no request of ours asks for, so it reaches
        // the decoder only directly): the first eight are taken, the rest
        // ignored.
        f.state.module.ECalbEntry[0].Dirty = True16;
        QByteArray ten = hex("020314");
        for (int k = 0; k < 10; ++k)
            ten += hex("FF38");
        f.state.module.ReqRegister = Reg::Calibration;
        f.decode(ten);
        QCOMPARE(f.status, QStringLiteral("取8通道工程校准成功"));
        QCOMPARE(f.state.module.ECalbValue[7], -200);
        QCOMPARE(f.state.module.ECalbValue[8], 0);
        QCOMPARE(f.state.module.ECalbEntry[7].Value, qint16(-200));
        QCOMPARE(f.state.module.ECalbEntry[0].Dirty, True16); // untouched
    }

    void parallelPortTime()
    {
        LinkFixture f;
        f.useModule(2, false);
        QSignalSpy spy(&f.reads, &RegisterMap::pOutTimeDecoded);
        exchange(
            f, [&] { f.reads.GetPOutTime(); }, hex("020302FC18"));
        QCOMPARE(f.status, QStringLiteral("取并口半字节输出时间"));
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("1085.06944444444"));
    }

    void moduleControl_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("continuous");
        QTest::newRow("5.3 continuous") << 53 << 1;
        QTest::newRow("5.2 ignores bit 15") << 52 << 0;
    }
    void moduleControl()
    {
        QFETCH(int, version);
        QFETCH(int, continuous);
        LinkFixture f;
        f.useModule(2, false);
        f.state.module.VerMajor = static_cast<qint16>(version / 10);
        f.state.module.VerMinor = static_cast<qint16>(version % 10);
        f.status = QStringLiteral("x");
        exchange(
            f, [&] { f.reads.GetModCon(); },
            hex("020306"
                "8B01"
                "0001"
                "0007"));
        const ModuleData &m = f.state.module;
        QCOMPARE(f.status, QString()); // this read reports nothing
        QCOMPARE(m.AddrContinuous, qint16(continuous));
        QCOMPARE(m.SerialOutCount, qint16(0x0B));
        QCOMPARE(m.RequestOut, qint16(1));
        QCOMPARE(m.StartControl, qint16(1));
        QCOMPARE(m.MeasChannels, qint16(7));
    }

    void coilsAndInputs()
    {
        LinkFixture f;
        f.useModule(2, false);
        exchange(
            f, [&] { f.reads.GetDO(); }, hex("0201020501"));
        QCOMPARE(f.status, QStringLiteral("取开关量输出成功"));
        const auto &d = f.state.module.DOState;
        QCOMPARE((std::array<qint16, 9>{d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8]}),
                 (std::array<qint16, 9>{1, 0, 1, 0, 0, 0, 0, 0, 1}));
        exchange(
            f, [&] { f.reads.GetControlEn(); }, hex("02010101"));
        QCOMPARE(f.status, QStringLiteral("取控制使能成功"));
        QCOMPARE(d[9], qint16(1));
        exchange(
            f, [&] { f.reads.GetDI(); },
            hex("020203"
                "01"
                "80"
                "08"));
        QCOMPARE(f.status, QStringLiteral("取开关量输入成功"));
        const auto &i = f.state.module.DIState;
        QCOMPARE(i[0], qint16(1));
        QCOMPARE(i[15], qint16(1));
        QCOMPARE(i[19], qint16(1));
        QCOMPARE(i[1] + i[14] + i[18], 0);
    }

    void deviceIdentification()
    {
        LinkFixture f;
        f.useModule(2, false);
        QSignalSpy text(&f.reads, &RegisterMap::deviceIdDecoded);
        exchange(
            f, [&] { f.reads.GetDeviceID(); }, idReply(2, "REREVE2060RIDU", 5, 3));
        QCOMPARE(f.status, QStringLiteral("取设备信息成功"));
        QCOMPARE(text.at(0).at(0).toString(), QStringLiteral("REREVE2060RIDU  Version5.3"));
        QCOMPARE(f.state.module.version(), 53);
        QVERIFY(f.found.isEmpty()); // not scanning: nothing listed
    }

    // An identifier reply one byte short of its layout changes nothing: no
    // version, no text, no list entry, no slot moved.
    void shortIdentifierReplyChangesNothing()
    {
        LinkFixture f;
        f.state.scan.Scanning = True16;
        f.state.mods.ModIndex = 0;
        f.state.mods.ModAddress[0] = 2;
        f.state.module.VerMajor = 5;
        f.state.module.VerMinor = 2;
        QSignalSpy text(&f.reads, &RegisterMap::deviceIdDecoded);
        f.reads.GetDeviceID();
        const QByteArray frame = rtuFrame(idReply(2, "REREVE2060RIDU", 5, 3).chopped(1));
        f.port.setRThreshold(static_cast<int>(frame.size()));
        f.deliver(frame);
        QCOMPARE(f.status, QStringLiteral("数据长度错误"));
        QCOMPARE(f.state.module.version(), 52);
        QCOMPARE(text.count(), 0);
        QVERIFY(f.found.isEmpty());
        QCOMPARE(f.state.mods.ModIndex, qint16(0));
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
        f.state.scan.Scanning = True16;
        f.state.scan.ScanAscii = True16;
        f.state.mods.ModIndex = 0;
        f.state.mods.ModAddress[0] = 123;
        f.state.mods.AsciiMode[0] = True16;
        exchange(
            f, [&] { f.reads.GetDeviceID(); }, idReply(123, id, 5, 2));
        QCOMPARE(f.found, listed ? QStringList{QStringLiteral("MOD(123)")} : QStringList{});
        QCOMPARE(f.state.mods.ModIndex, qint16(listed ? 1 : 0));
        if (listed)
            QCOMPARE(f.status, QStringLiteral("找到模块地址为:123"));
    }
};

QTEST_GUILESS_MAIN(TestRegisterMap)
#include "tst_registermap.moc"
