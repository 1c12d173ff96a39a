#include "lamp.h"

#include <QPainter>

namespace krv {

Lamp::Lamp(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Lamp::setColor(const QColor &c)
{
    if (c == m_color)
        return;
    m_color = c;
    update();
}

QSize Lamp::sizeHint() const
{
    // Follows the font, so the lamps grow with the text on a scaled screen.
    const int d = fontMetrics().height();
    return {d, d};
}

void Lamp::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().color(QPalette::Dark), 1));
    p.setBrush(m_color);
    const qreal d = qMin(width(), height()) - 2;
    p.drawEllipse(QRectF((width() - d) / 2, (height() - d) / 2, d, d));
}

} // namespace krv
