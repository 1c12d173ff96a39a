// The main window driving the link: what its buttons put on the wire and in
// which order, what it refuses, and how decoded replies reach its controls.

#include "ui/controls.h"
#include "uifixture.h"

#include "ui/lamp.h"

#include <QtTest>

using namespace krv;

class TestMainWindowLink : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QGuiApplication::setQuitOnLastWindowClosed(false); }
    void startBurstThenRotation();
    void pushedCommandTakesTheNextTick();
    void startRefusesBadManualAddress();
    void repliesReachTheControls();
    void writeModuleSendsOnlyWhatChanged();
    void writeModuleRefusesBadFields();
    void typedListTextStartsAndSendsNothing_data();
    void typedListTextStartsAndSendsNothing();
    void typedItemTextIsThatItem();
    void setSensorsWritesPickedChannels();
    void writeCalibrationSendsChangedChannels();
    void outputButtonsToggleAgainstLastRead();
    void fullQueueRefusesPush();
};

void TestMainWindowLink::startBurstThenRotation()
{
    UiFixture f;
    f.edit("Address")->setText("1");
    f.startPolling();
    QVERIFY(f.port.sent().isEmpty()); // the first request waits for the first tick
    for (int i = 0; i < 8; ++i)
        QVERIFY(f.text(QStringLiteral("Dis%1").arg(i)).isEmpty());
    for (int i = 0; i < 13; ++i)
        f.tick();
    const QStringList expected = {"010301F80003", // module control
                                  "010300820008", // calibration
                                  "010300720001", // parallel-port time
                                  "010300620008", // channel sensors
                                  "010300120006", // system block (short: no version read yet)
                                  "0111",         // device identifier
                                  "010100000009", // switch outputs
                                  "010200000014", // switch inputs
                                  "010300000008", // measurements
                                  "010100300001", // control enable, then the rotation again
                                  "010100000009", "010200000014", "010300000008"};
    QCOMPARE(f.sentBodies(), expected);
    QCOMPARE(f.port.sent().at(8).toHex().toUpper(), QByteArray("010300000008440C"));
}

void TestMainWindowLink::pushedCommandTakesTheNextTick()
{
    UiFixture f;
    f.edit("Address")->setText("1");
    f.startPolling();
    for (int i = 0; i < 10; ++i) // burst done, rotation at switch outputs
        f.tick();
    f.port.sent().clear();
    f.click("Command10");
    f.click("Command10");
    for (int i = 0; i < 4; ++i)
        f.tick();
    QCOMPARE(f.sentBodies(),
             (QStringList{"010300620008", "010300620008", "010100000009", "010200000014"}));
}

void TestMainWindowLink::startRefusesBadManualAddress()
{
    // 0 is the broadcast station: no module answers it.
    for (const char *bad : {"256", "abc", "-1", "2.5", "", "0"}) {
        UiFixture f;
        f.edit("Address")->setText(bad);
        f.click("Start");
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QCOMPARE(f.asker.asked[0].text,
                 QStringLiteral("“地  址”必须是1～255之间的整数，没有开始运行。"));
        QVERIFY(!f.program.polling.tickTimer().isActive());
        QCOMPARE(f.state.commandStack.topIndex, 0);
        f.tick();
        QVERIFY2(f.port.sent().isEmpty(), bad);
    }
}

void TestMainWindowLink::repliesReachTheControls()
{
    UiFixture f;
    f.edit("Address")->setText("1");
    f.startPolling();
    f.answer(Cmd::ReadMeasurements, registersBody(3, {0xFF38, 0x7FFF, 0x8000, 0, 1, 2, 3, 4}));
    QCOMPARE(f.text("Dis0"), QStringLiteral("-200"));
    QCOMPARE(f.text("Dis1"), QStringLiteral("32767"));
    QCOMPARE(f.text("Dis2"), QStringLiteral("-32768"));
    QCOMPARE(f.text("Dis7"), QStringLiteral("4"));
    QCOMPARE(f.text("Text4"), QStringLiteral("1"));

    f.answer(Cmd::ReadCalibration, registersBody(3, {-7 & 0xFFFF, 1, 2, 3, 4, 5, 6, 7}));
    QCOMPARE(f.text("EngCalb0"), QStringLiteral("-7"));
    QCOMPARE(f.text("EngCalb7"), QStringLiteral("7"));

    f.answer(Cmd::ReadParallelTime, registersBody(3, {64536}));
    QCOMPARE(f.text("POutTime"), QStringLiteral("1085.06944444444"));
    QVERIFY(!f.edit("POutTime")->isEnabled());

    f.answer(Cmd::ReadSensorCodes, registersBody(3, {19, 16, 0, 15, 25, 1, 2, 3}));
    QCOMPARE(f.combo("ChnlSensor0")->currentText(), QStringLiteral("R200K"));
    QCOMPARE(f.combo("ChnlSensor0")->currentIndex(), -1);
    QCOMPARE(f.combo("ChnlSensor3")->currentText(), QStringLiteral("Cu100"));
    QCOMPARE(f.combo("ChnlSensor4")->currentText(), QString()); // beyond the list

    f.answer(Cmd::ReadOutputs, QByteArray::fromHex("0101020501"));
    const QColor yellow(255, 255, 0), grey(192, 192, 192);
    for (int k : {0, 2, 8})
        QCOMPARE(krv::backColor(f.button(QStringLiteral("DOoutP%1").arg(k))), yellow);
    for (int k : {1, 3, 7})
        QCOMPARE(krv::backColor(f.button(QStringLiteral("DOoutP%1").arg(k))), grey);
    f.answer(Cmd::ReadControlEnable, QByteArray::fromHex("01010101"));
    QCOMPARE(krv::backColor(f.button("DOoutP9")), yellow);

    f.answer(Cmd::ReadInputs, QByteArray::fromHex("010203010008"));
    QCOMPARE(f.w<Lamp>("DI0")->color(), QColor(0, 255, 0));
    QCOMPARE(f.w<Lamp>("DI1")->color(), grey);
    QCOMPARE(f.w<Lamp>("DI18")->color(), grey);
    QCOMPARE(f.w<Lamp>("DI19")->color(), QColor(0, 255, 0));

    QByteArray id = QByteArray::fromHex("011110") + "REREVE2060RIDU";
    id.append(char(5)).append(char(3));
    f.answer(Cmd::ReadDeviceId, id);
    QCOMPARE(f.text("Text12"), QStringLiteral("REREVE2060RIDU  Version5.3"));
}

static void tickTimes(UiFixture &f, int n)
{
    for (int i = 0; i < n; ++i)
        f.tick();
}

// Polling at address 1, start burst done (the rotation is at the control
// enable read), with a system block shown: sensor K per channel, 9600 baud,
// ASCII, cold-junction value 3, address 1.
static void showSystem(UiFixture &f)
{
    f.edit("Address")->setText("1");
    f.startPolling();
    tickTimes(f, 9);
    f.answer(Cmd::ReadSystem, systemBody(0x10 | 12, 0x08 | 3, 3, 1));
    f.port.sent().clear();
}

void TestMainWindowLink::writeModuleSendsOnlyWhatChanged()
{
    UiFixture f;
    showSystem(f);
    const qint16 top = f.state.commandStack.topIndex;

    f.asker.confirms = {false};
    f.click("Command6");
    QCOMPARE(f.asker.asked.size(), 1);
    QCOMPARE(f.asker.asked[0].kind, QStringLiteral("confirm"));
    QCOMPARE(f.asker.asked[0].title, QStringLiteral("确认窗口"));
    QCOMPARE(f.asker.asked[0].text, QStringLiteral("准备将系统参数写到模块中吗？"));
    QCOMPARE(f.state.commandStack.topIndex, top);

    // Nothing edited: the shown texts are no picks, only the protocol
    // selection counts, so only the communication byte goes back.
    f.click("Command6");
    tickTimes(f, 2);
    QCOMPARE(f.sentBodies(), (QStringList{"01060014000B", "010300120006"}));

    // Picking the item already shown counts; the filter pick sets bit 7.
    showSystem(f);
    f.combo("SysSensor")->setCurrentIndex(12);
    f.combo("Filter")->setCurrentIndex(1);
    f.edit("Address")->setText("9");
    f.edit("AdjAD590")->setText("-20");
    f.click("Command6");
    tickTimes(f, 5);
    QCOMPARE(f.sentBodies(), (QStringList{"01060015009C", "01060014000B", "0106001C0009",
                                          "0106001DFFEC", "010300120006"}));
}

void TestMainWindowLink::writeModuleRefusesBadFields()
{
    // Nothing is clamped: 200 is not written as 127, nor -129 as -128.
    const char *address = "“地  址”必须是1～255之间的整数，模块参数没有写入。";
    const char *cold = "“冷校准”必须是-128～127之间的整数，模块参数没有写入。";
    const QList<std::tuple<const char *, const char *, const char *>> cases = {
        {"256", "0", address}, {"x", "0", address}, {"0", "0", address}, {"1", "1.5", cold},
        {"1", "", cold},       {"1", "200", cold},  {"1", "-129", cold}, {"1", "128", cold}};
    for (const auto &[address, adj, message] : cases) {
        UiFixture f;
        showSystem(f);
        const qint16 top = f.state.commandStack.topIndex;
        const quint8 comm = f.state.module.system.commByte;
        f.edit("Address")->setText(address);
        f.edit("AdjAD590")->setText(adj);
        f.click("Command6");
        QCOMPARE(f.asker.kinds(), (QStringList{"confirm", "inform"}));
        QCOMPARE(f.asker.asked[1].text, QString::fromUtf8(message));
        QCOMPARE(f.state.commandStack.topIndex, top);
        QCOMPARE(f.state.module.system.commByte, comm);
    }
}

// A list whose edit field holds typed text that is none of its items, or a
// port box holding a malformed address, is named, and the button it feeds
// starts, opens and sends nothing.
void TestMainWindowLink::typedListTextStartsAndSendsNothing_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("port, run")
        << "ComPort"
        << "host:"
        << "Start"
        << "通信参数的串行口“host:”不是有效的地址（缺少端口号），没有开始运行。";
    QTest::newRow("speed, run") << "CommRate"
                                << "9601"
                                << "Start"
                                << "通信参数的波特率“9601”不是列表中的项目，没有开始运行。";
    QTest::newRow("framing, run") << "Protocol"
                                  << "rtu"
                                  << "Start"
                                  << "通信参数的协议“rtu”不是列表中的项目，没有开始运行。";
    QTest::newRow("port, scan")
        << "ComPort"
        << "ftp://x:1"
        << "Command5"
        << "通信参数的串行口“ftp://x:1”不是有效的地址（应为串行口名、设备路径、"
           "主机:端口或 mbap://主机:端口），没有开始扫描。";
    QTest::newRow("speed, editor")
        << "CommRate"
        << "57600"
        << "Command3"
        << "通信参数的波特率“57600”不是列表中的项目，参数设置窗口没有打开。";
    QTest::newRow("port, editor")
        << "ComPort"
        << ""
        << "Command2"
        << "通信参数的串行口“”不是有效的地址（没有给出地址），参数设置窗口没有打开。";
    QTest::newRow("sensor, module write")
        << "SysSensor"
        << "PT1000"
        << "Command6"
        << "模块信息的传感器“PT1000”不是列表中的项目，模块参数没有写入。";
    QTest::newRow("module speed, module write")
        << "Baud"
        << "57600"
        << "Command6"
        << "模块信息的波特率“57600”不是列表中的项目，模块参数没有写入。";
    QTest::newRow("byte output, module write")
        << "OutByte"
        << "Yes"
        << "Command6"
        << "模块信息的字节输出“Yes”不是列表中的项目，模块参数没有写入。";
    QTest::newRow("channel sensor, set")
        << "ChnlSensor3"
        << "PT1000"
        << "Command4"
        << "通道传感器设置的通道3“PT1000”不是列表中的项目，通道传感器没有写入。";
}

void TestMainWindowLink::typedListTextStartsAndSendsNothing()
{
    QFETCH(QString, list);
    QFETCH(QString, text);
    QFETCH(QString, button);
    QFETCH(QString, message);
    UiFixture f;
    f.edit("Address")->setText("1");
    QComboBox *box = f.combo(list);
    if (box->currentIndex() < 0)
        selectItem(box, 1);
    box->setEditText(text);
    f.click(button);
    QCOMPARE(f.asker.kinds().last(), QStringLiteral("inform"));
    QCOMPARE(f.asker.asked.last().text, message);
    QCOMPARE(box->currentText(), text);
    QVERIFY(f.window.isVisible());
    QVERIFY(!f.program.polling.tickTimer().isActive());
    QVERIFY(!f.program.scan.running());
    QCOMPARE(f.state.commandStack.topIndex, 0);
    f.tick();
    QVERIFY(f.port.sent().isEmpty());
    QVERIFY(f.alarmPort.sent().isEmpty());
    QVERIFY(f.controlPort.sent().isEmpty());
    QCOMPARE(f.port.openCount() + f.controlPort.openCount() + f.alarmPort.openCount(), 0);
}

// The item a list's edit field names is the one used, even when another was
// selected: "COM3" typed over COM1 polls COM3, "ASCII" typed over RTU frames
// in ASCII.
void TestMainWindowLink::typedItemTextIsThatItem()
{
    UiFixture f;
    f.edit("Address")->setText("1");
    f.combo("ComPort")->setEditText("COM3");
    f.combo("CommRate")->setEditText("19200");
    f.combo("Protocol")->setEditText("ASCII");
    f.startPolling();
    QVERIFY(f.asker.asked.isEmpty());
    QCOMPARE(f.port.address(), LineAddress::com(3));
    QCOMPARE(f.port.settings(), QStringLiteral("19200,N,8,1"));
    QVERIFY(f.state.moduleSlots.selectedIsAscii());
    f.tick();
    QCOMPARE(f.lastSent(), krv::asciiFrame(QByteArray::fromHex("010301F80003")));
}

void TestMainWindowLink::setSensorsWritesPickedChannels()
{
    UiFixture f;
    showSystem(f);
    f.answer(Cmd::ReadSensorCodes, registersBody(3, {1, 1, 1, 1, 1, 1, 1, 1}));
    f.port.sent().clear();

    // Shown codes are not picks: only the read-back.
    f.click("Command4");
    tickTimes(f, 1);
    QCOMPARE(f.sentBodies(), QStringList{"010300620008"});

    f.port.sent().clear();
    f.combo("ChnlSensor2")->setCurrentIndex(19);
    f.combo("ChnlSensor5")->setCurrentIndex(3);
    f.asker.confirms = {false};
    f.click("Command4");
    tickTimes(f, 1);
    QCOMPARE(f.sentBodies(), QStringList{"010100300001"}); // declined: rotation only
    f.port.sent().clear();
    f.click("Command4");
    tickTimes(f, 3);
    QCOMPARE(f.sentBodies(), (QStringList{"010600670003", "010600640013", "010300620008"}));
}

void TestMainWindowLink::writeCalibrationSendsChangedChannels()
{
    UiFixture f;
    showSystem(f);
    f.answer(Cmd::ReadCalibration, registersBody(3, {10, 20, 30, 40, 50, 60, 70, 80}));
    f.port.sent().clear();

    f.click("Command8");
    tickTimes(f, 1);
    QCOMPARE(f.sentBodies(), QStringList{"010300820008"}); // nothing changed: read-back

    f.port.sent().clear();
    f.edit("EngCalb1")->setText("-5");
    f.edit("EngCalb6")->setText("300");
    f.edit("EngCalb4")->setText("50.0"); // same number: not written
    f.edit("EngCalb3")->setText("abc");
    f.edit("EngCalb7")->setText("40000");
    f.asker.asked.clear();
    f.click("Command8");
    // One box names the skipped channels; the valid ones are still written.
    QCOMPARE(f.asker.kinds(), QStringList{"inform"});
    QVERIFY2(f.asker.asked[0].text.contains("通道3、通道7"), qPrintable(f.asker.asked[0].text));
    tickTimes(f, 3);
    QCOMPARE(f.sentBodies(), (QStringList{"0106008E012C", "01060084FFFB", "010300820008"}));
    // The next request's status text cannot hide the refusal any more.
    QCOMPARE(f.text("Text2"), QStringLiteral("取工程校准数据"));
}

void TestMainWindowLink::outputButtonsToggleAgainstLastRead()
{
    UiFixture f;
    showSystem(f);
    f.answer(Cmd::ReadOutputs, QByteArray::fromHex("0101020400")); // output 2 reads 1
    f.port.sent().clear();
    f.click("DOoutP9");
    tickTimes(f, 1);
    QCOMPARE(f.text("Text2"), QStringLiteral("设置开关量输出为OFF"));
    f.click("DOoutP2");
    tickTimes(f, 1);
    QCOMPARE(f.text("Text2"), QStringLiteral("设置开关量输出为ON"));
    QCOMPARE(f.sentBodies(), (QStringList{"01050030FF00", "010500020000"}));
}

void TestMainWindowLink::fullQueueRefusesPush()
{
    UiFixture f;
    showSystem(f);
    while (f.state.commandStack.topIndex < 30)
        f.click("Command10");
    f.click("DOoutP0");
    QCOMPARE(f.text("Text2"), QStringLiteral("命令队列已满"));
    QCOMPARE(f.state.commandStack.topIndex, 30);
    QCOMPARE(f.state.commandStack.entries[30], Cmd::ReadSensorCodes);
    tickTimes(f, 1);
    QCOMPARE(f.sentBodies(), QStringList{"010300620008"});
}

QTEST_MAIN(TestMainWindowLink)
#include "tst_mainwindow_link.moc"
