#include "colorbutton.h"

#include <QEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace krv {

void ColorButton::setBackColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void ColorButton::changeEvent(QEvent *event)
{
    // A new palette or style (a theme change) makes new coloured palettes.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        m_palettes.clear();
    QPushButton::changeEvent(event);
}

void ColorButton::paintEvent(QPaintEvent *event)
{
    if (!m_color.isValid()) {
        QPushButton::paintEvent(event);
        return;
    }
    auto it = m_palettes.find(m_color.rgba());
    if (it == m_palettes.end()) {
        QPalette pal = palette();
        pal.setColor(QPalette::Button, m_color);
        it = m_palettes.insert(m_color.rgba(), pal);
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.palette = *it;
    painter.drawControl(QStyle::CE_PushButton, option);
}

} // namespace krv
