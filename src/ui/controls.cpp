#include "controls.h"

#include "ui/colorbutton.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace krv {

namespace {
const char *DesignText = "krvDesignText";

template <class W> W *named(W *w, const QString &name)
{
    w->setObjectName(name);
    return w;
}
} // namespace

QLabel *makeLabel(const QString &name, const QString &text, QWidget *parent)
{
    return named(new QLabel(text, parent), name);
}

QLineEdit *makeTextBox(const QString &name, const QString &text, QWidget *parent)
{
    return named(new QLineEdit(text, parent), name);
}

QPushButton *makeButton(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = named(new QPushButton(text, parent), name);
    b->setAutoDefault(false);
    return b;
}

QGroupBox *makeFrame(const QString &name, const QString &caption, QWidget *parent)
{
    return named(new QGroupBox(caption, parent), name);
}

QComboBox *makeComboBox(const QString &name, const QString &designText, QWidget *parent)
{
    return setUpComboBox(new QComboBox(parent), name, designText);
}

QComboBox *setUpComboBox(QComboBox *box, const QString &name, const QString &designText)
{
    auto *c = named(box, name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setProperty(DesignText, designText);
    c->setEditText(designText);
    return c;
}

void addItems(QComboBox *box, const QStringList &items)
{
    const bool picked = box->currentIndex() >= 0;
    const QString shown = box->currentText();
    box->addItems(items);
    if (!picked) {
        box->setCurrentIndex(-1);
        box->setEditText(shown);
    }
    int chars = static_cast<int>(box->property(DesignText).toString().size());
    for (int i = 0; i < box->count(); ++i)
        chars = qMax(chars, static_cast<int>(box->itemText(i).size()));
    box->setMinimumContentsLength(chars);
}

void showItemText(QComboBox *box, int index)
{
    box->setCurrentIndex(-1);
    box->setEditText(index >= 0 && index < box->count() ? box->itemText(index) : QString());
}

void selectItem(QComboBox *box, int index)
{
    if (index >= 0 && index < box->count()) {
        box->setCurrentIndex(index);
        return;
    }
    box->setCurrentIndex(-1);
    box->setEditText(QString());
}

std::optional<int> listChoice(const QComboBox *box)
{
    const QString text = box->currentText();
    const int picked = box->currentIndex();
    if (picked >= 0 && box->itemText(picked) == text)
        return picked;
    // Exact text only: the module gets the item the window shows.
    const int named = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (picked < 0) {
        // Shown, not picked: the design-time text, an item's text or nothing.
        if (named >= 0 || text.isEmpty() || text == box->property(DesignText).toString())
            return -1;
        return std::nullopt;
    }
    if (named >= 0)
        return named;
    return std::nullopt;
}

QPushButton *makeColorButton(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = named(new ColorButton(text, parent), name);
    b->setAutoDefault(false);
    return b;
}

void setBackColor(QPushButton *button, const QColor &color)
{
    if (auto *colored = qobject_cast<ColorButton *>(button))
        colored->setBackColor(color);
}

QColor backColor(const QPushButton *button)
{
    const auto *colored = qobject_cast<const ColorButton *>(button);
    return colored ? colored->backColor() : QColor();
}

void showText(QLineEdit *box, const QString &text)
{
    if (box->text() != text)
        box->setText(text);
}

void placeTwips(QWidget *w, int x, int y, int width, int height)
{
    w->setGeometry(twips(x), twips(y), twips(width), twips(height));
}

void placeTwips(QWidget *w, int x, int y, int width)
{
    w->setGeometry(twips(x), twips(y), twips(width), w->sizeHint().height());
}

} // namespace krv
