#pragma once
// The control editor's form: the grid of nine rows by nine channels with its
// row labels and column headings, the read and write buttons under each
// column, the status boxes and the three buttons, each with its designer name
// as objectName and placed at its twips position. No behaviour: ControlSet
// connects the handlers.
//
// The box rows are arrays named element by element with the channel appended
// (StartStep0..StartStep8, InSel0.., Phase0.., SamTime0.., SetVal0..,
// SerD00.., SerD10.., SerD20.., CtrlArea0..); the column headings are
// ChnlName0..ChnlName8, the row labels RowName0..RowName8. The buttons keep
// their designer names: Read0, Read1, read2..read7, Read8 and Write0,
// write1..write7, Write8.

#include "link/controlblocks.h"
#include "ui/editorwindow.h"

#include <QCoreApplication>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace krv {

class ControlSetUi
{
    Q_DECLARE_TR_FUNCTIONS(krv::ControlSet)
public:
    void setupUi(QWidget *window);

    // The row label's caption ("启动顺序", ...).
    static QString rowCaption(ControlRow row);

    std::array<std::array<QLineEdit *, ControlChannels>, ControlRows> boxes{}; // [row][channel]
    std::array<QLabel *, ControlRows> RowName{};
    std::array<QLabel *, ControlChannels> ChnlName{};
    std::array<QPushButton *, ControlChannels> readButtons{};
    std::array<QPushButton *, ControlChannels> writeButtons{};

    EditorFrame frame; // status boxes, SaveCmd, LoadCmd, Command1
};

} // namespace krv
