// krv2060-shot: the program as krv2060 builds it, with the operator's first
// steps played automatically, so that a picture of a polling window can be
// taken without a person at the screen (scripts/demo --screenshot).
//
// Steps: scan until address 5 is done, stop, run the first module found, then
// switch outputs 1 and 4 on (where they read off), one tick apart. When polling has gone on for a
// few seconds it prints one line
//   ready X Y W H
// with the window's place on the screen in device pixels, and keeps running
// until it is ended.
//
// With --windows it also opens the traffic monitor and the trend chart from
// the "查看" menu, beside and below the main window, and before "ready" prints
//   window NAME X Y W H
// for each of them (NAME: traffic-monitor, trend-chart). It then also switches the
// temperature control on (so that the channels move toward their set values),
// shows the chart's one-minute window and waits 45 s of polling for "ready".

#include "app/program.h"
#include "ui/monitor/trafficmonitor.h"
#include "ui/monitor/trendchart.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

void press(krv::Form1 &form, const char *name)
{
    if (auto *button = form.findChild<QPushButton *>(QLatin1String(name)))
        button->click();
}

void printPlace(const char *prefix, const QWidget &w)
{
    const qreal dpr = w.devicePixelRatioF();
    const QRect r = w.frameGeometry();
    std::printf("%s %d %d %d %d\n", prefix, qRound(r.x() * dpr), qRound(r.y() * dpr),
                qRound(r.width() * dpr), qRound(r.height() * dpr));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("krv2060"));

    const bool windows = QApplication::arguments().contains(QStringLiteral("--windows"));
    auto desktop = std::make_unique<krv::DesktopProgram>();
    krv::Program *program = &desktop->program;
    krv::Form1 &form = program->form1;
    form.move(0, 0);
    form.show();

    const auto ready = [&form, program, windows] {
        if (windows) {
            printPlace("window traffic-monitor", *program->monitors.trafficMonitor());
            printPlace("window trend-chart", *program->monitors.trendChart());
        }
        printPlace("ready", form);
        std::fflush(stdout);
    };
    const auto openWindows = [&form, program] {
        // Through the menu, as the operator opens them.
        form.findChild<QAction *>(QStringLiteral("mnuTrafficMonitor"))->trigger();
        form.findChild<QAction *>(QStringLiteral("mnuTrendChart"))->trigger();
        const QRect main = form.frameGeometry();
        QWidget *monitor = program->monitors.trafficMonitor();
        monitor->move(main.right() + 1, 0);
        krv::TrendChart *chart = program->monitors.trendChart();
        chart->move(main.right() + 1, monitor->frameGeometry().bottom() + 1);
        chart->findChild<QComboBox *>(QStringLiteral("TimeWindow"))->setCurrentIndex(0);
    };
    const auto run = [&] {
        form.findChild<QComboBox *>(QStringLiteral("ModNO"))->setCurrentIndex(0);
        if (windows)
            openWindows();
        press(form, "Start");
        const auto switchOn = [&](int output) {
            if (program->state.module.DOState[output] == 0)
                press(form, qPrintable(QStringLiteral("DOoutP%1").arg(output)));
        };
        QTimer::singleShot(4000, &form, [=] { switchOn(1); });
        QTimer::singleShot(4500, &form, [=] { switchOn(4); });
        if (windows)
            QTimer::singleShot(5000, &form, [=] { switchOn(9); });
        QTimer::singleShot(windows ? 45000 : 7000, &form, ready);
    };
    QObject::connect(&program->polling, &krv::PollingCycle::scanStep, &form,
                     [&](int address, bool) {
                         if (address != 6)
                             return;
                         press(form, "Command7");
                         QTimer::singleShot(300, &form, run);
                     });
    QTimer::singleShot(500, &form, [&] { press(form, "Command5"); });
    return QApplication::exec();
}
