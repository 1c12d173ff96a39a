#include "alarmset.h"

#include "text/legacytextfile.h"
#include "text/numbertext.h"
#include "ui/asker.h"
#include "ui/controls.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace krv {

namespace {
constexpr int BoxWidth = 1092;
constexpr int BoxHeight = 264;
constexpr int ButtonHeight = 372;
constexpr int FieldHeight = 300; // drop-downs and boxes inside the frames

int column(int c)
{
    return 960 + 1320 * c;
}

// The channel rows, top to bottom.
enum Row { UpperRow, LowerRow, RelativeRow, PreAlarmRow };

// The block buttons' object names, mixed initials and all: scripts and tests
// find the buttons by them.
const char *const ReadNames[9] = {"Read0", "Read1", "read2", "read3", "read4",
                                  "read5", "read6", "read7", "Read8"};
const char *const WriteNames[9] = {"Write0", "write1", "write2", "write3", "write4",
                                   "write5", "write6", "write7", "Write8"};
} // namespace

AlarmSet::AlarmSet(EditorLink &link, SharedState &state, Asker &asker, QWidget *parent)
    : EditorWindow(link, state, asker, 1, parent), m_blocks(state, link)
{
    setObjectName(QStringLiteral("AlarmSet"));
    setWindowTitle(tr("报警参数设置"));
    setFixedSize(twips(11880), twips(7965));

    buildGrid();
    buildRegisterFrames();
    buildControlFrame();

    const EditorFrame::Places at{.countLabelX = 720,
                                 .countBoxX = 1800,
                                 .countY = 240,
                                 .statusY = 6480,
                                 .sentY = 6960,
                                 .receivedY = 7440,
                                 .saveX = 9000,
                                 .saveY = 6480,
                                 .loadX = 9000,
                                 .loadY = 7200,
                                 .backX = 10200,
                                 .backY = 6840,
                                 .backWidth = 1092};
    bindFrame(EditorFrame::build(this, at, tr("返  回")));

    connect(&m_blocks, &AlarmBlocks::channelDecoded, this, &AlarmSet::DisplayPara);
    connect(&m_blocks, &AlarmBlocks::moduleControlDecoded, this, &AlarmSet::DisplayPara8);
    connect(&m_blocks, &AlarmBlocks::registerDecoded, Text6, &QLineEdit::setText);
    connect(&m_blocks, &AlarmBlocks::switchDecoded, Text8, &QLineEdit::setText);
}

static QString rowCaption(int row)
{
    switch (row) {
    case UpperRow:
        return AlarmSet::tr("上限设置");
    case LowerRow:
        return AlarmSet::tr("下限设置");
    case RelativeRow:
        return AlarmSet::tr("相对报警");
    default:
        return AlarmSet::tr("预警控制");
    }
}

void AlarmSet::buildGrid()
{
    const std::array<std::array<QLineEdit *, 8> *, 4> rows = {&InSel, &SetVal, &SamTime,
                                                              &PreAlmCon};
    const QStringList names = {QStringLiteral("InSel"), QStringLiteral("SetVal"),
                               QStringLiteral("SamTime"), QStringLiteral("PreAlmCon")};
    const QStringList initial = {QStringLiteral("InSel"), QStringLiteral("SetValue"),
                                 QStringLiteral("SamTime"), QStringLiteral("PreAlmCon")};
    for (int row = 0; row < 4; ++row) {
        const int y = 1080 + 360 * row;
        placeTwips(makeLabel(QStringLiteral("Label%1").arg(5 + row), rowCaption(row), this), 120, y,
                   840, BoxHeight);
        for (int c = 0; c < 8; ++c) {
            QLineEdit *box = makeTextBox(names[row] + QString::number(c), initial[row], this);
            placeTwips(box, column(c), y, BoxWidth, BoxHeight);
            (*rows[row])[c] = box;
        }
    }
    for (int c = 0; c < 8; ++c) {
        makeBlockButtons(c, this);
        QLabel *name = makeLabel(QStringLiteral("ChnlName%1").arg(c), tr("通道%1").arg(c), this);
        name->setAlignment(Qt::AlignCenter);
        placeTwips(name, column(c), 720, BoxWidth, 252);
        placeTwips(Read[c], column(c), 2520, BoxWidth, ButtonHeight);
        placeTwips(Write[c], column(c), 3000, BoxWidth, ButtonHeight);
    }
}

void AlarmSet::buildRegisterFrames()
{
    // Two frames alike: a label and box on each of two lines, a button beside each.
    struct Line
    {
        const char *label;
        QString caption;
        QLineEdit *&box;
        const char *boxName;
        const char *button;
        QString buttonCaption;
        int buttonY;
    };
    const auto frame = [this](const char *name, const QString &caption, int y, int height,
                              std::array<Line, 2> lines) {
        QGroupBox *f = makeFrame(QLatin1String(name), caption, this);
        placeTwips(f, 960, y, 4572, height);
        for (int i = 0; i < 2; ++i) {
            const Line &l = lines[i];
            const int lineY = 360 + 480 * i;
            placeTwips(makeLabel(QLatin1String(l.label), l.caption, f), 480, lineY, 1080,
                       BoxHeight);
            l.box = makeTextBox(QLatin1String(l.boxName), QStringLiteral("0"), f);
            placeTwips(l.box, 1560, lineY, 1332, BoxHeight);
            placeTwips(makeButton(QLatin1String(l.button), l.buttonCaption, f), 3000, l.buttonY,
                       1212, ButtonHeight);
        }
    };
    frame("Frame1", tr("单寄存器读写"), 3600, 1212,
          {Line{"Label9", tr("寄存器地址"), text5, "text5", "GetRegister", tr("读寄存器"), 240},
           Line{"Label10", tr("寄存器内容"), Text6, "Text6", "PutRegister", tr("写寄存器"), 720}});
    frame("Frame2", tr("开入和开出读写"), 4920, 1332,
          {Line{"Label11", tr("内存地址"), Text7, "Text7", "Command2", tr("读开关量"), 360},
           Line{"Label12", tr("单元内容"), Text8, "Text8", "Command3", tr("写开关量"), 840}});
    text5->setText(QStringLiteral("28"));

    const auto button = [this](const char *name) {
        return findChild<QPushButton *>(QLatin1String(name));
    };
    connect(button("GetRegister"), &QPushButton::clicked, this, &AlarmSet::GetRegister_Click);
    connect(button("PutRegister"), &QPushButton::clicked, this, &AlarmSet::PutRegister_Click);
    connect(button("Command2"), &QPushButton::clicked, this, &AlarmSet::Command2_Click);
    connect(button("Command3"), &QPushButton::clicked, this, &AlarmSet::Command3_Click);
}

void AlarmSet::buildControlFrame()
{
    QGroupBox *f = makeFrame(QStringLiteral("Frame3"), tr("控制参数"), this);
    placeTwips(f, 6000, 3840, 5772, 2412);

    PReqOut = makeComboBox(QStringLiteral("PReqOut"), QStringLiteral("PReqOut"), f);
    COMMCtrl = makeTextBox(QStringLiteral("COMMCtrl"), QStringLiteral("COMMCtrl"), f);
    ChnlSelect = makeTextBox(QStringLiteral("ChnlSelect"), QStringLiteral("ChnlSelect"), f);
    StartCon = makeComboBox(QStringLiteral("StartCon"), QStringLiteral("StartCon"), f);
    ModAddr = makeComboBox(QStringLiteral("ModAddr"), QStringLiteral("ModAddr"), f);
    addItems(PReqOut, {tr("请求无效"), tr("请求有效")});
    addItems(StartCon, {tr("启动控温"), tr("请求控温")});
    addItems(ModAddr, {tr("地址不连续"), tr("地址连续")});

    struct Line
    {
        QString caption;
        QWidget *field;
        int width;
        QString explanation;
    };
    const std::array<Line, 5> lines = {
        Line{tr("请求输出"), PReqOut, 1092, tr("请求有效,IN3每ON一次并口输出一次")},
        Line{tr("串口输出"), COMMCtrl, 1092, tr("非0,主动输出,1~11为一次输出寄存器数")},
        Line{tr("测温通道"), ChnlSelect, 1092, tr("测量的通道数(1~7)")},
        Line{tr("控温启动"), StartCon, 1092, tr("请求控温,由IN0=ON启动控温")},
        Line{tr("寄 存 器"), ModAddr, 1332, QString()},
    };
    for (int i = 0; i < 5; ++i) {
        const int y = 360 + 360 * i;
        placeTwips(makeLabel(QStringLiteral("Label%1").arg(13 + i), lines[i].caption, f), 240, y,
                   840, FieldHeight);
        placeTwips(lines[i].field, 1080, y, lines[i].width, FieldHeight);
        if (!lines[i].explanation.isEmpty())
            placeTwips(makeLabel(QStringLiteral("Label%1").arg(18 + i), lines[i].explanation, f),
                       2280, y, 3372, FieldHeight);
    }
    makeBlockButtons(AlarmBlock::ModuleControl, f);
    placeTwips(Read[8], 2640, 1800, BoxWidth, ButtonHeight);
    placeTwips(Write[8], 4200, 1800, BoxWidth, ButtonHeight);
}

void AlarmSet::makeBlockButtons(int block, QWidget *parent)
{
    Read[block] = makeButton(QLatin1String(ReadNames[block]), tr("读  取"), parent);
    Write[block] = makeButton(QLatin1String(WriteNames[block]), tr("写  入"), parent);
    connect(Read[block], &QPushButton::clicked, this, [this, block] { Read_Click(block); });
    connect(Write[block], &QPushButton::clicked, this, [this, block] { Write_Click(block); });
}

AlarmChannelTexts AlarmSet::channelTexts(int c) const
{
    return {InSel[c]->text(), SetVal[c]->text(), SamTime[c]->text(), PreAlmCon[c]->text()};
}

ModuleControlFields AlarmSet::controlFields() const
{
    return {PReqOut->currentIndex(), COMMCtrl->text(), ChnlSelect->text(), StartCon->currentIndex(),
            ModAddr->currentIndex()};
}

void AlarmSet::DisplayPara(int c)
{
    if (c < 0 || c > 7)
        return;
    const AlarmChannelTexts t = recordToChannel(m_state.params.AlarmPara[c]);
    InSel[c]->setText(t.InSel);
    SamTime[c]->setText(t.SamTime);
    PreAlmCon[c]->setText(t.PreAlmCon);
    SetVal[c]->setText(t.SetVal);
}

void AlarmSet::DisplayPara8()
{
    const ModuleControlFields f = moduleControlToFields(m_state.module);
    selectItem(PReqOut, f.PReqOut);
    COMMCtrl->setText(f.COMMCtrl);
    selectItem(ModAddr, f.ModAddr);
    ChnlSelect->setText(f.ChnlSelect);
    selectItem(StartCon, f.StartCon);
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
    if (const auto a = boxNumber(text5, AlarmField::RegisterAddress, 0, AddressMax))
        m_blocks.readRegister(static_cast<quint16>(*a));
}

void AlarmSet::PutRegister_Click()
{
    const auto a = boxNumber(text5, AlarmField::RegisterAddress, 0, AddressMax);
    if (!a)
        return;
    if (const auto v = boxNumber(Text6, AlarmField::RegisterValue, RegisterMin, RegisterMax))
        m_blocks.writeRegister(static_cast<quint16>(*a), *v);
}

void AlarmSet::Command2_Click()
{
    if (const auto a = boxNumber(Text7, AlarmField::SwitchAddress, 0, AddressMax))
        m_blocks.readSwitch(static_cast<quint16>(*a));
}

void AlarmSet::Command3_Click()
{
    const auto a = boxNumber(Text7, AlarmField::SwitchAddress, 0, AddressMax);
    if (!a)
        return;
    if (const auto s = boxNumber(Text8, AlarmField::SwitchValue, RegisterMin, RegisterMax))
        m_blocks.writeSwitch(static_cast<quint16>(*a), *s != 0);
}

QString AlarmSet::fieldName(AlarmField field, int channel) const
{
    switch (field) {
    case AlarmField::InSel:
        return tr("通道%1的%2").arg(channel).arg(rowCaption(UpperRow));
    case AlarmField::SetVal:
        return tr("通道%1的%2").arg(channel).arg(rowCaption(LowerRow));
    case AlarmField::SamTime:
        return tr("通道%1的%2").arg(channel).arg(rowCaption(RelativeRow));
    case AlarmField::PreAlmCon:
        return tr("通道%1的%2").arg(channel).arg(rowCaption(PreAlarmRow));
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
        lines << fieldLine({field(InSel[c]->text(), AlarmField::InSel, c),
                            field(SamTime[c]->text(), AlarmField::SamTime, c),
                            field(SetVal[c]->text(), AlarmField::SetVal, c),
                            field(PreAlmCon[c]->text(), AlarmField::PreAlmCon, c)});
    }
    lines << fieldLine({freeFormatNumber(PReqOut->currentIndex()),
                        field(COMMCtrl->text(), AlarmField::COMMCtrl, -1),
                        field(ChnlSelect->text(), AlarmField::ChnlSelect, -1),
                        freeFormatNumber(StartCon->currentIndex()),
                        freeFormatNumber(ModAddr->currentIndex())});
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
        InSel[c]->setText(values.value(4 * c));
        SamTime[c]->setText(values.value(4 * c + 1));
        SetVal[c]->setText(values.value(4 * c + 2));
        PreAlmCon[c]->setText(values.value(4 * c + 3));
    }
    selectItem(PReqOut, positions[0]);
    COMMCtrl->setText(values.value(33));
    ChnlSelect->setText(values.value(34));
    selectItem(StartCon, positions[1]);
    selectItem(ModAddr, positions[2]);
    return std::nullopt;
}

} // namespace krv
