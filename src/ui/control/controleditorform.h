#pragma once
// The control editor's form: the grid of nine rows by nine channels with its
// row labels and column headings, the read and write buttons under each
// column, the status boxes and the three buttons, each with its designer name
// as objectName and placed at its twips position. No behaviour: ControlEditor
// connects the handlers.
//
// The boxes are named by row with the channel appended (StartStep0..StartStep8,
// InSel0.., Phase0.., SamTime0.., SetVal0.., SerD00.., SerD10.., SerD20..,
// CtrlArea0..); the column headings ChnlName0..ChnlName8, the row labels
// RowName0..RowName8; the buttons as readButtonName and writeButtonName say.

#include "module/controlrecord.h"
#include "ui/editorwindow.h"

#include <QCoreApplication>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace krv {

class ControlEditorForm
{
    Q_DECLARE_TR_FUNCTIONS(krv::ControlEditor)
public:
    void setupUi(QWidget *window);

    // The row label's caption ("启动顺序", ...).
    static QString rowCaption(ControlRow row);

    std::array<std::array<QLineEdit *, BlockCount>, ControlRowCount> boxes{}; // [row][channel]
    std::array<QLabel *, ControlRowCount> rowLabels{};
    std::array<QLabel *, BlockCount> channelLabels{};
    std::array<QPushButton *, BlockCount> readButtons{};
    std::array<QPushButton *, BlockCount> writeButtons{};

    EditorFrame frame; // status boxes, save, restore and return buttons
};

} // namespace krv
