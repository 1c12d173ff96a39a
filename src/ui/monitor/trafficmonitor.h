#pragma once
// The traffic monitor window ("通讯监视"): the traffic log as a table, with
// pause, clear, a row limit, a filter by direction and check status, and
// exports to CSV and plain text. It listens to the engines only while it is
// shown and not paused; its size, place and choices are kept in QSettings.
// Its first size, and a size kept from a bigger screen, are fitted to the
// screen's available area (a 1280-pixel screen takes no 1480-pixel window).

#include "ui/monitor/trafficlog.h"

#include <QSortFilterProxyModel>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;

namespace krv {

class Asker;

// Rows of the traffic log that a TrafficFilter accepts.
class TrafficFilterProxy : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setFilter(const TrafficFilter &filter);
    const TrafficFilter &filter() const { return m_filter; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    TrafficFilter m_filter;
};

class TrafficMonitor : public QWidget
{
    Q_OBJECT
public:
    TrafficMonitor(TrafficLog &log, Asker &asker, QWidget *parent = nullptr);
    ~TrafficMonitor() override;

    // Handlers of the controls (also called by tests).
    void setPaused(bool paused);
    void exportCsv();
    void exportText();
    void saveSettings() const;

    // The size of a first opening, when the screen has room for it.
    static constexpr QSize FirstSize{1480, 560};

    QTableView *view() const { return m_view; }
    TrafficFilterProxy &proxy() { return m_proxy; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildUi();
    void restoreSettings();
    // Before the first showing: the window within its screen's available
    // area, centred on it when no place was kept.
    enum class Placement { AsItIs, Centred };
    void fitToScreen(Placement placement);
    void applyFilter();
    void rowsArrived();
    void showCounts();
    void updateListening();

    TrafficLog &m_log;
    Asker &m_asker;
    TrafficFilterProxy m_proxy;

    QPushButton *m_pause = nullptr;
    QPushButton *m_clear = nullptr;
    QComboBox *m_direction = nullptr;
    QComboBox *m_check = nullptr;
    QSpinBox *m_rowLimit = nullptr;
    QCheckBox *m_follow = nullptr;
    QPushButton *m_exportCsv = nullptr;
    QPushButton *m_exportText = nullptr;
    QTableView *m_view = nullptr;
    QLabel *m_counts = nullptr;
};

} // namespace krv
