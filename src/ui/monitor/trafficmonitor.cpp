#include "trafficmonitor.h"

#include "ui/controls.h"
#include "ui/monitor/exportfile.h"
#include "ui/monitor/trafficdelegate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace krv {

namespace {

const QString Group = QStringLiteral("TrafficMonitor");

// `window` (without its frame) moved, and shrunk as far as `minimum` allows,
// so that it and a frame of `frame` lie within `available`.
QRect fitted(const QRect &window, const QMargins &frame, const QRect &available,
             const QSize &minimum)
{
    const QRect room = available.marginsRemoved(frame);
    QRect r(window.topLeft(), window.size().boundedTo(room.size()).expandedTo(minimum));
    // Right and bottom first: a window larger than the room (its minimum) keeps
    // its top left corner, and with it the title bar, on the screen.
    if (r.right() > room.right())
        r.moveRight(room.right());
    if (r.bottom() > room.bottom())
        r.moveBottom(room.bottom());
    if (r.left() < room.left())
        r.moveLeft(room.left());
    if (r.top() < room.top())
        r.moveTop(room.top());
    return r;
}

} // namespace

void TrafficFilterProxy::setFilter(const TrafficFilter &filter)
{
    m_filter = filter;
    invalidateRowsFilter();
}

bool TrafficFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    const auto *log = static_cast<const TrafficLog *>(sourceModel());
    return m_filter.accepts(log->row(sourceRow));
}

TrafficMonitor::TrafficMonitor(TrafficLog &log, Asker &asker, QWidget *parent)
    : QWidget(parent, Qt::Window), m_log(log), m_asker(asker)
{
    m_proxy.setSourceModel(&m_log);
    buildUi();
    restoreSettings();
    applyFilter();
    showCounts();
}

TrafficMonitor::~TrafficMonitor()
{
    m_log.setListening(false);
}

void TrafficMonitor::buildUi()
{
    setObjectName(QStringLiteral("TrafficMonitor"));
    setWindowTitle(tr("通讯监视"));

    m_pause = makeButton(QStringLiteral("Pause"), tr("暂停"));
    m_pause->setCheckable(true);
    m_clear = makeButton(QStringLiteral("Clear"), tr("清除"));

    m_direction = new QComboBox;
    m_direction->setObjectName(QStringLiteral("DirectionFilter"));
    m_direction->addItems({tr("全部"), tr("发"), tr("收")});
    m_check = new QComboBox;
    m_check->setObjectName(QStringLiteral("CheckFilter"));
    // In the order of TrafficFilter::Check.
    m_check->addItems({tr("全部"), tr("正常"), tr("校验错误"), tr("超时"), tr("应答与请求不符"),
                       tr("异常响应"), tr("所有差错"), tr("迟到的应答")});

    m_rowLimit = new QSpinBox;
    m_rowLimit->setObjectName(QStringLiteral("RowLimit"));
    m_rowLimit->setRange(100, TrafficLog::MaxRowLimit);
    m_rowLimit->setSingleStep(1000);
    m_rowLimit->setGroupSeparatorShown(false);
    m_rowLimit->setValue(TrafficLog::DefaultRowLimit);

    m_follow = new QCheckBox(tr("自动滚动"));
    m_follow->setObjectName(QStringLiteral("Follow"));
    m_follow->setChecked(true);

    m_exportCsv = makeButton(QStringLiteral("ExportCsv"), tr("导出CSV…"));
    m_exportText = makeButton(QStringLiteral("ExportText"), tr("导出文本…"));

    auto *bar = new QHBoxLayout;
    bar->addWidget(m_pause);
    bar->addWidget(m_clear);
    bar->addSpacing(12);
    bar->addWidget(makeLabel(QStringLiteral("DirectionLabel"), tr("方向")));
    bar->addWidget(m_direction);
    bar->addWidget(makeLabel(QStringLiteral("CheckLabel"), tr("校验")));
    bar->addWidget(m_check);
    bar->addSpacing(12);
    bar->addWidget(makeLabel(QStringLiteral("RowLimitLabel"), tr("最多行数")));
    bar->addWidget(m_rowLimit);
    bar->addWidget(m_follow);
    bar->addStretch(1);
    bar->addWidget(m_exportCsv);
    bar->addWidget(m_exportText);

    m_view = new QTableView;
    m_view->setObjectName(QStringLiteral("TrafficView"));
    m_view->setModel(&m_proxy);
    m_view->setItemDelegate(new TrafficDelegate(m_view));
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setWordWrap(false);
    // Alternate row colours, no grid lines: a quarter less to paint.
    m_view->setAlternatingRowColors(true);
    m_view->setShowGrid(false);
    m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Fixed row heights: no row is measured when rows arrive.
    QHeaderView *rows = m_view->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView *columns = m_view->horizontalHeader();
    columns->setStretchLastSection(true);
    columns->setHighlightSections(false);
    const QFontMetrics fm = fontMetrics();
    const auto widthOf = [&fm](const QString &sample) { return fm.horizontalAdvance(sample) + 18; };
    // Wide enough for the longest texts of each column (and its caption).
    const QFontMetrics fixed(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_view->setColumnWidth(TrafficLog::Time,
                           fixed.horizontalAdvance(QStringLiteral("00:00:00.000")) + 18);
    // Sample rows: a measurement reply (the longest decoding polling shows),
    // a reply of another station and a late one (the longest check texts).
    TrafficRow sample;
    sample.kind = TrafficEvent::Kind::Answer;
    sample.window = QString::fromUtf8(TrafficLog::MainWindowName);
    sample.request = QByteArray::fromHex("010300000008");
    sample.bytes = QByteArray::fromHex("010310") + QByteArray::fromHex("FF38").repeated(8) +
                   QByteArray(2, '\0');
    TrafficRow foreign = sample;
    foreign.kind = TrafficEvent::Kind::Foreign;
    TrafficRow late = sample;
    late.kind = TrafficEvent::Kind::Late;
    const auto sampleWidth = [&](const TrafficRow &row, int column) {
        return widthOf(TrafficLog::cellText(row, column, Wording::Screen));
    };
    m_view->setColumnWidth(TrafficLog::Window, sampleWidth(sample, TrafficLog::Window) + 12);
    m_view->setColumnWidth(TrafficLog::Direction, widthOf(TrafficLog::columnTitle(
                                                      TrafficLog::Direction, Wording::Screen)));
    m_view->setColumnWidth(TrafficLog::Framing, widthOf(QStringLiteral("ASCII")));
    m_view->setColumnWidth(TrafficLog::Station,
                           widthOf(TrafficLog::columnTitle(TrafficLog::Station, Wording::Screen)));
    m_view->setColumnWidth(TrafficLog::Function,
                           widthOf(TrafficLog::columnTitle(TrafficLog::Function, Wording::Screen)));
    m_view->setColumnWidth(TrafficLog::Decoding, sampleWidth(sample, TrafficLog::Decoding));
    m_view->setColumnWidth(TrafficLog::Check, qMax(sampleWidth(foreign, TrafficLog::Check),
                                                   sampleWidth(late, TrafficLog::Check)));
    m_view->setColumnWidth(TrafficLog::Elapsed,
                           widthOf(TrafficLog::columnTitle(TrafficLog::Elapsed, Wording::Screen)));

    m_counts = makeLabel(QStringLiteral("Counts"), QString());

    auto *top = new QVBoxLayout(this);
    top->addLayout(bar);
    top->addWidget(m_view, 1);
    top->addWidget(m_counts);
    resize(FirstSize);

    connect(m_pause, &QPushButton::toggled, this, &TrafficMonitor::setPaused);
    connect(m_clear, &QPushButton::clicked, this, [this] {
        m_log.clear();
        showCounts();
    });
    connect(m_direction, &QComboBox::currentIndexChanged, this, &TrafficMonitor::applyFilter);
    connect(m_check, &QComboBox::currentIndexChanged, this, &TrafficMonitor::applyFilter);
    connect(m_rowLimit, &QSpinBox::valueChanged, this, [this](int rows) {
        m_log.setRowLimit(rows);
        showCounts();
    });
    connect(m_exportCsv, &QPushButton::clicked, this, &TrafficMonitor::exportCsv);
    connect(m_exportText, &QPushButton::clicked, this, &TrafficMonitor::exportText);
    connect(&m_proxy, &QAbstractItemModel::rowsInserted, this, &TrafficMonitor::rowsArrived);
    connect(&m_log, &QAbstractItemModel::rowsRemoved, this, &TrafficMonitor::showCounts);
}

void TrafficMonitor::restoreSettings()
{
    QSettings settings;
    settings.beginGroup(Group);
    const bool restored = restoreGeometry(settings.value(QStringLiteral("geometry")).toByteArray());
    fitToScreen(restored ? Placement::AsItIs : Placement::Centred);
    m_view->horizontalHeader()->restoreState(
        settings.value(QStringLiteral("columns")).toByteArray());
    m_rowLimit->setValue(
        settings.value(QStringLiteral("rowLimit"), TrafficLog::DefaultRowLimit).toInt());
    const int direction = settings.value(QStringLiteral("direction"), 0).toInt();
    m_direction->setCurrentIndex(qBound(0, direction, m_direction->count() - 1));
    const int check = settings.value(QStringLiteral("check"), 0).toInt();
    m_check->setCurrentIndex(qBound(0, check, m_check->count() - 1));
    m_follow->setChecked(settings.value(QStringLiteral("follow"), true).toBool());
    m_log.setRowLimit(m_rowLimit->value());
}

void TrafficMonitor::fitToScreen(Placement placement)
{
    const QScreen *s = screen();
    if (!s)
        return;
    const QRect available = s->availableGeometry();
    // The window is not shown yet and its frame not known: a title bar and
    // thin borders are allowed for.
    const int border = 4;
    const QMargins frame(border, style()->pixelMetric(QStyle::PM_TitleBarHeight) + border, border,
                         border);
    QRect wanted = geometry();
    if (placement == Placement::Centred)
        wanted.moveCenter(available.center());
    const QRect r = fitted(wanted, frame, available, minimumSizeHint());
    if (r != geometry())
        setGeometry(r);
}

void TrafficMonitor::saveSettings() const
{
    QSettings settings;
    settings.beginGroup(Group);
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("columns"), m_view->horizontalHeader()->saveState());
    settings.setValue(QStringLiteral("rowLimit"), m_rowLimit->value());
    settings.setValue(QStringLiteral("direction"), m_direction->currentIndex());
    settings.setValue(QStringLiteral("check"), m_check->currentIndex());
    settings.setValue(QStringLiteral("follow"), m_follow->isChecked());
}

void TrafficMonitor::applyFilter()
{
    TrafficFilter filter;
    filter.direction = static_cast<TrafficFilter::Direction>(qMax(0, m_direction->currentIndex()));
    filter.check = static_cast<TrafficFilter::Check>(qMax(0, m_check->currentIndex()));
    m_proxy.setFilter(filter);
    showCounts();
    if (m_follow->isChecked())
        m_view->scrollToBottom();
}

void TrafficMonitor::rowsArrived()
{
    showCounts();
    if (m_follow->isChecked())
        m_view->scrollToBottom();
}

void TrafficMonitor::showCounts()
{
    QString text = tr("共 %1 行，显示 %2 行").arg(m_log.rowCount()).arg(m_proxy.rowCount());
    if (m_pause->isChecked())
        text += tr("（已暂停）");
    m_counts->setText(text);
}

void TrafficMonitor::setPaused(bool paused)
{
    if (m_pause->isChecked() != paused)
        m_pause->setChecked(paused); // comes back here through toggled
    m_pause->setText(paused ? tr("继续") : tr("暂停"));
    updateListening();
    showCounts();
}

void TrafficMonitor::updateListening()
{
    m_log.setListening(isVisible() && !m_pause->isChecked());
}

void TrafficMonitor::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    updateListening();
}

void TrafficMonitor::hideEvent(QHideEvent *event)
{
    // A closed monitor records nothing: the engines build no traffic events.
    m_log.setListening(false);
    saveSettings();
    QWidget::hideEvent(event);
}

void TrafficMonitor::exportCsv()
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    const TrafficFilter filter = m_proxy.filter();
    exportToFile(
        this, m_asker,
        {tr("导出CSV"), QStringLiteral("traffic-%1.csv").arg(stamp), tr("CSV 文件 (*.csv)")},
        [&](QIODevice &out) { return m_log.writeCsv(out, filter); });
}

void TrafficMonitor::exportText()
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    const TrafficFilter filter = m_proxy.filter();
    exportToFile(
        this, m_asker,
        {tr("导出文本"), QStringLiteral("traffic-%1.txt").arg(stamp), tr("文本文件 (*.txt)")},
        [&](QIODevice &out) { return m_log.writeText(out, filter); });
}

} // namespace krv
