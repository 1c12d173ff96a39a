// The alarm editor's blocks without a window: fields to registers and back,
// the refusals that keep a wrong value off the line, the request frames, what
// each confirmed reply does, and the module-control values the main window's
// system writes take their register addresses from.
#include "link/alarmblocks.h"
#include "linkfixture.h"
#include "module/replydecoding.h"
#include "testsupport.h"

#include <QTest>

using namespace krv;
using testsupport::hex;

namespace {
using Field = InputRefusal::Field;
using Reason = InputRefusal::Reason;

struct AlarmFixture : LinkFixture
{
    testsupport::MemoryPort editorPort;
    EditorLink editor{state.moduleSlots, editorPort, cycle};
    AlarmBlocks blocks{state, editor};
    QString editorStatus;
    // What the blocks handed to the window: "channel c", "register v",
    // "switch v" (the last one).
    QString seen;
    AlarmChannelTexts channelTexts;
    std::optional<ModuleControl> control;

    AlarmFixture()
    {
        useModule(2, false);
        QObject::connect(&editor.engine(), &TransactionEngine::statusChanged,
                         [this](const LinkStatus &s) { editorStatus = StatusText::of(s); });
        QObject::connect(&blocks, &AlarmBlocks::channelRead,
                         [this](int c, const AlarmChannelTexts &t) {
                             seen = QStringLiteral("channel %1").arg(c);
                             channelTexts = t;
                         });
        QObject::connect(&blocks, &AlarmBlocks::moduleControlRead, [this](const ModuleControl &c) {
            seen = QStringLiteral("control");
            control = c;
        });
        QObject::connect(&blocks, &AlarmBlocks::registerRead,
                         [this](int v) { seen = QStringLiteral("register %1").arg(v); });
        QObject::connect(&blocks, &AlarmBlocks::switchRead,
                         [this](int v) { seen = QStringLiteral("switch %1").arg(v); });
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
        state.module.firmwareMajor = static_cast<qint16>(major);
        state.module.firmwareMinor = static_cast<qint16>(minor);
    }
};

AlarmChannelTexts channel(const QString &upper, const QString &lower, const QString &relative,
                          const QString &preAlarm)
{
    return {upper, lower, relative, preAlarm};
}

QString fieldsText(const ModuleControl &control)
{
    const ModuleControlFields c = moduleControlToFields(control);
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(c.requestOutput)
        .arg(c.serialOutput, c.measuredChannels)
        .arg(c.startMode)
        .arg(c.registerAddressing);
}
} // namespace

Q_DECLARE_METATYPE(krv::AlarmChannelTexts)
Q_DECLARE_METATYPE(krv::FieldRange)
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
        QTest::newRow("0x9C40 reads -25536") << channel("0", "-25536", "0", "0") << "00009C400000"
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
        QTest::newRow("limits' ends") << channel("-32768", "32767", "0", "0") << "80007FFF0000"
                                      << channel("-32768", "32767", "0", "0");
        // What the module reports goes back unchanged.
        QTest::newRow("as read -7 -4086") << channel("0", "0", "-4086", "-7") << "00000000800A"
                                          << channel("0", "0", "-4086", "-7");
        QTest::newRow("0xFFFF") << channel("0", "0", "4095", "15") << "00000000FFFF"
                                << channel("0", "0", "-1", "0");
    }
    void channelRoundTrip()
    {
        QFETCH(AlarmChannelTexts, fields);
        QFETCH(QString, data);
        QFETCH(AlarmChannelTexts, shown);
        AlarmFixture f;
        AlarmRecord record;
        QVERIFY(!channelToRecord(3, fields, record));
        QCOMPARE(alarmWriteRequest(2, 3, record).body,
                 hex("021001C6000306") + hex(qPrintable(data)));
        QVERIFY(!f.blocks.writeChannel(3, fields));
        QCOMPARE(f.sentBody(), QStringLiteral("021001C6000306") + data);
        f.answer(hex("021001C60003"));
        QCOMPARE(f.editorStatus, QStringLiteral("写通道3报警参数成功"));

        f.blocks.readBlock(3);
        QCOMPARE(f.sentBody(), QStringLiteral("020301C60003"));
        f.answer(hex("020306") + QByteArray::fromHex(data.toLatin1()));
        QCOMPARE(f.seen, QStringLiteral("channel 3"));
        const AlarmChannelTexts &back = f.channelTexts;
        QCOMPARE(back.upperLimit, shown.upperLimit);
        QCOMPARE(back.lowerLimit, shown.lowerLimit);
        QCOMPARE(back.relativeAlarm, shown.relativeAlarm);
        QCOMPARE(back.preAlarm, shown.preAlarm);
    }

    // A field that cannot be a register value, or a value beyond what its
    // bits can mean, keeps the record as it was, and nothing is sent.
    void channelRefusals_data()
    {
        QTest::addColumn<AlarmChannelTexts>("fields");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("reason");
        QTest::addColumn<FieldRange>("range"); // checked when out of range
        const int notNumber = int(Reason::NotANumber);
        const int range = int(Reason::OutOfRange);
        const FieldRange none;
        const FieldRange limit = AlarmRange::Limit;
        QTest::newRow("empty upper")
            << channel("", "0", "0", "0") << int(Field::UpperLimit) << notNumber << none;
        QTest::newRow("hex lower")
            << channel("0", "0x10", "0", "0") << int(Field::LowerLimit) << notNumber << none;
        QTest::newRow("relative text")
            << channel("0", "0", "1,5", "0") << int(Field::RelativeAlarm) << notNumber << none;
        QTest::newRow("pre-alarm text")
            << channel("0", "0", "0", "1e3") << int(Field::PreAlarm) << notNumber << none;
        QTest::newRow("upper 65536")
            << channel("65535.5", "0", "0", "0") << int(Field::UpperLimit) << range << limit;
        QTest::newRow("lower -65537")
            << channel("0", "-65537", "0", "0") << int(Field::LowerLimit) << range << limit;
        QTest::newRow("huge") << channel("0", "1" + QString(300, '0'), "0", "0")
                              << int(Field::LowerLimit) << range << limit;
        // 32768 would read back as -32768.
        QTest::newRow("upper 32768")
            << channel("32768", "0", "0", "0") << int(Field::UpperLimit) << range << limit;
        QTest::newRow("upper 32767.5")
            << channel("32767.5", "0", "0", "0") << int(Field::UpperLimit) << range << limit;
        QTest::newRow("lower -32769")
            << channel("0", "-32769", "0", "0") << int(Field::LowerLimit) << range << limit;
        // 5000 would carry into the pre-alarm control.
        QTest::newRow("relative 5000")
            << channel("0", "0", "5000", "0") << int(Field::RelativeAlarm) << range
            << AlarmRange::RelativeAlarm;
        QTest::newRow("relative -4096")
            << channel("0", "0", "-4096", "1") << int(Field::RelativeAlarm) << range
            << AlarmRange::RelativeAlarm;
        QTest::newRow("pre-alarm 16") << channel("0", "0", "0", "16") << int(Field::PreAlarm)
                                      << range << AlarmRange::PreAlarm;
        QTest::newRow("pre-alarm -9") << channel("0", "0", "0", "-9") << int(Field::PreAlarm)
                                      << range << AlarmRange::PreAlarm;
        QTest::newRow("combined below")
            << channel("0", "0", "-1", "-8") << int(Field::PreAlarmAndRelative) << range
            << AlarmRange::PackedAlarm;
    }
    void channelRefusals()
    {
        QFETCH(AlarmChannelTexts, fields);
        QFETCH(int, field);
        QFETCH(int, reason);
        AlarmRecord r;
        r.values = {1, 2, 3};
        const auto refused = channelToRecord(5, fields, r);
        QVERIFY(refused);
        QCOMPARE(int(refused->field), field);
        QCOMPARE(int(refused->reason), reason);
        QCOMPARE(refused->channel, 5);
        if (reason == int(Reason::OutOfRange)) {
            QFETCH(FieldRange, range);
            QCOMPARE(refused->low, range.low);
            QCOMPARE(refused->high, range.high);
        }
        QCOMPARE(r.values[0] * 100 + r.values[1] * 10 + r.values[2], 123);

        AlarmFixture f;
        const auto written = f.blocks.writeChannel(5, fields);
        QVERIFY(written);
        QCOMPARE(int(written->field), field);
        QVERIFY(f.editorPort.sent().isEmpty());
    }

    // Block 8: the control word from the serial output and the list
    // positions; a list without selection or with typed text, a serial output
    // beyond 0..11 or a channel count beyond 1..7 is refused rather than
    // written as bits nobody chose.
    void moduleControlFields_data()
    {
        QTest::addColumn<ModuleControlFields>("fields");
        QTest::addColumn<QString>("data"); // empty: refused
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("reason");
        const int none = -1;
        QTest::newRow("0x8301") << ModuleControlFields{1, "3", "7", 0, 1} << "830100000007" << none
                                << none;
        QTest::newRow("11 and 1") << ModuleControlFields{0, "11", "1", 1, 0} << "0B0000010001"
                                  << none << none;
        QTest::newRow("serial 17") << ModuleControlFields{0, "17", "7", 1, 0} << ""
                                   << int(Field::SerialOutput) << int(Reason::OutOfRange);
        QTest::newRow("serial 12") << ModuleControlFields{0, "12", "7", 1, 0} << ""
                                   << int(Field::SerialOutput) << int(Reason::OutOfRange);
        QTest::newRow("serial 1.5") << ModuleControlFields{0, "1.5", "7", 1, 0} << ""
                                    << int(Field::SerialOutput) << int(Reason::NotWhole);
        QTest::newRow("channels 263") << ModuleControlFields{0, "1", "263", 1, 0} << ""
                                      << int(Field::MeasuredChannels) << int(Reason::OutOfRange);
        QTest::newRow("channels 0") << ModuleControlFields{0, "1", "0", 1, 0} << ""
                                    << int(Field::MeasuredChannels) << int(Reason::OutOfRange);
        QTest::newRow("channels 2.5") << ModuleControlFields{0, "1", "2.5", 1, 0} << ""
                                      << int(Field::MeasuredChannels) << int(Reason::NotWhole);
        QTest::newRow("no request output") << ModuleControlFields{-1, "3", "7", 0, 1} << ""
                                           << int(Field::RequestOutput) << int(Reason::NoSelection);
        QTest::newRow("no start mode") << ModuleControlFields{1, "3", "7", -1, 1} << ""
                                       << int(Field::StartMode) << int(Reason::NoSelection);
        QTest::newRow("no addressing")
            << ModuleControlFields{1, "3", "7", 0, -1} << "" << int(Field::RegisterAddressing)
            << int(Reason::NoSelection);
        const int typed = ModuleControlFields::NotAnItem;
        QTest::newRow("typed request output")
            << ModuleControlFields{typed, "3", "7", 0, 1} << "" << int(Field::RequestOutput)
            << int(Reason::NotAnItem);
        QTest::newRow("typed start mode") << ModuleControlFields{1, "3", "7", typed, 1} << ""
                                          << int(Field::StartMode) << int(Reason::NotAnItem);
        QTest::newRow("typed addressing")
            << ModuleControlFields{1, "3", "7", 0, typed} << "" << int(Field::RegisterAddressing)
            << int(Reason::NotAnItem);
        QTest::newRow("serial -1") << ModuleControlFields{1, "-1", "7", 0, 1} << ""
                                   << int(Field::SerialOutput) << int(Reason::Negative);
        QTest::newRow("serial text") << ModuleControlFields{1, "COMMCtrl", "7", 0, 1} << ""
                                     << int(Field::SerialOutput) << int(Reason::NotANumber);
        QTest::newRow("channels 70000") << ModuleControlFields{1, "3", "70000", 0, 1} << ""
                                        << int(Field::MeasuredChannels) << int(Reason::OutOfRange);
    }
    void moduleControlFields()
    {
        QFETCH(ModuleControlFields, fields);
        QFETCH(QString, data);
        QFETCH(int, field);
        QFETCH(int, reason);
        AlarmFixture f;
        AlarmRecord record;
        record.values = {1, 2, 3};
        const auto refused = moduleControlToRecord(fields, record);
        const auto written = f.blocks.writeModuleControl(fields);
        if (data.isEmpty()) {
            QVERIFY(refused);
            QCOMPARE(int(refused->field), field);
            QCOMPARE(int(refused->reason), reason);
            QCOMPARE(record.values, (std::array<qint32, 3>{1, 2, 3}));
            QVERIFY(written);
            QCOMPARE(int(written->field), field);
            QVERIFY(f.editorPort.sent().isEmpty());
            return;
        }
        QVERIFY(!refused);
        QVERIFY(!written);
        QCOMPARE(f.sentBody(), QStringLiteral("021001F8000306") + data);
    }

    // The module control values from a block-8 reply, with the addressing bit
    // counting from firmware 5.3 only; the main window's read of the same
    // block decodes alike.
    void moduleControlReply_data()
    {
        QTest::addColumn<int>("firmware");
        QTest::addColumn<QString>("data");
        // request output, serial output, measured channels, start mode, addressing
        QTest::addColumn<QString>("shown");
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
        const QByteArray regs = QByteArray::fromHex(data.toLatin1());
        AlarmFixture f;
        f.firmware(firmware / 10, firmware % 10);
        f.blocks.readBlock(8);
        QCOMPARE(f.sentBody(), QStringLiteral("020301F80003"));
        f.answer(hex("020306") + regs);
        QCOMPARE(f.seen, QStringLiteral("control"));
        QVERIFY(f.control);
        QCOMPARE(fieldsText(*f.control), shown);
        QCOMPARE(fieldsText(f.state.module.control), shown);

        LinkFixture main;
        main.state.module.firmwareMajor = f.state.module.firmwareMajor;
        main.state.module.firmwareMinor = f.state.module.firmwareMinor;
        main.state.module.firmwareKnown = true;
        main.decode(hex("010306") + regs, buildRequest(1, Fn::ReadHolding, Reg::ModuleControl, 3));
        QCOMPARE(fieldsText(main.state.module.control), shown);
    }

    // A confirmed block-8 write moves the system registers the main window
    // writes; a write that is not confirmed does not.
    void writtenAddressingReachesTheSystemWrites()
    {
        AlarmFixture f;
        f.firmware(5, 3);
        QVERIFY(!f.blocks.writeModuleControl({0, "0", "7", 0, 1}));
        QCOMPARE(f.state.module.control.continuousAddressing, false);
        f.answer(hex("021001F80003"));
        QCOMPARE(f.state.module.control.continuousAddressing, true);
        f.writes.sendCommByte();
        QCOMPARE(f.lastSent().left(4), hex("02060013"));

        QVERIFY(!f.blocks.writeModuleControl({0, "0", "7", 0, 0}));
        f.editor.engine().onReplyTimeout();
        QCOMPARE(f.editorStatus, QStringLiteral("写通道8报警参数失败"));
        QCOMPARE(f.state.module.control.continuousAddressing, true);
    }

    // What each confirmed reply does (block 5 on the line last): the request
    // it answers is sent first, and line noise after a reply shorter than
    // the one expected (an exception) makes up the expected length.
    void replyTable_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("shown"); // "register", "switch" or "channel" and the value
        QTest::newRow("write echo") << "write block 5"
                                    << "021001DA0003"
                                    << "写通道5报警参数成功"
                                    << "";
        QTest::newRow("register write echo") << "write register 0x1C"
                                             << "0210001C0001"
                                             << "写通道5报警参数成功"
                                             << "";
        QTest::newRow("refused write") << "write block 5"
                                       << "029002"
                                       << "写通道5报警参数失败"
                                       << "";
        QTest::newRow("one register") << "read register 0x1C"
                                      << "020302FF38"
                                      << ""
                                      << "register -200";
        QTest::newRow("block") << "read block 5"
                               << "020306000100020003"
                               << ""
                               << "channel 5";
        QTest::newRow("four bytes") << "read two registers"
                                    << "02030400010002"
                                    << ""
                                    << "";
        QTest::newRow("coil") << "read switch 5"
                              << "02010101"
                              << ""
                              << "switch 1";
        QTest::newRow("switch below 256") << "switch 3 on"
                                          << "02050003FF00"
                                          << "写内存开关量参数成功"
                                          << "";
        QTest::newRow("switch 0x4103") << "switch 0x4103 on"
                                       << "02054103FF00"
                                       << "写内存A开关量参数成功"
                                       << "";
        QTest::newRow("exception") << "read block 5"
                                   << "028302"
                                   << "无此功能号"
                                   << "";
        QTest::newRow("function 6") << "function 6"
                                    << "02060003FF00"
                                    << "无此功能号"
                                    << "";
    }
    void replyTable()
    {
        QFETCH(QString, request);
        QFETCH(QString, reply);
        QFETCH(QString, status);
        QFETCH(QString, shown);
        AlarmFixture f;
        f.blocks.readBlock(5);
        f.answer(hex("020306000000000000"));
        f.seen.clear();
        const AlarmChannelTexts zero = channel("0", "0", "0", "0");
        if (request == "write block 5")
            QVERIFY(!f.blocks.writeChannel(5, zero));
        else if (request == "write register 0x1C")
            f.blocks.writeRegister(0x1C, 1);
        else if (request == "read register 0x1C")
            f.blocks.readRegister(0x1C);
        else if (request == "read block 5")
            f.blocks.readBlock(5);
        else if (request == "read two registers")
            f.editor.submit(buildRequest(2, Fn::ReadHolding, AlarmBlock::start(5), 2), 5);
        else if (request == "read switch 5")
            f.blocks.readSwitch(5);
        else if (request == "switch 3 on")
            f.blocks.writeSwitch(3, true);
        else if (request == "switch 0x4103 on")
            f.blocks.writeSwitch(0x4103, true);
        else if (request == "function 6")
            f.editor.submit(buildRequest(2, Fn::WriteRegister, 3, 0xFF00), -1);
        else
            QFAIL("unknown request");
        f.editorStatus = QStringLiteral("unchanged");
        QByteArray frame = rtuFrame(hex(qPrintable(reply)));
        frame.append(
            QByteArray(qMax(0, f.editorPort.receiveThreshold() - int(frame.size())), '\xFF'));
        f.editorPort.receive(frame);
        QVERIFY(!f.editor.engine().outstanding());
        QCOMPARE(f.editorStatus, status);
        QCOMPARE(f.seen, shown);
        QCOMPARE(f.editor.currentBlock(), 5);
    }
};

QTEST_GUILESS_MAIN(TestAlarmBlocks)
#include "tst_alarmblocks.moc"
