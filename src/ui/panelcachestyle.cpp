#include "panelcachestyle.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOption>

#include <cmath>

namespace krv {

PanelCacheStyle::PanelCacheStyle(const QString &baseKey)
    : QProxyStyle(baseKey),
      // Styles that animate a panel (focus and hover fades) draw it from more
      // than its option says; only those known to draw it from the option
      // alone are cached.
      m_cache(baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0 ||
              baseStyle()->name().compare(QLatin1String("windows"), Qt::CaseInsensitive) == 0)
{}

void PanelCacheStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                    QPainter *painter, const QWidget *widget) const
{
    const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
    if (!m_cache || element != PE_PanelLineEdit || !frame || option->rect.isEmpty()) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const bool opaque = widget && widget->testAttribute(Qt::WA_OpaquePaintEvent);
    const QColor behind = option->palette.color(QPalette::Window);
    const qreal dpr = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    // A copy is exact only where the panel starts on a whole device pixel; at
    // fractional scales the style draws it (the same as without the cache).
    const QTransform &to = painter->deviceTransform();
    const QPointF at = to.map(QPointF(option->rect.topLeft()));
    if (dpr != std::floor(dpr) || to.type() > QTransform::TxTranslate ||
        at.x() != std::floor(at.x()) || at.y() != std::floor(at.y())) {
        if (opaque)
            painter->fillRect(option->rect, behind);
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // Everything the panel is drawn from; the palette's cache key changes with
    // any of its colours. Numbers, not a text: the key is looked up at every
    // paint of every box.
    const PanelKey key{option->rect.width(),       option->rect.height(),  int(option->state),
                       option->palette.cacheKey(), int(option->direction), frame->lineWidth,
                       frame->midLineWidth,        int(frame->features),   int(dpr),
                       opaque ? behind.rgba() : 0u};
    QPixmap &panel = m_panels[key];
    if (panel.isNull()) {
        // Sizes and palettes are few; should they ever pile up, start again.
        if (m_panels.size() > MaxPanels) {
            m_panels.clear();
            drawPrimitive(element, option, painter, widget);
            return;
        }
        panel = QPixmap((QSizeF(option->rect.size()) * dpr).toSize());
        panel.setDevicePixelRatio(dpr);
        panel.fill(opaque ? behind : QColor(Qt::transparent));
        QStyleOptionFrame at = *frame;
        at.rect.moveTo(0, 0);
        QPainter p(&panel);
        QProxyStyle::drawPrimitive(element, &at, &p, widget);
    }
    painter->drawPixmap(option->rect.topLeft(), panel);
}

bool PanelCacheStyle::opaqueBox(const QWidget *widget) const
{
    const auto *box = qobject_cast<const QLineEdit *>(widget);
    return m_cache && box && box->hasFrame() &&
           !qobject_cast<const QComboBox *>(box->parentWidget()) &&
           !qobject_cast<const QAbstractSpinBox *>(box->parentWidget());
}

void PanelCacheStyle::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    // A text box with its own frame, drawn through the cache, covers its
    // whole rectangle (the edit fields of drop-downs and spin boxes draw no
    // panel: their parents do).
    if (opaqueBox(widget))
        widget->setAttribute(Qt::WA_OpaquePaintEvent);
}

void PanelCacheStyle::unpolish(QWidget *widget)
{
    if (opaqueBox(widget))
        widget->setAttribute(Qt::WA_OpaquePaintEvent, false);
    QProxyStyle::unpolish(widget);
}

void usePanelCacheStyle()
{
    if (qobject_cast<PanelCacheStyle *>(QApplication::style()))
        return;
    QApplication::setStyle(new PanelCacheStyle(QApplication::style()->name()));
}

} // namespace krv
