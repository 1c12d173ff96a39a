// Text box panels drawn from the cache must be the panels the wrapped style
// draws: for every size, state, palette and frame setting, and after other
// panels were cached (a key that leaves something out shows a wrong panel).
#include "ui/panelcachestyle.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace krv;

namespace {

QImage render(QStyle *style, const QStyleOptionFrame &option, qreal dpr)
{
    QImage image((QSizeF(option.rect.size() + QSize(8, 8)) * dpr).toSize(),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(QColor(236, 236, 236)); // the window behind the box
    QPainter p(&image);
    style->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &p);
    return image;
}

// Largest difference of any colour channel between two images of one size.
int maxDifference(const QImage &a, const QImage &b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q)),
                              qAbs(qBlue(p) - qBlue(q)), qAbs(qAlpha(p) - qAlpha(q))});
        }
    }
    return worst;
}

} // namespace

class TestPanelCacheStyle : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void samePixelsAsTheWrappedStyle()
    {
        std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("Fusion")));
        PanelCacheStyle cached(QStringLiteral("Fusion"));
        QVERIFY(plain && cached.caching());

        QPalette yellow = plain->standardPalette();
        yellow.setColor(QPalette::Base, QColor(255, 255, 0));
        const QList<QPalette> palettes = {plain->standardPalette(), yellow};
        const QList<QStyle::State> states = {QStyle::State_Enabled, QStyle::State_None,
                                             QStyle::State_Enabled | QStyle::State_HasFocus,
                                             QStyle::State_Enabled | QStyle::State_ReadOnly};
        int cases = 0;
        // Twice over: the second round draws every panel from the cache.
        for (int round = 0; round < 2; ++round) {
            for (const QSize size : {QSize(120, 22), QSize(121, 22), QSize(40, 30)}) {
                for (const QPalette &palette : palettes) {
                    for (const QStyle::State state : states) {
                        for (const int lineWidth : {0, 1}) {
                            for (const qreal dpr : {1.0, 1.5, 2.0}) {
                                QStyleOptionFrame o;
                                o.rect = QRect(QPoint(3, 5), size);
                                o.palette = palette;
                                o.state = state;
                                o.lineWidth = lineWidth;
                                const int diff = maxDifference(render(plain.get(), o, dpr),
                                                               render(&cached, o, dpr));
                                QVERIFY2(diff <= 1,
                                         qPrintable(QStringLiteral("%1x%2 state %3 line %4 "
                                                                   "dpr %5: %6")
                                                        .arg(size.width())
                                                        .arg(size.height())
                                                        .arg(int(state))
                                                        .arg(lineWidth)
                                                        .arg(dpr)
                                                        .arg(diff)));
                                ++cases;
                            }
                        }
                    }
                }
            }
        }
        QCOMPARE(cases, 2 * 3 * 2 * 4 * 2 * 3);
    }

    void otherElementsPassThrough()
    {
        std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("Fusion")));
        PanelCacheStyle cached(QStringLiteral("Fusion"));
        QStyleOptionFrame o;
        o.rect = QRect(0, 0, 60, 20);
        o.palette = plain->standardPalette();
        o.state = QStyle::State_Enabled;
        const auto draw = [&o](QStyle *style) {
            QImage image(70, 30, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            QPainter p(&image);
            style->drawPrimitive(QStyle::PE_FrameGroupBox, &o, &p);
            return image;
        };
        QCOMPARE(draw(&cached), draw(plain.get()));
    }
};

QTEST_MAIN(TestPanelCacheStyle)
#include "tst_panelcachestyle.moc"
