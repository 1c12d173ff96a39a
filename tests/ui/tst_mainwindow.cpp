// The main window on its own: start-up state, captions, lists, timer
// intervals, the system information display, the scan, port failures, ending.

#include "uifixture.h"

#include "text/numbertext.h"
#include "ui/controls.h"
#include "ui/lamp.h"

#include <QProgressBar>
#include <QtTest>

using namespace krv;

class TestMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void startUpState();
    void captionsAndInitialTexts_data();
    void captionsAndInitialTexts();
    void listContents_data();
    void listContents();
    void listChoiceTellsPicksFromTypedText_data();
    void listChoiceTellsPicksFromTypedText();
    void timerIntervals_data();
    void timerIntervals();
    void systemBlockShownAsTextOnly();
    void systemBlockCodesBeyondLists();
    void perChannelSensorsEnableTheSensorFrame();
    void scanListsModulesWithTheirFraming();
    void pickDuringScanKeepsTheScanSlot();
    void scanOfEmptyLineEndsAndStartUsesManualSlot();
    void portFailureReportedOnceAndPollingStops();
    void clockAndEnding();
    void cleanupTestCase() { m_shared.reset(); }

private:
    // One window for the rows of the table-driven checks.
    UiFixture &shared()
    {
        if (!m_shared)
            m_shared = std::make_unique<UiFixture>();
        return *m_shared;
    }
    std::unique_ptr<UiFixture> m_shared;
};

void TestMainWindow::initTestCase()
{
    QGuiApplication::setQuitOnLastWindowClosed(false);
    qputenv("KRV2060_COM3", "/tmp/krv-test-com3");
}

void TestMainWindow::startUpState()
{
    UiFixture f;
    // Lists with items but no selection show their design-time text.
    const QList<std::pair<QString, QString>> unselected = {
        {"SysSensor", "Combo1"},   {"Seperate", "Combo1"},   {"Chnl8", "Combo1"},
        {"Comp", "Combo1"},        {"Filter", "Combo1"},     {"Request", "Combo8"},
        {"OutByte", "Combo9"},     {"Baud", "Combo2"},       {"ProtocolSel", "Combo1"},
        {"ChnlSensor0", "Combo1"}, {"ChnlSensor7", "Combo1"}};
    for (const auto &[name, design] : unselected) {
        QComboBox *c = f.combo(name);
        QVERIFY2(c->count() > 0, qPrintable(name));
        QCOMPARE(c->currentIndex(), -1);
        QCOMPARE(c->currentText(), design);
        QVERIFY(c->isEditable());
    }
    QCOMPARE(f.combo("ComPort")->currentText(), QStringLiteral("COM1"));
    QCOMPARE(f.combo("CommRate")->currentText(), QStringLiteral("9600"));
    QCOMPARE(f.combo("Protocol")->currentText(), QStringLiteral("RTU"));
    QCOMPARE(f.combo("ModNO")->count(), 0);
    QCOMPARE(f.combo("ModNO")->currentText(), QStringLiteral("Combo2"));
    QCOMPARE(f.combo("ComPort")->itemData(2, Qt::ToolTipRole).toString(),
             QStringLiteral("/tmp/krv-test-com3"));

    for (const char *cleared : {"Text2", "Text3", "Text4"})
        QVERIFY(f.text(cleared).isEmpty());
    QVERIFY(!f.w<QLabel>("Label39")->isEnabled());
    QVERIFY(!f.w<QLabel>("FileDis")->isEnabled());
    QVERIFY(f.button("Command2")->isEnabled());
    QVERIFY(f.button("Command3")->isEnabled());

    // Configured but closed: nothing goes on the line until run or scan.
    QVERIFY(!f.port.isOpen());
    QVERIFY(f.port.sent().isEmpty());
    QCOMPARE(f.port.address(), LineAddress::com(1));
    QCOMPARE(f.port.settings(), QStringLiteral("9600,N,8,1"));
    QVERIFY(!f.program.polling.tickTimer().isActive());
    QVERIFY(!f.program.scan.tickTimer().isActive());
    QVERIFY(!f.program.engine.awaitingReply());
    auto *clock = f.window.findChild<QTimer *>("DisTimer");
    QVERIFY(clock && clock->isActive());
    QCOMPARE(clock->interval(), 1000);
    QCOMPARE(f.program.polling.tickTimer().interval(), 300);
    QCOMPARE(f.program.engine.replyTimeout(), 288);

    const auto lamps = f.window.findChildren<Lamp *>();
    QCOMPARE(lamps.size(), 20);
    for (int i = 0; i < 20; ++i)
        QCOMPARE(f.w<Lamp>(QStringLiteral("DI%1").arg(i))->color(), QColor(0, 255, 0));
}

void TestMainWindow::captionsAndInitialTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const QList<std::pair<const char *, const char *>> rows = {
        {"Label4", "通讯次数"},     {"Label3", "出错次数"},
        {"Label39", "FileName:"},   {"FileDis", "FileDis"},
        {"NowDis", "NowDis"},       {"Frame1", "模块信息"},
        {"Label6", "地  址"},       {"Address", "2"},
        {"Label5", "系列号"},       {"Text6", "Text6"},
        {"Label18", "传感器"},      {"Label17", "单独设"},
        {"Label19", "通道8"},       {"Label14", "设备信息"},
        {"Text12", "Text12"},       {"Label12", "波特率"},
        {"Label21", "滤  波"},      {"Label20", "补  偿"},
        {"Label8", "协  议"},       {"Label13", "冷校准"},
        {"AdjAD590", "Text9"},      {"Label15", "制造日期"},
        {"MadeDate", "Text11"},     {"Label16", "制造时间"},
        {"MadeTime", "Text10"},     {"Label1", "请求输出"},
        {"Label22_2", "字节输出"},  {"Label35", "并口时间"},
        {"POutTime", "POutTime"},   {"Label36", "uS"},
        {"Command6", "写模块参数"}, {"Frame5", "通信参数"},
        {"Label31", "串行口"},      {"Label32", "波特率"},
        {"Label33", "协  议"},      {"Label34", "模块号"},
        {"Command5", "扫描模块"},   {"Command7", "停 止"},
        {"Start", "运 行"},         {"Frame2", "上限报警"},
        {"Frame3", "下限报警"},     {"Frame6", "外部DI"},
        {"Label22_0", "0"},         {"Label29_0", "7"},
        {"Label29_1", "7"},         {"Label25_3", "3"},
        {"Title0", "通道0"},        {"Title7", "通道7"},
        {"Label37", "实时测量"},    {"Dis0", "Display"},
        {"Dis7", "Display"},        {"Label38", "工程校准"},
        {"EngCalb0", "EngCalb"},    {"EngCalb7", "EngCalb"},
        {"Command8", "写工程校准"}, {"Frame4", "通道传感器设置"},
        {"chanl0", "通道0"},        {"chanl7", "通道7"},
        {"Command10", "刷 新"},     {"Command4", "设 置"},
        {"Label11", "开关输出"},    {"DOoutP0", "DOut0"},
        {"DOoutP8", "DOut8"},       {"DOoutP9", "控温"},
        {"Label9", "发送命令"},     {"Text5", "Text5"},
        {"Label10", "接收命令"},    {"Text1", "Text1"},
        {"Label2", "状态信息"},     {"Command2", "控制参数"},
        {"Command3", "报警参数"},   {"Save", "Save"},
        {"Command1", "结 束"}};
    for (const auto &[name, text] : rows)
        QTest::newRow(name) << QString::fromUtf8(name) << QString::fromUtf8(text);
}

void TestMainWindow::captionsAndInitialTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    UiFixture &f = shared();
    QCOMPARE(f.window.windowTitle(), QStringLiteral("KRV2060模块测试设置程序"));
    QObject *o = f.window.findChild<QObject *>(name);
    QVERIFY2(o, qPrintable(name));
    if (auto *l = qobject_cast<QLabel *>(o))
        QCOMPARE(l->text(), text);
    else if (auto *e = qobject_cast<QLineEdit *>(o))
        QCOMPARE(e->text(), text);
    else if (auto *b = qobject_cast<QPushButton *>(o))
        QCOMPARE(b->text(), text);
    else if (auto *g = qobject_cast<QGroupBox *>(o))
        QCOMPARE(g->title(), text);
    else
        QFAIL("unexpected control type");
}

void TestMainWindow::listContents_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("items");
    const QString sensors = "A/D|V|I|PT01|J|E|N|T|W|R|S|B|K|PT100|Cu50|Cu100";
    const QString rates = "1200|2400|4800|9600|19200|38400";
    QTest::newRow("SysSensor") << "SysSensor" << sensors;
    QTest::newRow("Seperate") << "Seperate"
                              << "No|Yes";
    QTest::newRow("Chnl8") << "Chnl8"
                           << "Meas|AD590";
    QTest::newRow("Comp") << "Comp"
                          << "No|Yes";
    QTest::newRow("Filter") << "Filter"
                            << "Yes|No";
    QTest::newRow("ComPort") << "ComPort"
                             << "COM1|COM2|COM3|COM4";
    QTest::newRow("Request") << "Request"
                             << "No|Yes";
    QTest::newRow("OutByte") << "OutByte"
                             << "No|yes";
    QTest::newRow("Baud") << "Baud" << rates;
    for (int i = 0; i < 8; ++i)
        QTest::addRow("ChnlSensor%d", i)
            << QStringLiteral("ChnlSensor%1").arg(i) << sensors + "|R200K|R470K|BA1|R200K";
    QTest::newRow("CommRate") << "CommRate" << rates;
    QTest::newRow("Protocol") << "Protocol"
                              << "RTU|ASCII";
    QTest::newRow("ProtocolSel") << "ProtocolSel"
                                 << "RTU|ASCII";
}

void TestMainWindow::listContents()
{
    QFETCH(QString, name);
    QFETCH(QString, items);
    UiFixture &f = shared();
    QComboBox *c = f.combo(name);
    QStringList actual;
    for (int i = 0; i < c->count(); ++i)
        actual << c->itemText(i);
    QCOMPARE(actual.join('|'), items);
}

// A list's choice: the item its edit field names, -1 when nothing was picked
// (design text, an item shown as text, nothing), none for typed text that is
// none of the items. "R200K" is item 16 and item 19 of the channel list.
void TestMainWindow::listChoiceTellsPicksFromTypedText_data()
{
    QTest::addColumn<int>("picked");    // selected by the program first; -1: none
    QTest::addColumn<int>("shown");     // shown as text by showItemText; -1: none
    QTest::addColumn<QString>("typed"); // typed over it; "-": nothing typed
    QTest::addColumn<int>("choice");    // -2: typed text that is no item
    const QString none = QStringLiteral("-");
    QTest::newRow("design text") << -1 << -1 << none << -1;
    QTest::newRow("shown item") << -1 << 3 << none << -1;
    QTest::newRow("shown beyond the list") << -1 << 25 << none << -1;
    QTest::newRow("item typed, nothing picked") << -1 << -1 << "PT01" << -1;
    QTest::newRow("text typed, nothing picked") << -1 << -1 << "PT1000" << -2;
    QTest::newRow("picked") << 19 << -1 << none << 19;
    QTest::newRow("picked, then shown") << 5 << 2 << none << -1;
    QTest::newRow("other item typed") << 0 << -1 << "R200K" << 16;
    QTest::newRow("text typed") << 0 << -1 << "xyz" << -2;
    QTest::newRow("case differs") << 0 << -1 << "pt100" << -2;
    QTest::newRow("emptied") << 0 << -1 << "" << -2;
}

void TestMainWindow::listChoiceTellsPicksFromTypedText()
{
    QFETCH(int, picked);
    QFETCH(int, shown);
    QFETCH(QString, typed);
    QFETCH(int, choice);
    const QString none = QStringLiteral("-");
    UiFixture &f = shared();
    QComboBox *list = f.combo("ChnlSensor6");
    selectItem(list, -1);
    list->setEditText(QStringLiteral("Combo1"));
    if (picked >= 0)
        selectItem(list, picked);
    if (shown >= 0)
        showItemText(list, shown);
    if (typed != none)
        list->setEditText(typed);
    QCOMPARE(listChoice(list).value_or(-2), choice);
}

void TestMainWindow::timerIntervals_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("poll");
    QTest::addColumn<int>("pollReply");
    QTest::addColumn<int>("scan");
    QTest::addColumn<int>("scanReply");
    QTest::newRow("1200") << 0 << 1200 << 1150 << 800 << 700;
    QTest::newRow("2400") << 1 << 600 << 575 << 400 << 350;
    QTest::newRow("4800") << 2 << 400 << 383 << 267 << 233;
    QTest::newRow("9600") << 3 << 300 << 288 << 200 << 175;
    QTest::newRow("19200") << 4 << 240 << 230 << 160 << 140;
    QTest::newRow("38400") << 5 << 200 << 192 << 133 << 117;
}

void TestMainWindow::timerIntervals()
{
    QFETCH(int, rate);
    QFETCH(int, poll);
    QFETCH(int, pollReply);
    QFETCH(int, scan);
    QFETCH(int, scanReply);
    UiFixture f;
    f.combo("ComPort")->setCurrentIndex(1);
    f.combo("CommRate")->setCurrentIndex(rate);
    PollingCycle &p = f.program.polling;
    ModuleScan &s = f.program.scan;

    f.click("Command5");
    QCOMPARE(s.tickTimer().interval(), scan);
    QCOMPARE(f.program.engine.replyTimeout(), scanReply);
    QCOMPARE(f.port.address(), LineAddress::com(2));
    QCOMPARE(f.port.settings(), f.combo("CommRate")->currentText() + ",N,8,1");

    f.click("Start");
    QVERIFY(!s.tickTimer().isActive());
    QVERIFY(p.tickTimer().isActive());
    QCOMPARE(p.tickTimer().interval(), poll);
    QCOMPARE(f.program.engine.replyTimeout(), pollReply);
    QCOMPARE(p.tickTimer().timerType(), Qt::PreciseTimer);
    QCOMPARE(f.program.engine.findChild<QTimer *>("timMscon")->timerType(), Qt::PreciseTimer);
    p.tickTimer().stop();
}

void TestMainWindow::systemBlockShownAsTextOnly()
{
    UiFixture f;
    f.startPolling();
    // Sensor K (12), per channel, AD590, no compensation, filter "No";
    // 19200 baud, ASCII, byte output, no request output; cold adj. 3, address 7.
    f.answer(Cmd::ReadSystem, systemBody(0x80 | 0x20 | 0x10 | 12, 0x20 | 0x08 | 4, 3, 7));
    QCOMPARE(f.text("Text2"), QStringLiteral("取系统信息成功"));

    const QList<std::pair<QString, QString>> shown = {
        {"SysSensor", "K"}, {"Seperate", "Yes"}, {"Chnl8", "AD590"}, {"Comp", "No"},
        {"Filter", "No"},   {"Baud", "19200"},   {"OutByte", "yes"}, {"Request", "No"}};
    for (const auto &[name, text] : shown) {
        QCOMPARE(f.combo(name)->currentText(), text);
        QCOMPARE(f.combo(name)->currentIndex(), -1); // shown, not selected
    }
    QCOMPARE(f.combo("ProtocolSel")->currentIndex(), 1);
    QCOMPARE(f.text("Text6"), QStringLiteral("300"));
    QCOMPARE(f.text("MadeDate"), QStringLiteral(" 2006-3-7"));
    QCOMPARE(f.text("MadeTime"), QStringLiteral(" 9:5"));
    for (const char *greyed : {"Text6", "MadeDate", "MadeTime"})
        QVERIFY(!f.edit(greyed)->isEnabled());
    QCOMPARE(f.text("Address"), QStringLiteral("7"));
    QCOMPARE(f.text("AdjAD590"), QStringLiteral("3"));
    QVERIFY(f.edit("Address")->isEnabled());
    QVERIFY(f.edit("AdjAD590")->isEnabled());

    // A pick the operator makes afterwards is a selection, even of the very
    // item already shown; the next system read turns it back into shown text.
    f.combo("SysSensor")->setCurrentIndex(12);
    QCOMPARE(f.combo("SysSensor")->currentIndex(), 12);
    f.answer(Cmd::ReadSystem, systemBody(0x05, 0x03));
    QCOMPARE(f.combo("SysSensor")->currentIndex(), -1);
    QCOMPARE(f.combo("SysSensor")->currentText(), QStringLiteral("E"));
}

void TestMainWindow::systemBlockCodesBeyondLists()
{
    UiFixture f;
    f.startPolling();
    // Baud code 6 and protocol code 2 have no list item.
    f.answer(Cmd::ReadSystem, systemBody(0x00, 0x10 | 6));
    QCOMPARE(f.combo("Baud")->currentText(), QString());
    QCOMPARE(f.combo("Baud")->currentIndex(), -1);
    QCOMPARE(f.combo("ProtocolSel")->currentIndex(), -1);
    QCOMPARE(f.combo("ProtocolSel")->currentText(), QString());
}

void TestMainWindow::perChannelSensorsEnableTheSensorFrame()
{
    UiFixture f;
    f.startPolling();
    auto frameControls = [&f] {
        QList<QWidget *> all = {f.w<QGroupBox>("Frame4"), f.button("Command4"),
                                f.button("Command10")};
        for (int i = 0; i < 8; ++i)
            all << f.w<QLabel>(QStringLiteral("chanl%1").arg(i))
                << f.combo(QStringLiteral("ChnlSensor%1").arg(i));
        return all;
    };
    f.answer(Cmd::ReadSystem, systemBody(0x00, 0x03)); // bit 4 clear
    for (QWidget *w : frameControls())
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    f.answer(Cmd::ReadSystem, systemBody(0x10, 0x03));
    for (QWidget *w : frameControls())
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
}

// Answers the scan's device-identifier requests for the given modules, tick
// by tick, until the scan has left `lastAddress` behind or ended. `afterTick`
// runs after each tick (the operator acting while the scan runs) and gets the
// address the next tick asks.
static void runScan(UiFixture &f, const QList<std::pair<int, bool>> &modules, int lastAddress,
                    const std::function<void(int nextAddress)> &afterTick = {})
{
    f.click("Command5");
    ModuleScan &scan = f.program.scan;
    QVERIFY(scan.tickTimer().isActive());
    scan.tickTimer().stop();
    // Each address takes two steps, ASCII first; the RTU step moves on.
    int nextAddress = 0;
    QObject steps;
    QObject::connect(&scan, &ModuleScan::stepped, &steps,
                     [&nextAddress](int address, Framing framing) {
                         nextAddress = framing == Framing::Ascii ? address : address + 1;
                     });
    auto *progress = f.w<QProgressBar>("ScanProgress");
    QVERIFY(progress->isVisible());
    while (nextAddress <= lastAddress && scan.running()) {
        f.port.sent().clear();
        scan.onTick();
        const int address = f.state.moduleSlots.selectedAddress();
        const bool ascii = f.state.moduleSlots.selectedIsAscii();
        QCOMPARE(progress->value(), 2 * address + (ascii ? 1 : 2));
        if (afterTick)
            afterTick(nextAddress);
        if (!modules.contains({address, ascii}))
            continue;
        QCOMPARE(f.port.sent().size(), 1);
        QByteArray body;
        body.append(char(address)).append(char(0x11)).append(char(16));
        body.append(address == 5 ? "ZEZADO2040ZOZE" : "REREVE2060RIDU")
            .append(char(5))
            .append(char(3));
        f.reply(body);
    }
}

void TestMainWindow::scanListsModulesWithTheirFraming()
{
    UiFixture f;
    f.window.findChild<QComboBox *>("ModNO")->addItem("stale");
    runScan(f, {{3, true}, {5, false}}, 5);
    QComboBox *moduleList = f.combo("ModNO");
    QCOMPARE(moduleList->count(), 2);
    QCOMPARE(moduleList->itemText(0), QStringLiteral("MOD(3)"));
    QCOMPARE(moduleList->itemText(1), QStringLiteral("MOD(5)"));
    QCOMPARE(moduleList->currentIndex(), 1);
    QCOMPARE(f.text("Address"), QStringLiteral("5"));
    QCOMPARE(f.text("Text2"), QStringLiteral("找到模块地址为:5"));
    QVERIFY(f.text("Text12").startsWith("ZEZADO2040ZOZE  Version5.3"));

    // Stop hides the progress; picking MOD(3) and running polls it in ASCII.
    f.click("Command7");
    QVERIFY(!f.w<QProgressBar>("ScanProgress")->isVisible());
    moduleList->setCurrentIndex(0);
    QCOMPARE(f.text("Address"), QStringLiteral("3"));
    f.startPolling();
    QCOMPARE(f.combo("Protocol")->currentText(), QStringLiteral("ASCII"));
    f.port.sent().clear();
    f.tick();
    QCOMPARE(f.lastSent(), krv::asciiFrame(QByteArray::fromHex("030301F80003")));
    QCOMPARE(f.text("Text5"), QString::fromLatin1(f.lastSent()));

    moduleList->setCurrentIndex(1);
    f.startPolling();
    QCOMPARE(f.combo("Protocol")->currentText(), QStringLiteral("RTU"));
}

void TestMainWindow::pickDuringScanKeepsTheScanSlot()
{
    UiFixture f;
    QComboBox *moduleList = f.combo("ModNO");
    // The list is disabled for the scan. Once MOD(3) is listed a pick of it
    // arrives anyway on every following tick: it is refused and the list goes
    // back to the scan's own selection.
    runScan(f, {{3, true}, {5, false}}, 6, [&](int nextAddress) {
        QVERIFY(!moduleList->isEnabled());
        if (moduleList->count() == 2)
            QCOMPARE(moduleList->currentIndex(), 1);
        if (moduleList->count() > 0 && nextAddress > 3)
            moduleList->setCurrentIndex(0);
    });
    QCOMPARE(moduleList->count(), 2);
    QCOMPARE(moduleList->itemText(1), QStringLiteral("MOD(5)"));
    // The scan kept filling its own slot: both finds keep address and framing.
    QCOMPARE(f.state.moduleSlots.stationAddress[0], qint16(3));
    QCOMPARE(f.state.moduleSlots.ascii[0], true);
    QCOMPARE(f.state.moduleSlots.stationAddress[1], qint16(5));
    QCOMPARE(f.state.moduleSlots.ascii[1], false);

    f.click("Command7");
    QVERIFY(moduleList->isEnabled());
    moduleList->setCurrentIndex(0);
    QCOMPARE(f.state.moduleSlots.selected, qint16(0));
    f.startPolling();
    QCOMPARE(f.text("Address"), QStringLiteral("3"));
    f.port.sent().clear();
    f.tick();
    QCOMPARE(f.lastSent(), krv::asciiFrame(QByteArray::fromHex("030301F80003")));
}

void TestMainWindow::scanOfEmptyLineEndsAndStartUsesManualSlot()
{
    UiFixture f;
    runScan(f, {}, 255);
    // The last request (address 255 in RTU) ends the scan when it times out.
    QVERIFY(f.program.scan.running());
    f.program.engine.onReplyTimeout();
    QVERIFY(!f.program.scan.running());
    QVERIFY(!f.w<QProgressBar>("ScanProgress")->isVisible());
    QCOMPARE(f.combo("ModNO")->count(), 0);

    f.edit("Address")->setText("9");
    f.startPolling();
    QCOMPARE(f.state.moduleSlots.selected, 1);
    QCOMPARE(f.state.moduleSlots.stationAddress[1], 9);
}

void TestMainWindow::portFailureReportedOnceAndPollingStops()
{
    UiFixture f;
    f.port.failOpen("No such file or directory");
    f.startPolling();
    f.tick();
    f.tick();
    QCOMPARE(f.asker.kinds(), QStringList{"warn"});
    QVERIFY(f.asker.asked[0].text.contains("COM1"));
    QVERIFY(f.asker.asked[0].text.contains(devicePathForPort(1)));
    QVERIFY(f.asker.asked[0].text.contains(QStringLiteral("文件或目录不存在")));
    QVERIFY(!f.program.polling.tickTimer().isActive());

    // Another try is reported again; the window keeps working.
    f.startPolling();
    f.tick();
    QCOMPARE(f.asker.kinds(), (QStringList{"warn", "warn"}));
    f.port.failOpen(QString());
    f.startPolling();
    f.tick();
    QVERIFY(f.port.isOpen());
}

void TestMainWindow::clockAndEnding()
{
    UiFixture f;
    f.window.setClock([] { return QDateTime(QDate(2006, 3, 7), QTime(9, 5, 2)); });
    f.window.onClockTick();
    QCOMPARE(f.w<QLabel>("NowDis")->text(), QStringLiteral("2006年03月07日    09:05:02"));

    f.startPolling();
    f.tick();
    QVERIFY(f.port.isOpen());
    f.program.polling.tickTimer().start();
    f.click("Command1");
    QVERIFY(!f.port.isOpen());
    QVERIFY(!f.program.polling.tickTimer().isActive());
    QVERIFY(!f.program.engine.awaitingReply());
    QVERIFY(!f.window.isVisible());

    // Closing by the title bar ends the same way.
    UiFixture g;
    g.startPolling();
    g.tick();
    g.window.close();
    QVERIFY(!g.port.isOpen());
    QVERIFY(!g.window.findChild<QTimer *>("DisTimer")->isActive());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
