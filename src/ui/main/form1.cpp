#include "form1.h"

#include "text/numbertext.h"
#include "ui/asker.h"
#include "ui/lamp.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace krv {

namespace {

const QStringList SensorItems = {
    QStringLiteral("A/D"),  QStringLiteral("V"),     QStringLiteral("I"),
    QStringLiteral("PT01"), QStringLiteral("J"),     QStringLiteral("E"),
    QStringLiteral("N"),    QStringLiteral("T"),     QStringLiteral("W"),
    QStringLiteral("R"),    QStringLiteral("S"),     QStringLiteral("B"),
    QStringLiteral("K"),    QStringLiteral("PT100"), QStringLiteral("Cu50"),
    QStringLiteral("Cu100")};
// The channel list repeats "R200K" at index 19: the code sent is the index.
const QStringList ChannelSensorItems =
    SensorItems + QStringList{QStringLiteral("R200K"), QStringLiteral("R470K"),
                              QStringLiteral("BA1"), QStringLiteral("R200K")};
const QStringList RateItems = {QStringLiteral("1200"),  QStringLiteral("2400"),
                               QStringLiteral("4800"),  QStringLiteral("9600"),
                               QStringLiteral("19200"), QStringLiteral("38400")};
const QStringList NoYes = {QStringLiteral("No"), QStringLiteral("Yes")};
const QStringList Framings = {QStringLiteral("RTU"), QStringLiteral("ASCII")};

const QColor LitOutput(255, 255, 0);
const QColor LitInput(0, 255, 0);
const QColor Dark(192, 192, 192);

const char *DesignText = "krvDesignText";

void setBackColor(QPushButton *button, const QColor &color)
{
    QPalette pal = button->palette();
    pal.setColor(QPalette::Button, color);
    button->setPalette(pal);
}

// Adds items to a drop-down. Qt selects the first item added to an empty list;
// a list the operator has not picked from keeps showing its design-time text.
void addItems(QComboBox *box, const QStringList &items)
{
    const bool picked = box->currentIndex() >= 0;
    const QString shown = box->currentText();
    box->addItems(items);
    if (!picked) {
        box->setCurrentIndex(-1);
        box->setEditText(shown);
    }
    int chars = box->property(DesignText).toString().size();
    for (int i = 0; i < box->count(); ++i)
        chars = qMax(chars, static_cast<int>(box->itemText(i).size()));
    box->setMinimumContentsLength(chars);
}

QString fieldMessage(const QString &field)
{
    if (field == QStringLiteral("地  址"))
        return QStringLiteral("“地  址”必须是0～255之间的整数，模块参数没有写入。");
    return QStringLiteral("“%1”必须是整数，模块参数没有写入。").arg(field);
}

} // namespace

Form1::Form1(Links links, Asker &asker, QWidget *parent)
    : QWidget(parent), m_state(links.state), m_engine(links.engine), m_reads(links.reads),
      m_writes(links.writes), m_polling(links.polling), m_asker(asker)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(caption());

    auto *top = new QVBoxLayout(this);
    top->addWidget(buildStatusStrip());
    auto *middle = new QHBoxLayout;
    middle->addWidget(buildFrame1(), 1);
    middle->addWidget(buildLampColumn());
    top->addLayout(middle);
    top->addWidget(buildChannelRows());
    top->addWidget(buildFrame4());
    top->addWidget(buildOutputRow());
    top->addWidget(buildBottom());

    m_DisTimer.setParent(this);
    m_DisTimer.setObjectName(QStringLiteral("DisTimer"));
    m_DisTimer.setTimerType(Qt::PreciseTimer);
    m_DisTimer.setInterval(1000);
    connect(&m_DisTimer, &QTimer::timeout, this, &Form1::DisTimer_Timer);

    connectLinks();
    Form_Load();
}

Form1::~Form1()
{
    m_record.abandon();
}

// ---- Controls ---------------------------------------------------------------

QLabel *Form1::label(const char *name, const QString &text)
{
    auto *l = new QLabel(text);
    l->setObjectName(QLatin1String(name));
    return l;
}

QLineEdit *Form1::textBox(const char *name, const QString &text)
{
    auto *e = new QLineEdit(text);
    e->setObjectName(QLatin1String(name));
    return e;
}

QComboBox *Form1::comboBox(const char *name, const QString &designText)
{
    auto *c = new QComboBox;
    c->setObjectName(QLatin1String(name));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setProperty(DesignText, designText);
    c->setEditText(designText);
    return c;
}

QPushButton *Form1::button(const char *name, const QString &text)
{
    auto *b = new QPushButton(text);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QWidget *Form1::buildStatusStrip()
{
    auto *strip = new QWidget;
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    Text4 = textBox("Text4", QString());
    Text3 = textBox("Text3", QString());
    for (QLineEdit *count : {Text4, Text3}) {
        count->setReadOnly(true);
        count->setFixedWidth(count->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
    }
    Label39 = label("Label39", QStringLiteral("FileName:"));
    FileDis = label("FileDis", QStringLiteral("FileDis"));
    FileDis->setMinimumWidth(FileDis->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 12);
    NowDis = label("NowDis", QStringLiteral("NowDis"));
    NowDis->setMinimumWidth(
        NowDis->fontMetrics().horizontalAdvance(QStringLiteral("2088年88月88日    88:88:88")));
    NowDis->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Progress of a scan: 512 ticks, the address and framing being tried.
    ScanProgress = new QProgressBar;
    ScanProgress->setObjectName(QStringLiteral("ScanProgress"));
    ScanProgress->setRange(0, 512);
    ScanProgress->setMinimumWidth(
        ScanProgress->fontMetrics().horizontalAdvance(QStringLiteral("扫描 地址 255  ASCII")) + 40);
    QSizePolicy keep = ScanProgress->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    ScanProgress->setSizePolicy(keep);
    ScanProgress->hide();

    row->addWidget(label("Label4", QStringLiteral("通讯次数")));
    row->addWidget(Text4);
    row->addSpacing(12);
    row->addWidget(label("Label3", QStringLiteral("出错次数")));
    row->addWidget(Text3);
    row->addSpacing(12);
    row->addWidget(Label39);
    row->addWidget(FileDis, 1);
    row->addWidget(ScanProgress);
    row->addSpacing(12);
    row->addWidget(NowDis);
    return strip;
}

QGroupBox *Form1::buildFrame1()
{
    auto *frame = new QGroupBox(QStringLiteral("模块信息"));
    frame->setObjectName(QStringLiteral("Frame1"));

    Address = textBox("Address", QStringLiteral("2"));
    Text6 = textBox("Text6", QStringLiteral("Text6"));
    SysSensor = comboBox("SysSensor", QStringLiteral("Combo1"));
    Seperate = comboBox("Seperate", QStringLiteral("Combo1"));
    Chnl8 = comboBox("Chnl8", QStringLiteral("Combo1"));
    Text12 = textBox("Text12", QStringLiteral("Text12"));
    Text12->setReadOnly(true);
    Baud = comboBox("Baud", QStringLiteral("Combo2"));
    Filter = comboBox("Filter", QStringLiteral("Combo1"));
    Comp = comboBox("Comp", QStringLiteral("Combo1"));
    ProtocolSel = comboBox("ProtocolSel", QStringLiteral("Combo1"));
    AdjAD590 = textBox("AdjAD590", QStringLiteral("Text9"));
    MadeDate = textBox("MadeDate", QStringLiteral("Text11"));
    MadeTime = textBox("MadeTime", QStringLiteral("Text10"));
    Request = comboBox("Request", QStringLiteral("Combo8"));
    OutByte = comboBox("OutByte", QStringLiteral("Combo9"));
    POutTime = textBox("POutTime", QStringLiteral("POutTime"));
    Command6 = button("Command6", QStringLiteral("写模块参数"));
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);

    // Wide enough for the longest parallel-port time, frame and margins included.
    const int fieldWidth = fontMetrics().horizontalAdvance(QStringLiteral("1085.06944444444")) + 24;
    for (QWidget *w :
         std::initializer_list<QWidget *>{Address, Text6, AdjAD590, MadeDate, MadeTime, POutTime})
        w->setMinimumWidth(fieldWidth);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    auto pair = [grid](int row, int col, QLabel *l, QWidget *field) {
        grid->addWidget(l, row, 2 * col);
        grid->addWidget(field, row, 2 * col + 1);
    };
    grid->addWidget(label("Label14", QStringLiteral("设备信息")), 0, 0);
    grid->addWidget(Text12, 0, 1, 1, 5);
    pair(1, 0, label("Label6", QStringLiteral("地  址")), Address);
    pair(1, 1, label("Label5", QStringLiteral("系列号")), Text6);
    pair(1, 2, label("Label13", QStringLiteral("冷校准")), AdjAD590);
    pair(2, 0, label("Label18", QStringLiteral("传感器")), SysSensor);
    pair(2, 1, label("Label17", QStringLiteral("单独设")), Seperate);
    pair(2, 2, label("Label19", QStringLiteral("通道8")), Chnl8);
    pair(3, 0, label("Label21", QStringLiteral("滤  波")), Filter);
    pair(3, 1, label("Label20", QStringLiteral("补  偿")), Comp);
    pair(3, 2, label("Label8", QStringLiteral("协  议")), ProtocolSel);
    pair(4, 0, label("Label12", QStringLiteral("波特率")), Baud);
    pair(4, 1, label("Label1", QStringLiteral("请求输出")), Request);
    pair(4, 2, label("Label22_2", QStringLiteral("字节输出")), OutByte);
    pair(5, 0, label("Label15", QStringLiteral("制造日期")), MadeDate);
    pair(5, 1, label("Label16", QStringLiteral("制造时间")), MadeTime);
    auto *pOut = new QHBoxLayout;
    pOut->addWidget(POutTime, 1);
    pOut->addWidget(label("Label36", QStringLiteral("uS")));
    grid->addWidget(label("Label35", QStringLiteral("并口时间")), 5, 4);
    grid->addLayout(pOut, 5, 5);
    grid->addWidget(Command6, 6, 5);
    for (int c : {1, 3, 5})
        grid->setColumnStretch(c, 1);
    grid->setRowStretch(7, 1);

    auto *box = new QHBoxLayout(frame);
    box->addLayout(grid, 1);
    box->addSpacing(8);
    box->addWidget(buildFrame5(), 0, Qt::AlignTop);
    return frame;
}

QGroupBox *Form1::buildFrame5()
{
    auto *frame = new QGroupBox(QStringLiteral("通信参数"));
    frame->setObjectName(QStringLiteral("Frame5"));
    ComPort = comboBox("ComPort", QStringLiteral("Combo1"));
    CommRate = comboBox("CommRate", QStringLiteral("Combo1"));
    Protocol = comboBox("Protocol", QStringLiteral("Combo1"));
    ModNO = comboBox("ModNO", QStringLiteral("Combo2"));
    ModNO->setMinimumContentsLength(8);
    Command5 = button("Command5", QStringLiteral("扫描模块"));
    Command7 = button("Command7", QStringLiteral("停 止"));
    Start = button("Start", QStringLiteral("运 行"));
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(Start, &QPushButton::clicked, this, &Form1::Start_Click);
    connect(ModNO, &QComboBox::currentIndexChanged, this, &Form1::ModNO_Change);
    // The device behind the chosen port, as a reminder of where COMn leads.
    connect(ComPort, &QComboBox::currentIndexChanged, this,
            [this](int i) { ComPort->setToolTip(i >= 0 ? devicePathForPort(i + 1) : QString()); });

    auto *grid = new QGridLayout(frame);
    grid->addWidget(label("Label31", QStringLiteral("串行口")), 0, 0);
    grid->addWidget(ComPort, 0, 1, 1, 2);
    grid->addWidget(label("Label32", QStringLiteral("波特率")), 1, 0);
    grid->addWidget(CommRate, 1, 1, 1, 2);
    grid->addWidget(label("Label33", QStringLiteral("协  议")), 2, 0);
    grid->addWidget(Protocol, 2, 1, 1, 2);
    grid->addWidget(label("Label34", QStringLiteral("模块号")), 3, 0);
    grid->addWidget(ModNO, 3, 1, 1, 2);
    grid->addWidget(Command5, 4, 0);
    grid->addWidget(Command7, 4, 1);
    grid->addWidget(Start, 4, 2);
    return frame;
}

QWidget *Form1::buildLampColumn()
{
    auto *column = new QWidget;
    auto *v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);
    // frame name, caption, first lamp, lamp count, element index of the digit labels
    struct LampFrame
    {
        const char *name;
        QString caption;
        int first;
        int count;
        int labelIndex;
    };
    const LampFrame frames[] = {{"Frame2", QStringLiteral("上限报警"), 0, 8, 0},
                                {"Frame3", QStringLiteral("下限报警"), 8, 8, 1},
                                {"Frame6", QStringLiteral("外部DI"), 16, 4, 3}};
    for (const LampFrame &f : frames) {
        auto *frame = new QGroupBox(f.caption);
        frame->setObjectName(QLatin1String(f.name));
        auto *grid = new QGridLayout(frame);
        grid->setHorizontalSpacing(6);
        grid->setVerticalSpacing(2);
        for (int d = 0; d < f.count; ++d) {
            auto *digit = new QLabel(QString::number(d));
            digit->setObjectName(QStringLiteral("Label%1_%2").arg(22 + d).arg(f.labelIndex));
            digit->setAlignment(Qt::AlignCenter);
            auto *lamp = new Lamp;
            lamp->setObjectName(QStringLiteral("DI%1").arg(f.first + d));
            DI[f.first + d] = lamp;
            grid->addWidget(digit, 0, d, Qt::AlignHCenter);
            grid->addWidget(lamp, 1, d, Qt::AlignHCenter);
        }
        // Frame6 has four lamps: keep them at the same pitch as the others.
        grid->setColumnStretch(8, 1);
        v->addWidget(frame);
    }
    v->addStretch(1);
    return column;
}

QWidget *Form1::buildChannelRows()
{
    auto *rows = new QWidget;
    auto *grid = new QGridLayout(rows);
    m_channelGrid = grid;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(label("Label37", QStringLiteral("实时测量")), 1, 0);
    grid->addWidget(label("Label38", QStringLiteral("工程校准")), 2, 0);
    for (int i = 0; i < 8; ++i) {
        auto *head = new QLabel(QStringLiteral("通道%1").arg(i));
        head->setObjectName(QStringLiteral("Title%1").arg(i));
        head->setAlignment(Qt::AlignCenter);
        Dis[i] = new QLineEdit(QStringLiteral("Display"));
        Dis[i]->setObjectName(QStringLiteral("Dis%1").arg(i));
        Dis[i]->setReadOnly(true);
        EngCalb[i] = new QLineEdit(QStringLiteral("EngCalb"));
        EngCalb[i]->setObjectName(QStringLiteral("EngCalb%1").arg(i));
        for (QLineEdit *e : {Dis[i], EngCalb[i]}) {
            e->setAlignment(Qt::AlignRight);
            e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("-32768000")));
        }
        grid->addWidget(head, 0, i + 1);
        grid->addWidget(Dis[i], 1, i + 1);
        grid->addWidget(EngCalb[i], 2, i + 1);
        grid->setColumnStretch(i + 1, 1);
    }
    Command8 = button("Command8", QStringLiteral("写工程校准"));
    connect(Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
    grid->addWidget(Command8, 2, 9);
    return rows;
}

QGroupBox *Form1::buildFrame4()
{
    Frame4 = new QGroupBox(QStringLiteral("通道传感器设置"));
    Frame4->setObjectName(QStringLiteral("Frame4"));
    auto *grid = new QGridLayout(Frame4);
    m_sensorGrid = grid;
    // Column 0 stands under the row labels above, so that the channel columns
    // of both grids line up (see alignChannelColumns).
    m_sensorIndent = new QWidget;
    grid->addWidget(m_sensorIndent, 1, 0);
    for (int i = 0; i < 8; ++i) {
        chanl[i] = new QLabel(QStringLiteral("通道%1").arg(i));
        chanl[i]->setObjectName(QStringLiteral("chanl%1").arg(i));
        ChnlSensor[i] = comboBox("", QStringLiteral("Combo1"));
        ChnlSensor[i]->setObjectName(QStringLiteral("ChnlSensor%1").arg(i));
        grid->addWidget(chanl[i], 0, i + 1);
        grid->addWidget(ChnlSensor[i], 1, i + 1);
        grid->setColumnStretch(i + 1, 1);
    }
    Command10 = button("Command10", QStringLiteral("刷 新"));
    Command4 = button("Command4", QStringLiteral("设 置"));
    connect(Command10, &QPushButton::clicked, this, &Form1::Command10_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    m_sensorButtons = new QWidget;
    auto *buttons = new QHBoxLayout(m_sensorButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(Command10);
    buttons->addWidget(Command4);
    grid->addWidget(m_sensorButtons, 1, 9);
    return Frame4;
}

QWidget *Form1::buildOutputRow()
{
    auto *rowWidget = new QWidget;
    auto *row = new QHBoxLayout(rowWidget);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(label("Label11", QStringLiteral("开关输出")));
    for (int i = 0; i < 10; ++i) {
        DOoutP[i] = button("", i < 9 ? QStringLiteral("DOut%1").arg(i) : QStringLiteral("控温"));
        DOoutP[i]->setObjectName(QStringLiteral("DOoutP%1").arg(i));
        connect(DOoutP[i], &QPushButton::clicked, this, [this, i] { DOoutP_Click(i); });
        row->addWidget(DOoutP[i], 1);
    }
    return rowWidget;
}

QWidget *Form1::buildBottom()
{
    auto *bottom = new QWidget;
    auto *grid = new QGridLayout(bottom);
    grid->setContentsMargins(0, 0, 0, 0);
    Text5 = textBox("Text5", QStringLiteral("Text5"));
    Text1 = textBox("Text1", QStringLiteral("Text1"));
    Text2 = textBox("Text2", QString());
    for (QLineEdit *e : {Text5, Text1, Text2})
        e->setReadOnly(true);
    grid->addWidget(label("Label9", QStringLiteral("发送命令")), 0, 0);
    grid->addWidget(Text5, 0, 1);
    grid->addWidget(label("Label10", QStringLiteral("接收命令")), 1, 0);
    grid->addWidget(Text1, 1, 1);
    grid->addWidget(label("Label2", QStringLiteral("状态信息")), 2, 0);
    grid->addWidget(Text2, 2, 1);
    grid->setColumnStretch(1, 1);

    Command2 = button("Command2", QStringLiteral("控制参数"));
    Command3 = button("Command3", QStringLiteral("报警参数"));
    Save = button("Save", QStringLiteral("Save"));
    Command1 = button("Command1", QStringLiteral("结 束"));
    // The editors behind these two are not part of this program yet.
    Command2->setEnabled(false);
    Command3->setEnabled(false);
    connect(Save, &QPushButton::clicked, this, &Form1::Save_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    auto *buttons = new QGridLayout;
    buttons->addWidget(Command2, 0, 0);
    buttons->addWidget(Command3, 0, 1);
    buttons->addWidget(Save, 1, 0);
    buttons->addWidget(Command1, 1, 1);
    grid->addLayout(buttons, 0, 2, 3, 1, Qt::AlignBottom);
    grid->setColumnMinimumWidth(2, 0);
    return bottom;
}

void Form1::alignChannelColumns()
{
    // The sensor grid sits inside its frame, so it starts further right and
    // ends further left than the grid of the rows above. Give both the same
    // outer column widths, less the frame's insets, and the same channel
    // column minimum: the eight channel columns then share their x positions.
    const QMargins frame = Frame4->contentsMargins() + m_sensorGrid->contentsMargins();
    int labelWidth = 0;
    for (int row = 0; row < 3; ++row) {
        if (QLayoutItem *item = m_channelGrid->itemAtPosition(row, 0))
            labelWidth = qMax(labelWidth, item->sizeHint().width());
    }
    labelWidth = qMax(labelWidth, frame.left());
    const int buttonWidth =
        qMax(Command8->sizeHint().width(), m_sensorButtons->sizeHint().width() + frame.right());
    m_channelGrid->setColumnMinimumWidth(0, labelWidth);
    m_channelGrid->setColumnMinimumWidth(9, buttonWidth);
    m_sensorIndent->setFixedWidth(labelWidth - frame.left());
    m_sensorGrid->setColumnMinimumWidth(9, buttonWidth - frame.right());
    int channelWidth = 0;
    for (int i = 0; i < 8; ++i) {
        for (QWidget *w : std::initializer_list<QWidget *>{Dis[i], EngCalb[i], ChnlSensor[i]})
            channelWidth = qMax(channelWidth, w->minimumSizeHint().width());
    }
    for (int i = 1; i <= 8; ++i) {
        m_channelGrid->setColumnMinimumWidth(i, channelWidth);
        m_sensorGrid->setColumnMinimumWidth(i, channelWidth);
    }
}

void Form1::showEvent(QShowEvent *event)
{
    alignChannelColumns();
    QWidget::showEvent(event);
}

void Form1::connectLinks()
{
    connect(&m_engine, &TransactionEngine::sentFrameText, Text5, &QLineEdit::setText);
    connect(&m_engine, &TransactionEngine::receivedFrameText, Text1, &QLineEdit::setText);
    connect(&m_engine, &TransactionEngine::statusText, Text2, &QLineEdit::setText);
    connect(&m_engine, &TransactionEngine::commCountText, Text4, &QLineEdit::setText);
    connect(&m_engine, &TransactionEngine::errCountText, Text3, &QLineEdit::setText);
    connect(&m_engine, &TransactionEngine::portError, this, &Form1::reportPortError);

    connect(&m_reads, &RegisterMap::measurementsDecoded, this, &Form1::showMeasurements);
    connect(&m_reads, &RegisterMap::systemBlockDecoded, this, &Form1::ShowSysInfo);
    connect(&m_reads, &RegisterMap::sensorCodesDecoded, this, &Form1::showSensorCodes);
    connect(&m_reads, &RegisterMap::pOutTimeDecoded, this, [this](const QString &text) {
        POutTime->setText(text);
        POutTime->setEnabled(false);
    });
    connect(&m_reads, &RegisterMap::calibrationDecoded, this, &Form1::showCalibration);
    connect(&m_reads, &RegisterMap::outputsDecoded, this, &Form1::showOutputs);
    connect(&m_reads, &RegisterMap::controlEnableDecoded, this, &Form1::showControlEnable);
    connect(&m_reads, &RegisterMap::inputsDecoded, this, &Form1::showInputs);
    connect(&m_reads, &RegisterMap::deviceIdDecoded, Text12, &QLineEdit::setText);
    connect(&m_reads, &RegisterMap::moduleFound, this, &Form1::addModule);

    connect(&m_polling, &PollingCycle::scanStep, this, &Form1::showScanStep);
    connect(&m_polling, &PollingCycle::scanFinished, ScanProgress, &QWidget::hide);
}

// ---- Start-up ---------------------------------------------------------------

void Form1::Form_Load()
{
    m_engine.timMscon().stop();
    m_polling.ScanModTimer().stop();
    m_polling.Timer1().stop();
    m_DisTimer.start();

    InitialComboBox();
    ComPort->setCurrentIndex(0);
    CommRate->setCurrentIndex(3);
    Protocol->setCurrentIndex(0);

    // Configures the port without opening it and sets Timer1 and timMscon.
    m_polling.load(lineChoice());
    Text2->clear();
    Text3->clear();
    Text4->clear();
    setRecordingControls(m_Saving != 0);
}

void Form1::InitialComboBox()
{
    addItems(SysSensor, SensorItems);
    addItems(Filter, {QStringLiteral("Yes"), QStringLiteral("No")});
    addItems(Chnl8, {QStringLiteral("Meas"), QStringLiteral("AD590")});
    addItems(Seperate, NoYes);
    addItems(Comp, NoYes);
    QStringList ports;
    for (int n = 1; n <= 4; ++n)
        ports << QStringLiteral("COM%1").arg(n);
    const int before = ComPort->count();
    addItems(ComPort, ports);
    for (int n = 1; n <= 4; ++n)
        ComPort->setItemData(before + n - 1, devicePathForPort(n), Qt::ToolTipRole);
    addItems(Request, NoYes);
    addItems(OutByte, {QStringLiteral("No"), QStringLiteral("yes")});
    addItems(Baud, RateItems);
    for (QComboBox *box : ChnlSensor)
        addItems(box, ChannelSensorItems);
    addItems(CommRate, RateItems);
    addItems(Protocol, Framings);
    addItems(ProtocolSel, Framings);
}

LineChoice Form1::lineChoice() const
{
    LineChoice line;
    line.comPort = qMax(0, ComPort->currentIndex()) + 1;
    line.rateIndex = qMax(0, CommRate->currentIndex());
    // The selected item, not whatever was typed into the edit field.
    line.rateText = CommRate->itemText(line.rateIndex);
    return line;
}

// ---- Decoded data into the controls ----------------------------------------

void Form1::showItemText(QComboBox *box, int index)
{
    box->setCurrentIndex(-1);
    box->setEditText(index >= 0 && index < box->count() ? box->itemText(index) : QString());
}

void Form1::ShowSysInfo()
{
    const ModuleData &m = m_state.module;
    Text6->setText(QString::number(m.SerialNo));
    Text6->setEnabled(false);

    // Shown as text only: these count as the operator's choice only once picked.
    const int sensor = m.SensorByte;
    showItemText(SysSensor, sensor & 0x0F);
    showItemText(Seperate, (sensor >> 4) & 1);
    showItemText(Chnl8, (sensor >> 5) & 1);
    showItemText(Comp, (sensor >> 6) & 1);
    showItemText(Filter, (sensor >> 7) & 1);
    const int comm = m.CommByte;
    showItemText(Request, (comm >> 6) & 1);
    showItemText(OutByte, (comm >> 5) & 1);
    showItemText(Baud, comm & 0x07);
    const int protocol = (comm >> 3) & 0x03;
    ProtocolSel->setCurrentIndex(protocol < ProtocolSel->count() ? protocol : -1);

    MadeDate->setText(withSignBlank(m.MadeYear) + QLatin1Char('-') + QString::number(m.MadeMonth) +
                      QLatin1Char('-') + QString::number(m.MadeDay));
    MadeTime->setText(withSignBlank(m.MadeHour) + QLatin1Char(':') + QString::number(m.MadeMinute));
    MadeDate->setEnabled(false);
    MadeTime->setEnabled(false);

    Address->setText(QString::number(m.SysAddress));
    AdjAD590->setText(QString::number(m.ColdAdj));

    const bool perChannel = (sensor & 0x10) != 0;
    Frame4->setEnabled(perChannel);
    Command4->setEnabled(perChannel);
    Command10->setEnabled(perChannel);
    for (int i = 0; i < 8; ++i) {
        chanl[i]->setEnabled(perChannel);
        ChnlSensor[i]->setEnabled(perChannel);
    }
}

void Form1::showMeasurements(int count, bool record)
{
    const auto &values = m_state.module.MeasValue;
    for (int k = 0; k < qMin(count, 8); ++k)
        Dis[k]->setText(QString::number(values[k]));
    if (!record || !m_Saving)
        return;
    QString error;
    if (!m_record.append(MeasurementRecord::recordLine(m_now().time(), values), &error))
        endRecordingAfterFailure(error);
}

void Form1::showSensorCodes(int)
{
    for (int c = 0; c < 8; ++c)
        showItemText(ChnlSensor[c], m_state.module.ChnlSensorCode[c]);
}

void Form1::showCalibration(int count)
{
    for (int k = 0; k < qMin(count, 8); ++k)
        EngCalb[k]->setText(QString::number(m_state.module.ECalbValue[k]));
}

void Form1::showOutputs()
{
    for (int k = 0; k < 9; ++k)
        setBackColor(DOoutP[k], m_state.module.DOState[k] ? LitOutput : Dark);
}

void Form1::showControlEnable()
{
    setBackColor(DOoutP[9], m_state.module.DOState[9] ? LitOutput : Dark);
}

void Form1::showInputs()
{
    for (int k = 0; k < 20; ++k)
        DI[k]->setColor(m_state.module.DIState[k] ? LitInput : Dark);
}

void Form1::addModule(const QString &item, int slot)
{
    ModNO->addItem(item);
    ModNO->setCurrentIndex(slot < ModNO->count() ? slot : ModNO->count() - 1);
}

void Form1::showScanStep(int address, bool ascii)
{
    // Each address takes two ticks, ASCII first.
    ScanProgress->setValue(2 * address + (ascii ? 1 : 2));
    ScanProgress->setFormat(QStringLiteral("扫描 地址 %1  %2")
                                .arg(address)
                                .arg(ascii ? QStringLiteral("ASCII") : QStringLiteral("RTU")));
}

void Form1::reportPortError(const QString &message)
{
    ScanProgress->hide();
    m_asker.warn(this, programTitle(), message);
}

// ---- Scan, run, stop ------------------------------------------------------

void Form1::Command5_Click()
{
    ModNO->clear();
    ScanProgress->setValue(0);
    ScanProgress->setFormat(QString());
    ScanProgress->show();
    m_polling.startScan(lineChoice());
}

void Form1::Command7_Click()
{
    m_polling.stop();
}

void Form1::Start_Click()
{
    const int selected = ModNO->currentIndex();
    qint16 manualAddress = 0;
    if (selected < 0) {
        const auto address = parseWhole(Address->text(), 0, 255);
        if (!address) {
            m_asker.inform(this, programTitle(),
                           QStringLiteral("“地  址”必须是0～255之间的整数，没有开始运行。"));
            return;
        }
        manualAddress = static_cast<qint16>(*address);
    }
    m_polling.start(lineChoice(), selected, ModNO->count(), manualAddress,
                    Protocol->currentIndex() == 1);
    if (selected >= 0) {
        Address->setText(QString::number(m_state.mods.address()));
        Protocol->setCurrentIndex(m_state.mods.isAscii() ? 1 : 0);
    }
    for (QLineEdit *d : Dis)
        d->clear();
}

void Form1::ModNO_Change()
{
    const int index = ModNO->currentIndex();
    if (index < 0 || !ModuleSlots::validIndex(index))
        return;
    m_state.mods.ModIndex = static_cast<qint16>(index);
    Address->setText(QString::number(m_state.mods.address()));
}

// ---- Writes -------------------------------------------------------------

SysParamSelection Form1::sysParamSelection() const
{
    SysParamSelection sel;
    sel.SysSensor = SysSensor->currentIndex();
    sel.Seperate = Seperate->currentIndex();
    sel.Chnl8 = Chnl8->currentIndex();
    sel.Comp = Comp->currentIndex();
    sel.Filter = Filter->currentIndex();
    sel.Baud = Baud->currentIndex();
    sel.OutByte = OutByte->currentIndex();
    sel.Request = Request->currentIndex();
    sel.ProtocolSel = ProtocolSel->currentIndex();
    return sel;
}

namespace {
const QString ConfirmTitle = QStringLiteral("确认窗口");
const QString ConfirmText = QStringLiteral("准备将系统参数写到模块中吗？");
} // namespace

void Form1::Command6_Click()
{
    if (!m_asker.confirm(this, ConfirmTitle, ConfirmText))
        return;
    const auto bad =
        m_writes.writeModuleParameters(sysParamSelection(), Address->text(), AdjAD590->text());
    if (bad)
        m_asker.inform(this, programTitle(), fieldMessage(*bad));
}

void Form1::Command4_Click()
{
    if (!m_asker.confirm(this, ConfirmTitle, ConfirmText))
        return;
    std::array<int, 8> picked{};
    for (int i = 0; i < 8; ++i)
        picked[i] = ChnlSensor[i]->currentIndex();
    m_writes.writeChannelSensors(picked);
}

void Form1::Command8_Click()
{
    std::array<QString, 8> texts;
    for (int i = 0; i < 8; ++i)
        texts[i] = EngCalb[i]->text();
    m_writes.writeCalibration(texts);
}

void Form1::Command10_Click()
{
    m_polling.push(Cmd::ReadSensorCodes);
}

void Form1::DOoutP_Click(int index)
{
    m_writes.toggleOutput(index);
}

// ---- Measurement record ---------------------------------------------------

void Form1::setRecordingControls(bool on)
{
    Label39->setEnabled(on);
    FileDis->setEnabled(on);
    Save->setText(on ? QStringLiteral("Close") : QStringLiteral("Save"));
}

void Form1::endRecordingAfterFailure(const QString &reason)
{
    m_record.abandon();
    m_Saving = False16;
    setRecordingControls(false);
    m_asker.inform(this, programTitle(),
                   QStringLiteral("文件") + FileDis->text() + QStringLiteral("写入失败：") +
                       reason);
}

void Form1::Save_Click()
{
    QString error;
    if (m_Saving) {
        const bool ok = m_record.stop(m_now(), &error);
        m_Saving = False16;
        setRecordingControls(false);
        if (!ok)
            m_asker.inform(this, programTitle(),
                           QStringLiteral("文件") + FileDis->text() + QStringLiteral("写入失败：") +
                               error);
        return;
    }

    const auto answer =
        m_asker.askText(this, QStringLiteral("存储设置参数"),
                        QStringLiteral("存储文件名：(如果文件名没有扩展名，则自动加扩展名.DAT)"),
                        QStringLiteral("AutoTuning"));
    if (!answer || answer->isEmpty())
        return;
    const QString name = MeasurementRecord::fileNameFor(*answer);
    if (QFileInfo::exists(name) &&
        !m_asker.confirm(this, programTitle(),
                         QStringLiteral("文件") + name + QStringLiteral("已经存在，要替换吗")))
        return;
    if (!m_record.start(name, m_now(), &error)) {
        m_asker.inform(this, programTitle(),
                       QStringLiteral("文件") + name + QStringLiteral("无法写入：") + error);
        return;
    }
    m_Saving = True16;
    FileDis->setText(name);
    setRecordingControls(true);
}

// ---- Clock and ending -------------------------------------------------------

void Form1::DisTimer_Timer()
{
    NowDis->setText(dateTimeStamp(m_now()));
}

void Form1::Command1_Click()
{
    QApplication::beep();
    close();
}

void Form1::closeEvent(QCloseEvent *event)
{
    endProgram();
    event->accept();
}

void Form1::endProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    m_polling.stop();
    m_engine.timMscon().stop();
    m_DisTimer.stop();
    // An open record gets no stop time stamp when the program ends.
    m_record.abandon();
    m_Saving = False16;
    m_engine.port().setPortOpen(false);
    // Hidden windows must not keep the program alive.
    QCoreApplication::exit(0);
}

} // namespace krv
