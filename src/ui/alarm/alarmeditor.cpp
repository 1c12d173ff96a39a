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

namespace {
// The field a value of an .ALM stands for, by its place in the file.
Field fileField(const FileValuePlace &at)
{
    // File order: upper, relative, lower, pre-alarm; then the block-8 fields.
    static constexpr Field channelFields[] = {Field::UpperLimit, Field::RelativeAlarm,
                                              Field::LowerLimit, Field::PreAlarm};
    static constexpr Field blockFields[] = {Field::RequestOutput, Field::SerialOutput,
                                            Field::MeasuredChannels, Field::StartMode,
                                            Field::RegisterAddressing};
    return at.channel < 0 ? blockFields[at.field] : channelFields[at.field];
}
} // namespace

std::optional<QList<QByteArray>> AlarmEditor::fileLines()
{
    // The file's layout (module/parameterfiles.h) from the boxes; the lists
    // as their positions (-1: nothing selected).
    AlarmFileTexts texts;
    for (int c = 0; c < ChannelCount; ++c)
        texts.channels[c] = channelTexts(c);
    texts.control.requestOutput = ui.requestOutputList->currentIndex();
    texts.control.serialOutput = ui.serialOutputBox->text();
    texts.control.measuredChannels = ui.measuredChannelsBox->text();
    texts.control.startMode = ui.startModeList->currentIndex();
    texts.control.registerAddressing = ui.addressingList->currentIndex();
    // Each text as a field that reads back as itself; tells the user and
    // gives up at the first one that cannot (a double quote, a line break, a
    // character GB2312 lacks).
    QList<QByteArray> lines;
    int index = 0;
    for (const QStringList &row : alarmFileRows(texts)) {
        QStringList fields;
        for (const QString &text : row) {
            const FileValuePlace at = alarmValuePlace(index++);
            const Field which = fileField(at);
            // A list position is written as a number stands in the file.
            if (which == Field::RequestOutput || which == Field::StartMode ||
                which == Field::RegisterAddressing) {
                fields << text;
                continue;
            }
            const QString name = fieldName(which, at.channel);
            const auto field = textField(text);
            const QStringList outside = charactersOutsideGb2312(text);
            QString failed;
            if (!field)
                failed = tr("%1含有双引号或换行，不能保存。").arg(name);
            else if (!outside.isEmpty())
                failed = tr("%1含有GB2312编码中没有的字符%2，不能保存。")
                             .arg(name, characterList(outside));
            if (!failed.isEmpty()) {
                m_asker.inform(this, programTitle(), failed);
                return std::nullopt;
            }
            fields << *field;
        }
        lines << fieldLine(fields);
    }
    return lines;
}

std::optional<QString> AlarmEditor::applyFileValues(const QStringList &values)
{
    // A value no field could save again (a quoted one holding a double quote
    // or a line break) refuses the whole file.
    for (int i = 0; i < values.size(); ++i) {
        if (textField(values[i]))
            continue;
        const FileValuePlace at = alarmValuePlace(i);
        return tr("%1含有双引号或换行").arg(fieldName(fileField(at), at.channel));
    }
    // The list positions first: a file whose positions are no numbers changes
    // nothing. A position is the value AND 1, so -1 (nothing selected when
    // saved) comes back as position 1.
    int bad = -1;
    const auto texts = alarmTextsFromValues(values, &bad);
    if (!texts)
        return tr("%1的位置“%2”不是可用的数字")
            .arg(fieldName(fileField(alarmValuePlace(bad)), -1), values.value(bad));
    for (int c = 0; c < ChannelCount; ++c)
        showChannel(c, texts->channels[c]);
    const ModuleControlFields &f = texts->control;
    selectItem(ui.requestOutputList, f.requestOutput);
    ui.serialOutputBox->setText(f.serialOutput);
    ui.measuredChannelsBox->setText(f.measuredChannels);
    selectItem(ui.startModeList, f.startMode);
    selectItem(ui.addressingList, f.registerAddressing);
    return std::nullopt;
}

} // namespace krv
