// krv2060-bench: krv2060 as it runs on a desktop (the real serial port on COM1,
// dialog boxes, the window on the present display) with the operator's one
// step played: once the window is painted, address 2 in RTU at the given speed
// is entered and "运 行" pressed. After polling for the given time it prints
//   bench startup-ms     from KRV_BENCH_T0 (ns since the epoch, taken by the
//                        caller just before starting the program) to the end
//                        of the window's first paint (startup-cpu-ms: the CPU
//                        time the process took until then, which a busy
//                        machine does not stretch)
//   bench polled-s       how long it polled
//   bench cpu-s          CPU time (user + system) the process took meanwhile,
//                        and each apart (user-s, system-s)
//   bench requests N / bench replies N / bench time-outs N
//   bench main-vcsw      voluntary context switches of the main thread (the
//                        one that runs the event loop, the port and the
//                        painting) while polling: how often it went to sleep
//                        and was woken; main-ivcsw the involuntary ones
//                        (getrusage(RUSAGE_THREAD), taken in the main thread
//                        at both ends). Qt's other threads (the X connection's
//                        reader, ...) are left out of these; all-vcsw counts
//                        the whole process, threads count
//   bench peak-rss-kb    VmHWM of the process
// and ends. bench/run starts it against krv2060-sim and reads these lines.
//
//   krv2060-bench --rate 9600|38400 [--seconds 60] [--paints] [--mappings]
//
// --paints also prints how often each widget was painted while polling
// ("bench paint NAME COUNT"), the first thing to look at when the CPU figure
// grows.
// --mappings also prints, at the end of the polling, the resident memory of
// the process by mapping ("bench mapping RSS-KB ANON-KB NAME", from
// /proc/self/smaps): each file (library, font, ...) summed over its mappings,
// [heap], [stack], "anonymous" for mappings without a name, the other
// bracketed kernel names as they are; ANON-KB is the part of RSS in anonymous
// pages (a library's relocated and written data, the heap).

#include "app/program.h"
#include "ui/panelcachestyle.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <map>
#include <memory>
#include <sys/resource.h>

namespace {

// User and system CPU seconds of the process so far.
std::pair<double, double> cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return {u.ru_utime.tv_sec + u.ru_utime.tv_usec / 1e6,
            u.ru_stime.tv_sec + u.ru_stime.tv_usec / 1e6};
}

// Voluntary and involuntary context switches of the calling thread so far.
std::pair<long, long> threadSwitches()
{
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return {u.ru_nvcsw, u.ru_nivcsw};
}

long processVoluntarySwitches()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_nvcsw;
}

QByteArray statusField(const char *name)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return "0";
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(qstrlen(name)).trimmed().split(' ').value(0);
    }
    return "0";
}

// Resident memory by mapping, from /proc/self/smaps: name -> {Rss, Anonymous}
// in kB, summed over the mappings of each name.
std::map<QByteArray, std::pair<long, long>> residentByMapping()
{
    std::map<QByteArray, std::pair<long, long>> out;
    QFile f(QStringLiteral("/proc/self/smaps"));
    if (!f.open(QIODevice::ReadOnly))
        return out;
    QByteArray name;
    const auto kb = [](const QByteArray &line) {
        return line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toLong();
    };
    // Line by line: reading the whole file at once would grow the heap it measures.
    char buffer[512];
    while (f.readLine(buffer, sizeof buffer) > 0) {
        const QByteArray line = QByteArray(buffer).trimmed();
        // A mapping's header line starts with its address range ("7f..-7f.. r-xp
        // offset dev inode [path]"); its fields are "Name:   N kB" lines.
        const QByteArray first = line.left(line.indexOf(' '));
        if (first.contains('-') && !first.endsWith(':')) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            name = parts.size() >= 6 ? parts.mid(5).join(' ') : QByteArray("anonymous");
            continue;
        }
        if (line.startsWith("Rss:"))
            out[name].first += kb(line);
        else if (line.startsWith("Anonymous:"))
            out[name].second += kb(line);
    }
    return out;
}

// Notes the end of the window's first paint: the first paint event of any of
// its widgets is followed, in the same pass, by the others and the flush to the
// screen, so the next turn of the event loop comes after it.
class FirstPaint : public QObject
{
public:
    FirstPaint(QWidget *window, std::function<void()> painted)
        : m_window(window), m_painted(std::move(painted))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && o->isWidgetType() &&
            static_cast<QWidget *>(o)->window() == m_window) {
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, m_window, m_painted);
        }
        return false;
    }

private:
    QWidget *m_window;
    std::function<void()> m_painted;
};

// Counts paint events per widget (by object name, else class name).
class PaintCounter : public QObject
{
public:
    std::map<QString, int> counts;

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && o->isWidgetType())
            ++counts[o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className())
                                               : o->objectName()];
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("krv2060"));
    krv::usePanelCacheStyle();
    const QStringList args = QApplication::arguments();
    const QString rate = args.value(args.indexOf(QStringLiteral("--rate")) + 1);
    const int seconds = args.contains(QStringLiteral("--seconds"))
                            ? args.value(args.indexOf(QStringLiteral("--seconds")) + 1).toInt()
                            : 60;
    const QStringList rates = {QStringLiteral("1200"),  QStringLiteral("2400"),
                               QStringLiteral("4800"),  QStringLiteral("9600"),
                               QStringLiteral("19200"), QStringLiteral("38400")};
    if (!args.contains(QStringLiteral("--rate")) || !rates.contains(rate) || seconds <= 0) {
        std::fputs(
            "usage: krv2060-bench --rate 9600|38400 [--seconds 60] [--paints] [--mappings]\n",
            stderr);
        return 2;
    }

    auto desktop = std::make_unique<krv::DesktopProgram>();
    krv::Program &program = desktop->program;
    krv::MainWindow &window = program.mainWindow;
    qint64 requests = 0, replies = 0, timeouts = 0;
    QObject::connect(&program.engine, &krv::TransactionEngine::requestEnded, &window,
                     [&](krv::RequestEnd how) {
                         ++requests;
                         replies += how == krv::RequestEnd::Reply;
                         timeouts += how == krv::RequestEnd::TimedOut;
                     });

    std::unique_ptr<PaintCounter> paints;
    if (args.contains(QStringLiteral("--paints")))
        paints = std::make_unique<PaintCounter>();
    QElapsedTimer polling;
    std::pair<double, double> cpuAtStart;
    std::pair<long, long> switchesAtStart;
    long allSwitchesAtStart = 0;
    const auto start = [&] {
        const qint64 t0 = qEnvironmentVariable("KRV_BENCH_T0").toLongLong();
        if (t0 > 0) {
            const double ms = (QDateTime::currentMSecsSinceEpoch() * 1e6 - double(t0)) / 1e6;
            std::printf("bench startup-ms %.1f\n", ms);
        }
        const auto [user, system] = cpuSeconds();
        std::printf("bench startup-cpu-ms %.1f\n", (user + system) * 1000);
        window.findChild<QLineEdit *>(QStringLiteral("Address"))->setText(QStringLiteral("2"));
        window.findChild<QComboBox *>(QStringLiteral("Protocol"))->setCurrentIndex(0);
        window.findChild<QComboBox *>(QStringLiteral("CommRate"))
            ->setCurrentIndex(static_cast<int>(rates.indexOf(rate)));
        if (paints)
            qApp->installEventFilter(paints.get());
        cpuAtStart = cpuSeconds();
        switchesAtStart = threadSwitches();
        allSwitchesAtStart = processVoluntarySwitches();
        polling.start();
        window.findChild<QPushButton *>(QStringLiteral("Start"))->click();
        QTimer::singleShot(seconds * 1000, &window, [] { QApplication::exit(0); });
    };
    FirstPaint firstPaint(&window, start);
    window.show();
    QApplication::exec();

    // Taken first, before printing or reading files adds its own.
    const auto [voluntary, involuntary] = threadSwitches();
    const long allVoluntary = processVoluntarySwitches();
    const auto [user, system] = cpuSeconds();
    const double userPolling = user - cpuAtStart.first;
    const double systemPolling = system - cpuAtStart.second;
    std::printf("bench polled-s %.3f\nbench cpu-s %.3f\nbench user-s %.3f\nbench system-s %.3f\n",
                polling.elapsed() / 1000.0, userPolling + systemPolling, userPolling,
                systemPolling);
    std::printf("bench requests %lld\nbench replies %lld\nbench time-outs %lld\n",
                static_cast<long long>(requests), static_cast<long long>(replies),
                static_cast<long long>(timeouts));
    std::printf("bench main-vcsw %ld\nbench main-ivcsw %ld\nbench all-vcsw %ld\n",
                voluntary - switchesAtStart.first, involuntary - switchesAtStart.second,
                allVoluntary - allSwitchesAtStart);
    std::printf("bench threads %s\n", statusField("Threads:").constData());
    std::printf("bench peak-rss-kb %s\n", statusField("VmHWM:").constData());
    std::printf("bench rss-kb %s\n", statusField("VmRSS:").constData());
    if (args.contains(QStringLiteral("--mappings"))) {
        for (const auto &[name, kb] : residentByMapping())
            std::printf("bench mapping %ld %ld %s\n", kb.first, kb.second, name.constData());
    }
    if (paints) {
        for (const auto &[name, count] : paints->counts)
            std::printf("bench paint %s %d\n", qPrintable(name), count);
    }
    return 0;
}
