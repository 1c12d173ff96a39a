#pragma once
// The traffic monitor and the trend chart of the program: the traffic log and
// the trend data (both without widgets) and the two windows, each created on
// first use and then shown and raised. The traffic log listens to the engines
// only while its window is open; the trend data is fed from the main window's
// measurements from the first opening of the chart on.
//
// Another window's engine is added to the monitor with
//     monitors.trafficLog().attach(engine, name);
// (see TrafficLog::attach).

#include "link/registermap.h"
#include "link/transactionengine.h"
#include "ui/monitor/trafficlog.h"
#include "ui/monitor/trendstore.h"

#include <QObject>

#include <memory>

namespace krv {

class Asker;
class TrafficMonitor;
class TrendChart;

class MonitorWindows : public QObject
{
    Q_OBJECT
public:
    // Attaches the main window's engine to the traffic log.
    MonitorWindows(TransactionEngine &mainEngine, RegisterMap &reads, Asker &asker,
                   QObject *parent = nullptr);
    ~MonitorWindows() override;

    TrafficLog &trafficLog() { return m_log; }
    TrendStore &trendStore() { return m_trend; }

    // "查看 > 通讯监视…" and "查看 > 趋势图…".
    void showTrafficMonitor();
    void showTrendChart();

    // The windows, once created (null before their first use).
    TrafficMonitor *trafficMonitor() const { return m_monitor.get(); }
    TrendChart *trendChart() const { return m_chart.get(); }

private:
    void takeMeasurements(const ChannelValues &values);

    RegisterMap &m_reads;
    Asker &m_asker;
    TrafficLog m_log;
    TrendStore m_trend;
    std::unique_ptr<TrafficMonitor> m_monitor;
    std::unique_ptr<TrendChart> m_chart;
};

} // namespace krv
