#pragma once
// "控制参数设置": the control parameter blocks of channels 0..8, read from the
// module at opening, read and written per channel, saved to and restored from
// .CON files. The window reads and fills its boxes; the blocks, requests and
// replies are ControlBlocks'.

#include "link/controlblocks.h"
#include "module/parameterfiles.h"
#include "ui/control/controleditorform.h"
#include "ui/editorwindow.h"

namespace krv {

class ControlEditor : public EditorWindow
{
    Q_OBJECT
public:
    ControlEditor(EditorLink &link, const ModuleSlots &moduleSlots, Asker &asker,
                  QWidget *parent = nullptr);

    // Read button of channel c: its block from the module into its boxes.
    void onReadClicked(int channel);
    // Write button of channel c: its boxes to the module; a box that cannot
    // be converted is named in a message box and nothing is sent.
    void onWriteClicked(int channel);
    void onSaveClicked() override;
    ParameterFileType fileType() const override { return ControlParameterFile; }

    // Channel c's nine box texts in row order, and filling them.
    ControlTexts channelTexts(int channel) const;
    void showChannel(int channel, const ControlTexts &texts);

    ControlBlocks &blocks() { return m_blocks; }

protected:
    std::optional<QList<QByteArray>> fileLines() override;
    int fileValueCount() const override { return ControlFileValues; }
    std::optional<QString> applyFileValues(const QStringList &values) override;

private:
    QString refusalText(const InputRefusal &refusal) const;

    ControlEditorForm ui;
    ControlBlocks m_blocks;
};

} // namespace krv
