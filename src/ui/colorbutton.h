#pragma once
// A push button with a back colour of its own, as the switch outputs show
// their state (yellow on, grey off). The style draws it with a palette made
// once per colour and kept: a palette set on the widget anew for each change
// would be a palette the style has never seen, and styles that cache their
// pictures by palette (Fusion does) would keep one more picture every time.

#include <QColor>
#include <QHash>
#include <QPalette>
#include <QPushButton>

namespace krv {

class ColorButton : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;

    // An invalid colour draws the button as the style would.
    void setBackColor(const QColor &color);
    QColor backColor() const { return m_color; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QColor m_color;
    QHash<QRgb, QPalette> m_palettes; // by colour, made from the widget's palette
};

} // namespace krv
