// The "查看" menu and its two windows on the whole program (in-memory port):
// created on first use, listening only while open, the controls, the choices
// kept in settings, the monitor's size on a screen narrower than it, the
// exports through the file chooser, and the trend chart fed with the main
// window's measurements. The offscreen platform runs with one screen of
// 1280 x 800 pixels.

#include "uifixture.h"

#include "ui/monitor/trafficmonitor.h"
#include "ui/monitor/trendchart.h"

#include <QAction>
#include <QChartView>
#include <QCheckBox>
#include <QLineSeries>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace krv;

namespace {

void trigger(UiFixture &f, const char *action)
{
    QAction *a = f.window.findChild<QAction *>(QLatin1String(action));
    QVERIFY2(a, action);
    a->trigger();
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Gives the offscreen platform one screen of 1280 x 800 pixels (its own is
// 800 x 600), through the configuration file it reads at start-up.
void useLaptopScreen()
{
    if (qgetenv("QT_QPA_PLATFORM") != "offscreen")
        return;
    static QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("screens.json")));
    if (!config.open(QIODevice::WriteOnly) ||
        config.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1280,
                                      "height": 800, "logicalDpi": 96}]})") < 0)
        qFatal("cannot write %s", qPrintable(config.fileName()));
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
}

// The measurement read and its reply.
void measure(UiFixture &f, const QList<int> &values)
{
    f.program.registerMap.readMeasurements();
    QByteArray body = registersBody(3, values);
    body[0] = char(f.state.moduleSlots.selectedAddress());
    f.reply(body);
}

} // namespace

class TestMonitorWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void menuOpensEachWindowOnce();
    void monitorListensOnlyWhileOpenAndNotPaused();
    void monitorControls();
    void monitorKeepsItsChoices();
    void monitorFitsItsScreen();
    void monitorExports();
    void trendFollowsMeasurementsOnceOpened();
    void trendKeepsItsChoicesAndExports();

private:
    QTemporaryDir m_dir;
};

void TestMonitorWindows::initTestCase()
{
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // Settings go to a directory of the test, never the user's own.
    QCoreApplication::setOrganizationName(QStringLiteral("krv2060-tests"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
}

void TestMonitorWindows::init()
{
    QSettings().clear();
}

void TestMonitorWindows::menuOpensEachWindowOnce()
{
    UiFixture f;
    QVERIFY(!f.program.monitors.trafficMonitor());
    QVERIFY(!f.program.monitors.trendChart());
    QCOMPARE(f.window.findChild<QMenu *>(QStringLiteral("mnuView"))->title(),
             QStringLiteral("查看(&V)"));

    trigger(f, "mnuTrafficMonitor");
    TrafficMonitor *monitor = f.program.monitors.trafficMonitor();
    QVERIFY(monitor && monitor->isVisible());
    QCOMPARE(monitor->windowTitle(), QStringLiteral("通讯监视"));
    QVERIFY(!f.program.monitors.trendChart());
    monitor->close();
    QVERIFY(!monitor->isVisible());
    trigger(f, "mnuTrafficMonitor");
    QCOMPARE(f.program.monitors.trafficMonitor(), monitor);
    QVERIFY(monitor->isVisible());

    trigger(f, "mnuTrendChart");
    TrendChart *chart = f.program.monitors.trendChart();
    QVERIFY(chart && chart->isVisible());
    QCOMPARE(chart->windowTitle(), QStringLiteral("趋势图"));
    trigger(f, "mnuTrendChart");
    QCOMPARE(f.program.monitors.trendChart(), chart);
    // Windows of their own, not modal.
    QVERIFY(monitor->isWindow() && chart->isWindow());
    QCOMPARE(monitor->windowModality(), Qt::NonModal);
    QCOMPARE(chart->windowModality(), Qt::NonModal);
}

void TestMonitorWindows::monitorListensOnlyWhileOpenAndNotPaused()
{
    UiFixture f;
    f.edit("Address")->setText("1");
    TransactionEngine &engine = f.program.engine;
    QVERIFY(!engine.tracing());
    trigger(f, "mnuTrafficMonitor");
    TrafficMonitor *monitor = f.program.monitors.trafficMonitor();
    QVERIFY(engine.tracing());

    measure(f, {1, 2, 3, 4, 5, 6, 7, 8});
    TrafficLog &log = f.program.monitors.trafficLog();
    log.flush();
    QCOMPARE(log.rowCount(), 2);
    QCOMPARE(monitor->proxy().rowCount(), 2);

    monitor->setPaused(true);
    QVERIFY(!engine.tracing());
    QVERIFY(monitor->findChild<QLabel *>(QStringLiteral("Counts"))->text().contains(u"已暂停"));
    measure(f, {1, 2, 3, 4, 5, 6, 7, 8});
    monitor->setPaused(false);
    QVERIFY(engine.tracing());
    QCOMPARE(monitor->findChild<QPushButton *>(QStringLiteral("Pause"))->text(),
             QStringLiteral("暂停"));

    monitor->close();
    QVERIFY(!engine.tracing());
    measure(f, {1, 2, 3, 4, 5, 6, 7, 8});
    log.flush();
    QCOMPARE(log.rowCount(), 2); // nothing while paused or closed
}

void TestMonitorWindows::monitorControls()
{
    UiFixture f;
    f.edit("Address")->setText("1");
    trigger(f, "mnuTrafficMonitor");
    TrafficMonitor *monitor = f.program.monitors.trafficMonitor();
    TrafficLog &log = f.program.monitors.trafficLog();
    measure(f, {1, 2, 3, 4, 5, 6, 7, 8});
    f.program.registerMap.readSwitchOutputs();
    f.program.engine.onReplyTimeout();
    log.flush();
    QCOMPARE(log.rowCount(), 4);

    auto *direction = monitor->findChild<QComboBox *>(QStringLiteral("DirectionFilter"));
    auto *check = monitor->findChild<QComboBox *>(QStringLiteral("CheckFilter"));
    direction->setCurrentIndex(1); // sent
    QCOMPARE(monitor->proxy().rowCount(), 2);
    direction->setCurrentIndex(2); // received
    QCOMPARE(monitor->proxy().rowCount(), 2);
    check->setCurrentIndex(3); // timed out
    QCOMPARE(monitor->proxy().rowCount(), 1);
    QCOMPARE(monitor->view()->model()->index(0, TrafficLog::Check).data().toString(),
             QStringLiteral("超时"));
    QVERIFY(monitor->findChild<QLabel *>(QStringLiteral("Counts"))
                ->text()
                .contains(u"共 4 行，显示 1 行"));
    check->setCurrentIndex(7);
    QCOMPARE(check->currentText(), QStringLiteral("迟到的应答"));
    QCOMPARE(monitor->proxy().filter().check, TrafficFilter::Check::Late);
    QCOMPARE(monitor->proxy().rowCount(), 0);

    monitor->findChild<QSpinBox *>(QStringLiteral("RowLimit"))->setValue(100);
    QCOMPARE(log.rowLimit(), 100);
    QTest::mouseClick(monitor->findChild<QPushButton *>(QStringLiteral("Clear")), Qt::LeftButton);
    QCOMPARE(log.rowCount(), 0);
    QCOMPARE(monitor->proxy().rowCount(), 0);
}

void TestMonitorWindows::monitorKeepsItsChoices()
{
    {
        UiFixture f;
        trigger(f, "mnuTrafficMonitor");
        TrafficMonitor *monitor = f.program.monitors.trafficMonitor();
        monitor->findChild<QSpinBox *>(QStringLiteral("RowLimit"))->setValue(2500);
        monitor->findChild<QComboBox *>(QStringLiteral("DirectionFilter"))->setCurrentIndex(2);
        monitor->findChild<QComboBox *>(QStringLiteral("CheckFilter"))->setCurrentIndex(6);
        monitor->findChild<QCheckBox *>(QStringLiteral("Follow"))->setChecked(false);
        monitor->resize(900, 400);
        monitor->view()->setColumnWidth(TrafficLog::Decoding, 333);
        monitor->close();
    }
    UiFixture f;
    trigger(f, "mnuTrafficMonitor");
    TrafficMonitor *monitor = f.program.monitors.trafficMonitor();
    QCOMPARE(monitor->findChild<QSpinBox *>(QStringLiteral("RowLimit"))->value(), 2500);
    QCOMPARE(f.program.monitors.trafficLog().rowLimit(), 2500);
    QCOMPARE(monitor->findChild<QComboBox *>(QStringLiteral("DirectionFilter"))->currentIndex(), 2);
    QCOMPARE(monitor->findChild<QComboBox *>(QStringLiteral("CheckFilter"))->currentIndex(), 6);
    QCOMPARE(monitor->proxy().filter().check, TrafficFilter::Check::AnyFault);
    QVERIFY(!monitor->findChild<QCheckBox *>(QStringLiteral("Follow"))->isChecked());
    QCOMPARE(monitor->size(), QSize(900, 400));
    QCOMPARE(monitor->view()->columnWidth(TrafficLog::Decoding), 333);
}

// Opened first on a screen narrower than its first size, then with the size
// and place of a bigger screen kept: within the screen, frame and all.
void TestMonitorWindows::monitorFitsItsScreen()
{
    for (int opening = 0; opening < 2; ++opening) {
        UiFixture f;
        trigger(f, "mnuTrafficMonitor");
        TrafficMonitor *monitor = f.program.monitors.trafficMonitor();
        const QRect available = monitor->screen()->availableGeometry();
        QCOMPARE(available.size(), QSize(1280, 800));
        QVERIFY(available.contains(monitor->frameGeometry()));
        QVERIFY(monitor->width() > 1000 && monitor->height() >= 560);
        monitor->setGeometry(1000, 600, 1900, 1100);
        monitor->close();
    }
}

void TestMonitorWindows::monitorExports()
{
    UiFixture f;
    f.edit("Address")->setText("1");
    trigger(f, "mnuTrafficMonitor");
    TrafficMonitor *monitor = f.program.monitors.trafficMonitor();
    measure(f, {1, 2, 3, 4, 5, 6, 7, 8});
    const QString csv = m_dir.filePath(QStringLiteral("traffic.csv"));
    const QString txt = m_dir.filePath(QStringLiteral("traffic.txt"));
    f.asker.files = {csv, txt, std::nullopt, m_dir.filePath(QStringLiteral("no/such/dir/x.csv"))};
    QTest::mouseClick(monitor->findChild<QPushButton *>(QStringLiteral("ExportCsv")),
                      Qt::LeftButton);
    QTest::mouseClick(monitor->findChild<QPushButton *>(QStringLiteral("ExportText")),
                      Qt::LeftButton);
    const QByteArray csvBytes = fileBytes(csv);
    QVERIFY(csvBytes.startsWith("\xEF\xBB\xBF时间,窗口,方向,"));
    QCOMPARE(csvBytes.count("\r\n"), 3); // header, request, reply (pending rows included)
    QVERIFY(fileBytes(txt).startsWith("时间 "));
    QCOMPARE(f.asker.asked.at(0).kind, QStringLiteral("file"));
    QVERIFY(f.asker.asked.at(0).text.endsWith(QStringLiteral(".csv|CSV 文件 (*.csv)")));

    // Cancelled: nothing asked further; a file that cannot be written: told.
    monitor->exportCsv();
    QCOMPARE(f.asker.kinds(), (QStringList{"file", "file", "file"}));
    monitor->exportCsv();
    QCOMPARE(f.asker.kinds().constLast(), QStringLiteral("inform"));
    QVERIFY(f.asker.asked.constLast().text.contains(QStringLiteral("no/such/dir/x.csv")));
    QVERIFY(f.asker.asked.constLast().text.endsWith(QStringLiteral("：文件或目录不存在")));
}

void TestMonitorWindows::trendFollowsMeasurementsOnceOpened()
{
    UiFixture f;
    f.edit("Address")->setText("1");
    TrendStore &store = f.program.monitors.trendStore();
    measure(f, {1, 2, 3, 4, 5, 6, 7, 8});
    QVERIFY(store.isEmpty()); // nothing is kept before the chart is opened

    trigger(f, "mnuTrendChart");
    TrendChart *chart = f.program.monitors.trendChart();
    measure(f, {10, 20, 30, 40, 50, 60, 70, 80});
    measure(f, {-10, -20, -30, -40, -50, -60, -70, -80});
    QCOMPARE(store.size(), std::size_t(2));
    QCOMPARE(store.at(1).value[7], -80);
    // Redrawn later, not per reply: after 5 s for the 5-minute window.
    QTimer *redraw = chart->findChild<QTimer *>(QStringLiteral("RedrawTimer"));
    QVERIFY(redraw->isActive());
    QCOMPARE(redraw->interval(), 5000);
    QCOMPARE(chart->series(0)->count(), 0);
    chart->redraw();
    QCOMPARE(chart->series(0)->count(), 2);
    QCOMPARE(chart->series(7)->at(1).y(), -80.0);
    QCOMPARE(chart->shownTo(), store.newest());
    QCOMPARE(chart->shownFrom(), store.newest() - 5 * 60 * 1000);

    chart->findChild<QCheckBox *>(QStringLiteral("Channel3"))->setChecked(false);
    QCOMPARE(chart->series(3)->count(), 0);
    QVERIFY(!chart->series(3)->isVisible());
    QCOMPARE(chart->channelMask(), quint8(0xF7));

    // Paused: the chart holds still while the store goes on.
    chart->setPaused(true);
    const qint64 heldAt = chart->shownTo();
    QTest::qWait(5);
    measure(f, {5, 5, 5, 5, 5, 5, 5, 5});
    QCOMPARE(store.size(), std::size_t(3));
    chart->redraw();
    QCOMPARE(chart->series(0)->count(), 2);
    QCOMPARE(chart->shownTo(), heldAt);
    chart->setPaused(false);
    QCOMPARE(chart->series(0)->count(), 3);

    // Hidden: no redraws, the data still comes in.
    chart->close();
    measure(f, {6, 6, 6, 6, 6, 6, 6, 6});
    QCOMPARE(store.size(), std::size_t(4));
    QVERIFY(!chart->findChild<QTimer *>(QStringLiteral("RedrawTimer"))->isActive());
}

void TestMonitorWindows::trendKeepsItsChoicesAndExports()
{
    {
        UiFixture f;
        trigger(f, "mnuTrendChart");
        TrendChart *chart = f.program.monitors.trendChart();
        chart->findChild<QComboBox *>(QStringLiteral("TimeWindow"))->setCurrentIndex(3);
        chart->findChild<QCheckBox *>(QStringLiteral("Channel0"))->setChecked(false);
        chart->findChild<QCheckBox *>(QStringLiteral("Channel5"))->setChecked(false);
        chart->resize(1000, 450);
        chart->close();
    }
    UiFixture f;
    f.edit("Address")->setText("1");
    trigger(f, "mnuTrendChart");
    TrendChart *chart = f.program.monitors.trendChart();
    QCOMPARE(chart->windowMs(), qint64(60) * 60 * 1000);
    QCOMPARE(chart->channelMask(), quint8(0xDE));
    QCOMPARE(chart->size(), QSize(1000, 450));

    measure(f, {1, 2, 3, 4, 5, 6, 7, 8});
    const QString csv = m_dir.filePath(QStringLiteral("trend.csv"));
    const QString png = m_dir.filePath(QStringLiteral("trend.png"));
    f.asker.files = {csv, png};
    QTest::mouseClick(chart->findChild<QPushButton *>(QStringLiteral("ExportCsv")), Qt::LeftButton);
    QTest::mouseClick(chart->findChild<QPushButton *>(QStringLiteral("ExportPng")), Qt::LeftButton);
    const QList<QByteArray> lines = fileBytes(csv).split('\n');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QByteArray("\xEF\xBB\xBF时间,通道1,通道2,通道3,通道4,通道6,通道7\r"));
    QVERIFY(lines[1].endsWith(",2,3,4,5,7,8\r"));
    QVERIFY(fileBytes(png).startsWith("\x89PNG\r\n"));
    QCOMPARE(f.asker.kinds(), (QStringList{"file", "file"}));
}

QTEST_MAIN_WRAPPER(TestMonitorWindows, useLaptopScreen(); QTEST_MAIN_SETUP())
#include "tst_monitorwindows.moc"
