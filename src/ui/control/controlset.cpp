#include "controlset.h"

#include "text/legacytextfile.h"
#include "ui/asker.h"

#include <QLineEdit>
#include <QPushButton>

namespace krv {

ControlSet::ControlSet(EditorLink &link, SharedState &state, Asker &asker, QWidget *parent)
    : EditorWindow(link, state, asker, 0, parent), m_blocks(state, link)
{
    ui.setupUi(this);
    bindFrame(ui.frame);

    for (int c = 0; c < ControlChannels; ++c) {
        connect(ui.readButtons[c], &QPushButton::clicked, this, [this, c] { Read_Click(c); });
        connect(ui.writeButtons[c], &QPushButton::clicked, this, [this, c] { Write_Click(c); });
    }
    connect(&m_blocks, &ControlBlocks::DisplayPara, this, &ControlSet::DisplayPara);
}

ControlTexts ControlSet::GetDisPara(int channel) const
{
    ControlTexts texts;
    for (int r = 0; r < ControlRows; ++r)
        texts[r] = ui.boxes[r][channel]->text();
    return texts;
}

void ControlSet::DisplayPara(int channel, const ControlTexts &texts)
{
    for (int r = 0; r < ControlRows; ++r)
        ui.boxes[r][channel]->setText(texts[r]);
}

void ControlSet::Read_Click(int channel)
{
    m_blocks.GetControlPara(channel);
}

void ControlSet::Write_Click(int channel)
{
    if (const auto fault = m_blocks.writeChannel(channel, GetDisPara(channel)))
        m_asker.inform(this, programTitle(), faultText(channel, *fault));
}

QString ControlSet::faultText(int channel, const ControlTextFault &fault) const
{
    const QString row = ControlSetUi::rowCaption(fault.row);
    if (fault.kind == ControlTextFault::Kind::NotANumber) {
        const QString text = ui.boxes[int(fault.row)][channel]->text();
        return tr("通道%1的%2“%3”不是数字，没有写入。").arg(channel).arg(row, text);
    }
    if (fault.packed) {
        const QString low = ControlSetUi::rowCaption(ControlRow(int(fault.row) + 1));
        return tr("通道%1的%2×256+%3超出-32768..32767，没有写入。").arg(channel).arg(row, low);
    }
    return tr("通道%1的%2超出-32768..32767，没有写入。").arg(channel).arg(row);
}

void ControlSet::SaveCmd_Click()
{
    saveParameters(tr("存储文件名：(如果文件名没有扩展名，则自动加扩展名.CON)"),
                   QStringLiteral(".CON"));
}

std::optional<QList<QByteArray>> ControlSet::fileLines()
{
    // One line per channel, the boxes in row order. A text that reading
    // would split (empty, a blank, a comma) is quoted; one that no field can
    // hold (a double quote, a line break) is refused.
    QList<QByteArray> lines;
    for (int c = 0; c < ControlChannels; ++c) {
        QStringList fields;
        for (int r = 0; r < ControlRows; ++r) {
            const auto field = textField(ui.boxes[r][c]->text());
            if (!field) {
                m_asker.inform(this, programTitle(),
                               tr("通道%1的%2含有双引号或换行，无法保存。")
                                   .arg(c)
                                   .arg(ControlSetUi::rowCaption(ControlRow(r))));
                return std::nullopt;
            }
            fields << *field;
        }
        lines << fieldLine(fields);
    }
    return lines;
}

std::optional<QString> ControlSet::applyFileValues(const QStringList &values)
{
    // Channel by channel, the nine fields in row order; only the boxes change.
    for (int c = 0; c < ControlChannels; ++c) {
        ControlTexts texts;
        for (int r = 0; r < ControlRows; ++r)
            texts[r] = values.value(c * ControlRows + r);
        DisplayPara(c, texts);
    }
    return std::nullopt;
}

} // namespace krv
