// krv2060-shot: the program as krv2060 builds it, with the operator's first
// steps played automatically, so that a picture of a polling window can be
// taken without a person at the screen (scripts/demo --screenshot).
//
//   krv2060-shot [main|control|chooser|alarm|monitors|portlist|batch]
//
// Steps: scan until address 5 is done, stop, run the first module found, then
// switch outputs 1 and 4 on (where they read off), one tick apart. When polling has gone on for a
// few seconds it prints one line
//   ready X Y W H
// with the window's place on the screen in device pixels, and keeps running
// until it is ended.
//
// "control": after a few polling ticks, opens "控制参数", lets the sweep read
// the nine channels and writes channel 3 with set value 455; the control
// editor is the picture. "chooser": as "control", then saves the boxes as
// OVEN-A.CON and OVEN-B.CON in a new folder "工艺参数" of the current
// directory, with a folder "archive" beside them, presses "恢复参数" and
// clicks the first file; the file chooser is the picture. "alarm": after a
// few polling ticks, opens "报警参数"; once its opening sweep has read all nine
// blocks, the alarm editor is the picture. "monitors": opens the traffic
// monitor and the trend chart from the "查看" menu, beside and below the main
// window, switches the temperature control on (so that the channels move
// toward their set values), shows the chart's one-minute window, polls for
// 45 s and before "ready" prints
//   window NAME X Y W H
// for each of them (NAME: traffic-monitor, trend-chart). "portlist": after a
// few polling ticks, opens the port list of "通信参数"; the picture is that
// frame with the open list below it. Besides the ports the system lists, the
// list then holds two USB adapters as the system lists them when they are
// plugged in (ttyUSB0 and ttyUSB1), so that the picture shows them on a
// machine without any. "batch": after a few polling ticks, opens "工具 >
// 批量设置…" on the modules of the scan, backs them up into the current
// directory, writes a changed copy of the first one's backup to it and
// compares both modules with that (showBatchWindow); the batch window with
// its result table is the picture.

#include "app/language.h"
#include "app/program.h"
#include "link/batchfiles.h"
#include "ui/main/portlist.h"
#include "ui/monitor/trafficmonitor.h"
#include "ui/monitor/trendchart.h"
#include "ui/panelcachestyle.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

void press(QWidget &window, const char *name)
{
    if (auto *button = window.findChild<QPushButton *>(QLatin1String(name)))
        button->click();
}

void printPlace(const char *prefix, const QWidget &w)
{
    const qreal dpr = w.devicePixelRatioF();
    const QRect r = w.frameGeometry();
    std::printf("%s %d %d %d %d\n", prefix, qRound(r.x() * dpr), qRound(r.y() * dpr),
                qRound(r.width() * dpr), qRound(r.height() * dpr));
    std::fflush(stdout);
}

// The traffic monitor and the trend chart, opened through the menu as the
// operator opens them, beside the main window.
void openMonitors(krv::Program &program)
{
    krv::MainWindow &form = program.mainWindow;
    form.findChild<QAction *>(QStringLiteral("mnuTrafficMonitor"))->trigger();
    form.findChild<QAction *>(QStringLiteral("mnuTrendChart"))->trigger();
    const QRect main = form.frameGeometry();
    QWidget *monitor = program.monitors.trafficMonitor();
    monitor->move(main.right() + 1, 0);
    krv::TrendChart *chart = program.monitors.trendChart();
    chart->move(main.right() + 1, monitor->frameGeometry().bottom() + 1);
    chart->findChild<QComboBox *>(QStringLiteral("TimeWindow"))->setCurrentIndex(0);
}

// The real dialog boxes, except that the input box asking for a file name is
// answered with the names given.
class ShotAsker : public krv::DialogAsker
{
public:
    QStringList names;
    bool confirmAll = false; // OK to every question (the batch's)
    bool confirm(QWidget *parent, const QString &title, const QString &text) override
    {
        return confirmAll || DialogAsker::confirm(parent, title, text);
    }
    std::optional<QString> askText(QWidget *parent, const QString &title, const QString &prompt,
                                   const QString &defaultText) override
    {
        if (!names.isEmpty())
            return names.takeFirst();
        return DialogAsker::askText(parent, title, prompt, defaultText);
    }
};

// The system's ports, and for the port list's picture two USB adapters.
class ShotPorts : public krv::PortInfoSource
{
public:
    explicit ShotPorts(bool withAdapters) : m_withAdapters(withAdapters) {}
    QList<krv::SerialPortDescription> ports() const override
    {
        QList<krv::SerialPortDescription> ports = krv::SystemPortInfoSource().ports();
        if (m_withAdapters)
            ports += {{QStringLiteral("ttyUSB0"), QStringLiteral("/dev/ttyUSB0"),
                       QStringLiteral("FT232R USB UART"), QStringLiteral("FTDI"),
                       QStringLiteral("A50285BI")},
                      {QStringLiteral("ttyUSB1"), QStringLiteral("/dev/ttyUSB1"),
                       QStringLiteral("CP2102 USB to UART Bridge Controller"),
                       QStringLiteral("Silicon Labs"), QStringLiteral("0001")}};
        return ports;
    }

private:
    bool m_withAdapters;
};

struct ShotProgram
{
    explicit ShotProgram(bool withAdapters) : ports(withAdapters) {}
    ShotPorts ports;
    krv::SystemPortComponent mainPort;
    krv::SystemPortComponent controlPort;
    krv::SystemPortComponent alarmPort;
    krv::SystemPortComponent batchPort;
    ShotAsker asker;
    krv::Program program{{mainPort, controlPort, alarmPort, &batchPort}, asker, &ports};
};

// The port list opened over the main window: prints "ready" with the place
// of the line frame and the open list together.
void showPortList(krv::Program &program)
{
    krv::MainWindow &form = program.mainWindow;
    auto *list = form.findChild<QComboBox *>(QStringLiteral("ComPort"));
    list->showPopup();
    QTimer::singleShot(500, &form, [&form, list] {
        const auto *frame = form.findChild<QWidget *>(QStringLiteral("Frame5"));
        QRect area(frame->mapToGlobal(QPoint(0, 0)), frame->size());
        QWidget *popup = list->view()->window();
        area = area.united(popup->frameGeometry()).adjusted(-8, -8, 8, 8);
        area = area.intersected(form.screen()->geometry());
        const qreal dpr = form.devicePixelRatioF();
        std::printf("ready %d %d %d %d\n", qRound(area.x() * dpr), qRound(area.y() * dpr),
                    qRound(area.width() * dpr), qRound(area.height() * dpr));
        std::fflush(stdout);
    });
}

// The control editor after its sweep, with channel 3 written.
void showControlEditor(krv::Program &program, const std::function<void()> &then)
{
    krv::ControlEditor &editor = program.controlEditor;
    editor.move(0, 0);
    press(program.mainWindow, "Command2");
    QTimer::singleShot(4000, &editor, [&editor, then] {
        if (auto *box = editor.findChild<QLineEdit *>(QStringLiteral("SetVal3")))
            box->setText(QStringLiteral("455"));
        press(editor, "write3");
        QTimer::singleShot(800, &editor, then);
    });
}

// The chooser over two saved parameter files and a folder.
void showChooser(ShotProgram &shot, const std::function<void()> &then)
{
    krv::ControlEditor &editor = shot.program.controlEditor;
    krv::FileChooser &chooser = shot.program.fileChooser;
    chooser.move(0, 0);
    const QString folder = QStringLiteral("工艺参数");
    QDir().mkpath(folder + QStringLiteral("/archive"));
    QDir::setCurrent(folder);
    shot.asker.names = {QStringLiteral("OVEN-A"), QStringLiteral("OVEN-B")};
    press(editor, "SaveCmd");
    press(editor, "SaveCmd");
    press(editor, "LoadCmd");
    QTimer::singleShot(500, &chooser, [&chooser, then] {
        if (auto *files = chooser.findChild<QListWidget *>(QStringLiteral("File1"))) {
            files->setCurrentRow(0);
            chooser.onFileClicked();
        }
        QTimer::singleShot(300, &chooser, then);
    });
}

// The alarm editor once its sweep is done.
void showAlarmEditor(krv::Program &program, const std::function<void()> &then)
{
    krv::AlarmEditor &editor = program.alarmEditor;
    editor.move(0, 0);
    press(program.mainWindow, "Command3");
    QTimer *sweep = &program.alarmLink.sweepTimer();
    QObject::connect(sweep, &QTimer::timeout, &editor, [sweep, &editor, then] {
        if (!sweep->isActive())
            QTimer::singleShot(500, &editor, then);
    });
}

// The batch window: the scanned modules backed up ("读取备份"); OVEN.CON,
// the first module's backup with 455 as channel 3's set temperature,
// written to the first module ("写入并校验"); then both modules compared
// with OVEN.CON and the first module's .ALM ("比较"), so that the table shows
// one module equal and one that differs.
void showBatchWindow(ShotProgram &shot, const std::function<void()> &then)
{
    krv::Program &program = shot.program;
    krv::BatchWindow &window = program.batchWindow;
    program.mainWindow.findChild<QAction *>(QStringLiteral("mnuBatch"))->trigger();
    window.move(0, 0);
    const auto box = [&window](const char *name) {
        return window.findChild<QLineEdit *>(QLatin1String(name));
    };
    const auto tick = [&window](int row, bool on) {
        auto *table = window.findChild<QTableWidget *>(QStringLiteral("targetTable"));
        if (QTableWidgetItem *item = table->item(row, 0))
            item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    };
    box("backupFolderBox")->setText(QDir::toNativeSeparators(QDir::currentPath()));
    krv::BatchJob *job = &program.batchJob;
    shot.asker.confirmAll = true;
    const auto afterBatch = [job, &window](const std::function<void()> &next) {
        QObject::connect(job, &krv::BatchJob::finished, &window, next, Qt::SingleShotConnection);
    };
    afterBatch([&window, box, tick, afterBatch, then] {
        const QList<krv::ModuleResult> &results = window.results();
        if (results.isEmpty())
            return then();
        const QDir here;
        QFile backup(here.absoluteFilePath(krv::backupName(results.first(), "CON")));
        QFile oven(here.absoluteFilePath(QStringLiteral("OVEN.CON")));
        if (backup.open(QIODevice::ReadOnly) && oven.open(QIODevice::WriteOnly)) {
            QList<QByteArray> lines = backup.readAll().split('\n');
            QList<QByteArray> fields = lines.value(3).split(' ');
            fields.removeAll(QByteArray());
            if (fields.size() > 4) {
                fields[4] = "455";
                lines[3] = fields.join("  ");
            }
            oven.write(lines.join('\n'));
        }
        oven.close();
        box("controlFileBox")->setText(QDir::toNativeSeparators(oven.fileName()));
        box("alarmFileBox")
            ->setText(QDir::toNativeSeparators(
                here.absoluteFilePath(krv::backupName(results.first(), "ALM"))));
        for (int row = 1; row < results.size(); ++row)
            tick(row, false);
        afterBatch([&window, afterBatch, then] {
            press(window, "tickAllButton");
            afterBatch([&window, then] { QTimer::singleShot(500, &window, then); });
            press(window, "compareButton");
        });
        press(window, "applyButton");
    });
    press(window, "backupButton");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("krv2060"));
    const QString window = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("main");
    const QStringList windows = {QStringLiteral("main"),     QStringLiteral("control"),
                                 QStringLiteral("chooser"),  QStringLiteral("alarm"),
                                 QStringLiteral("monitors"), QStringLiteral("portlist"),
                                 QStringLiteral("batch")};
    if (!windows.contains(window)) {
        std::fprintf(stderr,
                     "usage: krv2060-shot [main|control|chooser|alarm|monitors|portlist|batch]\n");
        return 2;
    }
    krv::usePanelCacheStyle();
    // KRV_SHOT_LANG=en takes the pictures in English.
    const krv::InterfaceLanguage language(
        krv::languageFromCode(qEnvironmentVariable("KRV_SHOT_LANG"))
            .value_or(krv::Language::Chinese));

    auto shot = std::make_unique<ShotProgram>(window == QLatin1String("portlist"));
    krv::Program *program = &shot->program;
    krv::MainWindow &form = program->mainWindow;
    form.move(0, 0);
    form.show();

    const bool monitors = window == QLatin1String("monitors");
    const auto readyWith = [](QWidget &w) { printPlace("ready", w); };
    const auto ready = [&] {
        if (monitors) {
            printPlace("window traffic-monitor", *program->monitors.trafficMonitor());
            printPlace("window trend-chart", *program->monitors.trendChart());
            readyWith(form);
        } else if (window == QLatin1String("main"))
            readyWith(form);
        else if (window == QLatin1String("portlist"))
            showPortList(*program);
        else if (window == QLatin1String("control"))
            showControlEditor(*program,
                              [program, readyWith] { readyWith(program->controlEditor); });
        else if (window == QLatin1String("alarm"))
            showAlarmEditor(*program, [program, readyWith] { readyWith(program->alarmEditor); });
        else if (window == QLatin1String("batch"))
            showBatchWindow(*shot, [&shot, readyWith] { readyWith(shot->program.batchWindow); });
        else
            showControlEditor(*program, [&shot, readyWith] {
                showChooser(*shot, [&shot, readyWith] { readyWith(shot->program.fileChooser); });
            });
    };
    const auto run = [&] {
        form.findChild<QComboBox *>(QStringLiteral("ModNO"))->setCurrentIndex(0);
        if (monitors)
            openMonitors(*program);
        press(form, "Start");
        const auto switchOn = [&](int output) {
            if (!program->state.module.outputs[output])
                press(form, qPrintable(QStringLiteral("DOoutP%1").arg(output)));
        };
        QTimer::singleShot(4000, &form, [=] { switchOn(1); });
        QTimer::singleShot(4500, &form, [=] { switchOn(4); });
        if (monitors)
            QTimer::singleShot(5000, &form, [=] { switchOn(9); });
        QTimer::singleShot(monitors ? 45000 : 7000, &form, ready);
    };
    QObject::connect(&program->scan, &krv::ModuleScan::stepped, &form,
                     [&](int address, krv::Framing) {
                         if (address != 6)
                             return;
                         press(form, "Command7");
                         QTimer::singleShot(300, &form, run);
                     });
    QTimer::singleShot(500, &form, [&] { press(form, "Command5"); });
    return QApplication::exec();
}
