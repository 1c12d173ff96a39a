#include "controleditor.h"

#include "module/parameterfiles.h"
#include "text/legacytextfile.h"
#include "ui/asker.h"

#include <QLineEdit>
#include <QPushButton>

namespace krv {

ControlEditor::ControlEditor(EditorLink &link, const ModuleSlots &moduleSlots, Asker &asker,
                             QWidget *parent)
    : EditorWindow(link, asker, parent), m_blocks(moduleSlots, link)
{
    ui.setupUi(this);
    bindFrame(ui.frame);

    for (int c = 0; c < BlockCount; ++c) {
        connect(ui.readButtons[c], &QPushButton::clicked, this, [this, c] { onReadClicked(c); });
        connect(ui.writeButtons[c], &QPushButton::clicked, this, [this, c] { onWriteClicked(c); });
    }
    connect(&m_blocks, &ControlBlocks::channelRead, this, &ControlEditor::showChannel);
}

ControlTexts ControlEditor::channelTexts(int channel) const
{
    ControlTexts texts;
    for (int r = 0; r < ControlRowCount; ++r)
        texts[r] = ui.boxes[r][channel]->text();
    return texts;
}

void ControlEditor::showChannel(int channel, const ControlTexts &texts)
{
    for (int r = 0; r < ControlRowCount; ++r)
        ui.boxes[r][channel]->setText(texts[r]);
}

void ControlEditor::onReadClicked(int channel)
{
    m_blocks.readChannel(channel);
}

void ControlEditor::onWriteClicked(int channel)
{
    if (const auto refused = m_blocks.writeChannel(channel, channelTexts(channel)))
        m_asker.inform(this, programTitle(), refusalText(*refused));
}

QString ControlEditor::refusalText(const InputRefusal &refusal) const
{
    const ControlRow row = ControlRow(refusal.row);
    const QString caption = ControlEditorForm::rowCaption(row);
    const int channel = refusal.channel;
    if (refusal.reason == InputRefusal::Reason::NotANumber) {
        const QString text = ui.boxes[refusal.row][channel]->text();
        return tr("通道%1的%2“%3”不是数字，没有写入。").arg(channel).arg(caption, text);
    }
    if (refusal.field == InputRefusal::Field::ControlPackedBoxes) {
        const QString low = ControlEditorForm::rowCaption(ControlRow(refusal.row + 1));
        return tr("通道%1的%2×256+%3超出-32768..32767，没有写入。").arg(channel).arg(caption, low);
    }
    return tr("通道%1的%2超出-32768..32767，没有写入。").arg(channel).arg(caption);
}

void ControlEditor::onSaveClicked()
{
    saveParameters(tr("存储文件名：(如果文件名没有扩展名，则自动加扩展名.CON)"),
                   QStringLiteral(".CON"));
}

std::optional<QList<QByteArray>> ControlEditor::fileLines()
{
    // The file's layout (module/parameterfiles.h): one line per channel, the
    // boxes in row order. A text that reading would split (empty, a blank, a
    // comma) is quoted; one that no field can hold (a double quote, a line
    // break) or with characters GB2312 lacks is refused.
    ControlFileTexts texts;
    for (int c = 0; c < BlockCount; ++c)
        texts[c] = channelTexts(c);
    QList<QByteArray> lines;
    int index = 0;
    for (const QStringList &row : controlFileRows(texts)) {
        QStringList fields;
        for (const QString &text : row) {
            const FileValuePlace at = controlValuePlace(index++);
            const QString caption = ControlEditorForm::rowCaption(ControlRow(at.field));
            const auto field = textField(text);
            if (!field) {
                m_asker.inform(
                    this, programTitle(),
                    tr("通道%1的%2含有双引号或换行，无法保存。").arg(at.channel).arg(caption));
                return std::nullopt;
            }
            const QStringList outside = charactersOutsideGb2312(text);
            if (!outside.isEmpty()) {
                m_asker.inform(this, programTitle(),
                               tr("通道%1的%2含有GB2312编码中没有的字符%3，无法保存。")
                                   .arg(at.channel)
                                   .arg(caption, characterList(outside)));
                return std::nullopt;
            }
            fields << *field;
        }
        lines << fieldLine(fields);
    }
    return lines;
}

std::optional<QString> ControlEditor::applyFileValues(const QStringList &values)
{
    // Channel by channel, the nine fields in row order; only the boxes change.
    // A value no box could save again (a quoted one holding a double quote or
    // a line break) refuses the whole file.
    for (int i = 0; i < values.size(); ++i) {
        if (!textField(values[i])) {
            const FileValuePlace at = controlValuePlace(i);
            return tr("通道%1的%2含有双引号或换行")
                .arg(at.channel)
                .arg(ControlEditorForm::rowCaption(ControlRow(at.field)));
        }
    }
    const ControlFileTexts texts = controlTextsFromValues(values);
    for (int c = 0; c < BlockCount; ++c)
        showChannel(c, texts[c]);
    return std::nullopt;
}

} // namespace krv
