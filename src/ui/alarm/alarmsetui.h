#pragma once
// The alarm editor's form: the channel grid (rows InSel, SetVal, SamTime,
// PreAlmCon, each with the channel appended: InSel0..InSel7), the read and
// write buttons (Read0, Read1, read2..read7, Read8; Write0, write1..write7,
// Write8), the frames "单寄存器读写" (text5, Text6, GetRegister, PutRegister),
// "开入和开出读写" (Text7, Text8, Command2, Command3) and "控制参数" (PReqOut,
// COMMCtrl, ChnlSelect, StartCon, ModAddr and their explanations), the status
// boxes and the three buttons, each at its twips place. No behaviour: AlarmSet
// connects the handlers.

#include "link/alarmblocks.h"
#include "ui/editorwindow.h"

#include <QCoreApplication>

#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace krv {

class AlarmSetUi
{
    Q_DECLARE_TR_FUNCTIONS(krv::AlarmSet)
public:
    void setupUi(QWidget *window);
    // The channel rows, top to bottom.
    enum Row { UpperRow, LowerRow, RelativeRow, PreAlarmRow };
    // The caption of a channel row.
    static QString rowCaption(int row);

    std::array<QLineEdit *, 8> InSel{};     // upper limit
    std::array<QLineEdit *, 8> SetVal{};    // lower limit
    std::array<QLineEdit *, 8> SamTime{};   // relative alarm
    std::array<QLineEdit *, 8> PreAlmCon{}; // pre-alarm control
    std::array<QPushButton *, 9> Read{};
    std::array<QPushButton *, 9> Write{};

    QComboBox *PReqOut = nullptr;
    QLineEdit *COMMCtrl = nullptr;
    QLineEdit *ChnlSelect = nullptr;
    QComboBox *StartCon = nullptr;
    QComboBox *ModAddr = nullptr;

    QLineEdit *text5 = nullptr; // register address
    QLineEdit *Text6 = nullptr; // register content
    QLineEdit *Text7 = nullptr; // switch address
    QLineEdit *Text8 = nullptr; // switch state

    EditorFrame frame; // status boxes, SaveCmd, LoadCmd, Command1

private:
    void buildGrid(QWidget *window);
    void buildRegisterFrames(QWidget *window);
    void buildControlFrame(QWidget *window);
    void makeBlockButtons(int block, QWidget *parent);
};

} // namespace krv
