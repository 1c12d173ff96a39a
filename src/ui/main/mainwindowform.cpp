#include "mainwindowform.h"

#include "protocol/portcomponent.h"
#include "ui/controls.h"
#include "ui/lamp.h"
#include "ui/main/portlist.h"

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

void MainWindowForm::setupUi(QWidget *window)
{
    form = window;
    window->setObjectName(QStringLiteral("Form1"));
    window->setWindowTitle(tr("KRV2060模块测试设置程序"));

    auto *top = new QVBoxLayout(window);
    // Above the layout's contents: every control keeps its place below it.
    top->setMenuBar(buildMenuBar());
    top->addWidget(buildStatusStrip());
    auto *middle = new QHBoxLayout;
    middle->addWidget(buildModuleFrame(), 1);
    middle->addWidget(buildLampColumn());
    top->addLayout(middle);
    top->addWidget(buildChannelRows());
    top->addWidget(buildSensorFrame());
    top->addWidget(buildOutputRow());
    top->addWidget(buildBottom());
}

QString MainWindowForm::clockFormat()
{
    //: QDateTime format of the clock on the status strip (yyyy year, MM month,
    //: dd day, HH:mm:ss time).
    return tr("yyyy年MM月dd日    HH:mm:ss");
}

QMenuBar *MainWindowForm::buildMenuBar()
{
    menuBar = new QMenuBar;
    menuBar->setObjectName(QStringLiteral("MenuBar"));
    viewMenu = menuBar->addMenu(tr("查看(&V)"));
    viewMenu->setObjectName(QStringLiteral("mnuView"));
    trafficMonitorAction = viewMenu->addAction(tr("通讯监视…"));
    trafficMonitorAction->setObjectName(QStringLiteral("mnuTrafficMonitor"));
    trendChartAction = viewMenu->addAction(tr("趋势图…"));
    trendChartAction->setObjectName(QStringLiteral("mnuTrendChart"));
    toolsMenu = menuBar->addMenu(tr("工具(&T)"));
    toolsMenu->setObjectName(QStringLiteral("mnuTools"));
    batchAction = toolsMenu->addAction(tr("批量设置…"));
    batchAction->setObjectName(QStringLiteral("mnuBatch"));

    // The same caption in both languages, so that it can be found in either.
    languageMenu = menuBar->addMenu(QStringLiteral("语言 / Language"));
    languageMenu->setObjectName(QStringLiteral("mnuLanguage"));
    auto *languages = new QActionGroup(languageMenu);
    // Each language under its own name.
    chineseAction = languageMenu->addAction(QStringLiteral("中文"));
    chineseAction->setObjectName(QStringLiteral("mnuChinese"));
    englishAction = languageMenu->addAction(QStringLiteral("English"));
    englishAction->setObjectName(QStringLiteral("mnuEnglish"));
    for (QAction *item : {chineseAction, englishAction}) {
        item->setCheckable(true);
        languages->addAction(item);
    }
    return menuBar;
}

QWidget *MainWindowForm::buildStatusStrip()
{
    auto *strip = new QWidget;
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    receiveCountBox = makeTextBox(QStringLiteral("Text4"), QString());
    timeoutCountBox = makeTextBox(QStringLiteral("Text3"), QString());
    for (QLineEdit *count : {receiveCountBox, timeoutCountBox}) {
        count->setReadOnly(true);
        count->setFixedWidth(count->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
    }
    recordFileLabel = makeLabel(QStringLiteral("Label39"), tr("FileName:"));
    recordFileName = makeLabel(QStringLiteral("FileDis"), QStringLiteral("FileDis"));
    recordFileName->setMinimumWidth(
        recordFileName->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 12);
    clockLabel = makeLabel(QStringLiteral("NowDis"), QStringLiteral("NowDis"));
    clockLabel->setMinimumWidth(clockLabel->fontMetrics().horizontalAdvance(
        QDateTime(QDate(2088, 8, 28), QTime(18, 58, 58)).toString(clockFormat())));
    clockLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Progress of a scan: 512 ticks, the address and framing being tried.
    scanProgress = new QProgressBar;
    scanProgress->setObjectName(QStringLiteral("ScanProgress"));
    scanProgress->setRange(0, 512);
    scanProgress->setMinimumWidth(
        scanProgress->fontMetrics().horizontalAdvance(
            tr("扫描 地址 %1  %2").arg(255).arg(QStringLiteral("ASCII"))) +
        40);
    QSizePolicy keep = scanProgress->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    scanProgress->setSizePolicy(keep);
    scanProgress->hide();

    row->addWidget(makeLabel(QStringLiteral("Label4"), tr("通讯次数")));
    row->addWidget(receiveCountBox);
    row->addSpacing(12);
    row->addWidget(makeLabel(QStringLiteral("Label3"), tr("出错次数")));
    row->addWidget(timeoutCountBox);
    row->addSpacing(12);
    row->addWidget(recordFileLabel);
    row->addWidget(recordFileName, 1);
    row->addWidget(scanProgress);
    row->addSpacing(12);
    row->addWidget(clockLabel);
    return strip;
}

QGroupBox *MainWindowForm::buildModuleFrame()
{
    auto *frame = makeFrame(QStringLiteral("Frame1"), tr("模块信息"));

    addressBox = makeTextBox(QStringLiteral("Address"), QStringLiteral("2"));
    serialNumberBox = makeTextBox(QStringLiteral("Text6"), QStringLiteral("Text6"));
    sensorTypeList = makeComboBox(QStringLiteral("SysSensor"), QStringLiteral("Combo1"));
    perChannelList = makeComboBox(QStringLiteral("Seperate"), QStringLiteral("Combo1"));
    channel8List = makeComboBox(QStringLiteral("Chnl8"), QStringLiteral("Combo1"));
    deviceIdBox = makeTextBox(QStringLiteral("Text12"), QStringLiteral("Text12"));
    deviceIdBox->setReadOnly(true);
    moduleSpeedList = makeComboBox(QStringLiteral("Baud"), QStringLiteral("Combo2"));
    filterList = makeComboBox(QStringLiteral("Filter"), QStringLiteral("Combo1"));
    compensationList = makeComboBox(QStringLiteral("Comp"), QStringLiteral("Combo1"));
    moduleProtocolList = makeComboBox(QStringLiteral("ProtocolSel"), QStringLiteral("Combo1"));
    coldJunctionBox = makeTextBox(QStringLiteral("AdjAD590"), QStringLiteral("Text9"));
    madeDateBox = makeTextBox(QStringLiteral("MadeDate"), QStringLiteral("Text11"));
    madeTimeBox = makeTextBox(QStringLiteral("MadeTime"), QStringLiteral("Text10"));
    requestOutputList = makeComboBox(QStringLiteral("Request"), QStringLiteral("Combo8"));
    byteOutputList = makeComboBox(QStringLiteral("OutByte"), QStringLiteral("Combo9"));
    parallelTimeBox = makeTextBox(QStringLiteral("POutTime"), QStringLiteral("POutTime"));
    writeModuleButton = makeButton(QStringLiteral("Command6"), tr("写模块参数"));

    // Wide enough for the longest parallel-port time, frame and margins included.
    const int fieldWidth =
        form->fontMetrics().horizontalAdvance(QStringLiteral("1085.06944444444")) + 24;
    for (QWidget *w : std::initializer_list<QWidget *>{addressBox, serialNumberBox, coldJunctionBox,
                                                       madeDateBox, madeTimeBox, parallelTimeBox})
        w->setMinimumWidth(fieldWidth);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    auto pair = [grid](int row, int col, QLabel *l, QWidget *field) {
        grid->addWidget(l, row, 2 * col);
        grid->addWidget(field, row, 2 * col + 1);
    };
    grid->addWidget(makeLabel(QStringLiteral("Label14"), tr("设备信息")), 0, 0);
    grid->addWidget(deviceIdBox, 0, 1, 1, 5);
    pair(1, 0, makeLabel(QStringLiteral("Label6"), tr("地  址")), addressBox);
    pair(1, 1, makeLabel(QStringLiteral("Label5"), tr("系列号")), serialNumberBox);
    pair(1, 2, makeLabel(QStringLiteral("Label13"), tr("冷校准")), coldJunctionBox);
    pair(2, 0, makeLabel(QStringLiteral("Label18"), tr("传感器")), sensorTypeList);
    pair(2, 1, makeLabel(QStringLiteral("Label17"), tr("单独设")), perChannelList);
    pair(2, 2, makeLabel(QStringLiteral("Label19"), tr("通道8")), channel8List);
    pair(3, 0, makeLabel(QStringLiteral("Label21"), tr("滤  波")), filterList);
    pair(3, 1, makeLabel(QStringLiteral("Label20"), tr("补  偿")), compensationList);
    pair(3, 2, makeLabel(QStringLiteral("Label8"), tr("协  议")), moduleProtocolList);
    pair(4, 0, makeLabel(QStringLiteral("Label12"), tr("波特率")), moduleSpeedList);
    pair(4, 1, makeLabel(QStringLiteral("Label1"), tr("请求输出")), requestOutputList);
    pair(4, 2, makeLabel(QStringLiteral("Label22_2"), tr("字节输出")), byteOutputList);
    pair(5, 0, makeLabel(QStringLiteral("Label15"), tr("制造日期")), madeDateBox);
    pair(5, 1, makeLabel(QStringLiteral("Label16"), tr("制造时间")), madeTimeBox);
    auto *pOut = new QHBoxLayout;
    pOut->addWidget(parallelTimeBox, 1);
    pOut->addWidget(makeLabel(QStringLiteral("Label36"), tr("uS")));
    grid->addWidget(makeLabel(QStringLiteral("Label35"), tr("并口时间")), 5, 4);
    grid->addLayout(pOut, 5, 5);
    grid->addWidget(writeModuleButton, 6, 5);
    for (int c : {1, 3, 5})
        grid->setColumnStretch(c, 1);
    grid->setRowStretch(7, 1);

    auto *box = new QHBoxLayout(frame);
    box->addLayout(grid, 1);
    box->addSpacing(8);
    box->addWidget(buildLineFrame(), 0, Qt::AlignTop);
    return frame;
}

QGroupBox *MainWindowForm::buildLineFrame()
{
    auto *frame = makeFrame(QStringLiteral("Frame5"), tr("通信参数"));
    portList = new PortList;
    setUpComboBox(portList, QStringLiteral("ComPort"), QStringLiteral("Combo1"));
    lineSpeedList = makeComboBox(QStringLiteral("CommRate"), QStringLiteral("Combo1"));
    framingList = makeComboBox(QStringLiteral("Protocol"), QStringLiteral("Combo1"));
    moduleList = makeComboBox(QStringLiteral("ModNO"), QStringLiteral("Combo2"));
    moduleList->setMinimumContentsLength(8);
    scanButton = makeButton(QStringLiteral("Command5"), tr("扫描模块"));
    stopButton = makeButton(QStringLiteral("Command7"), tr("停 止"));
    runButton = makeButton(QStringLiteral("Start"), tr("运 行"));

    auto *grid = new QGridLayout(frame);
    grid->addWidget(makeLabel(QStringLiteral("Label31"), tr("串行口")), 0, 0);
    grid->addWidget(portList, 0, 1, 1, 2);
    grid->addWidget(makeLabel(QStringLiteral("Label32"), tr("波特率")), 1, 0);
    grid->addWidget(lineSpeedList, 1, 1, 1, 2);
    grid->addWidget(makeLabel(QStringLiteral("Label33"), tr("协  议")), 2, 0);
    grid->addWidget(framingList, 2, 1, 1, 2);
    grid->addWidget(makeLabel(QStringLiteral("Label34"), tr("模块号")), 3, 0);
    grid->addWidget(moduleList, 3, 1, 1, 2);
    grid->addWidget(scanButton, 4, 0);
    grid->addWidget(stopButton, 4, 1);
    grid->addWidget(runButton, 4, 2);
    return frame;
}

QWidget *MainWindowForm::buildLampColumn()
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
            inputLamps[f.first + d] = lamp;
            grid->addWidget(digit, 0, d, Qt::AlignHCenter);
            grid->addWidget(lamp, 1, d, Qt::AlignHCenter);
        }
        // The external inputs have four lamps: keep them at the same pitch as the others.
        grid->setColumnStretch(8, 1);
        v->addWidget(frame);
    }
    v->addStretch(1);
    return column;
}

QWidget *MainWindowForm::buildChannelRows()
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
        measurementBoxes[i] =
            makeTextBox(QStringLiteral("Dis%1").arg(i), QStringLiteral("Display"));
        measurementBoxes[i]->setReadOnly(true);
        calibrationBoxes[i] =
            makeTextBox(QStringLiteral("EngCalb%1").arg(i), QStringLiteral("EngCalb"));
        for (QLineEdit *e : {measurementBoxes[i], calibrationBoxes[i]}) {
            e->setAlignment(Qt::AlignRight);
            e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("-32768000")));
        }
        grid->addWidget(head, 0, i + 1);
        grid->addWidget(measurementBoxes[i], 1, i + 1);
        grid->addWidget(calibrationBoxes[i], 2, i + 1);
        grid->setColumnStretch(i + 1, 1);
    }
    writeCalibrationButton = makeButton(QStringLiteral("Command8"), tr("写工程校准"));
    grid->addWidget(writeCalibrationButton, 2, 9);
    return rows;
}

QGroupBox *MainWindowForm::buildSensorFrame()
{
    sensorFrame = makeFrame(QStringLiteral("Frame4"), tr("通道传感器设置"));
    auto *grid = new QGridLayout(sensorFrame);
    m_sensorGrid = grid;
    // Column 0 stands under the row labels above, so that the channel columns
    // of both grids line up (see alignChannelColumns).
    m_sensorIndent = new QWidget;
    grid->addWidget(m_sensorIndent, 1, 0);
    for (int i = 0; i < 8; ++i) {
        sensorChannelLabels[i] = makeLabel(QStringLiteral("chanl%1").arg(i), tr("通道%1").arg(i));
        channelSensorLists[i] =
            makeComboBox(QStringLiteral("ChnlSensor%1").arg(i), QStringLiteral("Combo1"));
        grid->addWidget(sensorChannelLabels[i], 0, i + 1);
        grid->addWidget(channelSensorLists[i], 1, i + 1);
        grid->setColumnStretch(i + 1, 1);
    }
    refreshSensorsButton = makeButton(QStringLiteral("Command10"), tr("刷 新"));
    setSensorsButton = makeButton(QStringLiteral("Command4"), tr("设 置"));
    m_sensorButtons = new QWidget;
    auto *buttons = new QHBoxLayout(m_sensorButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(refreshSensorsButton);
    buttons->addWidget(setSensorsButton);
    grid->addWidget(m_sensorButtons, 1, 9);
    return sensorFrame;
}

QWidget *MainWindowForm::buildOutputRow()
{
    auto *rowWidget = new QWidget;
    auto *row = new QHBoxLayout(rowWidget);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(makeLabel(QStringLiteral("Label11"), tr("开关输出")));
    for (int i = 0; i < 10; ++i) {
        outputButtons[i] = makeColorButton(QStringLiteral("DOoutP%1").arg(i),
                                           i < 9 ? QStringLiteral("DOut%1").arg(i) : tr("控温"));
        row->addWidget(outputButtons[i], 1);
    }
    return rowWidget;
}

QWidget *MainWindowForm::buildBottom()
{
    auto *bottom = new QWidget;
    auto *grid = new QGridLayout(bottom);
    grid->setContentsMargins(0, 0, 0, 0);
    sentFrameBox = makeTextBox(QStringLiteral("Text5"), QStringLiteral("Text5"));
    receivedFrameBox = makeTextBox(QStringLiteral("Text1"), QStringLiteral("Text1"));
    statusBox = makeTextBox(QStringLiteral("Text2"), QString());
    for (QLineEdit *e : {sentFrameBox, receivedFrameBox, statusBox})
        e->setReadOnly(true);
    grid->addWidget(makeLabel(QStringLiteral("Label9"), tr("发送命令")), 0, 0);
    grid->addWidget(sentFrameBox, 0, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label10"), tr("接收命令")), 1, 0);
    grid->addWidget(receivedFrameBox, 1, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label2"), tr("状态信息")), 2, 0);
    grid->addWidget(statusBox, 2, 1);
    grid->setColumnStretch(1, 1);

    controlEditorButton = makeButton(QStringLiteral("Command2"), tr("控制参数"));
    alarmEditorButton = makeButton(QStringLiteral("Command3"), tr("报警参数"));
    recordButton = makeButton(QStringLiteral("Save"), tr("Save"));
    endButton = makeButton(QStringLiteral("Command1"), tr("结 束"));
    auto *buttons = new QGridLayout;
    buttons->addWidget(controlEditorButton, 0, 0);
    buttons->addWidget(alarmEditorButton, 0, 1);
    buttons->addWidget(recordButton, 1, 0);
    buttons->addWidget(endButton, 1, 1);
    grid->addLayout(buttons, 0, 2, 3, 1, Qt::AlignBottom);
    grid->setColumnMinimumWidth(2, 0);
    return bottom;
}

void MainWindowForm::alignChannelColumns()
{
    // The sensor grid sits inside its frame, so it starts further right and
    // ends further left than the grid of the rows above. Give both the same
    // outer column widths, less the frame's insets, and the same channel
    // column minimum: the eight channel columns then share their x positions.
    const QMargins frame = sensorFrame->contentsMargins() + m_sensorGrid->contentsMargins();
    int labelWidth = 0;
    for (int row = 0; row < 3; ++row) {
        if (QLayoutItem *item = m_channelGrid->itemAtPosition(row, 0))
            labelWidth = qMax(labelWidth, item->sizeHint().width());
    }
    labelWidth = qMax(labelWidth, frame.left());
    const int buttonWidth = qMax(writeCalibrationButton->sizeHint().width(),
                                 m_sensorButtons->sizeHint().width() + frame.right());
    m_channelGrid->setColumnMinimumWidth(0, labelWidth);
    m_channelGrid->setColumnMinimumWidth(9, buttonWidth);
    m_sensorIndent->setFixedWidth(labelWidth - frame.left());
    m_sensorGrid->setColumnMinimumWidth(9, buttonWidth - frame.right());
    int channelWidth = 0;
    for (int i = 0; i < 8; ++i) {
        for (QWidget *w : std::initializer_list<QWidget *>{measurementBoxes[i], calibrationBoxes[i],
                                                           channelSensorLists[i]})
            channelWidth = qMax(channelWidth, w->minimumSizeHint().width());
    }
    for (int i = 1; i <= 8; ++i) {
        m_channelGrid->setColumnMinimumWidth(i, channelWidth);
        m_sensorGrid->setColumnMinimumWidth(i, channelWidth);
    }
}

} // namespace krv
