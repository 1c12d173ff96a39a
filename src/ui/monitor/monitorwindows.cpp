#include "monitorwindows.h"

#include "ui/monitor/trafficmonitor.h"
#include "ui/monitor/trendchart.h"

#include <QDateTime>

namespace krv {

namespace {

void bringUp(QWidget &window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

MonitorWindows::MonitorWindows(TransactionEngine &mainEngine, RegisterMap &reads, Asker &asker,
                               QObject *parent)
    : QObject(parent), m_reads(reads), m_asker(asker)
{
    m_log.attach(mainEngine, QString::fromUtf8(TrafficLog::MainWindowName));
}

MonitorWindows::~MonitorWindows()
{
    // Settings are kept when a window is hidden; one still open keeps them now.
    for (QWidget *w :
         {static_cast<QWidget *>(m_monitor.get()), static_cast<QWidget *>(m_chart.get())}) {
        if (w && w->isVisible())
            w->hide();
    }
}

void MonitorWindows::showTrafficMonitor()
{
    if (!m_monitor)
        m_monitor = std::make_unique<TrafficMonitor>(m_log, m_asker);
    bringUp(*m_monitor);
}

void MonitorWindows::showTrendChart()
{
    if (!m_chart) {
        m_chart = std::make_unique<TrendChart>(m_trend, m_asker);
        connect(&m_reads, &RegisterMap::measurementsDecoded, this,
                [this](const ChannelValues &values) { takeMeasurements(values); });
    }
    bringUp(*m_chart);
}

void MonitorWindows::takeMeasurements(const ChannelValues &values)
{
    const auto n = static_cast<std::size_t>(qBound(0, values.count, TrendStore::Channels));
    m_trend.append(QDateTime::currentMSecsSinceEpoch(),
                   std::span<const qint32>(values.values.data(), n));
    m_chart->samplesAdded();
}

} // namespace krv
