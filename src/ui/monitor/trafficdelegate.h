#pragma once
// Paints the cells of the traffic table from texts laid out once: the view is
// repainted whole whenever a batch of rows arrives, and laying out every
// visible text anew each time (as the standard delegate does) would cost
// more than the polling itself. Colour, font and alignment come from the
// model's roles; a text too wide for its column ends in "…".

#include <QCache>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace krv {

class TrafficDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    // Texts laid out for a font and a width (the visible cells and then some).
    const QStaticText &laidOut(const QString &text, const QFont &font, int width) const;

    mutable QCache<QString, QStaticText> m_texts{4000};
};

} // namespace krv
