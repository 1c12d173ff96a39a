#pragma once
// The application's style with the panels of text boxes drawn from a pixmap
// cache. The boxes that show the frames on the line, the status and the
// counters change with every reply, and a text box repaints its whole panel
// for a new text; some styles (Fusion, the one Qt picks without a desktop)
// draw that panel as antialiased rounded outlines, which costs far more than
// the text itself. The panel depends only on the box's size, state, palette,
// frame settings and the screen's pixel ratio, so it is drawn once per such
// combination by the wrapped style and copied after that: the same pixels,
// a fraction of the work.
//
// A panel's rounded corners let the window behind show through, so every new
// text in a box would repaint the window (and any group box) under it too.
// The boxes stand on the plain window colour, so the cached panel is drawn
// on that colour and the boxes are marked opaque: a new text repaints the box
// alone.

#include <QHash>
#include <QPixmap>
#include <QProxyStyle>

namespace krv {

class PanelCacheStyle : public QProxyStyle
{
    Q_OBJECT
public:
    // Wraps the style with the given key (the application's own, usually).
    explicit PanelCacheStyle(const QString &baseKey);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void polish(QWidget *widget) override;
    void unpolish(QWidget *widget) override;
    using QProxyStyle::polish;
    using QProxyStyle::unpolish;
    // False for a wrapped style whose panels are drawn as it draws them.
    bool caching() const { return m_cache; }

private:
    struct PanelKey
    {
        int width, height, state;
        qint64 palette;
        int direction, lineWidth, midLineWidth, features, dpr;
        QRgb behind;
        friend bool operator==(const PanelKey &, const PanelKey &) = default;
        friend size_t qHash(const PanelKey &k, size_t seed = 0)
        {
            return qHashMulti(seed, k.width, k.height, k.state, k.palette, k.direction, k.lineWidth,
                              k.midLineWidth, k.features, k.dpr, k.behind);
        }
    };
    static constexpr qsizetype MaxPanels = 256;

    bool opaqueBox(const QWidget *widget) const;
    bool m_cache;
    mutable QHash<PanelKey, QPixmap> m_panels;
};

// Makes the application's present style a PanelCacheStyle (once).
void usePanelCacheStyle();

} // namespace krv
