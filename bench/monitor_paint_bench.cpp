// What one refresh of the monitor windows costs in CPU: a full repaint of
// the traffic table (as after a batch of new rows) and a redraw of the trend
// chart with an hour of samples, each rendered into an image (no display
// needed: run with QT_QPA_PLATFORM=offscreen).
#include "memoryport.h"
#include "ui/asker.h"
#include "ui/monitor/trafficlog.h"
#include "ui/monitor/trafficmonitor.h"
#include "ui/monitor/trendchart.h"
#include "ui/monitor/trendstore.h"

#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QSettings>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

using namespace krv;

namespace {

// Fills the log with a polling rotation's frames, as the engine reports them;
// the measurement replies carry new values each time.
void fill(TrafficLog &log, TransactionEngine &engine, int rows)
{
    static int round = 0;
    const QList<QPair<TrafficEvent::Kind, QByteArray>> frames = {
        {TrafficEvent::Kind::Sent, QByteArray::fromHex("020300000008443F")},
        {TrafficEvent::Kind::Answer,
         QByteArray::fromHex("02031000E800EF00E200FAFF4700EB00F400E5D88C")},
        {TrafficEvent::Kind::Sent, QByteArray::fromHex("020100000009FC3F")},
        {TrafficEvent::Kind::Answer, QByteArray::fromHex("0201020000FDFC")},
    };
    for (int i = 0; i < rows; ++i) {
        TrafficEvent e;
        e.kind = frames[i % 4].first;
        e.bytes = frames[i % 4].second;
        if (i % 4 == 1)
            e.bytes[4] = char(++round);
        e.elapsedMs = e.kind == TrafficEvent::Kind::Sent ? 0 : 4;
        Q_EMIT engine.traffic(e);
    }
    log.flush();
}

// CPU time of the process, not the wall clock: other programs on the machine
// do not count.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

template <class F> double msPerRun(int runs, F &&f)
{
    const double start = cpuMs();
    for (int i = 0; i < runs; ++i)
        f();
    return (cpuMs() - start) / runs;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    DialogAsker asker;

    ModuleSlots moduleSlots;
    testsupport::MemoryPort port;
    TransactionEngine engine(moduleSlots, port, {});
    TrafficLog log;
    log.attach(engine, QString::fromUtf8(TrafficLog::MainWindowName));
    TrafficMonitor monitor(log, asker);
    monitor.show();
    fill(log, engine, 10000);
    QWidget *viewport = monitor.view()->viewport();
    QImage image(viewport->size(), QImage::Format_ARGB32_Premultiplied);
    const double table = msPerRun(qEnvironmentVariableIntValue("KRV_TABLE_RUNS") > 0
                                      ? qEnvironmentVariableIntValue("KRV_TABLE_RUNS")
                                      : 50,
                                  [&] { viewport->render(&image); });
    // Two seconds of polling at 38400 baud: ten requests and their replies,
    // one batch, the view following the newest row.
    const double batch = msPerRun(50, [&] {
        fill(log, engine, 20);
        monitor.view()->scrollToBottom();
        viewport->render(&image);
    });
    std::printf("traffic table: %.2f ms per full repaint; %.2f ms per batch of 20 new rows, one "
                "every 2 s (%dx%d, %d rows shown)\n",
                table, batch, viewport->width(), viewport->height(),
                viewport->height() / monitor.view()->verticalHeader()->defaultSectionSize());

    TrendStore store;
    const qint64 t0 = 1'700'000'000'000;
    for (int i = 0; i < 3600 * 2; ++i) { // an hour at two samples a second
        std::array<qint32, 8> v{};
        for (int c = 0; c < 8; ++c)
            v[static_cast<std::size_t>(c)] = 200 + 10 * c + (i * (c + 1)) % 17;
        store.append(t0 + 500 * qint64(i), v);
    }
    TrendChart chart(store, asker);
    chart.show();
    if (qEnvironmentVariableIsSet("KRV_NO_SERIES"))
        for (int c = 0; c < 8; ++c)
            chart.findChild<QCheckBox *>(QStringLiteral("Channel%1").arg(c))->setChecked(false);
    QApplication::processEvents();
    QImage chartImage(chart.chartView()->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (int minutes : TrendChart::WindowMinutes) {
        const double ms = msPerRun(20, [&] {
            chart.samplesAdded();
            chart.redraw();
            chart.chartView()->viewport()->render(&chartImage);
        });
        Q_UNUSED(minutes);
        std::printf("trend chart: %.2f ms per redraw, one every %d s at most: %.2f ms per second "
                    "(window %d min, %zu samples)\n",
                    ms, chart.redrawInterval() / 1000, ms * 1000 / chart.redrawInterval(),
                    int(chart.windowMs() / 60000), store.size());
        auto *window = chart.findChild<QComboBox *>(QStringLiteral("TimeWindow"));
        window->setCurrentIndex((window->currentIndex() + 1) % window->count());
    }
    return 0;
}
