// The batch window in the whole program, against simulated modules on an
// in-memory line: its module table (from the scan or a typed station list),
// refused station lists and parameter files (nothing sent), writing and
// verifying, backups (names, bytes, existing files, a folder that refuses a
// file, two modules with one serial number), progress and stop, the result
// table, the CSV report, and the main window's line lent and taken back.

#include "app/program.h"
#include "module/controlrecord.h"
#include "moduleline.h"
#include "scriptedasker.h"
#include "ui/batch/batchtext.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace krv;
using testsupport::ModuleLine;

namespace {

// A line with a module at station 7 that has the serial number of the one at
// station 2 (2002): the simulator takes the serial number from the address it
// was made with.
class TwinLine : public ModuleLine
{
public:
    bool twin = false;

    void transmit(const QByteArray &bytes) override
    {
        if (!twin || bytes.startsWith(':') || bytes.size() < 4 || quint8(bytes[0]) != 7) {
            ModuleLine::transmit(bytes);
            return;
        }
        MemoryPort::transmit(bytes);
        QByteArray body = bytes.left(bytes.size() - 2);
        requests.append(body);
        body[0] = 2;
        QByteArray reply = m_twin.handle(body);
        reply[0] = 7;
        QTimer::singleShot(0, this, [this, frame = rtuFrame(reply)] {
            if (isOpen())
                receive(frame);
        });
    }

private:
    sim::ModuleModel m_twin{sim::ModuleSetup{}, 7};
};

// The .CON the tests write: channel c holds start order c, input channel
// c + 1, phase 0, sample time 5, set temperature 300 + c and the
// coefficients; as the editors would save it.
QByteArray controlFile(int badChannel = -1, const QByteArray &badLine = {})
{
    QByteArray out;
    for (int c = 0; c < BlockCount; ++c)
        out += c == badChannel ? badLine + "\r\n"
                               : QStringLiteral("%1  %2  0  5  %3  11  -22  33  44\r\n")
                                     .arg(c)
                                     .arg(c + 1)
                                     .arg(300 + c)
                                     .toLatin1();
    return out;
}

// The .ALM: upper limit 500 + c, relative alarm 15, lower limit -20 - c,
// pre-alarm 2; then the module control line.
QByteArray alarmFile(int badChannel = -1, const QByteArray &badLine = {},
                     const QByteArray &moduleControl = " 1   3  7   0    1 ")
{
    QByteArray out;
    for (int c = 0; c < ChannelCount; ++c)
        out += c == badChannel
                   ? badLine + "\r\n"
                   : QStringLiteral("%1  15  %2  2\r\n").arg(500 + c).arg(-20 - c).toLatin1();
    return out + moduleControl + "\r\n";
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct BatchFixture
{
    ScriptedAsker asker;
    testsupport::MemoryPort mainPort;
    testsupport::MemoryPort controlPort;
    testsupport::MemoryPort alarmPort;
    TwinLine line;
    Program program{{mainPort, controlPort, alarmPort, &line}, asker};
    MainWindow &main = program.mainWindow;
    BatchWindow &window = program.batchWindow;
    QTemporaryDir dir;

    BatchFixture()
    {
        main.show();
        line.addModule(2);
        line.addModule(5, "ZEZADO2040ZOZE", 5, 2);
    }

    // The main window's module list as a scan fills it.
    void scanned(const QList<BatchTarget> &found)
    {
        for (int slot = 0; slot < found.size(); ++slot) {
            program.state.moduleSlots.stationAddress[slot] = found[slot].station;
            program.state.moduleSlots.ascii[slot] = found[slot].ascii;
            Q_EMIT program.scan.moduleFound(QStringLiteral("MOD(%1)").arg(found[slot].station),
                                            slot);
        }
    }
    void openFromMenu() { main.findChild<QAction *>(QStringLiteral("mnuBatch"))->trigger(); }

    template <class T> T *w(const char *name) const
    {
        T *widget = window.findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    QLineEdit *edit(const char *name) const { return w<QLineEdit>(name); }
    void click(const char *name) { QTest::mouseClick(w<QPushButton>(name), Qt::LeftButton); }
    QTableWidget *targets() const { return w<QTableWidget>("targetTable"); }
    QComboBox *framing(int row) const
    {
        return qobject_cast<QComboBox *>(targets()->cellWidget(row, 1));
    }
    QString result(int row, int column) const
    {
        const QTableWidgetItem *item = w<QTableWidget>("resultTable")->item(row, column);
        return item ? item->text() : QStringLiteral("(none)");
    }
    QString progress() const { return w<QProgressBar>("batchProgress")->format(); }

    QString path(const QString &name) const { return dir.filePath(name); }
    // A file in the test's folder, named in the window's box.
    void chooseFile(const char *box, const QString &name, const QByteArray &bytes)
    {
        QVERIFY(writeFile(path(name), bytes));
        edit(box)->setText(path(name));
    }
    // Clicks an action button and waits for the batch to end.
    bool run(const char *button)
    {
        QSignalSpy done(&program.batchJob, &BatchJob::finished);
        click(button);
        return done.wait(20000) || !done.isEmpty();
    }
};

} // namespace

class TestBatchWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listsTheLastScanAndTypedStationsWithTheirFraming()
    {
        BatchFixture f;
        f.scanned({{2, false}, {5, true}});
        f.openFromMenu();
        QVERIFY(f.window.isVisible());
        QCOMPARE(f.window.listedTargets(), (QList<BatchTarget>{{2, false}, {5, true}}));
        QCOMPARE(f.targets()->item(0, 0)->text(), QStringLiteral("2"));
        QCOMPARE(f.framing(1)->currentText(), QStringLiteral("ASCII"));

        f.edit("stationsBox")->setText(QStringLiteral("2,5-7 9a"));
        f.click("listStationsButton");
        QCOMPARE(f.window.listedTargets(),
                 (QList<BatchTarget>{{2, false}, {5, false}, {6, false}, {7, false}, {9, true}}));
        // The framing is chosen per row, and only ticked rows take part.
        f.framing(1)->setCurrentIndex(1);
        f.targets()->item(2, 0)->setCheckState(Qt::Unchecked);
        QCOMPARE(f.window.tickedTargets(),
                 (QList<BatchTarget>{{2, false}, {5, true}, {7, false}, {9, true}}));
        f.click("tickNoneButton");
        QVERIFY(f.window.tickedTargets().isEmpty());
        f.click("backupButton");
        QCOMPARE(f.asker.asked.last().text, QStringLiteral("没有勾选的模块。"));

        // A typed list stays when the window is opened again; "上次扫描的模块"
        // brings the scan's back.
        f.window.hide();
        f.openFromMenu();
        QCOMPARE(f.window.listedTargets().size(), 5);
        f.click("scannedButton");
        QCOMPARE(f.window.listedTargets(), (QList<BatchTarget>{{2, false}, {5, true}}));
        QVERIFY(f.line.requests.isEmpty());
    }

    void refusesStationListsThatAreNoList_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("zero") << QStringLiteral("0")
                              << QStringLiteral("站号“0”无法使用：“0”不在1～255之间。");
        QTest::newRow("256") << QStringLiteral("2,256")
                             << QStringLiteral("站号“2,256”无法使用：“256”不在1～255之间。");
        QTest::newRow("descending") << QStringLiteral("5-2")
                                    << QStringLiteral("站号“5-2”无法使用：“5-2”：范围应从小到大。");
        QTest::newRow("letter")
            << QStringLiteral("x")
            << QStringLiteral(
                   "站号“x”无法使用：“x”不是站号（应为站号或范围，如2,5-7；后加a为ASCII）。");
        QTest::newRow("empty") << QStringLiteral(" ")
                               << QStringLiteral("站号“ ”无法使用：没有给出站号。");
    }
    void refusesStationListsThatAreNoList()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        BatchFixture f;
        f.scanned({{2, false}});
        f.openFromMenu();
        f.edit("stationsBox")->setText(typed);
        f.click("listStationsButton");
        QCOMPARE(f.asker.kinds(), QStringList{QStringLiteral("inform")});
        QCOMPARE(f.asker.asked[0].text, message);
        // The table is left as it was and nothing goes out.
        QCOMPARE(f.window.listedTargets(), (QList<BatchTarget>{{2, false}}));
        QVERIFY(f.line.requests.isEmpty());
        QVERIFY(f.line.sent().isEmpty());
    }

    void appliesBothFilesAndTheBackupGivesThemBackByteForByte()
    {
        BatchFixture f;
        f.scanned({{2, false}, {5, true}});
        f.openFromMenu();
        f.chooseFile("controlFileBox", QStringLiteral("oven.CON"), controlFile());
        f.chooseFile("alarmFileBox", QStringLiteral("oven.ALM"), alarmFile());
        QVERIFY(f.run("applyButton"));
        QCOMPARE(f.asker.kinds(), QStringList{QStringLiteral("confirm")});
        QCOMPARE(f.asker.asked[0].text,
                 QStringLiteral("将oven.CON、oven.ALM写入2个模块（站号2,5a），并读回校验吗？"));
        for (int row = 0; row < 2; ++row) {
            QCOMPARE(f.result(row, 5), QStringLiteral("一致"));
            QCOMPARE(f.result(row, 6), QStringLiteral("一致"));
        }
        QCOMPARE(f.result(1, 0), QStringLiteral("5"));
        QCOMPARE(f.result(1, 1), QStringLiteral("ASCII"));
        QCOMPARE(f.result(1, 2), QStringLiteral("ZEZADO2040ZOZE"));
        QCOMPARE(f.result(1, 3), QStringLiteral("5.2"));
        QCOMPARE(f.result(1, 4), QStringLiteral("2005"));
        QCOMPARE(f.progress(),
                 QStringLiteral("已完成。共2个模块：2个完成，0个不一致，0个失败，0个已停止"));
        QCOMPARE(f.line.module(5).readHolding(controlBlockStart(4) + 2), quint16(304));

        // The backups of both modules are the files that were written (the
        // module control block, not written, aside).
        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("backup")));
        f.edit("backupFolderBox")->setText(f.path(QStringLiteral("backup")));
        QVERIFY(f.run("backupButton"));
        QCOMPARE(f.asker.kinds().size(), 1); // no file to replace: nothing asked
        for (const char *station : {"2_2002", "5_2005"}) {
            const QString base = f.path(QStringLiteral("backup/") + QLatin1String(station));
            QCOMPARE(fileBytes(base + QStringLiteral(".CON")), controlFile());
            const QList<QByteArray> alarm = fileBytes(base + QStringLiteral(".ALM")).split('\n');
            QCOMPARE(alarm.size(), 10);
            QCOMPARE(alarm.mid(0, 8), alarmFile().split('\n').mid(0, 8));
        }
        QCOMPARE(f.result(0, 5), QStringLiteral("已读取"));
        QCOMPARE(f.result(0, 14), QStringLiteral("已保存 2_2002.CON；已保存 2_2002.ALM"));
        QVERIFY(f.w<QPushButton>("exportButton")->isEnabled());
    }

    void refusesParameterFilesThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message"); // %1: the file's path
        QTest::newRow("too few values")
            << QStringLiteral("controlFileBox") << QStringLiteral("a.CON")
            << QByteArray("1  2  3\r\n") << QStringLiteral("文件%1中的参数不足81个，没有发送。");
        QTest::newRow("no number")
            << QStringLiteral("controlFileBox") << QStringLiteral("a.CON")
            << controlFile(3, "3  4  0  5  abc  11  -22  33  44")
            << QStringLiteral("文件%1第4行：通道3的设置温度“abc”不是数字，没有发送。");
        QTest::newRow("beyond its register")
            << QStringLiteral("controlFileBox") << QStringLiteral("a.CON")
            << controlFile(0, "0  1  0  5  300  11  -22  40000  44")
            << QStringLiteral("文件%1第1行：通道0的系数D2“40000”不在-32768~32767之间，没有发送。");
        QTest::newRow("packed pair beyond its register")
            << QStringLiteral("controlFileBox") << QStringLiteral("a.CON")
            << controlFile(2, "200  3  0  5  302  11  -22  33  44")
            << QStringLiteral(
                   "文件%1第3行：通道2的启动顺序×256+输入通道（“200”和“3”）不在-32768~32767之间，"
                   "没有发送。");
        QTest::newRow("pre-alarm beyond its bits")
            << QStringLiteral("alarmFileBox") << QStringLiteral("a.ALM")
            << alarmFile(1, "501  15  -21  16")
            << QStringLiteral("文件%1第2行：通道1的预警控制“16”不在-8~15之间，没有发送。");
        QTest::newRow("list position no number")
            << QStringLiteral("alarmFileBox") << QStringLiteral("a.ALM")
            << alarmFile(-1, {}, " x   3  7   0    1 ")
            << QStringLiteral("文件%1第9行：块8的请求输出的位置“x”不是可用的数字，没有发送。");
        QTest::newRow("control file as alarm file")
            << QStringLiteral("alarmFileBox") << QStringLiteral("set.CON") << controlFile()
            << QStringLiteral("文件%1是控制参数文件（.CON），不是报警参数文件（.ALM），没有发送。");
    }
    void refusesParameterFilesThatCannotBeWritten()
    {
        QFETCH(QString, box);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        BatchFixture f;
        f.scanned({{2, false}});
        f.openFromMenu();
        f.chooseFile(qPrintable(box), name, bytes);
        for (const char *action : {"applyButton", "compareButton"}) {
            f.asker.asked.clear();
            f.click(action);
            QCOMPARE(f.asker.kinds(), QStringList{QStringLiteral("inform")});
            QCOMPARE(f.asker.asked[0].text, message.arg(f.path(name)));
        }
        // Nothing sent, the line never lent.
        QVERIFY(f.line.requests.isEmpty());
        QVERIFY(!f.program.batchJob.running());
        QVERIFY(f.main.findChild<QGroupBox *>(QStringLiteral("Frame5"))->isEnabled());
    }

    void progressNamesModuleAndBlockAndStopLeavesTheRestStopped()
    {
        BatchFixture f;
        f.line.addModule(9);
        f.scanned({{2, false}, {5, true}, {9, false}});
        f.openFromMenu();
        f.edit("backupFolderBox")->setText(f.dir.path());
        // Module 2's read of control channel 3 goes unanswered once.
        bool dropped = false;
        f.line.replyDelay = [&](const QByteArray &body) {
            const bool channel3 = quint8(body[0]) == 2 && quint8(body[1]) == Fn::ReadHolding &&
                                  (quint8(body[2]) << 8 | quint8(body[3])) == controlBlockStart(3);
            if (channel3 && !std::exchange(dropped, true))
                return -1;
            return 1;
        };
        QStringList shown;
        QObject::connect(&f.program.batchJob, &BatchJob::stepped, &f.window,
                         [&] { shown << f.progress(); });
        // Stop once the first module is done (the click comes from the event
        // loop, as the operator's does).
        QObject::connect(
            &f.program.batchJob, &BatchJob::moduleFinished, &f.window,
            [&] {
                if (f.w<QPushButton>("stopButton")->isEnabled())
                    f.click("stopButton");
            },
            Qt::QueuedConnection);
        QVERIFY(f.run("backupButton"));
        QVERIFY(shown.contains(QStringLiteral("模块 2：读取设备标识")));
        QVERIFY(shown.contains(QStringLiteral("模块 2：读取控制参数 通道3")));
        QVERIFY(shown.contains(QStringLiteral("模块 2：读取控制参数 通道3（第2次）")));
        QVERIFY(shown.contains(QStringLiteral("模块 2：读取报警参数 块8")));
        QCOMPARE(f.result(0, 5), QStringLiteral("已读取"));
        QCOMPARE(f.result(0, 12), QStringLiteral("1")); // the retry
        for (int row : {1, 2}) {
            QCOMPARE(f.result(row, 5), QStringLiteral("已停止"));
            QCOMPARE(f.result(row, 6), QStringLiteral("已停止"));
        }
        QCOMPARE(f.progress(),
                 QStringLiteral("已停止。共3个模块：1个完成，0个不一致，0个失败，2个已停止"));
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files),
                 (QStringList{QStringLiteral("2_2002.ALM"), QStringLiteral("2_2002.CON")}));
        QCOMPARE(BatchText::verdict(f.window.results()[1]), QStringLiteral("已停止"));
    }

    void backupKeepsExistingFilesUnlessToldAndNotesTwinSerialNumbers()
    {
        BatchFixture f;
        f.line.twin = true;
        f.scanned({{2, false}, {7, false}});
        f.openFromMenu();
        f.edit("backupFolderBox")->setText(f.dir.path());
        QVERIFY(writeFile(f.path(QStringLiteral("2_2002.CON")), "old\r\n"));
        f.asker.confirms = {false};
        QVERIFY(f.run("backupButton"));
        QCOMPARE(f.asker.kinds(), QStringList{QStringLiteral("confirm")});
        QVERIFY(f.asker.asked[0].text.contains(QStringLiteral("2_2002.CON")));
        QCOMPARE(fileBytes(f.path(QStringLiteral("2_2002.CON"))), QByteArray("old\r\n"));
        QCOMPARE(
            f.result(0, 14),
            QStringLiteral("序列号与站号7相同；文件2_2002.CON已存在，没有替换；已保存 2_2002.ALM"));
        QCOMPARE(f.result(1, 14),
                 QStringLiteral("序列号与站号2相同；已保存 7_2002.CON；已保存 7_2002.ALM"));

        // Told to replace: a file the folder refuses ends the batch with the
        // reason; the files saved before stay whole.
        QVERIFY(QFile::remove(f.path(QStringLiteral("7_2002.ALM"))));
        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("7_2002.ALM")));
        f.asker.asked.clear();
        f.asker.confirms = {true};
        QVERIFY(f.run("backupButton"));
        QCOMPARE(f.asker.kinds(),
                 (QStringList{QStringLiteral("confirm"), QStringLiteral("inform")}));
        QVERIFY2(f.asker.asked[1].text.startsWith(QStringLiteral("备份没有完成：文件%1无法写入：")
                                                      .arg(f.path(QStringLiteral("7_2002.ALM")))),
                 qPrintable(f.asker.asked[1].text));
        QCOMPARE(fileBytes(f.path(QStringLiteral("2_2002.CON"))),
                 fileBytes(f.path(QStringLiteral("7_2002.CON"))));
        QVERIFY(fileBytes(f.path(QStringLiteral("2_2002.CON"))).endsWith("\r\n"));
    }

    void comparesAndExportsTheResultTableAsCsv()
    {
        BatchFixture f;
        f.scanned({{2, false}});
        f.openFromMenu();
        f.chooseFile("controlFileBox", QStringLiteral("oven.CON"), controlFile());
        QVERIFY(f.run("applyButton"));
        // Behind the tool's back: channel 3's set temperature.
        const quint16 reg = controlBlockStart(3) + 2;
        f.line.module(2).handle(QByteArray("\x02\x06", 2) + char(reg >> 8) + char(reg & 0xFF) +
                                QByteArray("\x03\xE7", 2));
        const int before = static_cast<int>(f.line.requests.size());
        QVERIFY(f.run("compareButton"));
        QCOMPARE(f.line.countOf(Fn::WriteRegisters), 9); // the apply's only
        QCOMPARE(f.line.requests.size() - before, 11);   // identification, system block, 9 blocks
        QCOMPARE(f.result(0, 5), QStringLiteral("不一致"));
        QCOMPARE(f.result(0, 7), QStringLiteral("控制参数 通道3 设置温度"));
        QCOMPARE(f.result(0, 8), QStringLiteral("303"));
        QCOMPARE(f.result(0, 9), QStringLiteral("999"));
        QCOMPARE(f.progress(),
                 QStringLiteral("已完成。共1个模块：0个完成，1个不一致，0个失败，0个已停止"));

        const QString report = f.path(QStringLiteral("report.csv"));
        f.asker.files = {report};
        f.click("exportButton");
        const QList<QByteArray> lines = fileBytes(report).split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QByteArray("\xEF\xBB\xBF") +
                               QStringLiteral("站号,协议,型号,版本,序列号,控制参数,报警参数,"
                                              "第一处不同,文件值,模块值,不同的块数,请求数,重试数,"
                                              "用时(ms)\r")
                                   .toUtf8());
        const QByteArray row = QStringLiteral("2,RTU,REREVE2060RIDU,5.3,2002,不一致,,控制参数 "
                                              "通道3 设置温度,303,999,1,11,0,")
                                   .toUtf8();
        QVERIFY2(lines[1].startsWith(row), lines[1].constData());
        QVERIFY(lines[1].endsWith('\r'));
        QVERIFY(lines[2].isEmpty());
    }

    void lendsTheMainWindowsLineAndResumesPollingOnlyIfItRan()
    {
        BatchFixture f;
        f.scanned({{2, false}});
        auto *start = f.main.findChild<QPushButton *>(QStringLiteral("Start"));
        QTest::mouseClick(start, Qt::LeftButton);
        QVERIFY(f.program.polling.tickTimer().isActive());
        f.openFromMenu();
        f.chooseFile("controlFileBox", QStringLiteral("oven.CON"), controlFile());
        bool checked = false;
        QObject::connect(&f.program.batchJob, &BatchJob::stepped, &f.window, [&] {
            if (checked)
                return;
            checked = true;
            // While the batch runs the main window neither polls nor takes input.
            QVERIFY(!f.program.polling.tickTimer().isActive());
            QVERIFY(!f.mainPort.isOpen());
            QVERIFY(!start->isEnabled());
            QVERIFY(!f.main.findChild<QAction *>(QStringLiteral("mnuBatch"))->isEnabled());
            QVERIFY(f.main.findChild<QAction *>(QStringLiteral("mnuTrafficMonitor"))->isEnabled());
        });
        QVERIFY(f.run("compareButton"));
        QVERIFY(checked);
        QVERIFY(start->isEnabled());
        QVERIFY(f.program.polling.tickTimer().isActive());

        // Polling stopped before the batch stays stopped after it.
        QTest::mouseClick(f.main.findChild<QPushButton *>(QStringLiteral("Command7")),
                          Qt::LeftButton);
        QVERIFY(f.run("compareButton"));
        QVERIFY(start->isEnabled());
        QTest::qWait(150); // past the hand-back repeat
        QVERIFY(!f.program.polling.tickTimer().isActive());
    }
};

QTEST_MAIN(TestBatchWindow)
#include "tst_batchwindow.moc"
