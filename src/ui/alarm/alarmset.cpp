#include "alarmset.h"

#include "text/legacytextfile.h"
#include "text/numbertext.h"
#include "ui/asker.h"
#include "ui/controls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace krv {

AlarmSet::AlarmSet(EditorLink &link, SharedState &state, Asker &asker, QWidget *parent)
    : EditorWindow(link, state, asker, 1, parent), m_blocks(state, link)
{
    ui.setupUi(this);
    bindFrame(ui.frame);
    for (int block = 0; block < 9; ++block) {
        connect(ui.Read[block], &QPushButton::clicked, this, [this, block] { Read_Click(block); });
        connect(ui.Write[block], &QPushButton::clicked, this,
                [this, block] { Write_Click(block); });
    }
    const auto button = [this](const char *name) {
        return findChild<QPushButton *>(QLatin1String(name));
    };
    connect(button("GetRegister"), &QPushButton::clicked, this, &AlarmSet::GetRegister_Click);
    connect(button("PutRegister"), &QPushButton::clicked, this, &AlarmSet::PutRegister_Click);
    connect(button("Command2"), &QPushButton::clicked, this, &AlarmSet::Command2_Click);
    connect(button("Command3"), &QPushButton::clicked, this, &AlarmSet::Command3_Click);

    connect(&m_blocks, &AlarmBlocks::channelDecoded, this, &AlarmSet::DisplayPara);
    connect(&m_blocks, &AlarmBlocks::moduleControlDecoded, this, &AlarmSet::DisplayPara8);
    connect(&m_blocks, &AlarmBlocks::registerDecoded, ui.Text6, &QLineEdit::setText);
    connect(&m_blocks, &AlarmBlocks::switchDecoded, ui.Text8, &QLineEdit::setText);
}

AlarmChannelTexts AlarmSet::channelTexts(int c) const
{
    return {ui.InSel[c]->text(), ui.SetVal[c]->text(), ui.SamTime[c]->text(),
            ui.PreAlmCon[c]->text()};
}

ModuleControlFields AlarmSet::controlFields() const
{
    return {ui.PReqOut->currentIndex(), ui.COMMCtrl->text(), ui.ChnlSelect->text(),
            ui.StartCon->currentIndex(), ui.ModAddr->currentIndex()};
}

void AlarmSet::DisplayPara(int c)
{
    if (c < 0 || c > 7)
        return;
    const AlarmChannelTexts t = recordToChannel(m_state.params.AlarmPara[c]);
    ui.InSel[c]->setText(t.InSel);
    ui.SamTime[c]->setText(t.SamTime);
    ui.PreAlmCon[c]->setText(t.PreAlmCon);
    ui.SetVal[c]->setText(t.SetVal);
}

void AlarmSet::DisplayPara8()
{
    const ModuleControlFields f = moduleControlToFields(m_state.module);
    selectItem(ui.PReqOut, f.PReqOut);
    ui.COMMCtrl->setText(f.COMMCtrl);
    selectItem(ui.ModAddr, f.ModAddr);
    ui.ChnlSelect->setText(f.ChnlSelect);
    selectItem(ui.StartCon, f.StartCon);
}

void AlarmSet::Read_Click(int block)
{
    m_blocks.GetAlarmPara(block);
}

void AlarmSet::Write_Click(int block)
{
    if (block < 0 || block >= AlarmBlock::Count)
        return;
    AlarmParaRecord &record = m_state.params.AlarmPara[block];
    const auto refused = block == AlarmBlock::ModuleControl
                             ? moduleControlToRecord(controlFields(), record)
                             : channelToRecord(block, channelTexts(block), record);
    if (refused) {
        refuse(*refused);
        return;
    }
    m_blocks.PutAlarmPara(block);
}

std::optional<qint32> AlarmSet::boxNumber(QLineEdit *box, AlarmField field, qint32 lo, qint32 hi)
{
    const FieldNumber n = fieldNumber(box->text(), lo, hi);
    if (n.fault) {
        refuse({field, *n.fault});
        return std::nullopt;
    }
    return n.value;
}

void AlarmSet::GetRegister_Click()
{
    if (const auto a = boxNumber(ui.text5, AlarmField::RegisterAddress, 0, AddressMax))
        m_blocks.readRegister(static_cast<quint16>(*a));
}

void AlarmSet::PutRegister_Click()
{
    const auto a = boxNumber(ui.text5, AlarmField::RegisterAddress, 0, AddressMax);
    if (!a)
        return;
    if (const auto v = boxNumber(ui.Text6, AlarmField::RegisterValue, RegisterMin, RegisterMax))
        m_blocks.writeRegister(static_cast<quint16>(*a), *v);
}

void AlarmSet::Command2_Click()
{
    if (const auto a = boxNumber(ui.Text7, AlarmField::SwitchAddress, 0, AddressMax))
        m_blocks.readSwitch(static_cast<quint16>(*a));
}

void AlarmSet::Command3_Click()
{
    const auto a = boxNumber(ui.Text7, AlarmField::SwitchAddress, 0, AddressMax);
    if (!a)
        return;
    if (const auto s = boxNumber(ui.Text8, AlarmField::SwitchValue, RegisterMin, RegisterMax))
        m_blocks.writeSwitch(static_cast<quint16>(*a), *s != 0);
}

QString AlarmSet::fieldName(AlarmField field, int channel) const
{
    switch (field) {
    case AlarmField::InSel:
        return tr("通道%1的%2").arg(channel).arg(AlarmSetUi::rowCaption(AlarmSetUi::UpperRow));
    case AlarmField::SetVal:
        return tr("通道%1的%2").arg(channel).arg(AlarmSetUi::rowCaption(AlarmSetUi::LowerRow));
    case AlarmField::SamTime:
        return tr("通道%1的%2").arg(channel).arg(AlarmSetUi::rowCaption(AlarmSetUi::RelativeRow));
    case AlarmField::PreAlmCon:
        return tr("通道%1的%2").arg(channel).arg(AlarmSetUi::rowCaption(AlarmSetUi::PreAlarmRow));
    case AlarmField::PreAlarmAndRelative:
        return tr("通道%1的预警控制×4096+相对报警").arg(channel);
    case AlarmField::PReqOut:
        return tr("控制参数的请求输出");
    case AlarmField::COMMCtrl:
        return tr("控制参数的串口输出");
    case AlarmField::ChnlSelect:
        return tr("控制参数的测温通道");
    case AlarmField::StartCon:
        return tr("控制参数的控温启动");
    case AlarmField::ModAddr:
        return tr("控制参数的寄存器");
    case AlarmField::RegisterAddress:
        return tr("寄存器地址");
    case AlarmField::RegisterValue:
        return tr("寄存器内容");
    case AlarmField::SwitchAddress:
        return tr("内存地址");
    case AlarmField::SwitchValue:
        return tr("单元内容");
    }
    return QString();
}

void AlarmSet::refuse(const FieldRefusal &refusal)
{
    const bool address =
        refusal.field == AlarmField::RegisterAddress || refusal.field == AlarmField::SwitchAddress;
    QString problem;
    switch (refusal.fault) {
    case FieldFault::NotNumber:
        problem = tr("不是数字");
        break;
    case FieldFault::OutOfRange:
        problem = address ? tr("不在%1~%2之间").arg(0).arg(AddressMax)
                          : tr("不在%1~%2之间").arg(RegisterMin).arg(RegisterMax);
        break;
    case FieldFault::Negative:
        problem = tr("不能是负数");
        break;
    case FieldFault::NoSelection:
        problem = tr("没有选择");
        break;
    }
    m_asker.inform(this, programTitle(),
                   tr("%1%2，没有发送。").arg(fieldName(refusal.field, refusal.channel), problem));
}

void AlarmSet::SaveCmd_Click()
{
    saveParameters(tr("存储文件名：(如果文件名没有扩展名，则自动添加扩展名.ALM)"),
                   QStringLiteral(".ALM"));
}

std::optional<QList<QByteArray>> AlarmSet::fileLines()
{
    std::optional<QString> failed;
    // A text as a field that reads back as itself; tells the user and gives up
    // at the first one that cannot.
    const auto field = [&](const QString &text, AlarmField which, int channel) -> QString {
        if (failed)
            return QString();
        const auto f = textField(text);
        if (!f)
            failed = tr("%1含有双引号或换行，不能保存。").arg(fieldName(which, channel));
        return f.value_or(QString());
    };
    QList<QByteArray> lines;
    for (int c = 0; c < 8; ++c) {
        // Upper, relative, lower, pre-alarm: not the register order.
        lines << fieldLine({field(ui.InSel[c]->text(), AlarmField::InSel, c),
                            field(ui.SamTime[c]->text(), AlarmField::SamTime, c),
                            field(ui.SetVal[c]->text(), AlarmField::SetVal, c),
                            field(ui.PreAlmCon[c]->text(), AlarmField::PreAlmCon, c)});
    }
    lines << fieldLine({freeFormatNumber(ui.PReqOut->currentIndex()),
                        field(ui.COMMCtrl->text(), AlarmField::COMMCtrl, -1),
                        field(ui.ChnlSelect->text(), AlarmField::ChnlSelect, -1),
                        freeFormatNumber(ui.StartCon->currentIndex()),
                        freeFormatNumber(ui.ModAddr->currentIndex())});
    if (failed) {
        m_asker.inform(this, programTitle(), *failed);
        return std::nullopt;
    }
    return lines;
}

std::optional<QString> AlarmSet::applyFileValues(const QStringList &values)
{
    // The list positions first: a file whose positions are no numbers changes
    // nothing. A position is the value AND 1, so -1 (nothing selected when
    // saved) comes back as position 1.
    const std::array<std::pair<int, AlarmField>, 3> lists = {std::pair{32, AlarmField::PReqOut},
                                                             std::pair{35, AlarmField::StartCon},
                                                             std::pair{36, AlarmField::ModAddr}};
    std::array<int, 3> positions{};
    for (int i = 0; i < 3; ++i) {
        const auto [index, which] = lists[i];
        const FieldNumber n = fieldNumber(values.value(index), RegisterMin, RegisterMax);
        if (n.fault)
            return tr("%1的位置“%2”不是可用的数字").arg(fieldName(which, -1), values.value(index));
        positions[i] = n.value & 1;
    }
    for (int c = 0; c < 8; ++c) {
        ui.InSel[c]->setText(values.value(4 * c));
        ui.SamTime[c]->setText(values.value(4 * c + 1));
        ui.SetVal[c]->setText(values.value(4 * c + 2));
        ui.PreAlmCon[c]->setText(values.value(4 * c + 3));
    }
    selectItem(ui.PReqOut, positions[0]);
    ui.COMMCtrl->setText(values.value(33));
    ui.ChnlSelect->setText(values.value(34));
    selectItem(ui.StartCon, positions[1]);
    selectItem(ui.ModAddr, positions[2]);
    return std::nullopt;
}

} // namespace krv
