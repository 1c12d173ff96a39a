#include "form1.h"

#include "text/numbertext.h"
#include "ui/asker.h"
#include "ui/controls.h"
#include "ui/lamp.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>

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

} // namespace

Form1::Form1(Links links, Asker &asker, QWidget *parent)
    : QWidget(parent), m_state(links.state), m_engine(links.engine), m_reads(links.reads),
      m_writes(links.writes), m_polling(links.polling), m_asker(asker)
{
    ui.setupUi(this);

    m_DisTimer.setParent(this);
    m_DisTimer.setObjectName(QStringLiteral("DisTimer"));
    m_DisTimer.setTimerType(Qt::PreciseTimer);
    m_DisTimer.setInterval(1000);
    connect(&m_DisTimer, &QTimer::timeout, this, &Form1::DisTimer_Timer);

    connectControls();
    connectLinks();
    Form_Load();
}

Form1::~Form1()
{
    m_record.abandon();
}

void Form1::connectControls()
{
    connect(ui.Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(ui.Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(ui.Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(ui.Start, &QPushButton::clicked, this, &Form1::Start_Click);
    connect(ui.ModNO, &QComboBox::currentIndexChanged, this, &Form1::ModNO_Change);
    // The device behind the chosen port, as a reminder of where COMn leads.
    connect(ui.ComPort, &QComboBox::currentIndexChanged, this, [this](int i) {
        ui.ComPort->setToolTip(i >= 0 ? devicePathForPort(i + 1) : QString());
    });
    connect(ui.Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
    connect(ui.Command10, &QPushButton::clicked, this, &Form1::Command10_Click);
    connect(ui.Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    for (int i = 0; i < 10; ++i)
        connect(ui.DOoutP[i], &QPushButton::clicked, this, [this, i] { DOoutP_Click(i); });
    connect(ui.Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(ui.Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(ui.Save, &QPushButton::clicked, this, &Form1::Save_Click);
    connect(ui.Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(ui.mnuTrafficMonitor, &QAction::triggered, this, &Form1::trafficMonitorRequested);
    connect(ui.mnuChinese, &QAction::triggered, this,
            [this] { Q_EMIT languageChosen(QStringLiteral("zh")); });
    connect(ui.mnuEnglish, &QAction::triggered, this,
            [this] { Q_EMIT languageChosen(QStringLiteral("en")); });
    connect(ui.mnuTrendChart, &QAction::triggered, this, &Form1::trendChartRequested);
}

void Form1::showEvent(QShowEvent *event)
{
    ui.alignChannelColumns();
    QWidget::showEvent(event);
}

void Form1::connectLinks()
{
    const auto feed = [this](auto signal, QLineEdit *box) {
        connect(&m_engine, signal, box, [box](const QString &text) { showText(box, text); });
    };
    feed(&TransactionEngine::sentFrameText, ui.Text5);
    feed(&TransactionEngine::receivedFrameText, ui.Text1);
    feed(&TransactionEngine::statusText, ui.Text2);
    feed(&TransactionEngine::commCountText, ui.Text4);
    feed(&TransactionEngine::errCountText, ui.Text3);
    connect(&m_engine, &TransactionEngine::portError, this, &Form1::reportPortError);

    connect(&m_reads, &RegisterMap::measurementsDecoded, this, &Form1::showMeasurements);
    connect(&m_reads, &RegisterMap::systemBlockDecoded, this, &Form1::ShowSysInfo);
    connect(&m_reads, &RegisterMap::sensorCodesDecoded, this, &Form1::showSensorCodes);
    connect(&m_reads, &RegisterMap::pOutTimeDecoded, this, [this](const QString &text) {
        showText(ui.POutTime, text);
        ui.POutTime->setEnabled(false);
    });
    connect(&m_reads, &RegisterMap::calibrationDecoded, this, &Form1::showCalibration);
    connect(&m_reads, &RegisterMap::outputsDecoded, this, &Form1::showOutputs);
    connect(&m_reads, &RegisterMap::controlEnableDecoded, this, &Form1::showControlEnable);
    connect(&m_reads, &RegisterMap::inputsDecoded, this, &Form1::showInputs);
    connect(&m_reads, &RegisterMap::deviceIdDecoded, ui.Text12,
            [this](const QString &text) { showText(ui.Text12, text); });
    connect(&m_polling, &PollingCycle::moduleFound, this, &Form1::addModule);

    connect(&m_polling, &PollingCycle::scanStep, this, &Form1::showScanStep);
    connect(&m_polling, &PollingCycle::scanFinished, this, [this] {
        ui.ScanProgress->hide();
        ui.ModNO->setEnabled(true);
    });
}

// ---- Start-up ---------------------------------------------------------------

void Form1::Form_Load()
{
    m_DisTimer.start();

    InitialComboBox();
    ui.ComPort->setCurrentIndex(0);
    ui.CommRate->setCurrentIndex(3);
    ui.Protocol->setCurrentIndex(0);

    // Configures the port without opening it and sets Timer1 and timMscon.
    m_polling.load(lineChoice());
    ui.Text2->clear();
    ui.Text3->clear();
    ui.Text4->clear();
    setRecordingControls(m_Saving != 0);
}

void Form1::InitialComboBox()
{
    addItems(ui.SysSensor, SensorItems);
    addItems(ui.Filter, {QStringLiteral("Yes"), QStringLiteral("No")});
    addItems(ui.Chnl8, {QStringLiteral("Meas"), QStringLiteral("AD590")});
    addItems(ui.Seperate, NoYes);
    addItems(ui.Comp, NoYes);
    QStringList ports;
    for (int n = 1; n <= 4; ++n)
        ports << QStringLiteral("COM%1").arg(n);
    const int before = ui.ComPort->count();
    addItems(ui.ComPort, ports);
    for (int n = 1; n <= 4; ++n)
        ui.ComPort->setItemData(before + n - 1, devicePathForPort(n), Qt::ToolTipRole);
    addItems(ui.Request, NoYes);
    addItems(ui.OutByte, {QStringLiteral("No"), QStringLiteral("yes")});
    addItems(ui.Baud, RateItems);
    for (QComboBox *box : ui.ChnlSensor)
        addItems(box, ChannelSensorItems);
    addItems(ui.CommRate, RateItems);
    addItems(ui.Protocol, Framings);
    addItems(ui.ProtocolSel, Framings);
}

LineChoice Form1::lineChoice() const
{
    LineChoice line;
    line.comPort = qMax(0, ui.ComPort->currentIndex()) + 1;
    line.rateIndex = qMax(0, ui.CommRate->currentIndex());
    // The selected item, not whatever was typed into the edit field.
    line.rateText = ui.CommRate->itemText(line.rateIndex);
    return line;
}

// ---- Decoded data into the controls ----------------------------------------

void Form1::ShowSysInfo()
{
    const ModuleData &m = m_state.module;
    showText(ui.Text6, QString::number(m.SerialNo));
    ui.Text6->setEnabled(false);

    // Shown as text only: these count as the operator's choice only once picked.
    const int sensor = m.SensorByte;
    showItemText(ui.SysSensor, sensor & 0x0F);
    showItemText(ui.Seperate, (sensor >> 4) & 1);
    showItemText(ui.Chnl8, (sensor >> 5) & 1);
    showItemText(ui.Comp, (sensor >> 6) & 1);
    showItemText(ui.Filter, (sensor >> 7) & 1);
    const int comm = m.CommByte;
    showItemText(ui.Request, (comm >> 6) & 1);
    showItemText(ui.OutByte, (comm >> 5) & 1);
    showItemText(ui.Baud, comm & 0x07);
    const int protocol = (comm >> 3) & 0x03;
    ui.ProtocolSel->setCurrentIndex(protocol < ui.ProtocolSel->count() ? protocol : -1);

    showText(ui.MadeDate, withSignBlank(m.MadeYear) + QLatin1Char('-') +
                              QString::number(m.MadeMonth) + QLatin1Char('-') +
                              QString::number(m.MadeDay));
    showText(ui.MadeTime,
             withSignBlank(m.MadeHour) + QLatin1Char(':') + QString::number(m.MadeMinute));
    ui.MadeDate->setEnabled(false);
    ui.MadeTime->setEnabled(false);

    ui.Address->setText(QString::number(m.SysAddress));
    ui.AdjAD590->setText(QString::number(m.ColdAdj));

    const bool perChannel = (sensor & 0x10) != 0;
    ui.Frame4->setEnabled(perChannel);
    ui.Command4->setEnabled(perChannel);
    ui.Command10->setEnabled(perChannel);
    for (int i = 0; i < 8; ++i) {
        ui.chanl[i]->setEnabled(perChannel);
        ui.ChnlSensor[i]->setEnabled(perChannel);
    }
}

void Form1::showMeasurements(int count, bool record)
{
    const auto &values = m_state.module.MeasValue;
    for (int k = 0; k < qMin(count, 8); ++k)
        showText(ui.Dis[k], QString::number(values[k]));
    if (!record || !m_Saving)
        return;
    QString error;
    if (!m_record.append(MeasurementRecord::recordLine(m_now().time(), values), &error))
        endRecordingAfterFailure(error);
}

void Form1::showSensorCodes(int)
{
    for (int c = 0; c < 8; ++c)
        showItemText(ui.ChnlSensor[c], m_state.module.ChnlSensorCode[c]);
}

void Form1::showCalibration(int count)
{
    for (int k = 0; k < qMin(count, 8); ++k)
        showText(ui.EngCalb[k], QString::number(m_state.module.ECalbValue[k]));
}

void Form1::showOutputs()
{
    for (int k = 0; k < 9; ++k)
        setBackColor(ui.DOoutP[k], m_state.module.DOState[k] ? LitOutput : Dark);
}

void Form1::showControlEnable()
{
    setBackColor(ui.DOoutP[9], m_state.module.DOState[9] ? LitOutput : Dark);
}

void Form1::showInputs()
{
    for (int k = 0; k < 20; ++k)
        ui.DI[k]->setColor(m_state.module.DIState[k] ? LitInput : Dark);
}

void Form1::addModule(const QString &item, int slot)
{
    // The scan selects what it found: the list shows it and the address box
    // follows, as a pick would, but the slot stays the scan's own.
    const QSignalBlocker quiet(ui.ModNO);
    ui.ModNO->addItem(item);
    ui.ModNO->setCurrentIndex(slot < ui.ModNO->count() ? slot : ui.ModNO->count() - 1);
    m_scanSelection = ui.ModNO->currentIndex();
    ui.Address->setText(QString::number(m_state.mods.ModAddress[qBound(0, slot, 512)]));
}

void Form1::showScanStep(int address, bool ascii)
{
    // Each address takes two ticks, ASCII first.
    ui.ScanProgress->setValue(2 * address + (ascii ? 1 : 2));
    ui.ScanProgress->setFormat(tr("扫描 地址 %1  %2")
                                   .arg(address)
                                   .arg(ascii ? QStringLiteral("ASCII") : QStringLiteral("RTU")));
}

void Form1::reportPortError(const QString &message)
{
    ui.ScanProgress->hide();
    m_asker.warn(this, programTitle(), message);
}

// ---- Scan, run, stop ------------------------------------------------------

void Form1::Command5_Click()
{
    ui.ModNO->clear();
    ui.ModNO->setEnabled(false);
    m_scanSelection = -1;
    ui.ScanProgress->setValue(0);
    ui.ScanProgress->setFormat(QString());
    ui.ScanProgress->show();
    m_polling.startScan(lineChoice());
}

void Form1::Command7_Click()
{
    m_polling.stop();
}

void Form1::Start_Click()
{
    const int selected = ui.ModNO->currentIndex();
    qint16 manualAddress = 0;
    if (selected < 0) {
        const auto address = parseWhole(ui.Address->text(), 0, 255);
        if (!address) {
            m_asker.inform(this, programTitle(),
                           tr("“地  址”必须是0～255之间的整数，没有开始运行。"));
            return;
        }
        manualAddress = static_cast<qint16>(*address);
    }
    m_polling.start(lineChoice(), selected, ui.ModNO->count(), manualAddress,
                    ui.Protocol->currentIndex() == 1);
    if (selected >= 0) {
        ui.Address->setText(QString::number(m_state.mods.address()));
        ui.Protocol->setCurrentIndex(m_state.mods.isAscii() ? 1 : 0);
    }
    for (QLineEdit *d : ui.Dis)
        d->clear();
}

void Form1::ModNO_Change()
{
    // While a scan runs it owns the slot (and selects its finds itself); a
    // pick then must not move the slot the scan is filling. The list is
    // disabled for the scan; should a pick arrive anyway, the list goes back to
    // what the scan selected.
    if (!m_polling.selectModule(ui.ModNO->currentIndex())) {
        if (m_polling.scanning()) {
            const QSignalBlocker quiet(ui.ModNO);
            selectItem(ui.ModNO, m_scanSelection);
        }
        return;
    }
    ui.Address->setText(QString::number(m_state.mods.address()));
}

// ---- Writes -------------------------------------------------------------

SysParamSelection Form1::sysParamSelection() const
{
    SysParamSelection sel;
    sel.SysSensor = ui.SysSensor->currentIndex();
    sel.Seperate = ui.Seperate->currentIndex();
    sel.Chnl8 = ui.Chnl8->currentIndex();
    sel.Comp = ui.Comp->currentIndex();
    sel.Filter = ui.Filter->currentIndex();
    sel.Baud = ui.Baud->currentIndex();
    sel.OutByte = ui.OutByte->currentIndex();
    sel.Request = ui.Request->currentIndex();
    sel.ProtocolSel = ui.ProtocolSel->currentIndex();
    return sel;
}

bool Form1::confirmSystemWrite()
{
    return m_asker.confirm(this, tr("确认窗口"), tr("准备将系统参数写到模块中吗？"));
}

void Form1::Command6_Click()
{
    if (!confirmSystemWrite())
        return;
    const auto bad = m_writes.writeModuleParameters(sysParamSelection(), ui.Address->text(),
                                                    ui.AdjAD590->text());
    if (!bad)
        return;
    m_asker.inform(this, programTitle(),
                   *bad == WriteRequests::BadField::Address
                       ? tr("“地  址”必须是0～255之间的整数，模块参数没有写入。")
                       : tr("“冷校准”必须是整数，模块参数没有写入。"));
}

void Form1::Command4_Click()
{
    if (!confirmSystemWrite())
        return;
    std::array<int, 8> picked{};
    for (int i = 0; i < 8; ++i)
        picked[i] = ui.ChnlSensor[i]->currentIndex();
    m_writes.writeChannelSensors(picked);
}

void Form1::Command8_Click()
{
    std::array<QString, 8> texts;
    for (int i = 0; i < 8; ++i)
        texts[i] = ui.EngCalb[i]->text();
    const QList<int> skipped = m_writes.writeCalibration(texts);
    if (skipped.isEmpty())
        return;
    QStringList channels;
    for (int i : skipped)
        channels << tr("通道%1").arg(i);
    m_asker.inform(this, programTitle(),
                   tr("工程校准值必须是-32768～32767之间的整数，以下通道没有写入：%1")
                       .arg(channels.join(QStringLiteral("、"))));
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
    ui.Label39->setEnabled(on);
    ui.FileDis->setEnabled(on);
    ui.Save->setText(on ? tr("Close") : tr("Save"));
}

void Form1::endRecordingAfterFailure(const QString &reason)
{
    m_record.abandon();
    m_Saving = False16;
    setRecordingControls(false);
    // This runs inside the receive path: the box must not hold up reception.
    m_asker.warn(this, programTitle(), tr("文件%1写入失败：%2").arg(ui.FileDis->text(), reason));
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
                           tr("文件%1写入失败：%2").arg(ui.FileDis->text(), error));
        return;
    }

    const auto answer = m_asker.askText(
        this, tr("存储设置参数"), tr("存储文件名：(如果文件名没有扩展名，则自动加扩展名.DAT)"),
        QStringLiteral("AutoTuning"));
    if (!answer || answer->isEmpty())
        return;
    const QString name = MeasurementRecord::fileNameFor(*answer);
    if (QFileInfo::exists(name) &&
        !m_asker.confirm(this, programTitle(), tr("文件%1已经存在，要替换吗").arg(name)))
        return;
    if (!m_record.start(name, m_now(), &error)) {
        m_asker.inform(this, programTitle(), tr("文件%1无法写入：%2").arg(name, error));
        return;
    }
    m_Saving = True16;
    ui.FileDis->setText(name);
    setRecordingControls(true);
}

// ---- Editors ----------------------------------------------------------------

void Form1::lendLine(Editor which)
{
    m_polling.suspend(lineChoice());
    hide();
    Q_EMIT editorRequested(which);
}

void Form1::Command2_Click()
{
    lendLine(Editor::Control);
}

void Form1::Command3_Click()
{
    lendLine(Editor::Alarm);
}

// ---- Clock and ending -------------------------------------------------------

void Form1::showLanguage(const QString &code)
{
    (code == u"en" ? ui.mnuEnglish : ui.mnuChinese)->setChecked(true);
}

void Form1::DisTimer_Timer()
{
    ui.NowDis->setText(m_now().toString(Form1Ui::clockFormat()));
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
    m_engine.cancel();
    m_DisTimer.stop();
    // An open record gets no stop time stamp when the program ends.
    m_record.abandon();
    m_Saving = False16;
    m_engine.port().setPortOpen(false);
    // Hidden windows must not keep the program alive.
    QCoreApplication::exit(0);
}

} // namespace krv
