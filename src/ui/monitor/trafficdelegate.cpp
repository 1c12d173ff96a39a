#include "trafficdelegate.h"

#include <QFontMetrics>
#include <QPainter>

namespace krv {

namespace {

constexpr int Margin = 6; // pixels left and right of a text (there are no grid lines)

} // namespace

const QStaticText &TrafficDelegate::laidOut(const QString &text, const QFont &font, int width) const
{
    // The fonts in use differ in family or size (a fixed-width font for bytes).
    const QString key = QString::number(font.pointSizeF()) + font.family() + QLatin1Char('\x1F') +
                        QString::number(width) + QLatin1Char('\x1F') + text;
    if (QStaticText *cached = m_texts.object(key))
        return *cached;
    // Laid out once; only a text too wide for its column is elided and laid
    // out again.
    auto *laid = new QStaticText(text);
    laid->setTextFormat(Qt::PlainText);
    laid->setPerformanceHint(QStaticText::AggressiveCaching);
    laid->prepare(QTransform(), font);
    if (laid->size().width() > width) {
        laid->setText(QFontMetrics(font).elidedText(text, Qt::ElideRight, width));
        laid->prepare(QTransform(), font);
    }
    m_texts.insert(key, laid);
    return *laid;
}

void TrafficDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    if (selected)
        painter->fillRect(option.rect, option.palette.highlight());
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty())
        return;

    const QVariant fontData = index.data(Qt::FontRole);
    const QFont font = fontData.isValid() ? fontData.value<QFont>() : option.font;
    QColor color = option.palette.color(QPalette::Text);
    if (selected) {
        color = option.palette.color(QPalette::HighlightedText);
    } else if (const QVariant brush = index.data(Qt::ForegroundRole); brush.isValid()) {
        color = brush.value<QBrush>().color();
    }
    const int width = option.rect.width() - 2 * Margin;
    if (width <= 0)
        return;
    const QStaticText &laid = laidOut(text, font, width);

    const auto align = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
    const QSizeF size = laid.size();
    qreal x = option.rect.left() + Margin;
    if (align & Qt::AlignRight)
        x = option.rect.right() - Margin - size.width();
    else if (align & Qt::AlignHCenter)
        x = option.rect.left() + (option.rect.width() - size.width()) / 2;
    const qreal y = option.rect.top() + (option.rect.height() - size.height()) / 2;

    painter->save();
    painter->setFont(font);
    painter->setPen(color);
    painter->setClipRect(option.rect);
    painter->drawStaticText(QPointF(x, y), laid);
    painter->restore();
}

} // namespace krv
