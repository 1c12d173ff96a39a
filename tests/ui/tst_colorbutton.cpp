// A coloured button is drawn in its colour, and colouring it back gives the
// same picture as before: the palettes it draws with are made once per colour.
#include "ui/colorbutton.h"

#include <QApplication>
#include <QImage>
#include <QStyleFactory>
#include <QtTest>

using namespace krv;

class TestColorButton : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void drawnInItsColour()
    {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        ColorButton button(QStringLiteral("DOut1"));
        button.resize(80, 30);
        const auto picture = [&button] {
            QImage image(button.size(), QImage::Format_ARGB32);
            image.fill(Qt::white);
            button.render(&image);
            return image;
        };
        const QImage plain = picture();
        button.setBackColor(QColor(192, 192, 192));
        const QImage grey = picture();
        button.setBackColor(QColor(255, 255, 0));
        const QImage yellow = picture();
        QVERIFY(yellow != grey);
        int yellowish = 0;
        for (int x = 5; x < 75; ++x) {
            const QColor c = yellow.pixelColor(x, 15);
            yellowish += c.red() > 200 && c.green() > 200 && c.blue() < 150;
        }
        QVERIFY2(yellowish > 30, qPrintable(QString::number(yellowish)));
        for (int i = 0; i < 50; ++i) {
            button.setBackColor(QColor(192, 192, 192));
            button.setBackColor(QColor(255, 255, 0));
        }
        QCOMPARE(picture(), yellow);
        button.setBackColor(QColor(192, 192, 192));
        QCOMPARE(picture(), grey);
        button.setBackColor(QColor());
        QCOMPARE(picture(), plain);
        QCOMPARE(button.backColor(), QColor());
    }
};

QTEST_MAIN(TestColorButton)
#include "tst_colorbutton.moc"
