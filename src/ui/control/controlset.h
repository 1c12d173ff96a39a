#pragma once
// "控制参数设置": the control parameter blocks of channels 0..8, read from the
// module at opening, read and written per channel, saved to and restored from
// .CON files. The window reads and fills its boxes; the blocks, requests and
// replies are ControlBlocks'.

#include "link/controlblocks.h"
#include "ui/control/controlsetui.h"
#include "ui/editorwindow.h"

namespace krv {

class ControlSet : public EditorWindow
{
    Q_OBJECT
public:
    ControlSet(EditorLink &link, SharedState &state, Asker &asker, QWidget *parent = nullptr);

    // Read button of channel N: its block from the module into its boxes.
    void Read_Click(int channel);
    // Write button of channel N: its boxes to the module; a box that cannot
    // be converted is named in a message box and nothing is sent.
    void Write_Click(int channel);
    void SaveCmd_Click() override;

    // Channel N's nine box texts in row order, and filling them.
    ControlTexts GetDisPara(int channel) const;
    void DisplayPara(int channel, const ControlTexts &texts);

    ControlBlocks &blocks() { return m_blocks; }

protected:
    std::optional<QList<QByteArray>> fileLines() override;
    int fileValueCount() const override { return ControlRows * ControlChannels; }
    std::optional<QString> applyFileValues(const QStringList &values) override;

private:
    QString faultText(int channel, const ControlTextFault &fault) const;

    ControlSetUi ui;
    ControlBlocks m_blocks;
};

} // namespace krv
