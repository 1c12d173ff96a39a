#include "trendchart.h"

#include "ui/controls.h"
#include "ui/monitor/exportfile.h"
#include "ui/monitor/trendstore.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

namespace krv {

namespace {

const QString Group = QStringLiteral("TrendChart");

// One colour per channel, told apart on screen and in print.
const std::array<QColor, 8> ChannelColors = {QColor(0x1f, 0x77, 0xb4), QColor(0xff, 0x7f, 0x0e),
                                             QColor(0x2c, 0xa0, 0x2c), QColor(0xd6, 0x27, 0x28),
                                             QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                                             QColor(0xe3, 0x77, 0xc2), QColor(0x17, 0xbe, 0xcf)};

QPixmap swatch(const QColor &color, int size)
{
    QPixmap p(size, size);
    p.fill(color);
    return p;
}

} // namespace

TrendChart::TrendChart(const TrendStore &store, Asker &asker, QWidget *parent)
    : QWidget(parent, Qt::Window), m_store(store), m_asker(asker)
{
    buildUi();
    restoreSettings();
}

TrendChart::~TrendChart() = default;

void TrendChart::buildUi()
{
    setObjectName(QStringLiteral("TrendChart"));
    setWindowTitle(tr("趋势图"));

    auto *channels = new QHBoxLayout;
    channels->addWidget(makeLabel(QStringLiteral("ChannelsLabel"), tr("通道")));
    const int swatchSize = fontMetrics().height() - 4;
    for (int c = 0; c < 8; ++c) {
        auto *box = new QCheckBox(QString::number(c));
        box->setObjectName(QStringLiteral("Channel%1").arg(c));
        box->setIcon(swatch(ChannelColors[static_cast<std::size_t>(c)], swatchSize));
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, [this, c](bool on) {
            m_series[static_cast<std::size_t>(c)]->setVisible(on);
            m_dirty = true;
            redraw();
        });
        m_channel[static_cast<std::size_t>(c)] = box;
        channels->addWidget(box);
    }
    channels->addSpacing(12);
    channels->addWidget(makeLabel(QStringLiteral("WindowLabel"), tr("时间范围")));
    m_window = new QComboBox;
    m_window->setObjectName(QStringLiteral("TimeWindow"));
    for (int minutes : WindowMinutes)
        m_window->addItem(tr("%1 分钟").arg(minutes), minutes);
    m_window->setCurrentIndex(1);
    channels->addWidget(m_window);
    channels->addSpacing(12);
    m_pause = makeButton(QStringLiteral("Pause"), tr("暂停"));
    m_pause->setCheckable(true);
    channels->addWidget(m_pause);
    channels->addStretch(1);
    m_exportCsv = makeButton(QStringLiteral("ExportCsv"), tr("导出CSV…"));
    m_exportPng = makeButton(QStringLiteral("ExportPng"), tr("导出图片…"));
    channels->addWidget(m_exportCsv);
    channels->addWidget(m_exportPng);

    m_chart = new QChart;
    m_chart->setAnimationOptions(QChart::NoAnimation);
    m_chart->legend()->hide(); // the check boxes carry the colours
    m_chart->setMargins(QMargins(4, 4, 8, 4));
    m_timeAxis = new QDateTimeAxis;
    m_timeAxis->setFormat(QStringLiteral("hh:mm:ss"));
    m_timeAxis->setTickCount(7);
    m_timeAxis->setTitleText(tr("时间"));
    m_valueAxis = new QValueAxis;
    m_valueAxis->setLabelFormat(QStringLiteral("%d"));
    m_valueAxis->setTitleText(tr("测量值（原始值）"));
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_chart->addAxis(m_valueAxis, Qt::AlignLeft);
    for (int c = 0; c < 8; ++c) {
        auto *series = new QLineSeries;
        series->setName(tr("通道%1").arg(c));
        QPen pen(ChannelColors[static_cast<std::size_t>(c)]);
        pen.setWidthF(1.0);
        series->setPen(pen);
        m_chart->addSeries(series);
        series->attachAxis(m_timeAxis);
        series->attachAxis(m_valueAxis);
        m_series[static_cast<std::size_t>(c)] = series;
    }
    m_view = new QChartView(m_chart);
    m_view->setObjectName(QStringLiteral("ChartView"));
    // Antialiasing costs most of a redraw; lines of one pixel read well enough.
    m_view->setRenderHint(QPainter::Antialiasing, false);

    m_info = makeLabel(QStringLiteral("Info"), QString());

    auto *top = new QVBoxLayout(this);
    top->addLayout(channels);
    top->addWidget(m_view, 1);
    top->addWidget(m_info);
    resize(900, 520);

    m_redraw = new QTimer(this);
    m_redraw->setObjectName(QStringLiteral("RedrawTimer"));
    m_redraw->setSingleShot(true);
    connect(m_redraw, &QTimer::timeout, this, &TrendChart::redraw);

    connect(m_window, &QComboBox::currentIndexChanged, this, [this] {
        m_dirty = true;
        redraw();
    });
    connect(m_pause, &QPushButton::toggled, this, &TrendChart::setPaused);
    connect(m_exportCsv, &QPushButton::clicked, this, &TrendChart::exportCsv);
    connect(m_exportPng, &QPushButton::clicked, this, &TrendChart::exportPng);
}

void TrendChart::restoreSettings()
{
    QSettings settings;
    settings.beginGroup(Group);
    restoreGeometry(settings.value(QStringLiteral("geometry")).toByteArray());
    const int minutes = settings.value(QStringLiteral("minutes"), 5).toInt();
    const int index = m_window->findData(minutes);
    m_window->setCurrentIndex(index >= 0 ? index : 1);
    const int mask = settings.value(QStringLiteral("channels"), 0xFF).toInt();
    for (int c = 0; c < 8; ++c)
        m_channel[static_cast<std::size_t>(c)]->setChecked(mask & (1 << c));
}

void TrendChart::saveSettings() const
{
    QSettings settings;
    settings.beginGroup(Group);
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("minutes"), m_window->currentData().toInt());
    settings.setValue(QStringLiteral("channels"), int(channelMask()));
}

qint64 TrendChart::windowMs() const
{
    return qint64(qMax(1, m_window->currentData().toInt())) * 60 * 1000;
}

int TrendChart::redrawInterval() const
{
    return RedrawMs[static_cast<std::size_t>(qBound(0, m_window->currentIndex(), 3))];
}

qint64 TrendChart::shownTo() const
{
    if (m_paused)
        return m_pausedAt;
    // The chart ends at the newest sample, so that it stands still (and costs
    // nothing) while nothing comes in.
    return m_store.isEmpty() ? QDateTime::currentMSecsSinceEpoch() : m_store.newest();
}

quint8 TrendChart::channelMask() const
{
    quint8 mask = 0;
    for (int c = 0; c < 8; ++c) {
        if (m_channel[static_cast<std::size_t>(c)]->isChecked())
            mask |= static_cast<quint8>(1u << c);
    }
    return mask;
}

void TrendChart::samplesAdded()
{
    if (m_paused)
        return;
    m_dirty = true;
    if (isVisible() && !m_redraw->isActive())
        m_redraw->start(redrawInterval());
}

void TrendChart::redraw()
{
    m_redraw->stop();
    if (!m_dirty || !isVisible())
        return;
    m_dirty = false;
    const qint64 to = shownTo();
    const qint64 from = to - windowMs();
    // A slice of eight pixels keeps its first, lowest, highest and last value:
    // the shape of a line and its peaks survive, and there are few points to
    // lay out.
    const int maxPoints = qMax(64, static_cast<int>(m_chart->plotArea().width()) / 2);
    const quint8 mask = channelMask();
    for (int c = 0; c < 8; ++c) {
        QLineSeries *series = m_series[static_cast<std::size_t>(c)];
        if (mask & (1u << c))
            series->replace(m_store.points(c, from, to, maxPoints));
        else if (series->count() > 0)
            series->clear();
    }
    m_timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(from), QDateTime::fromMSecsSinceEpoch(to));
    const auto range = m_store.valueRange(from, to, mask);
    qreal low = range ? range->first : 0;
    qreal high = range ? range->second : 100;
    const qreal pad = qMax<qreal>(1, (high - low) * 0.05);
    m_valueAxis->setRange(low - pad, high + pad);
    m_valueAxis->applyNiceNumbers();

    QString info = range ? tr("%1 个采样").arg(m_store.size()) : tr("尚无测量值");
    if (m_paused)
        info += tr("（已暂停）");
    m_info->setText(info);
}

void TrendChart::setPaused(bool paused)
{
    if (m_pause->isChecked() != paused)
        m_pause->setChecked(paused); // comes back here through toggled
    if (m_paused == paused)
        return;
    m_paused = paused;
    m_pausedAt = m_store.isEmpty() ? QDateTime::currentMSecsSinceEpoch() : m_store.newest();
    m_pause->setText(paused ? tr("继续") : tr("暂停"));
    m_dirty = true;
    redraw();
}

void TrendChart::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_dirty = true;
    // After the layout has given the plot its size.
    QTimer::singleShot(0, this, &TrendChart::redraw);
}

void TrendChart::hideEvent(QHideEvent *event)
{
    m_redraw->stop();
    saveSettings();
    QWidget::hideEvent(event);
}

void TrendChart::exportCsv()
{
    const qint64 to = shownTo();
    const qint64 from = to - windowMs();
    const quint8 mask = channelMask();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    exportToFile(this, m_asker,
                 {tr("导出CSV"), QStringLiteral("trend-%1.csv").arg(stamp), tr("CSV 文件 (*.csv)")},
                 [&](QIODevice &out) { return m_store.writeCsv(out, from, to, mask); });
}

void TrendChart::exportPng()
{
    m_dirty = true;
    redraw();
    const QPixmap picture = m_view->grab();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    exportToFile(
        this, m_asker,
        {tr("导出图片"), QStringLiteral("trend-%1.png").arg(stamp), tr("PNG 图片 (*.png)")},
        [&](QIODevice &out) { return picture.save(&out, "PNG"); });
}

} // namespace krv
