#pragma once
// The alarm editor's form: the channel grid (rows InSel, SetVal, SamTime,
// PreAlmCon by objectName, each with the channel appended: InSel0..InSel7),
// the block buttons (as readButtonName and writeButtonName say), the frames
// "单寄存器读写", "开入和开出读写" and "控制参数" with their fields and
// explanations, the status boxes and the three buttons, each at its twips
// place. No behaviour: AlarmEditor connects the handlers.

#include "module/alarmrecord.h"
#include "ui/editorwindow.h"

#include <QCoreApplication>

#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace krv {

class AlarmEditorForm
{
    Q_DECLARE_TR_FUNCTIONS(krv::AlarmEditor)
public:
    void setupUi(QWidget *window);
    // The channel rows, top to bottom.
    enum Row { UpperRow, LowerRow, RelativeRow, PreAlarmRow };
    // The caption of a channel row.
    static QString rowCaption(int row);

    std::array<QLineEdit *, ChannelCount> upperLimitBoxes{};
    std::array<QLineEdit *, ChannelCount> lowerLimitBoxes{};
    std::array<QLineEdit *, ChannelCount> relativeAlarmBoxes{};
    std::array<QLineEdit *, ChannelCount> preAlarmBoxes{};
    std::array<QPushButton *, BlockCount> readButtons{};
    std::array<QPushButton *, BlockCount> writeButtons{};

    // Block 8, the module control.
    QComboBox *requestOutputList = nullptr;
    QLineEdit *serialOutputBox = nullptr;
    QLineEdit *measuredChannelsBox = nullptr;
    QComboBox *startModeList = nullptr;
    QComboBox *addressingList = nullptr;

    QLineEdit *registerAddressBox = nullptr;
    QLineEdit *registerValueBox = nullptr;
    QPushButton *readRegisterButton = nullptr;
    QPushButton *writeRegisterButton = nullptr;
    QLineEdit *switchAddressBox = nullptr;
    QLineEdit *switchValueBox = nullptr;
    QPushButton *readSwitchButton = nullptr;
    QPushButton *writeSwitchButton = nullptr;

    EditorFrame frame; // status boxes, save, restore and return buttons

private:
    void buildGrid(QWidget *window);
    void buildRegisterFrames(QWidget *window);
    void buildControlFrame(QWidget *window);
    void makeBlockButtons(int block, QWidget *parent);
};

} // namespace krv
