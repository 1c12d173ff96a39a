#pragma once
// The controls every window builds the same way: named labels, text boxes,
// buttons and framed groups, drop-downs that show their design-time text until
// something is picked, coloured buttons, and placement in twips (the unit the
// window layouts are given in: 15 twips = 1 pixel at 96 dpi).

#include <QString>
#include <QStringList>

#include <optional>

class QColor;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace krv {

QLabel *makeLabel(const QString &name, const QString &text, QWidget *parent = nullptr);
QLineEdit *makeTextBox(const QString &name, const QString &text, QWidget *parent = nullptr);
QPushButton *makeButton(const QString &name, const QString &text, QWidget *parent = nullptr);
QGroupBox *makeFrame(const QString &name, const QString &caption, QWidget *parent = nullptr);

// An editable drop-down whose edit field shows `designText` until an item is
// picked (or selected by the program).
QComboBox *makeComboBox(const QString &name, const QString &designText, QWidget *parent = nullptr);
// Makes a drop-down of a class of its own (made by the caller) such a
// drop-down; returns it.
QComboBox *setUpComboBox(QComboBox *box, const QString &name, const QString &designText);
// Adds items only, never clears. A list nothing was picked from keeps showing
// the text it showed (Qt would otherwise select the first item added).
void addItems(QComboBox *box, const QStringList &items);
// Shows a list item's text without selecting it; a code beyond the list shows
// nothing.
void showItemText(QComboBox *box, int index);
// Selects a list position; -1 (or a position beyond the list) clears the
// selection and the shown text.
void selectItem(QComboBox *box, int index);
// What an editable drop-down holds: the position of the item its edit field
// names (the picked item, or the item whose text was typed over the pick);
// -1 when nothing was picked (the field shows its design-time text, an item's
// text shown by showItemText, or nothing); nothing when the field holds typed
// text that is none of the items.
std::optional<int> listChoice(const QComboBox *box);

// A button whose back colour can be set (see ColorButton).
QPushButton *makeColorButton(const QString &name, const QString &text, QWidget *parent = nullptr);
// The back colour of a button made by makeColorButton.
void setBackColor(QPushButton *button, const QColor &color);
QColor backColor(const QPushButton *button);
// Shows a text in a text box unless it shows it already: setText repaints the
// box (and moves its cursor) even for the same text, and the boxes fed by
// replies mostly get the text they have.
void showText(QLineEdit *box, const QString &text);

// Twips to device-independent pixels (15 twips = 1 px at 96 dpi).
constexpr int twips(int t)
{
    return (t + 7) / 15;
}
// Places a child at a twips position and size.
void placeTwips(QWidget *w, int x, int y, int width, int height);
// Places a child at a twips position, keeping its own height.
void placeTwips(QWidget *w, int x, int y, int width);

} // namespace krv
