// The port box of the main window: the system's serial ports after COM1..COM4,
// read again each time the list opens; addresses typed into it, malformed
// ones refused before anything is opened; the port and line speed remembered
// for the next start, and the port given on the command line.

#include "uifixture.h"

#include "ui/controls.h"
#include "ui/main/portlist.h"

#include <QAbstractItemView>
#include <QProgressBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace krv;

namespace {

SerialPortDescription adapter(const QString &name, const QString &description = {},
                              const QString &manufacturer = {}, const QString &serial = {})
{
    return {name, QStringLiteral("/dev/") + name, description, manufacturer, serial};
}

const SerialPortDescription Ftdi =
    adapter(QStringLiteral("ttyUSB0"), QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"),
            QStringLiteral("A50285BI"));

QStringList itemTexts(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// Opens the list as the operator does, and closes it again.
void openList(QComboBox *box)
{
    box->showPopup();
    box->hidePopup();
}

} // namespace

class TestPortList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QGuiApplication::setQuitOnLastWindowClosed(false);
        QCoreApplication::setOrganizationName(QStringLiteral("krv2060-tests"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    }
    void init() { QSettings().clear(); }
    void cleanupTestCase() { QSettings().clear(); }

    // The system's ports follow COM1..COM4 in name order, each with its
    // adapter's description, its address as item data, and the device,
    // maker and serial number in its tooltip. Ports already listed (COM3 on
    // Windows) and names that are no address are left out.
    void systemPortsFollowTheComPorts()
    {
        UiFixture f;
        QComboBox *box = f.combo("ComPort");
        QCOMPARE(itemTexts(box).join(u'|'), QStringLiteral("COM1|COM2|COM3|COM4"));
        f.systemPorts.listed = {adapter("ttyUSB10"),
                                Ftdi,
                                adapter("ttyS0"),
                                adapter("COM3", "Communications Port"),
                                adapter("ttyUSB2", "CP2102 USB to UART Bridge Controller"),
                                {"odd name", "/dev/odd name", {}, {}, {}},
                                adapter("ttyUSB0", "listed twice")};
        openList(box);
        QCOMPARE(itemTexts(box),
                 (QStringList{"COM1", "COM2", "COM3", "COM4", "ttyS0", "ttyUSB0 – FT232R USB UART",
                              "ttyUSB2 – CP2102 USB to UART Bridge Controller", "ttyUSB10"}));
        QCOMPARE(box->itemData(5).toString(), QStringLiteral("ttyUSB0"));
        QCOMPARE(box->itemData(5, Qt::ToolTipRole).toString(),
                 QStringLiteral("/dev/ttyUSB0\n制造商: FTDI\n序列号: A50285BI"));
        QCOMPARE(box->itemData(4, Qt::ToolTipRole).toString(), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(box->itemData(2).toString(), QStringLiteral("COM3"));
        QCOMPARE(box->itemData(2, Qt::ToolTipRole).toString(), devicePathForPort(3));
        // Still COM1, and the list opens wide enough for its longest item.
        QCOMPARE(box->currentText(), QStringLiteral("COM1"));
        QVERIFY(box->view()->minimumWidth() >=
                box->fontMetrics().horizontalAdvance(box->itemText(6)));

        // Picking an adapter polls it by its address.
        box->setCurrentIndex(5);
        QCOMPARE(box->toolTip(), box->itemData(5, Qt::ToolTipRole).toString());
        f.startPolling();
        QCOMPARE(f.port.address(), LineAddress::parse("ttyUSB0"));
        QVERIFY(f.asker.asked.isEmpty());
    }

    // An adapter plugged in after the start is there the next time the list
    // opens; one pulled out is gone, unless it is the chosen one.
    void listFollowsAdaptersPluggedAndPulled()
    {
        UiFixture f;
        QComboBox *box = f.combo("ComPort");
        f.systemPorts.listed = {Ftdi};
        openList(box);
        QCOMPARE(box->count(), 5);

        f.systemPorts.listed = {adapter("ttyACM0", "Pico"), Ftdi};
        openList(box);
        QCOMPARE(itemTexts(box).mid(4),
                 (QStringList{"ttyACM0 – Pico", "ttyUSB0 – FT232R USB UART"}));
        QCOMPARE(box->currentText(), QStringLiteral("COM1"));

        f.systemPorts.listed = {adapter("ttyACM0", "Pico")};
        openList(box);
        QCOMPARE(itemTexts(box).mid(4), QStringList{"ttyACM0 – Pico"});
        f.systemPorts.listed = {};
        openList(box);
        QCOMPARE(itemTexts(box).join(u'|'), QStringLiteral("COM1|COM2|COM3|COM4"));
        QCOMPARE(box->currentText(), QStringLiteral("COM1"));
    }

    // The chosen adapter pulled out stays chosen and listed; opening it fails
    // as any port that cannot be opened does. Once another port is chosen it
    // leaves the list.
    void chosenAdapterPulledOutStaysChosen()
    {
        UiFixture f;
        QComboBox *box = f.combo("ComPort");
        f.systemPorts.listed = {adapter("ttyACM0"), Ftdi};
        openList(box);
        box->setCurrentIndex(5);
        f.systemPorts.listed = {adapter("ttyACM0")};
        openList(box);
        QCOMPARE(itemTexts(box).mid(4), (QStringList{"ttyACM0", "ttyUSB0 – FT232R USB UART"}));
        QCOMPARE(box->currentIndex(), 5);
        QCOMPARE(box->currentText(), QStringLiteral("ttyUSB0 – FT232R USB UART"));

        f.port.failOpen("No such file or directory");
        f.startPolling();
        f.tick();
        QCOMPARE(f.asker.kinds(), QStringList{"warn"});
        QVERIFY2(f.asker.asked[0].text.startsWith("ttyUSB0 (") &&
                     f.asker.asked[0].text.contains(QStringLiteral("文件或目录不存在")),
                 qPrintable(f.asker.asked[0].text));
        QVERIFY(!f.program.polling.tickTimer().isActive());

        box->setCurrentIndex(1);
        openList(box);
        QCOMPARE(itemTexts(box).mid(4), QStringList{"ttyACM0"});
        QCOMPARE(box->currentText(), QStringLiteral("COM2"));
    }

    // Text typed into the box stays as typed when the list is read again,
    // whatever is inserted or removed around the selected item.
    void typedAddressSurvivesTheRefresh()
    {
        UiFixture f;
        QComboBox *box = f.combo("ComPort");
        f.systemPorts.listed = {adapter("ttyACM0"), Ftdi};
        openList(box);
        box->setCurrentIndex(5);
        box->setEditText("gw.local:4001");
        f.systemPorts.listed = {adapter("ttyAMA0")};
        openList(box);
        QCOMPARE(itemTexts(box).mid(4), (QStringList{"ttyAMA0", "ttyUSB0 – FT232R USB UART"}));
        QCOMPARE(box->currentText(), QStringLiteral("gw.local:4001"));
        QCOMPARE(box->toolTip(), QStringLiteral("gw.local:4001"));
        f.startPolling();
        QCOMPARE(f.port.address(), LineAddress::parse("tcp://gw.local:4001"));
    }

    // Whatever the edit field holds is the line: an item's text is that item's
    // port, anything else is parsed as an address. Run, scan and the editors
    // configure the port with it.
    void typedAddressIsTheLine_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("address"); // as LineAddress::text() gives it
        QTest::addColumn<int>("kind");
        using K = LineAddress::Kind;
        QTest::newRow("adapter's item text") << "ttyUSB0 – FT232R USB UART"
                                             << "ttyUSB0" << int(K::SerialDevice);
        QTest::newRow("COM item text") << "COM4"
                                       << "COM4" << int(K::ComNumber);
        QTest::newRow("COM port beyond the list") << "com12"
                                                  << "COM12" << int(K::ComNumber);
        QTest::newRow("device path") << "/dev/ttyUSB1"
                                     << "/dev/ttyUSB1" << int(K::SerialDevice);
        QTest::newRow("system name") << "ttyACM3"
                                     << "ttyACM3" << int(K::SerialDevice);
        QTest::newRow("device server") << " 10.0.0.7:4001 "
                                       << "10.0.0.7:4001" << int(K::Tcp);
        QTest::newRow("tcp://") << "tcp://gw:4001"
                                << "gw:4001" << int(K::Tcp);
        QTest::newRow("Modbus TCP") << "mbap://gw:502"
                                    << "mbap://gw:502" << int(K::Mbap);
        QTest::newRow("IPv6") << "mbap://[::1]:1502"
                              << "mbap://[::1]:1502" << int(K::Mbap);
    }
    void typedAddressIsTheLine()
    {
        QFETCH(QString, typed);
        QFETCH(QString, address);
        QFETCH(int, kind);
        UiFixture f;
        f.systemPorts.listed = {Ftdi};
        openList(f.combo("ComPort"));
        f.combo("ComPort")->setEditText(typed);
        f.combo("CommRate")->setCurrentIndex(4);
        f.edit("Address")->setText("1");

        f.click("Command5");
        QVERIFY(f.asker.asked.isEmpty());
        QCOMPARE(f.port.address().text(), address);
        QCOMPARE(int(f.port.address().kind), kind);
        QCOMPARE(f.port.settings(), QStringLiteral("19200,N,8,1"));
        f.click("Command7");

        f.startPolling();
        QVERIFY(f.asker.asked.isEmpty());
        QCOMPARE(f.port.address().text(), address);
        f.click("Command2");
        QVERIFY(f.program.controlEditor.isVisible());
        QCOMPARE(f.controlPort.address().text(), address);
        QCOMPARE(f.controlPort.settings(), QStringLiteral("19200,N,8,1"));
    }

    // A malformed address is named with what is wrong with it, and neither
    // "运 行", "扫描模块" nor an editor opens any port.
    void malformedAddressOpensNothing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("fault");
        QTest::newRow("no port") << "host:"
                                 << "缺少端口号";
        QTest::newRow("tcp:// without port") << "tcp://host"
                                             << "缺少端口号";
        QTest::newRow("no host") << ":502"
                                 << "缺少主机名";
        QTest::newRow("port too big") << "host:99999"
                                      << "端口号必须是1～65535之间的整数";
        QTest::newRow("port zero") << "mbap://gw:0"
                                   << "端口号必须是1～65535之间的整数";
        QTest::newRow("blanks") << "gw :502"
                                << "地址中不能有空格";
        QTest::newRow("other scheme") << "ftp://x:1"
                                      << "应为串行口名、设备路径、主机:端口或 mbap://主机:端口";
        QTest::newRow("nothing") << ""
                                 << "没有给出地址";
        QTest::newRow("only blanks") << "   "
                                     << "没有给出地址";
    }
    void malformedAddressOpensNothing()
    {
        QFETCH(QString, typed);
        QFETCH(QString, fault);
        const QList<std::pair<const char *, const char *>> buttons = {
            {"Start", "没有开始运行"},
            {"Command5", "没有开始扫描"},
            {"Command2", "参数设置窗口没有打开"},
            {"Command3", "参数设置窗口没有打开"}};
        for (const auto &[button, withheld] : buttons) {
            UiFixture f;
            f.identified();
            f.edit("Address")->setText("1");
            f.combo("ComPort")->setEditText(typed);
            f.click(button);
            QCOMPARE(f.asker.kinds(), QStringList{"inform"});
            QCOMPARE(f.asker.asked[0].text,
                     QStringLiteral("通信参数的串行口“%1”不是有效的地址（%2），%3。")
                         .arg(typed, fault, QString::fromUtf8(withheld)));
            QVERIFY(f.window.isVisible());
            QVERIFY(!f.program.polling.tickTimer().isActive());
            QVERIFY(!f.program.scan.running());
            QVERIFY(!f.program.controlEditor.isVisible());
            QVERIFY(!f.program.alarmEditor.isVisible());
            QCOMPARE(f.port.openCount(), 0);
            QCOMPARE(f.controlPort.openCount(), 0);
            QCOMPARE(f.alarmPort.openCount(), 0);
            QVERIFY(QSettings().allKeys().isEmpty()); // nothing remembered
        }
    }

    // On a Modbus TCP line the module's RTU/ASCII framing does not apply: the
    // framing list's text refuses nothing there.
    void modbusTcpLineIgnoresTheFramingList()
    {
        UiFixture f;
        f.edit("Address")->setText("1");
        f.combo("ComPort")->setEditText("mbap://gw:502");
        f.combo("Protocol")->setEditText("xyz");
        f.startPolling();
        QVERIFY(f.asker.asked.isEmpty());
        QCOMPARE(f.program.engine.framing(), Framing::Mbap);

        // On a serial line the same text is refused.
        f.click("Command7");
        f.combo("ComPort")->setEditText("COM1");
        f.click("Start");
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QVERIFY(f.asker.asked[0].text.contains(QStringLiteral("通信参数的协议“xyz”")));
    }

    // A scan on a Modbus TCP line asks each address once, in a Modbus TCP
    // frame, and its progress bar says "TCP" where a serial line's says RTU or
    // ASCII.
    void scanOnModbusTcpLineShowsTcp()
    {
        UiFixture f;
        f.combo("ComPort")->setEditText("mbap://gw:502");
        f.click("Command5");
        ModuleScan &scan = f.program.scan;
        QVERIFY(scan.running());
        scan.tickTimer().stop();
        auto *progress = f.w<QProgressBar>("ScanProgress");
        scan.onTick(); // address 0: nothing is sent
        QVERIFY(f.port.sent().isEmpty());
        scan.onTick();
        QCOMPARE(progress->text(), QStringLiteral("扫描 地址 1  TCP"));
        QCOMPARE(progress->value(), 4);
        QCOMPARE(f.port.sent().size(), 1);
        QCOMPARE(f.port.sent()[0].mid(2).toHex(), QByteArray("0000000201"
                                                             "11"));
        f.program.engine.onReplyTimeout();
        scan.onTick();
        QCOMPARE(progress->text(), QStringLiteral("扫描 地址 2  TCP"));
        QCOMPARE(progress->value(), 6);
    }

    // The port and the speed "运 行" or "扫描模块" started with are saved and
    // chosen again at the next start; a refused start saves nothing.
    void usedLineIsRememberedForTheNextStart()
    {
        {
            UiFixture f;
            f.program.useRememberedLine(std::nullopt);
            QCOMPARE(f.combo("ComPort")->currentText(), QStringLiteral("COM1"));
            QCOMPARE(f.combo("CommRate")->currentText(), QStringLiteral("9600"));
            QVERIFY(QSettings().allKeys().isEmpty()); // not saved until used

            f.edit("Address")->setText("1");
            f.combo("ComPort")->setEditText("mbap://gw:502");
            f.combo("CommRate")->setCurrentIndex(5);
            f.startPolling();
            QCOMPARE(QSettings().value(kPortSetting).toString(), QStringLiteral("mbap://gw:502"));
            QCOMPARE(QSettings().value(kSpeedSetting).toString(), QStringLiteral("38400"));

            f.click("Command7");
            f.combo("ComPort")->setEditText("gw:");
            f.click("Start");
            QCOMPARE(QSettings().value(kPortSetting).toString(), QStringLiteral("mbap://gw:502"));
        }
        {
            UiFixture f;
            f.program.useRememberedLine(std::nullopt);
            QCOMPARE(f.combo("ComPort")->currentText(), QStringLiteral("mbap://gw:502"));
            QCOMPARE(f.combo("CommRate")->currentText(), QStringLiteral("38400"));
            QCOMPARE(f.combo("CommRate")->currentIndex(), 5);
            // Configured as shown, not opened.
            QCOMPARE(f.port.address(), LineAddress::parse("mbap://gw:502"));
            QCOMPARE(f.port.settings(), QStringLiteral("38400,N,8,1"));
            QCOMPARE(f.port.openCount(), 0);

            // A scan saves its line too.
            f.systemPorts.listed = {Ftdi};
            openList(f.combo("ComPort"));
            f.combo("ComPort")->setCurrentIndex(4);
            f.combo("CommRate")->setCurrentIndex(1);
            f.click("Command5");
            QCOMPARE(QSettings().value(kPortSetting).toString(), QStringLiteral("ttyUSB0"));
            QCOMPARE(QSettings().value(kSpeedSetting).toString(), QStringLiteral("2400"));
        }
        {
            // The adapter is there again: its item is chosen.
            UiFixture f;
            f.systemPorts.listed = {Ftdi};
            openList(f.combo("ComPort"));
            f.combo("ComPort")->setCurrentIndex(2);
            f.program.useRememberedLine(std::nullopt);
            QCOMPARE(f.combo("ComPort")->currentIndex(), 4);
            QCOMPARE(f.combo("ComPort")->currentText(),
                     QStringLiteral("ttyUSB0 – FT232R USB UART"));
            QCOMPARE(f.combo("CommRate")->currentText(), QStringLiteral("2400"));
        }
        {
            // It is not: the address stands in the edit field as typed.
            UiFixture f;
            f.program.useRememberedLine(std::nullopt);
            QCOMPARE(f.combo("ComPort")->currentText(), QStringLiteral("ttyUSB0"));
            QCOMPARE(f.port.address(), LineAddress::parse("ttyUSB0"));
        }
    }

    // What the settings hold may have been edited by hand: a speed that is no
    // item is left out, a malformed port is shown as typed and refused when
    // used.
    void unusableRememberedLine()
    {
        QSettings().setValue(kPortSetting, "gw:");
        QSettings().setValue(kSpeedSetting, "57600");
        UiFixture f;
        f.program.useRememberedLine(std::nullopt);
        QCOMPARE(f.combo("ComPort")->currentText(), QStringLiteral("gw:"));
        QCOMPARE(f.combo("CommRate")->currentText(), QStringLiteral("9600"));
        f.click("Command5");
        QCOMPARE(f.asker.kinds(), QStringList{"inform"});
        QVERIFY(f.asker.asked[0].text.contains(QStringLiteral("缺少端口号")));
        QCOMPARE(f.port.openCount(), 0);
    }

    // --port chooses the port of this run over the saved one; it is saved
    // only once "运 行" or "扫描模块" uses it.
    void portOptionWinsOverTheSavedPort()
    {
        QSettings().setValue(kPortSetting, "COM2");
        QSettings().setValue(kSpeedSetting, "4800");
        UiFixture f;
        f.program.useRememberedLine(LineAddress::parse("tcp://gw:4001"));
        QCOMPARE(f.combo("ComPort")->currentText(), QStringLiteral("gw:4001"));
        QCOMPARE(f.combo("CommRate")->currentText(), QStringLiteral("4800"));
        QCOMPARE(QSettings().value(kPortSetting).toString(), QStringLiteral("COM2"));
        f.edit("Address")->setText("1");
        f.startPolling();
        QCOMPARE(f.port.address(), LineAddress::parse("gw:4001"));
        QCOMPARE(QSettings().value(kPortSetting).toString(), QStringLiteral("gw:4001"));

        // A COM port given picks its item.
        UiFixture g;
        g.program.useRememberedLine(LineAddress::parse("com3"));
        QCOMPARE(g.combo("ComPort")->currentIndex(), 2);
        QCOMPARE(g.combo("ComPort")->currentText(), QStringLiteral("COM3"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestPortList)
#include "tst_portlist.moc"
