// The alarm editor's blocks without a window: fields to registers and back,
// the refusals that keep a wrong value off the line, the request frames, the
// dispatch of the replies, and the module-control values the main window's
// system writes take their register addresses from.
#include "link/alarmblocks.h"
#include "linkfixture.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

using namespace krv;
using testsupport::hex;

namespace {
struct AlarmFixture : LinkFixture
{
    MemoryPortComponent editorPort;
    EditorLink editor{state, editorPort, cycle};
    AlarmBlocks blocks{state, editor};
    QString editorStatus;

    AlarmFixture()
    {
        useModule(2, false);
        QObject::connect(&editor.engine(), &TransactionEngine::statusText,
                         [this](const QString &t) { editorStatus = t; });
    }
    QString sentBody() const
    {
        const QByteArray f = testsupport::lastSent(editorPort);
        return QString::fromLatin1(f.left(f.size() - 2).toHex().toUpper());
    }
    void answer(const QByteArray &body) { editorPort.receive(rtuFrame(body)); }
    // Firmware as the main window's identifier read left it.
    void firmware(int major, int minor)
    {
        state.module.VerMajor = static_cast<qint16>(major);
        state.module.VerMinor = static_cast<qint16>(minor);
    }
};

AlarmChannelTexts channel(const QString &upper, const QString &lower, const QString &relative,
                          const QString &preAlarm)
{
    return {upper, lower, relative, preAlarm};
}
} // namespace

Q_DECLARE_METATYPE(krv::AlarmChannelTexts)
Q_DECLARE_METATYPE(krv::ModuleControlFields)

class TestAlarmBlocks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A channel's fields travel as three registers and come back as the
    // module's signed 16-bit values.
    void channelRoundTrip_data()
    {
        QTest::addColumn<AlarmChannelTexts>("fields");
        QTest::addColumn<QString>("data");
        QTest::addColumn<AlarmChannelTexts>("shown");
        QTest::newRow("limits") << channel("800", "-50", "20", "1") << "0320FFCE1014"
                                << channel("800", "-50", "20", "1");
        QTest::newRow("40000 reads -25536") << channel("0", "40000", "0", "0") << "00009C400000"
                                            << channel("0", "-25536", "0", "0");
        QTest::newRow("0x100A") << channel("0", "0", "10", "1") << "00000000100A"
                                << channel("0", "0", "10", "1");
        QTest::newRow("0x800A") << channel("0", "0", "10", "8") << "00000000800A"
                                << channel("0", "0", "-4086", "-7");
        QTest::newRow("0xFFFB") << channel("0", "0", "-5", "0") << "00000000FFFB"
                                << channel("0", "0", "-5", "0");
        QTest::newRow("4091") << channel("0", "0", "-5", "1") << "000000000FFB"
                              << channel("0", "0", "4091", "0");
        QTest::newRow("halves to even") << channel("2.5", " 3.5 ", "0", "0.5") << "000200040800"
                                        << channel("2", "4", "2048", "0");
        QTest::newRow("-65536") << channel("-65536", "65535", "0", "0") << "0000FFFF0000"
                                << channel("0", "-1", "0", "0");
    }
    void channelRoundTrip()
    {
        QFETCH(AlarmChannelTexts, fields);
        QFETCH(QString, data);
        QFETCH(AlarmChannelTexts, shown);
        AlarmFixture f;
        QVERIFY(!channelToRecord(3, fields, f.state.params.AlarmPara[3]));
        f.blocks.PutAlarmPara(3);
        QCOMPARE(f.sentBody(), QStringLiteral("021001C6000306") + data);
        f.answer(hex("021001C60003"));
        QCOMPARE(f.editorStatus, QStringLiteral("写通道3报警参数成功"));

        f.blocks.GetAlarmPara(3);
        QCOMPARE(f.sentBody(), QStringLiteral("020301C60003"));
        QSignalSpy decoded(&f.blocks, &AlarmBlocks::channelDecoded);
        f.answer(hex("020306") + QByteArray::fromHex(data.toLatin1()));
        QCOMPARE(decoded.count(), 1);
        QCOMPARE(decoded.at(0).at(0).toInt(), 3);
        const AlarmChannelTexts back = recordToChannel(f.state.params.AlarmPara[3]);
        QCOMPARE(back.InSel, shown.InSel);
        QCOMPARE(back.SetVal, shown.SetVal);
        QCOMPARE(back.SamTime, shown.SamTime);
        QCOMPARE(back.PreAlmCon, shown.PreAlmCon);
    }

    // A field that cannot be a register value keeps the record as it was.
    void channelRefusals_data()
    {
        QTest::addColumn<AlarmChannelTexts>("fields");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("fault");
        const int notNumber = int(FieldFault::NotNumber);
        const int range = int(FieldFault::OutOfRange);
        QTest::newRow("empty upper")
            << channel("", "0", "0", "0") << int(AlarmField::InSel) << notNumber;
        QTest::newRow("hex lower")
            << channel("0", "0x10", "0", "0") << int(AlarmField::SetVal) << notNumber;
        QTest::newRow("relative text")
            << channel("0", "0", "1,5", "0") << int(AlarmField::SamTime) << notNumber;
        QTest::newRow("pre-alarm text")
            << channel("0", "0", "0", "1e3") << int(AlarmField::PreAlmCon) << notNumber;
        QTest::newRow("upper 65536")
            << channel("65535.5", "0", "0", "0") << int(AlarmField::InSel) << range;
        QTest::newRow("lower -65537")
            << channel("0", "-65537", "0", "0") << int(AlarmField::SetVal) << range;
        QTest::newRow("huge") << channel("0", "1" + QString(300, '0'), "0", "0")
                              << int(AlarmField::SetVal) << range;
        QTest::newRow("pre-alarm 16")
            << channel("0", "0", "0", "16") << int(AlarmField::PreAlarmAndRelative) << range;
        QTest::newRow("combined below")
            << channel("0", "0", "-1", "-16") << int(AlarmField::PreAlarmAndRelative) << range;
    }
    void channelRefusals()
    {
        QFETCH(AlarmChannelTexts, fields);
        QFETCH(int, field);
        QFETCH(int, fault);
        AlarmParaRecord r;
        r.Reg0 = 1;
        r.Reg1 = 2;
        r.Reg2 = 3;
        const auto refused = channelToRecord(5, fields, r);
        QVERIFY(refused);
        QCOMPARE(int(refused->field), field);
        QCOMPARE(int(refused->fault), fault);
        QCOMPARE(refused->channel, 5);
        QCOMPARE(r.Reg0 * 100 + r.Reg1 * 10 + r.Reg2, 123);
    }

    // Block 8: the control word from serial output mod 16 and the list
    // positions; a list without selection or a negative serial output is
    // refused rather than written as bits nobody chose.
    void moduleControlFields_data()
    {
        QTest::addColumn<ModuleControlFields>("fields");
        QTest::addColumn<QString>("data"); // empty: refused
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("fault");
        const int none = -1;
        QTest::newRow("0x8301") << ModuleControlFields{1, "3", "7", 0, 1} << "830100000007" << none
                                << none;
        QTest::newRow("17 is 1") << ModuleControlFields{0, "17", "263", 1, 0} << "010000010107"
                                 << none << none;
        QTest::newRow("no request output")
            << ModuleControlFields{-1, "3", "7", 0, 1} << "" << int(AlarmField::PReqOut)
            << int(FieldFault::NoSelection);
        QTest::newRow("no start mode") << ModuleControlFields{1, "3", "7", -1, 1} << ""
                                       << int(AlarmField::StartCon) << int(FieldFault::NoSelection);
        QTest::newRow("no addressing") << ModuleControlFields{1, "3", "7", 0, -1} << ""
                                       << int(AlarmField::ModAddr) << int(FieldFault::NoSelection);
        QTest::newRow("serial -1") << ModuleControlFields{1, "-1", "7", 0, 1} << ""
                                   << int(AlarmField::COMMCtrl) << int(FieldFault::Negative);
        QTest::newRow("serial text") << ModuleControlFields{1, "COMMCtrl", "7", 0, 1} << ""
                                     << int(AlarmField::COMMCtrl) << int(FieldFault::NotNumber);
        QTest::newRow("channels 70000")
            << ModuleControlFields{1, "3", "70000", 0, 1} << "" << int(AlarmField::ChnlSelect)
            << int(FieldFault::OutOfRange);
    }
    void moduleControlFields()
    {
        QFETCH(ModuleControlFields, fields);
        QFETCH(QString, data);
        QFETCH(int, field);
        QFETCH(int, fault);
        AlarmFixture f;
        const auto refused = moduleControlToRecord(fields, f.state.params.AlarmPara[8]);
        if (data.isEmpty()) {
            QVERIFY(refused);
            QCOMPARE(int(refused->field), field);
            QCOMPARE(int(refused->fault), fault);
            return;
        }
        QVERIFY(!refused);
        f.blocks.PutAlarmPara(8);
        QCOMPARE(f.sentBody(), QStringLiteral("021001F8000306") + data);
    }

    // The module control values from a block-8 reply, with the addressing bit
    // counting from firmware 5.3 only; the main window's read of the same
    // block decodes alike.
    void moduleControlReply_data()
    {
        QTest::addColumn<int>("firmware");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("shown"); // PReqOut COMMCtrl ChnlSelect StartCon ModAddr
        QTest::newRow("5.2") << 52 << "830100010007"
                             << "1 3 7 1 0";
        QTest::newRow("5.3") << 53 << "830100010007"
                             << "1 3 7 1 1";
        QTest::newRow("0x0107") << 53 << "0F0000000107"
                                << "0 15 7 0 0";
    }
    void moduleControlReply()
    {
        QFETCH(int, firmware);
        QFETCH(QString, data);
        QFETCH(QString, shown);
        const auto fieldsText = [](const ModuleData &m) {
            const ModuleControlFields c = moduleControlToFields(m);
            return QStringLiteral("%1 %2 %3 %4 %5")
                .arg(c.PReqOut)
                .arg(c.COMMCtrl, c.ChnlSelect)
                .arg(c.StartCon)
                .arg(c.ModAddr);
        };
        const QByteArray regs = QByteArray::fromHex(data.toLatin1());
        AlarmFixture f;
        f.firmware(firmware / 10, firmware % 10);
        QSignalSpy shownSpy(&f.blocks, &AlarmBlocks::moduleControlDecoded);
        f.blocks.GetAlarmPara(8);
        f.answer(hex("020306") + regs);
        QCOMPARE(shownSpy.count(), 1);
        QCOMPARE(fieldsText(f.state.module), shown);

        LinkFixture main;
        main.state.module.VerMajor = f.state.module.VerMajor;
        main.state.module.VerMinor = f.state.module.VerMinor;
        main.state.module.ReqRegister = Reg::ModuleControl;
        main.decode(hex("010306") + regs);
        QCOMPARE(fieldsText(main.state.module), shown);
    }

    // A confirmed block-8 write moves the system registers the main window
    // writes; a refused one does not.
    void writtenAddressingReachesTheSystemWrites()
    {
        AlarmFixture f;
        f.firmware(5, 3);
        QVERIFY(!moduleControlToRecord({0, "0", "7", 0, 1}, f.state.params.AlarmPara[8]));
        f.blocks.PutAlarmPara(8);
        QCOMPARE(f.state.module.AddrContinuous, qint16(0));
        f.answer(hex("021001F80003"));
        QCOMPARE(f.state.module.AddrContinuous, qint16(1));
        f.writes.PutSysBaud();
        QCOMPARE(f.lastSent().left(4), hex("02060013"));

        QVERIFY(!moduleControlToRecord({0, "0", "7", 0, 0}, f.state.params.AlarmPara[8]));
        f.blocks.PutAlarmPara(8);
        f.editor.engine().timMscon_Timer();
        QCOMPARE(f.editorStatus, QStringLiteral("写通道8报警参数失败"));
        QCOMPARE(f.state.module.AddrContinuous, qint16(1));
    }

    // What each checked and confirmed reply does (block 5 on the line last).
    void dispatchTable_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("shown"); // "register", "switch" or "channel" and the value
        QTest::newRow("write echo") << "021001DA0003"
                                    << "写通道5报警参数成功"
                                    << "";
        QTest::newRow("register write echo") << "0210001C0001"
                                             << "写通道5报警参数成功"
                                             << "";
        QTest::newRow("refused write") << "029002"
                                       << "写通道5报警参数失败"
                                       << "";
        QTest::newRow("one register") << "020302FF38"
                                      << ""
                                      << "register -200";
        QTest::newRow("block") << "020306000100020003"
                               << ""
                               << "channel 5";
        QTest::newRow("four bytes") << "02030400010002"
                                    << ""
                                    << "";
        QTest::newRow("coil") << "02010101"
                              << ""
                              << "switch 1";
        QTest::newRow("switch below 256") << "02050003FF00"
                                          << "写内存开关量参数成功"
                                          << "";
        QTest::newRow("switch 0x4103") << "02054103FF00"
                                       << "写内存A开关量参数成功"
                                       << "";
        QTest::newRow("exception") << "028302"
                                   << "无此功能号"
                                   << "";
        QTest::newRow("function 6") << "02060003FF00"
                                    << "无此功能号"
                                    << "";
    }
    void dispatchTable()
    {
        QFETCH(QString, reply);
        QFETCH(QString, status);
        QFETCH(QString, shown);
        AlarmFixture f;
        f.blocks.GetAlarmPara(5);
        f.answer(hex("020306000000000000"));
        f.editorStatus.clear();
        QString seen;
        QObject::connect(&f.blocks, &AlarmBlocks::registerDecoded,
                         [&](const QString &t) { seen = "register " + t; });
        QObject::connect(&f.blocks, &AlarmBlocks::switchDecoded,
                         [&](const QString &t) { seen = "switch " + t; });
        QObject::connect(&f.blocks, &AlarmBlocks::channelDecoded,
                         [&](int c) { seen = QStringLiteral("channel %1").arg(c); });
        f.state.frame.CommBuf = QByteArray::fromHex(reply.toLatin1()) + QByteArray(2, '\0');
        f.state.frame.CommLen = static_cast<qint16>(f.state.frame.CommBuf.size());
        f.blocks.dispatch();
        QCOMPARE(f.editorStatus, status);
        QCOMPARE(seen, shown);
    }
};

QTEST_GUILESS_MAIN(TestAlarmBlocks)
#include "tst_alarmblocks.moc"
