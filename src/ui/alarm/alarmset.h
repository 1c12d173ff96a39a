#pragma once
// "报警参数设置": the alarm blocks of channels 0..7 (upper and lower limit,
// relative alarm, pre-alarm control) and the module control block 8, read when
// the window opens and read or written per block; any single holding register
// or switch read or written by address; the fields saved to and restored from
// .ALM files. What the buttons do beyond reading and writing the controls is in
// link/alarmblocks.

#include "link/alarmblocks.h"
#include "ui/alarm/alarmsetui.h"
#include "ui/editorwindow.h"

#include <array>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace krv {

class AlarmSet : public EditorWindow
{
    Q_OBJECT
public:
    AlarmSet(EditorLink &link, SharedState &state, Asker &asker, QWidget *parent = nullptr);

    // "读  取" and "写  入" of block 0..8 (Read0_Click .. Write8_Click).
    void Read_Click(int block);
    void Write_Click(int block);
    void GetRegister_Click();
    void PutRegister_Click();
    void Command2_Click(); // "读开关量"
    void Command3_Click(); // "写开关量"
    void SaveCmd_Click() override;

    AlarmBlocks &blocks() { return m_blocks; }

protected:
    std::optional<QList<QByteArray>> fileLines() override;
    int fileValueCount() const override { return 37; }
    std::optional<QString> applyFileValues(const QStringList &values) override;

private:
    AlarmChannelTexts channelTexts(int c) const;
    ModuleControlFields controlFields() const;
    void DisplayPara(int c);
    void DisplayPara8();
    // Tells the user which field keeps a request from being sent.
    void refuse(const FieldRefusal &refusal);
    QString fieldName(AlarmField field, int channel) const;
    // A box's number as an address (0..32767) or a register value; nothing
    // after telling the user why not.
    std::optional<qint32> boxNumber(QLineEdit *box, AlarmField field, qint32 lo, qint32 hi);

    AlarmSetUi ui;
    AlarmBlocks m_blocks;
};

} // namespace krv
