#include "panelcachestyle.h"

#include <QApplication>
#include <QPainter>
#include <QPixmapCache>
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
    const qreal dpr = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    // A copy is exact only where the panel starts on a whole device pixel; at
    // fractional scales the style draws it (the same as without the cache).
    const QTransform &to = painter->deviceTransform();
    const QPointF at = to.map(QPointF(option->rect.topLeft()));
    if (dpr != std::floor(dpr) || to.type() > QTransform::TxTranslate ||
        at.x() != std::floor(at.x()) || at.y() != std::floor(at.y())) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // Everything the panel is drawn from; the palette's cache key changes with
    // any of its colours.
    const QString key = QStringLiteral("krv-panel-%1-%2x%3-%4-%5-%6-%7-%8-%9-%10")
                            .arg(baseStyle()->name())
                            .arg(option->rect.width())
                            .arg(option->rect.height())
                            .arg(int(option->state))
                            .arg(option->palette.cacheKey())
                            .arg(int(option->direction))
                            .arg(frame->lineWidth)
                            .arg(frame->midLineWidth)
                            .arg(int(frame->features))
                            .arg(dpr);
    QPixmap panel;
    if (!QPixmapCache::find(key, &panel)) {
        panel = QPixmap((QSizeF(option->rect.size()) * dpr).toSize());
        panel.setDevicePixelRatio(dpr);
        panel.fill(Qt::transparent);
        QStyleOptionFrame at = *frame;
        at.rect.moveTo(0, 0);
        QPainter p(&panel);
        QProxyStyle::drawPrimitive(element, &at, &p, widget);
        p.end();
        QPixmapCache::insert(key, panel);
    }
    painter->drawPixmap(option->rect.topLeft(), panel);
}

void usePanelCacheStyle()
{
    if (qobject_cast<PanelCacheStyle *>(QApplication::style()))
        return;
    QApplication::setStyle(new PanelCacheStyle(QApplication::style()->name()));
}

} // namespace krv
