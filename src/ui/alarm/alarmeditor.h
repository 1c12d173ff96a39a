#pragma once
// "报警参数设置": the alarm blocks of channels 0..7 (upper and lower limit,
// relative alarm, pre-alarm control) and the module control block 8, read when
// the window opens and read or written per block; any single holding register
// or switch read or written by address; the fields saved to and restored from
// .ALM files. What the buttons do beyond reading and writing the controls is in
// link/alarmblocks.

#include "link/alarmblocks.h"
#include "module/parameterfiles.h"
#include "ui/alarm/alarmeditorform.h"
#include "ui/editorwindow.h"

class QLineEdit;

namespace krv {

class AlarmEditor : public EditorWindow
{
    Q_OBJECT
public:
    AlarmEditor(EditorLink &link, SharedState &state, Asker &asker, QWidget *parent = nullptr);

    // "读  取" and "写  入" of block 0..8.
    void onReadClicked(int block);
    void onWriteClicked(int block);
    void onReadRegisterClicked();
    void onWriteRegisterClicked();
    void onReadSwitchClicked();
    void onWriteSwitchClicked();
    void onSaveClicked() override;
    ParameterFileType fileType() const override { return AlarmParameterFile; }

    AlarmBlocks &blocks() { return m_blocks; }

protected:
    std::optional<QList<QByteArray>> fileLines() override;
    int fileValueCount() const override { return AlarmFileValues; }
    std::optional<QString> applyFileValues(const QStringList &values) override;

private:
    AlarmChannelTexts channelTexts(int channel) const;
    ModuleControlFields controlFields() const;
    void showChannel(int channel, const AlarmChannelTexts &texts);
    void showModuleControl(const ModuleControl &control);
    // Tells the user which field keeps a request from being sent.
    void refuse(const InputRefusal &refusal);
    QString fieldName(InputRefusal::Field field, int channel) const;
    // A box's number as an address (a whole number in AlarmRange::Address) or
    // a register value (AlarmRange::RegisterValue, a fraction rounded); nothing
    // after telling the user why not.
    std::optional<qint32> boxAddress(QLineEdit *box, InputRefusal::Field field);
    std::optional<qint32> boxRegisterValue(QLineEdit *box);

    AlarmEditorForm ui;
    AlarmBlocks m_blocks;
};

} // namespace krv
