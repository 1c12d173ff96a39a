// The program as krv2060 builds it, polling module 2 at a chosen line speed,
// for bench/monitor-cost: it measures the CPU time the whole process takes
// with the traffic monitor and trend chart open, opened and closed again, or
// never opened (or only one of them open).
//
//   monitor_cost_driver [--windows never|open|closed|monitor|trend] [--rate BAUD]
//                       [--warmup S] [--seconds S]
//
// After the warm-up it prints "start", after the measuring time
// "end comm=N err=N rows=N samples=N", then keeps running until it is ended.
// Without the monitor windows in the build only "never" is possible.

#include "app/program.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QHash>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

#if __has_include("ui/monitor/monitorwindows.h")
#define KRV_HAS_MONITOR 1
#include "ui/monitor/trafficmonitor.h"
#include "ui/monitor/trendchart.h"
#endif

namespace {

// With --profile: the CPU time spent delivering each kind of event to each
// class of receiver, printed at the end.
class ProfilingApplication : public QApplication
{
public:
    using QApplication::QApplication;
    bool profile = false;
    QHash<QString, QPair<double, int>> spent;

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (!profile || depth > 0)
            return QApplication::notify(receiver, event);
        ++depth;
        const double start = cpuMs();
        const QString key = QString::fromLatin1(receiver->metaObject()->className()) + u' ' +
                            QString::number(int(event->type()));
        const bool result = QApplication::notify(receiver, event);
        auto &entry = spent[key];
        entry.first += cpuMs() - start;
        entry.second += 1;
        --depth;
        return result;
    }
    void print() const
    {
        QList<QPair<double, QString>> rows;
        for (auto it = spent.cbegin(); it != spent.cend(); ++it)
            rows.append({it->first, it.key() + QStringLiteral(" x%1").arg(it->second)});
        std::sort(rows.begin(), rows.end(), std::greater<>());
        for (int i = 0; i < qMin(25, int(rows.size())); ++i)
            std::printf("  %8.1f ms  %s\n", rows[i].first, qPrintable(rows[i].second));
    }

private:
    static double cpuMs()
    {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
    }
    int depth = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    ProfilingApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("krv2060"));
    QCommandLineParser options;
    options.addOption({QStringLiteral("windows"),
                       QStringLiteral("never, open, closed, monitor or trend"),
                       QStringLiteral("mode"), QStringLiteral("never")});
    options.addOption({QStringLiteral("rate"), QStringLiteral("line speed"), QStringLiteral("baud"),
                       QStringLiteral("38400")});
    options.addOption({QStringLiteral("warmup"), QStringLiteral("seconds before measuring"),
                       QStringLiteral("s"), QStringLiteral("5")});
    options.addOption({QStringLiteral("seconds"), QStringLiteral("seconds measured"),
                       QStringLiteral("s"), QStringLiteral("60")});
    options.addOption({QStringLiteral("profile"),
                       QStringLiteral("prints where the CPU time went, by event and receiver")});
    options.process(app);
    const QString windows = options.value(QStringLiteral("windows"));
    const int warmup = options.value(QStringLiteral("warmup")).toInt();
    const int seconds = options.value(QStringLiteral("seconds")).toInt();

    auto desktop = std::make_unique<krv::DesktopProgram>();
    krv::Program &program = desktop->program;
    krv::MainWindow &window = program.mainWindow;
    window.show();

    auto *rate = window.findChild<QComboBox *>(QStringLiteral("CommRate"));
    const int rateIndex = rate->findText(options.value(QStringLiteral("rate")));
    if (rateIndex < 0) {
        std::fprintf(stderr, "unknown rate\n");
        return 2;
    }
    rate->setCurrentIndex(rateIndex);
    window.findChild<QLineEdit *>(QStringLiteral("Address"))->setText(QStringLiteral("2"));
    window.findChild<QPushButton *>(QStringLiteral("Start"))->click();

    const auto trigger = [&window](const char *name) {
        if (auto *action = window.findChild<QAction *>(QLatin1String(name)))
            action->trigger();
    };
    if (windows != QLatin1String("never")) {
#ifndef KRV_HAS_MONITOR
        std::fprintf(stderr, "no monitor windows in this build\n");
        return 2;
#else
        if (windows != QLatin1String("trend"))
            trigger("mnuTrafficMonitor");
        if (windows != QLatin1String("monitor"))
            trigger("mnuTrendChart");
        if (windows == QLatin1String("closed")) {
            QTimer::singleShot(2000, &window, [&program] {
                program.monitors.trafficMonitor()->close();
                program.monitors.trendChart()->close();
            });
        }
#endif
    }
    QTimer::singleShot(warmup * 1000, &window, [&app, &options] {
        app.profile = options.isSet(QStringLiteral("profile"));
        std::printf("start\n");
        std::fflush(stdout);
    });
    QTimer::singleShot((warmup + seconds) * 1000, &window, [&window, &program, &app] {
        int rows = 0;
        long samples = 0;
#ifdef KRV_HAS_MONITOR
        program.monitors.trafficLog().flush();
        rows = program.monitors.trafficLog().rowCount();
        samples = static_cast<long>(program.monitors.trendStore().size());
#endif
        Q_UNUSED(program);
        std::printf("end comm=%s err=%s rows=%d samples=%ld\n",
                    qPrintable(window.findChild<QLineEdit *>(QStringLiteral("Text4"))->text()),
                    qPrintable(window.findChild<QLineEdit *>(QStringLiteral("Text3"))->text()),
                    rows, samples);
        if (app.profile) {
            app.profile = false;
            app.print();
        }
        std::fflush(stdout);
    });
    return QApplication::exec();
}
