#pragma once
// The traffic log: one row per frame sent or received (and per time-out) by
// any window's transaction engine, as a table model for the traffic monitor,
// with a row limit and exports to CSV and plain text. No widgets.
//
// Windows hand their engines over once with attach(); the log listens to them
// only while setListening(true) (the monitor does so while it is open and not
// paused). An engine nobody listens to builds no traffic events at all, so a
// closed monitor costs nothing.
//
//     log.attach(engine, QStringLiteral(QT_TRANSLATE_NOOP("krv::TrafficLog", "控制参数")));
//
// The name is a fixed text: exports write it as given, the screen shows its
// translation in the "krv::TrafficLog" context. An engine destroyed before the
// log is detached by itself.

#include "link/transactionengine.h"
#include "ui/monitor/trafficdecode.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;

namespace krv {

// Which rows the monitor shows (and exports).
struct TrafficFilter
{
    enum class Direction { All, Sent, Received };
    // The monitor's filter list in this order (its index is kept in the
    // settings: new entries go last).
    enum class Check { All, Good, CheckFailed, TimedOut, Foreign, Exception, AnyFault, Late };
    Direction direction = Direction::All;
    Check check = Check::All;

    bool accepts(const TrafficRow &row) const;
};

class TrafficLog : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column {
        Time,
        Window,
        Direction,
        Framing,
        Station,
        Function,
        Decoding,
        Check,
        Elapsed,
        Bytes,
        ColumnCount
    };
    static constexpr int DefaultRowLimit = 10000;
    static constexpr int MaxRowLimit = 500000;
    // The window name the main window's engine is attached under.
    static const char *const MainWindowName;

    explicit TrafficLog(QObject *parent = nullptr);
    ~TrafficLog() override;

    // Records the frames of `engine` under `windowName` (see above) whenever
    // the log listens. Attaching an engine again only renames it.
    void attach(TransactionEngine &engine, const QString &windowName);
    void detach(TransactionEngine &engine);
    int attachedCount() const { return static_cast<int>(m_attached.size()); }

    // Connected to the attached engines' traffic only while on.
    void setListening(bool on);
    bool listening() const { return m_listening; }

    // At most this many rows; the oldest go first.
    void setRowLimit(int rows);
    int rowLimit() const { return m_rowLimit; }
    void clear();

    // New frames wait here and reach the table in batches, two seconds apart
    // (a view repaints once per batch, not once per frame); flush() inserts
    // them now. Exports and setListening(false) flush first.
    void flush();
    int pendingCount() const { return static_cast<int>(m_pending.size()); }

    const TrafficRow &row(int i) const { return m_rows[static_cast<std::size_t>(i)]; }
    // The text of one cell in the words of the screen or of a file.
    static QString cellText(const TrafficRow &row, int column, Wording w);
    // The column captions in the words of the screen or of a file.
    static QString columnTitle(int column, Wording w);

    // Exports the rows the filter accepts (pending ones included): CSV in
    // UTF-8 with a byte order mark (so that spreadsheet programs take it as
    // UTF-8), a header line and CR LF line ends; plain text as aligned columns
    // in UTF-8 with CR LF. Returns false when the device refused the bytes.
    bool writeCsv(QIODevice &out, const TrafficFilter &filter = {});
    bool writeText(QIODevice &out, const TrafficFilter &filter = {});

    // Source of the time of day a row gets (tests fix it).
    void setClock(std::function<QTime()> now) { m_now = std::move(now); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Attachment
    {
        QPointer<TransactionEngine> engine;
        QString name;
        QByteArray request; // body of the request this engine sent last
        QMetaObject::Connection traffic;
        QMetaObject::Connection destroyed;
    };

    void connectTraffic(Attachment &a);
    void record(Attachment &a, const TrafficEvent &event);
    void remove(std::vector<std::unique_ptr<Attachment>>::iterator it);
    // Drops the oldest rows beyond the limit, pending ones included.
    void trim();
    std::vector<const TrafficRow *> accepted(const TrafficFilter &filter);

    std::vector<std::unique_ptr<Attachment>> m_attached;
    std::deque<TrafficRow> m_rows;
    std::vector<TrafficRow> m_pending;
    QTimer m_batch;
    int m_rowLimit = DefaultRowLimit;
    bool m_listening = false;
    std::function<QTime()> m_now = [] { return QTime::currentTime(); };
};

} // namespace krv
