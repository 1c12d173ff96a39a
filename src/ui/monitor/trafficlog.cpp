#include "trafficlog.h"

#include "text/csvwriter.h"

#include <QBrush>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QIODevice>

namespace krv {

const char *const TrafficLog::MainWindowName = QT_TRANSLATE_NOOP("krv::TrafficLog", "主窗口");

namespace {

using Kind = TrafficEvent::Kind;

// A batch of new rows reaches the table at most this often: a view repaints
// (and sends to the display) all its visible rows for each batch, some 3 ms
// of CPU for a window of 1480 x 560 pixels.
constexpr int BatchMs = 2000;

const char *const ColumnTitles[TrafficLog::ColumnCount] = {
    QT_TRANSLATE_NOOP("krv::TrafficLog", "时间"),
    QT_TRANSLATE_NOOP("krv::TrafficLog", "窗口"),
    QT_TRANSLATE_NOOP("krv::TrafficLog", "方向"),
    QT_TRANSLATE_NOOP("krv::TrafficLog", "帧格式"),
    QT_TRANSLATE_NOOP("krv::TrafficLog", "站号"),
    QT_TRANSLATE_NOOP("krv::TrafficLog", "功能码"),
    QT_TRANSLATE_NOOP("krv::TrafficLog", "解析"),
    QT_TRANSLATE_NOOP("krv::TrafficLog", "校验"),
    QT_TRANSLATE_NOOP("krv::TrafficLog", "耗时(ms)"),
    QT_TRANSLATE_NOOP("krv::TrafficLog", "原始数据"),
};

// Columns a text takes in a fixed-width font: East Asian wide characters two.
int displayWidth(const QString &text)
{
    int width = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) ||
                          (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) ||
                          (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
                          (u >= 0xFFE0 && u <= 0xFFE6);
        width += wide ? 2 : 1;
    }
    return width;
}

bool writeAll(QIODevice &out, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return out.write(bytes) == bytes.size();
}

} // namespace

bool TrafficFilter::accepts(const TrafficRow &row) const
{
    if (direction == Direction::Sent && !row.sent())
        return false;
    if (direction == Direction::Received && row.sent())
        return false;
    switch (check) {
    case Check::All:
        return true;
    case Check::Good:
        return row.kind == Kind::Answer;
    case Check::CheckFailed:
        return row.kind == Kind::CheckFailed;
    case Check::TimedOut:
        return row.kind == Kind::TimedOut;
    case Check::Foreign:
        return row.kind == Kind::Foreign;
    case Check::Exception:
        return row.kind == Kind::Exception;
    case Check::AnyFault:
        return !row.sent() && row.kind != Kind::Answer;
    case Check::Late:
        return row.kind == Kind::Late;
    }
    return true;
}

TrafficLog::TrafficLog(QObject *parent) : QAbstractTableModel(parent)
{
    m_batch.setSingleShot(true);
    m_batch.setInterval(BatchMs);
    connect(&m_batch, &QTimer::timeout, this, &TrafficLog::flush);
}

TrafficLog::~TrafficLog()
{
    for (auto &a : m_attached) {
        disconnect(a->traffic);
        disconnect(a->destroyed);
    }
}

void TrafficLog::attach(TransactionEngine &engine, const QString &windowName)
{
    for (auto &a : m_attached) {
        if (a->engine == &engine) {
            a->name = windowName;
            return;
        }
    }
    auto a = std::make_unique<Attachment>();
    a->engine = &engine;
    a->name = windowName;
    TransactionEngine *key = &engine;
    a->destroyed = connect(&engine, &QObject::destroyed, this, [this, key] {
        for (auto it = m_attached.begin(); it != m_attached.end(); ++it) {
            if ((*it)->engine.isNull() || (*it)->engine.data() == key) {
                remove(it);
                return;
            }
        }
    });
    if (m_listening)
        connectTraffic(*a);
    m_attached.push_back(std::move(a));
}

void TrafficLog::detach(TransactionEngine &engine)
{
    for (auto it = m_attached.begin(); it != m_attached.end(); ++it) {
        if ((*it)->engine == &engine) {
            remove(it);
            return;
        }
    }
}

void TrafficLog::remove(std::vector<std::unique_ptr<Attachment>>::iterator it)
{
    disconnect((*it)->traffic);
    disconnect((*it)->destroyed);
    m_attached.erase(it);
}

void TrafficLog::connectTraffic(Attachment &a)
{
    if (a.engine.isNull())
        return;
    Attachment *target = &a;
    a.traffic = connect(a.engine.data(), &TransactionEngine::traffic, this,
                        [this, target](const TrafficEvent &e) { record(*target, e); });
}

void TrafficLog::setListening(bool on)
{
    if (on == m_listening)
        return;
    m_listening = on;
    for (auto &a : m_attached) {
        if (on) {
            connectTraffic(*a);
        } else {
            disconnect(a->traffic);
            // What comes after a gap answers a request the log did not see.
            a->request.clear();
        }
    }
    if (!on)
        flush();
}

void TrafficLog::record(Attachment &a, const TrafficEvent &event)
{
    TrafficRow row;
    row.time = m_now();
    row.window = a.name;
    row.kind = event.kind;
    row.framing = event.framing;
    row.bytes = event.bytes;
    if (event.kind == Kind::Sent)
        a.request = traffic::frameBody(event.bytes, event.framing);
    row.request = a.request;
    row.elapsedMs = event.elapsedMs;
    m_pending.push_back(std::move(row));
    if (m_pending.size() > static_cast<std::size_t>(m_rowLimit))
        m_pending.erase(m_pending.begin());
    if (!m_batch.isActive())
        m_batch.start();
}

void TrafficLog::flush()
{
    m_batch.stop();
    if (m_pending.empty())
        return;
    trim();
    const int first = static_cast<int>(m_rows.size());
    beginInsertRows({}, first, first + static_cast<int>(m_pending.size()) - 1);
    for (TrafficRow &r : m_pending)
        m_rows.push_back(std::move(r));
    m_pending.clear();
    endInsertRows();
}

void TrafficLog::trim()
{
    const std::size_t limit = static_cast<std::size_t>(m_rowLimit);
    if (m_pending.size() > limit)
        m_pending.erase(m_pending.begin(),
                        m_pending.begin() + static_cast<std::ptrdiff_t>(m_pending.size() - limit));
    const std::size_t total = m_rows.size() + m_pending.size();
    if (total <= limit || m_rows.empty())
        return;
    const std::size_t drop = qMin(total - limit, m_rows.size());
    beginRemoveRows({}, 0, static_cast<int>(drop) - 1);
    m_rows.erase(m_rows.begin(), m_rows.begin() + static_cast<std::ptrdiff_t>(drop));
    endRemoveRows();
}

void TrafficLog::setRowLimit(int rows)
{
    m_rowLimit = qBound(1, rows, MaxRowLimit);
    trim();
}

void TrafficLog::clear()
{
    m_batch.stop();
    m_pending.clear();
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

int TrafficLog::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TrafficLog::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString TrafficLog::cellText(const TrafficRow &row, int column, Wording w)
{
    switch (column) {
    case Time:
        return traffic::timeText(row);
    case Window:
        return traffic::windowText(row.window, w);
    case Direction:
        return traffic::directionText(row, w);
    case Framing:
        return traffic::framingText(row);
    case Station:
        return traffic::stationText(row);
    case Function:
        return traffic::functionText(row);
    case Decoding:
        return traffic::decodingText(row, w);
    case Check:
        return traffic::checkText(row, w);
    case Elapsed:
        return traffic::elapsedText(row);
    case Bytes:
        return traffic::bytesText(row);
    default:
        return QString();
    }
}

QString TrafficLog::columnTitle(int column, Wording w)
{
    if (column < 0 || column >= ColumnCount)
        return QString();
    return w == Wording::Screen
               ? QCoreApplication::translate("krv::TrafficLog", ColumnTitles[column])
               : QString::fromUtf8(ColumnTitles[column]);
}

QVariant TrafficLog::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const TrafficRow &r = row(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return cellText(r, index.column(), Wording::Screen);
    case Qt::ToolTipRole:
        if (index.column() == Function) {
            const QByteArray body = traffic::headerBody(r);
            if (body.size() >= 2)
                return traffic::functionName(static_cast<quint8>(body[1]) & 0x7F, Wording::Screen);
        }
        if (index.column() == Decoding || index.column() == Bytes)
            return cellText(r, index.column(), Wording::Screen);
        return {};
    case Qt::ForegroundRole:
        switch (r.kind) {
        case Kind::CheckFailed:
        case Kind::Exception:
        case Kind::Late:
            return QBrush(QColor(200, 0, 0));
        case Kind::TimedOut:
            return QBrush(QColor(200, 110, 0));
        case Kind::Foreign:
            return QBrush(QColor(140, 0, 160));
        case Kind::Sent:
            return QBrush(QColor(0, 0, 160));
        case Kind::Answer:
            return {};
        }
        return {};
    case Qt::FontRole:
        if (index.column() == Bytes || index.column() == Time) {
            static const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
            return fixed;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == Station || index.column() == Elapsed)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (index.column() == Direction || index.column() == Function)
            return QVariant::fromValue(Qt::AlignCenter);
        return {};
    default:
        return {};
    }
}

QVariant TrafficLog::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return columnTitle(section, Wording::Screen);
}

std::vector<const TrafficRow *> TrafficLog::accepted(const TrafficFilter &filter)
{
    flush();
    std::vector<const TrafficRow *> rows;
    rows.reserve(m_rows.size());
    for (const TrafficRow &r : m_rows) {
        if (filter.accepts(r))
            rows.push_back(&r);
    }
    return rows;
}

bool TrafficLog::writeCsv(QIODevice &out, const TrafficFilter &filter)
{
    CsvWriter csv(out);
    QStringList fields;
    for (int c = 0; c < ColumnCount; ++c)
        fields << columnTitle(c, Wording::File);
    if (!csv.writeRow(fields))
        return false;
    for (const TrafficRow *r : accepted(filter)) {
        fields.clear();
        for (int c = 0; c < ColumnCount; ++c)
            fields << cellText(*r, c, Wording::File);
        if (!csv.writeRow(fields))
            return false;
    }
    return true;
}

bool TrafficLog::writeText(QIODevice &out, const TrafficFilter &filter)
{
    const std::vector<const TrafficRow *> rows = accepted(filter);
    std::vector<QStringList> lines;
    lines.reserve(rows.size() + 1);
    QStringList header;
    for (int c = 0; c < ColumnCount; ++c)
        header << columnTitle(c, Wording::File);
    lines.push_back(header);
    for (const TrafficRow *r : rows) {
        QStringList cells;
        for (int c = 0; c < ColumnCount; ++c)
            cells << cellText(*r, c, Wording::File);
        lines.push_back(cells);
    }
    int widths[ColumnCount] = {};
    for (const QStringList &cells : lines) {
        for (int c = 0; c < ColumnCount; ++c)
            widths[c] = qMax(widths[c], displayWidth(cells[c]));
    }
    for (const QStringList &cells : lines) {
        QString line;
        for (int c = 0; c < ColumnCount; ++c) {
            line += cells[c];
            if (c + 1 < ColumnCount)
                line += QString(widths[c] - displayWidth(cells[c]) + 2, u' ');
        }
        // Trailing blanks of empty last cells are noise.
        while (line.endsWith(u' '))
            line.chop(1);
        if (!writeAll(out, line + QStringLiteral("\r\n")))
            return false;
    }
    return true;
}

} // namespace krv
