#pragma once
// A lamp: a small filled circle in one colour, as the alarm and switch input
// frames show them.

#include <QColor>
#include <QWidget>

namespace krv {

class Lamp : public QWidget
{
    Q_OBJECT
public:
    explicit Lamp(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor &c);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color = QColor(0, 255, 0);
};

} // namespace krv
