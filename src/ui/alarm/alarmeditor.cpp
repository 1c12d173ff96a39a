#include "alarmeditor.h"

#include "text/legacytextfile.h"
#include "text/numbertext.h"
#include "ui/asker.h"
#include "ui/controls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace krv {

using Field = InputRefusal::Field;

AlarmEditor::AlarmEditor(EditorLink &link, SharedState &state, Asker &asker, QWidget *parent)
    : EditorWindow(link, asker, parent), m_blocks(state, link)
{
    ui.setupUi(this);
    bindFrame(ui.frame);
    for (int block = 0; block < AlarmBlock::Count; ++block) {
        connect(ui.readButtons[block], &QPushButton::clicked, this,
                [this, block] { onReadClicked(block); });
        connect(ui.writeButtons[block], &QPushButton::clicked, this,
                [this, block] { onWriteClicked(block); });
    }
    connect(ui.readRegisterButton, &QPushButton::clicked, this,
            &AlarmEditor::onReadRegisterClicked);
    connect(ui.writeRegisterButton, &QPushButton::clicked, this,
            &AlarmEditor::onWriteRegisterClicked);
    connect(ui.readSwitchButton, &QPushButton::clicked, this, &AlarmEditor::onReadSwitchClicked);
    connect(ui.writeSwitchButton, &QPushButton::clicked, this, &AlarmEditor::onWriteSwitchClicked);

    connect(&m_blocks, &AlarmBlocks::channelRead, this, &AlarmEditor::showChannel);
    connect(&m_blocks, &AlarmBlocks::moduleControlRead, this, &AlarmEditor::showModuleControl);
    connect(&m_blocks, &AlarmBlocks::registerRead, this,
            [this](int value) { ui.registerValueBox->setText(QString::number(value)); });
    connect(&m_blocks, &AlarmBlocks::switchRead, this,
            [this](int value) { ui.switchValueBox->setText(QString::number(value)); });
}

AlarmChannelTexts AlarmEditor::channelTexts(int channel) const
{
    return {ui.upperLimitBoxes[channel]->text(), ui.lowerLimitBoxes[channel]->text(),
            ui.relativeAlarmBoxes[channel]->text(), ui.preAlarmBoxes[channel]->text()};
}

ModuleControlFields AlarmEditor::controlFields() const
{
    const auto position = [](const QComboBox *list) {
        return listChoice(list).value_or(ModuleControlFields::NotAnItem);
    };
    return {position(ui.requestOutputList), ui.serialOutputBox->text(),
            ui.measuredChannelsBox->text(), position(ui.startModeList),
            position(ui.addressingList)};
}

void AlarmEditor::showChannel(int channel, const AlarmChannelTexts &texts)
{
    if (channel < 0 || channel >= ChannelCount)
        return;
    ui.upperLimitBoxes[channel]->setText(texts.upperLimit);
    ui.relativeAlarmBoxes[channel]->setText(texts.relativeAlarm);
    ui.preAlarmBoxes[channel]->setText(texts.preAlarm);
    ui.lowerLimitBoxes[channel]->setText(texts.lowerLimit);
}

void AlarmEditor::showModuleControl(const ModuleControl &control)
{
    const ModuleControlFields f = moduleControlToFields(control);
    selectItem(ui.requestOutputList, f.requestOutput);
    ui.serialOutputBox->setText(f.serialOutput);
    selectItem(ui.addressingList, f.registerAddressing);
    ui.measuredChannelsBox->setText(f.measuredChannels);
    selectItem(ui.startModeList, f.startMode);
}

void AlarmEditor::onReadClicked(int block)
{
    m_blocks.readBlock(block);
}

void AlarmEditor::onWriteClicked(int block)
{
    if (!AlarmBlock::valid(block))
        return;
    const auto refused = block == AlarmBlock::ModuleControl
                             ? m_blocks.writeModuleControl(controlFields())
                             : m_blocks.writeChannel(block, channelTexts(block));
    if (refused)
        refuse(*refused);
}

std::optional<qint32> AlarmEditor::boxAddress(QLineEdit *box, Field field)
{
    const FieldNumber n = wholeNumber(box->text(), AlarmRange::Address);
    if (n.fault) {
        refuse({field, *n.fault, -1, -1, AlarmRange::Address.low, AlarmRange::Address.high});
        return std::nullopt;
    }
    return n.value;
}

std::optional<qint32> AlarmEditor::boxRegisterValue(QLineEdit *box)
{
    constexpr FieldRange range = AlarmRange::RegisterValue;
    const FieldNumber n = fieldNumber(box->text(), range.low, range.high);
    if (n.fault) {
        refuse({Field::RegisterValue, *n.fault, -1, -1, range.low, range.high});
        return std::nullopt;
    }
    return n.value;
}

void AlarmEditor::onReadRegisterClicked()
{
    if (const auto a = boxAddress(ui.registerAddressBox, Field::RegisterAddress))
        m_blocks.readRegister(static_cast<quint16>(*a));
}

void AlarmEditor::onWriteRegisterClicked()
{
    const auto a = boxAddress(ui.registerAddressBox, Field::RegisterAddress);
    if (!a)
        return;
    if (const auto v = boxRegisterValue(ui.registerValueBox))
        m_blocks.writeRegister(static_cast<quint16>(*a), *v);
}

void AlarmEditor::onReadSwitchClicked()
{
    if (const auto a = boxAddress(ui.switchAddressBox, Field::SwitchAddress))
        m_blocks.readSwitch(static_cast<quint16>(*a));
}

void AlarmEditor::onWriteSwitchClicked()
{
    const auto a = boxAddress(ui.switchAddressBox, Field::SwitchAddress);
    if (!a)
        return;
    // Any number but zero is on, 0.4 too: the value is not rounded.
    const auto on = switchOn(ui.switchValueBox->text());
    if (!on) {
        refuse({Field::SwitchValue, InputRefusal::Reason::NotANumber});
        return;
    }
    m_blocks.writeSwitch(static_cast<quint16>(*a), *on);
}

QString AlarmEditor::fieldName(Field field, int channel) const
{
    const auto ofChannel = [channel](int row) {
        return tr("通道%1的%2").arg(channel).arg(AlarmEditorForm::rowCaption(row));
    };
    switch (field) {
    case Field::UpperLimit:
        return ofChannel(AlarmEditorForm::UpperRow);
    case Field::LowerLimit:
        return ofChannel(AlarmEditorForm::LowerRow);
    case Field::RelativeAlarm:
        return ofChannel(AlarmEditorForm::RelativeRow);
    case Field::PreAlarm:
        return ofChannel(AlarmEditorForm::PreAlarmRow);
    case Field::PreAlarmAndRelative:
        return tr("通道%1的预警控制×4096+相对报警").arg(channel);
    case Field::RequestOutput:
        return tr("控制参数的请求输出");
    case Field::SerialOutput:
        return tr("控制参数的串口输出");
    case Field::MeasuredChannels:
        return tr("控制参数的测温通道");
    case Field::StartMode:
        return tr("控制参数的控温启动");
    case Field::RegisterAddressing:
        return tr("控制参数的寄存器");
    case Field::RegisterAddress:
        return tr("寄存器地址");
    case Field::RegisterValue:
        return tr("寄存器内容");
    case Field::SwitchAddress:
        return tr("内存地址");
    case Field::SwitchValue:
        return tr("单元内容");
    default:
        return QString();
    }
}

void AlarmEditor::refuse(const InputRefusal &refusal)
{
    QString problem;
    switch (refusal.reason) {
    case InputRefusal::Reason::NotANumber:
        problem = tr("不是数字");
        break;
    case InputRefusal::Reason::NotWhole:
        problem = tr("不是%1~%2之间的整数").arg(refusal.low).arg(refusal.high);
        break;
    case InputRefusal::Reason::OutOfRange:
        problem = tr("不在%1~%2之间").arg(refusal.low).arg(refusal.high);
        break;
    case InputRefusal::Reason::Negative:
        problem = tr("不能是负数");
        break;
    case InputRefusal::Reason::NoSelection:
        problem = tr("没有选择");
        break;
    case InputRefusal::Reason::NotAnItem:
        problem = tr("不是列表中的项目");
        break;
    }
    m_asker.inform(this, programTitle(),
                   tr("%1%2，没有发送。").arg(fieldName(refusal.field, refusal.channel), problem));
}

void AlarmEditor::onSaveClicked()
{
    saveParameters(tr("存储文件名：(如果文件名没有扩展名，则自动添加扩展名.ALM)"),
                   QStringLiteral(".ALM"));
}

std::optional<QList<QByteArray>> AlarmEditor::fileLines()
{
    std::optional<QString> failed;
    // A text as a field that reads back as itself; tells the user and gives up
    // at the first one that cannot (a double quote, a line break, a character
    // GB2312 lacks).
    const auto field = [&](const QString &text, Field which, int channel) -> QString {
        if (failed)
            return QString();
        const auto f = textField(text);
        const QStringList outside = charactersOutsideGb2312(text);
        if (!f)
            failed = tr("%1含有双引号或换行，不能保存。").arg(fieldName(which, channel));
        else if (!outside.isEmpty())
            failed = tr("%1含有GB2312编码中没有的字符%2，不能保存。")
                         .arg(fieldName(which, channel), characterList(outside));
        return f.value_or(QString());
    };
    QList<QByteArray> lines;
    for (int c = 0; c < ChannelCount; ++c) {
        // Upper, relative, lower, pre-alarm: not the register order.
        lines << fieldLine({field(ui.upperLimitBoxes[c]->text(), Field::UpperLimit, c),
                            field(ui.relativeAlarmBoxes[c]->text(), Field::RelativeAlarm, c),
                            field(ui.lowerLimitBoxes[c]->text(), Field::LowerLimit, c),
                            field(ui.preAlarmBoxes[c]->text(), Field::PreAlarm, c)});
    }
    lines << fieldLine({freeFormatNumber(ui.requestOutputList->currentIndex()),
                        field(ui.serialOutputBox->text(), Field::SerialOutput, -1),
                        field(ui.measuredChannelsBox->text(), Field::MeasuredChannels, -1),
                        freeFormatNumber(ui.startModeList->currentIndex()),
                        freeFormatNumber(ui.addressingList->currentIndex())});
    if (failed) {
        m_asker.inform(this, programTitle(), *failed);
        return std::nullopt;
    }
    return lines;
}

std::optional<QString> AlarmEditor::applyFileValues(const QStringList &values)
{
    // A value no field could save again (a quoted one holding a double quote
    // or a line break) refuses the whole file. File order: each channel's
    // upper, relative, lower and pre-alarm, then the block-8 fields.
    for (int i = 0; i < values.size(); ++i) {
        if (textField(values[i]))
            continue;
        static constexpr Field channelFields[] = {Field::UpperLimit, Field::RelativeAlarm,
                                                  Field::LowerLimit, Field::PreAlarm};
        static constexpr Field blockFields[] = {Field::RequestOutput, Field::SerialOutput,
                                                Field::MeasuredChannels, Field::StartMode,
                                                Field::RegisterAddressing};
        const int channelValues = 4 * ChannelCount;
        return tr("%1含有双引号或换行")
            .arg(i < channelValues ? fieldName(channelFields[i % 4], i / 4)
                                   : fieldName(blockFields[i - channelValues], -1));
    }
    // The list positions first: a file whose positions are no numbers changes
    // nothing. A position is the value AND 1, so -1 (nothing selected when
    // saved) comes back as position 1.
    const std::array<std::pair<int, Field>, 3> lists = {std::pair{32, Field::RequestOutput},
                                                        std::pair{35, Field::StartMode},
                                                        std::pair{36, Field::RegisterAddressing}};
    std::array<int, 3> positions{};
    for (int i = 0; i < 3; ++i) {
        const auto [index, which] = lists[i];
        const FieldNumber n = fieldNumber(values.value(index), RegisterMin, RegisterMax);
        if (n.fault)
            return tr("%1的位置“%2”不是可用的数字").arg(fieldName(which, -1), values.value(index));
        positions[i] = n.value & 1;
    }
    for (int c = 0; c < ChannelCount; ++c) {
        ui.upperLimitBoxes[c]->setText(values.value(4 * c));
        ui.relativeAlarmBoxes[c]->setText(values.value(4 * c + 1));
        ui.lowerLimitBoxes[c]->setText(values.value(4 * c + 2));
        ui.preAlarmBoxes[c]->setText(values.value(4 * c + 3));
    }
    selectItem(ui.requestOutputList, positions[0]);
    ui.serialOutputBox->setText(values.value(33));
    ui.measuredChannelsBox->setText(values.value(34));
    selectItem(ui.startModeList, positions[1]);
    selectItem(ui.addressingList, positions[2]);
    return std::nullopt;
}

} // namespace krv
