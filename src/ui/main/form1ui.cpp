#include "form1ui.h"

#include "protocol/serialportcomponent.h"
#include "ui/controls.h"
#include "ui/lamp.h"

#include <QActionGroup>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace krv {

void Form1Ui::setupUi(QWidget *window)
{
    form = window;
    window->setObjectName(QStringLiteral("Form1"));
    window->setWindowTitle(tr("KRV2060模块测试设置程序"));

    auto *top = new QVBoxLayout(window);
    // Above the layout's contents: every control keeps its place below it.
    top->setMenuBar(buildMenuBar());
    top->addWidget(buildStatusStrip());
    auto *middle = new QHBoxLayout;
    middle->addWidget(buildFrame1(), 1);
    middle->addWidget(buildLampColumn());
    top->addLayout(middle);
    top->addWidget(buildChannelRows());
    top->addWidget(buildFrame4());
    top->addWidget(buildOutputRow());
    top->addWidget(buildBottom());
}

QString Form1Ui::clockFormat()
{
    //: QDateTime format of the clock on the status strip (yyyy year, MM month,
    //: dd day, HH:mm:ss time).
    return tr("yyyy年MM月dd日    HH:mm:ss");
}

QMenuBar *Form1Ui::buildMenuBar()
{
    MenuBar = new QMenuBar;
    MenuBar->setObjectName(QStringLiteral("MenuBar"));
    mnuView = MenuBar->addMenu(tr("查看(&V)"));
    mnuView->setObjectName(QStringLiteral("mnuView"));
    mnuTrafficMonitor = mnuView->addAction(tr("通讯监视…"));
    mnuTrafficMonitor->setObjectName(QStringLiteral("mnuTrafficMonitor"));
    mnuTrendChart = mnuView->addAction(tr("趋势图…"));
    mnuTrendChart->setObjectName(QStringLiteral("mnuTrendChart"));

    // The same caption in both languages, so that it can be found in either.
    mnuLanguage = MenuBar->addMenu(QStringLiteral("语言 / Language"));
    mnuLanguage->setObjectName(QStringLiteral("mnuLanguage"));
    auto *languages = new QActionGroup(mnuLanguage);
    // Each language under its own name.
    mnuChinese = mnuLanguage->addAction(QStringLiteral("中文"));
    mnuChinese->setObjectName(QStringLiteral("mnuChinese"));
    mnuEnglish = mnuLanguage->addAction(QStringLiteral("English"));
    mnuEnglish->setObjectName(QStringLiteral("mnuEnglish"));
    for (QAction *item : {mnuChinese, mnuEnglish}) {
        item->setCheckable(true);
        languages->addAction(item);
    }
    return MenuBar;
}

QWidget *Form1Ui::buildStatusStrip()
{
    auto *strip = new QWidget;
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    Text4 = makeTextBox(QStringLiteral("Text4"), QString());
    Text3 = makeTextBox(QStringLiteral("Text3"), QString());
    for (QLineEdit *count : {Text4, Text3}) {
        count->setReadOnly(true);
        count->setFixedWidth(count->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
    }
    Label39 = makeLabel(QStringLiteral("Label39"), tr("FileName:"));
    FileDis = makeLabel(QStringLiteral("FileDis"), QStringLiteral("FileDis"));
    FileDis->setMinimumWidth(FileDis->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 12);
    NowDis = makeLabel(QStringLiteral("NowDis"), QStringLiteral("NowDis"));
    NowDis->setMinimumWidth(NowDis->fontMetrics().horizontalAdvance(
        QDateTime(QDate(2088, 8, 28), QTime(18, 58, 58)).toString(clockFormat())));
    NowDis->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Progress of a scan: 512 ticks, the address and framing being tried.
    ScanProgress = new QProgressBar;
    ScanProgress->setObjectName(QStringLiteral("ScanProgress"));
    ScanProgress->setRange(0, 512);
    ScanProgress->setMinimumWidth(
        ScanProgress->fontMetrics().horizontalAdvance(
            tr("扫描 地址 %1  %2").arg(255).arg(QStringLiteral("ASCII"))) +
        40);
    QSizePolicy keep = ScanProgress->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    ScanProgress->setSizePolicy(keep);
    ScanProgress->hide();

    row->addWidget(makeLabel(QStringLiteral("Label4"), tr("通讯次数")));
    row->addWidget(Text4);
    row->addSpacing(12);
    row->addWidget(makeLabel(QStringLiteral("Label3"), tr("出错次数")));
    row->addWidget(Text3);
    row->addSpacing(12);
    row->addWidget(Label39);
    row->addWidget(FileDis, 1);
    row->addWidget(ScanProgress);
    row->addSpacing(12);
    row->addWidget(NowDis);
    return strip;
}

QGroupBox *Form1Ui::buildFrame1()
{
    auto *frame = makeFrame(QStringLiteral("Frame1"), tr("模块信息"));

    Address = makeTextBox(QStringLiteral("Address"), QStringLiteral("2"));
    Text6 = makeTextBox(QStringLiteral("Text6"), QStringLiteral("Text6"));
    SysSensor = makeComboBox(QStringLiteral("SysSensor"), QStringLiteral("Combo1"));
    Seperate = makeComboBox(QStringLiteral("Seperate"), QStringLiteral("Combo1"));
    Chnl8 = makeComboBox(QStringLiteral("Chnl8"), QStringLiteral("Combo1"));
    Text12 = makeTextBox(QStringLiteral("Text12"), QStringLiteral("Text12"));
    Text12->setReadOnly(true);
    Baud = makeComboBox(QStringLiteral("Baud"), QStringLiteral("Combo2"));
    Filter = makeComboBox(QStringLiteral("Filter"), QStringLiteral("Combo1"));
    Comp = makeComboBox(QStringLiteral("Comp"), QStringLiteral("Combo1"));
    ProtocolSel = makeComboBox(QStringLiteral("ProtocolSel"), QStringLiteral("Combo1"));
    AdjAD590 = makeTextBox(QStringLiteral("AdjAD590"), QStringLiteral("Text9"));
    MadeDate = makeTextBox(QStringLiteral("MadeDate"), QStringLiteral("Text11"));
    MadeTime = makeTextBox(QStringLiteral("MadeTime"), QStringLiteral("Text10"));
    Request = makeComboBox(QStringLiteral("Request"), QStringLiteral("Combo8"));
    OutByte = makeComboBox(QStringLiteral("OutByte"), QStringLiteral("Combo9"));
    POutTime = makeTextBox(QStringLiteral("POutTime"), QStringLiteral("POutTime"));
    Command6 = makeButton(QStringLiteral("Command6"), tr("写模块参数"));

    // Wide enough for the longest parallel-port time, frame and margins included.
    const int fieldWidth =
        form->fontMetrics().horizontalAdvance(QStringLiteral("1085.06944444444")) + 24;
    for (QWidget *w :
         std::initializer_list<QWidget *>{Address, Text6, AdjAD590, MadeDate, MadeTime, POutTime})
        w->setMinimumWidth(fieldWidth);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    auto pair = [grid](int row, int col, QLabel *l, QWidget *field) {
        grid->addWidget(l, row, 2 * col);
        grid->addWidget(field, row, 2 * col + 1);
    };
    grid->addWidget(makeLabel(QStringLiteral("Label14"), tr("设备信息")), 0, 0);
    grid->addWidget(Text12, 0, 1, 1, 5);
    pair(1, 0, makeLabel(QStringLiteral("Label6"), tr("地  址")), Address);
    pair(1, 1, makeLabel(QStringLiteral("Label5"), tr("系列号")), Text6);
    pair(1, 2, makeLabel(QStringLiteral("Label13"), tr("冷校准")), AdjAD590);
    pair(2, 0, makeLabel(QStringLiteral("Label18"), tr("传感器")), SysSensor);
    pair(2, 1, makeLabel(QStringLiteral("Label17"), tr("单独设")), Seperate);
    pair(2, 2, makeLabel(QStringLiteral("Label19"), tr("通道8")), Chnl8);
    pair(3, 0, makeLabel(QStringLiteral("Label21"), tr("滤  波")), Filter);
    pair(3, 1, makeLabel(QStringLiteral("Label20"), tr("补  偿")), Comp);
    pair(3, 2, makeLabel(QStringLiteral("Label8"), tr("协  议")), ProtocolSel);
    pair(4, 0, makeLabel(QStringLiteral("Label12"), tr("波特率")), Baud);
    pair(4, 1, makeLabel(QStringLiteral("Label1"), tr("请求输出")), Request);
    pair(4, 2, makeLabel(QStringLiteral("Label22_2"), tr("字节输出")), OutByte);
    pair(5, 0, makeLabel(QStringLiteral("Label15"), tr("制造日期")), MadeDate);
    pair(5, 1, makeLabel(QStringLiteral("Label16"), tr("制造时间")), MadeTime);
    auto *pOut = new QHBoxLayout;
    pOut->addWidget(POutTime, 1);
    pOut->addWidget(makeLabel(QStringLiteral("Label36"), tr("uS")));
    grid->addWidget(makeLabel(QStringLiteral("Label35"), tr("并口时间")), 5, 4);
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

QGroupBox *Form1Ui::buildFrame5()
{
    auto *frame = makeFrame(QStringLiteral("Frame5"), tr("通信参数"));
    ComPort = makeComboBox(QStringLiteral("ComPort"), QStringLiteral("Combo1"));
    CommRate = makeComboBox(QStringLiteral("CommRate"), QStringLiteral("Combo1"));
    Protocol = makeComboBox(QStringLiteral("Protocol"), QStringLiteral("Combo1"));
    ModNO = makeComboBox(QStringLiteral("ModNO"), QStringLiteral("Combo2"));
    ModNO->setMinimumContentsLength(8);
    Command5 = makeButton(QStringLiteral("Command5"), tr("扫描模块"));
    Command7 = makeButton(QStringLiteral("Command7"), tr("停 止"));
    Start = makeButton(QStringLiteral("Start"), tr("运 行"));

    auto *grid = new QGridLayout(frame);
    grid->addWidget(makeLabel(QStringLiteral("Label31"), tr("串行口")), 0, 0);
    grid->addWidget(ComPort, 0, 1, 1, 2);
    grid->addWidget(makeLabel(QStringLiteral("Label32"), tr("波特率")), 1, 0);
    grid->addWidget(CommRate, 1, 1, 1, 2);
    grid->addWidget(makeLabel(QStringLiteral("Label33"), tr("协  议")), 2, 0);
    grid->addWidget(Protocol, 2, 1, 1, 2);
    grid->addWidget(makeLabel(QStringLiteral("Label34"), tr("模块号")), 3, 0);
    grid->addWidget(ModNO, 3, 1, 1, 2);
    grid->addWidget(Command5, 4, 0);
    grid->addWidget(Command7, 4, 1);
    grid->addWidget(Start, 4, 2);
    return frame;
}

QWidget *Form1Ui::buildLampColumn()
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
    const LampFrame frames[] = {{"Frame2", tr("上限报警"), 0, 8, 0},
                                {"Frame3", tr("下限报警"), 8, 8, 1},
                                {"Frame6", tr("外部DI"), 16, 4, 3}};
    for (const LampFrame &f : frames) {
        auto *frame = makeFrame(QLatin1String(f.name), f.caption);
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

QWidget *Form1Ui::buildChannelRows()
{
    auto *rows = new QWidget;
    auto *grid = new QGridLayout(rows);
    m_channelGrid = grid;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(makeLabel(QStringLiteral("Label37"), tr("实时测量")), 1, 0);
    grid->addWidget(makeLabel(QStringLiteral("Label38"), tr("工程校准")), 2, 0);
    for (int i = 0; i < 8; ++i) {
        auto *head = makeLabel(QStringLiteral("Title%1").arg(i), tr("通道%1").arg(i));
        head->setAlignment(Qt::AlignCenter);
        Dis[i] = makeTextBox(QStringLiteral("Dis%1").arg(i), QStringLiteral("Display"));
        Dis[i]->setReadOnly(true);
        EngCalb[i] = makeTextBox(QStringLiteral("EngCalb%1").arg(i), QStringLiteral("EngCalb"));
        for (QLineEdit *e : {Dis[i], EngCalb[i]}) {
            e->setAlignment(Qt::AlignRight);
            e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("-32768000")));
        }
        grid->addWidget(head, 0, i + 1);
        grid->addWidget(Dis[i], 1, i + 1);
        grid->addWidget(EngCalb[i], 2, i + 1);
        grid->setColumnStretch(i + 1, 1);
    }
    Command8 = makeButton(QStringLiteral("Command8"), tr("写工程校准"));
    grid->addWidget(Command8, 2, 9);
    return rows;
}

QGroupBox *Form1Ui::buildFrame4()
{
    Frame4 = makeFrame(QStringLiteral("Frame4"), tr("通道传感器设置"));
    auto *grid = new QGridLayout(Frame4);
    m_sensorGrid = grid;
    // Column 0 stands under the row labels above, so that the channel columns
    // of both grids line up (see alignChannelColumns).
    m_sensorIndent = new QWidget;
    grid->addWidget(m_sensorIndent, 1, 0);
    for (int i = 0; i < 8; ++i) {
        chanl[i] = makeLabel(QStringLiteral("chanl%1").arg(i), tr("通道%1").arg(i));
        ChnlSensor[i] =
            makeComboBox(QStringLiteral("ChnlSensor%1").arg(i), QStringLiteral("Combo1"));
        grid->addWidget(chanl[i], 0, i + 1);
        grid->addWidget(ChnlSensor[i], 1, i + 1);
        grid->setColumnStretch(i + 1, 1);
    }
    Command10 = makeButton(QStringLiteral("Command10"), tr("刷 新"));
    Command4 = makeButton(QStringLiteral("Command4"), tr("设 置"));
    m_sensorButtons = new QWidget;
    auto *buttons = new QHBoxLayout(m_sensorButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(Command10);
    buttons->addWidget(Command4);
    grid->addWidget(m_sensorButtons, 1, 9);
    return Frame4;
}

QWidget *Form1Ui::buildOutputRow()
{
    auto *rowWidget = new QWidget;
    auto *row = new QHBoxLayout(rowWidget);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(makeLabel(QStringLiteral("Label11"), tr("开关输出")));
    for (int i = 0; i < 10; ++i) {
        DOoutP[i] = makeColorButton(QStringLiteral("DOoutP%1").arg(i),
                                    i < 9 ? QStringLiteral("DOut%1").arg(i) : tr("控温"));
        row->addWidget(DOoutP[i], 1);
    }
    return rowWidget;
}

QWidget *Form1Ui::buildBottom()
{
    auto *bottom = new QWidget;
    auto *grid = new QGridLayout(bottom);
    grid->setContentsMargins(0, 0, 0, 0);
    Text5 = makeTextBox(QStringLiteral("Text5"), QStringLiteral("Text5"));
    Text1 = makeTextBox(QStringLiteral("Text1"), QStringLiteral("Text1"));
    Text2 = makeTextBox(QStringLiteral("Text2"), QString());
    for (QLineEdit *e : {Text5, Text1, Text2})
        e->setReadOnly(true);
    grid->addWidget(makeLabel(QStringLiteral("Label9"), tr("发送命令")), 0, 0);
    grid->addWidget(Text5, 0, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label10"), tr("接收命令")), 1, 0);
    grid->addWidget(Text1, 1, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label2"), tr("状态信息")), 2, 0);
    grid->addWidget(Text2, 2, 1);
    grid->setColumnStretch(1, 1);

    Command2 = makeButton(QStringLiteral("Command2"), tr("控制参数"));
    Command3 = makeButton(QStringLiteral("Command3"), tr("报警参数"));
    Save = makeButton(QStringLiteral("Save"), tr("Save"));
    Command1 = makeButton(QStringLiteral("Command1"), tr("结 束"));
    auto *buttons = new QGridLayout;
    buttons->addWidget(Command2, 0, 0);
    buttons->addWidget(Command3, 0, 1);
    buttons->addWidget(Save, 1, 0);
    buttons->addWidget(Command1, 1, 1);
    grid->addLayout(buttons, 0, 2, 3, 1, Qt::AlignBottom);
    grid->setColumnMinimumWidth(2, 0);
    return bottom;
}

void Form1Ui::alignChannelColumns()
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

} // namespace krv
