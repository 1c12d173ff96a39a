#pragma once
// The trend chart window ("趋势图"): the eight live measurements (raw values,
// as the main window shows them) against time, a check box per channel, a
// time window of 1, 5, 15 or 60 minutes, pause, and exports of the shown data
// (CSV) and of the chart (PNG). A redraw costs a few milliseconds (Qt Charts
// lays out every point of every line again), so the chart is redrawn only
// while shown and not paused, only when new samples came, and at most every
// 2, 5, 10 or 20 s for the four windows (a few pixels of movement on the
// longer ones). Its size, place and choices are kept in QSettings.

#include <QWidget>

#include <array>

class QCheckBox;
class QChart;
class QChartView;
class QComboBox;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QPushButton;
class QTimer;
class QValueAxis;

namespace krv {

class Asker;
class TrendStore;

class TrendChart : public QWidget
{
    Q_OBJECT
public:
    // The time windows offered, in minutes, and the least time between two
    // redraws for each.
    static constexpr std::array<int, 4> WindowMinutes{1, 5, 15, 60};
    static constexpr std::array<int, 4> RedrawMs{2000, 5000, 10000, 20000};

    TrendChart(const TrendStore &store, Asker &asker, QWidget *parent = nullptr);
    ~TrendChart() override;

    // New samples are in the store: the chart follows at its next redraw.
    void samplesAdded();
    // Redraws now (the redraw timer calls this).
    void redraw();

    void setPaused(bool paused);
    bool paused() const { return m_paused; }
    // The time span shown: [from, to] in ms since the epoch.
    qint64 shownFrom() const { return shownTo() - windowMs(); }
    qint64 shownTo() const;
    qint64 windowMs() const;
    int redrawInterval() const;
    // Bit c: channel c is shown.
    quint8 channelMask() const;

    void exportCsv();
    void exportPng();
    void saveSettings() const;

    QChartView *chartView() const { return m_view; }
    QLineSeries *series(int channel) const { return m_series[static_cast<std::size_t>(channel)]; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildUi();
    void restoreSettings();

    const TrendStore &m_store;
    Asker &m_asker;
    QChart *m_chart = nullptr;
    QChartView *m_view = nullptr;
    QDateTimeAxis *m_timeAxis = nullptr;
    QValueAxis *m_valueAxis = nullptr;
    std::array<QLineSeries *, 8> m_series{};
    std::array<QCheckBox *, 8> m_channel{};
    QComboBox *m_window = nullptr;
    QPushButton *m_pause = nullptr;
    QPushButton *m_exportCsv = nullptr;
    QPushButton *m_exportPng = nullptr;
    QLabel *m_info = nullptr;
    QTimer *m_redraw = nullptr;

    bool m_paused = false;
    qint64 m_pausedAt = 0; // the newest time shown when paused
    bool m_dirty = true;
};

} // namespace krv
