#include "mainwindow.h"

#include "text/numbertext.h"
#include "ui/asker.h"
#include "ui/controls.h"
#include "ui/lamp.h"
#include "ui/main/portlist.h"
#include "ui/paintpacer.h"
#include "ui/savename.h"
#include "ui/statustext.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
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

MainWindow::MainWindow(Links links, Asker &asker, const PortInfoSource *portInfo, QWidget *parent)
    : QWidget(parent), m_state(links.state), m_engine(links.engine), m_reads(links.reads),
      m_writes(links.writes), m_scan(links.scan), m_polling(links.polling), m_asker(asker)
{
    ui.setupUi(this);
    ui.portList->setSource(portInfo);

    m_clock.setParent(this);
    m_clock.setObjectName(QStringLiteral("DisTimer"));
    m_clock.setTimerType(Qt::PreciseTimer);
    m_clock.setInterval(1000);
    connect(&m_clock, &QTimer::timeout, this, &MainWindow::onClockTick);

    connectControls();
    connectLinks();
    load();
}

MainWindow::~MainWindow()
{
    m_record.abandon();
}

void MainWindow::connectControls()
{
    connect(ui.writeModuleButton, &QPushButton::clicked, this, &MainWindow::onWriteModuleClicked);
    connect(ui.scanButton, &QPushButton::clicked, this, &MainWindow::onScanClicked);
    connect(ui.stopButton, &QPushButton::clicked, this, &MainWindow::onStopClicked);
    connect(ui.runButton, &QPushButton::clicked, this, &MainWindow::onRunClicked);
    connect(ui.moduleList, &QComboBox::currentIndexChanged, this, &MainWindow::onModuleChosen);
    connect(ui.writeCalibrationButton, &QPushButton::clicked, this,
            &MainWindow::onWriteCalibrationClicked);
    connect(ui.refreshSensorsButton, &QPushButton::clicked, this,
            &MainWindow::onRefreshSensorsClicked);
    connect(ui.setSensorsButton, &QPushButton::clicked, this, &MainWindow::onSetSensorsClicked);
    for (int i = 0; i < OutputCount; ++i)
        connect(ui.outputButtons[i], &QPushButton::clicked, this,
                [this, i] { onOutputClicked(i); });
    connect(ui.controlEditorButton, &QPushButton::clicked, this,
            &MainWindow::onControlEditorClicked);
    connect(ui.alarmEditorButton, &QPushButton::clicked, this, &MainWindow::onAlarmEditorClicked);
    connect(ui.recordButton, &QPushButton::clicked, this, &MainWindow::onRecordClicked);
    connect(ui.endButton, &QPushButton::clicked, this, &MainWindow::onEndClicked);
    connect(ui.trafficMonitorAction, &QAction::triggered, this,
            &MainWindow::trafficMonitorRequested);
    connect(ui.chineseAction, &QAction::triggered, this,
            [this] { Q_EMIT languageChosen(QStringLiteral("zh")); });
    connect(ui.englishAction, &QAction::triggered, this,
            [this] { Q_EMIT languageChosen(QStringLiteral("en")); });
    connect(ui.trendChartAction, &QAction::triggered, this, &MainWindow::trendChartRequested);
    connect(ui.batchAction, &QAction::triggered, this, &MainWindow::batchRequested);
}

void MainWindow::showEvent(QShowEvent *event)
{
    ui.alignChannelColumns();
    QWidget::showEvent(event);
}

void MainWindow::connectLinks()
{
    const auto feed = [this](auto signal, QLineEdit *box) {
        connect(&m_engine, signal, box, [box](const QString &text) { showText(box, text); });
    };
    // What a request and its reply change reaches the screen in one pass.
    m_pacer = new PaintPacer(this);
    connect(&m_engine, &TransactionEngine::frameSent, m_pacer, &PaintPacer::hold);
    connect(&m_engine, &TransactionEngine::requestEnded, m_pacer, &PaintPacer::release);
    connect(&m_engine, &TransactionEngine::requestNotSent, m_pacer, &PaintPacer::release);
    feed(&TransactionEngine::frameSent, ui.sentFrameBox);
    feed(&TransactionEngine::frameReceived, ui.receivedFrameBox);
    connect(&m_engine, &TransactionEngine::statusChanged, this, &MainWindow::showStatus);
    connect(&m_engine, &TransactionEngine::receiveCountChanged, this,
            [this](int n) { showText(ui.receiveCountBox, StatusText::count(n)); });
    connect(&m_engine, &TransactionEngine::timeoutCountChanged, this,
            [this](int n) { showText(ui.timeoutCountBox, StatusText::count(n)); });
    connect(&m_engine, &TransactionEngine::portFailed, this, &MainWindow::reportPortFailure);

    connect(&m_reads, &RegisterMap::measurementsDecoded, this, &MainWindow::showMeasurements);
    connect(&m_reads, &RegisterMap::systemBlockDecoded, this, &MainWindow::showSystemBlock);
    connect(&m_reads, &RegisterMap::sensorCodesDecoded, this, &MainWindow::showSensorCodes);
    connect(&m_reads, &RegisterMap::parallelOutputTimeDecoded, this, [this](double micros) {
        showText(ui.parallelTimeBox, formatDouble15(micros));
        ui.parallelTimeBox->setEnabled(false);
    });
    connect(&m_reads, &RegisterMap::calibrationDecoded, this, &MainWindow::showCalibration);
    connect(&m_reads, &RegisterMap::switchOutputsDecoded, this, &MainWindow::showOutputs);
    connect(&m_reads, &RegisterMap::controlEnableDecoded, this, &MainWindow::showControlEnable);
    connect(&m_reads, &RegisterMap::switchInputsDecoded, this, &MainWindow::showInputs);
    connect(&m_reads, &RegisterMap::deviceIdentified, this,
            [this](const DeviceId &id) { showText(ui.deviceIdBox, id.text()); });
    connect(&m_scan, &ModuleScan::moduleFound, this, &MainWindow::addModule);

    connect(&m_scan, &ModuleScan::stepped, this, &MainWindow::showScanStep);
    connect(&m_scan, &ModuleScan::finished, this, [this] {
        ui.scanProgress->hide();
        ui.moduleList->setEnabled(true);
    });
}

// ---- Start-up ------------------------------------------------------------------

void MainWindow::load()
{
    m_clock.start();

    fillLists();
    ui.portList->setCurrentIndex(0);
    ui.lineSpeedList->setCurrentIndex(3);
    ui.framingList->setCurrentIndex(0);

    // Configures the port without opening it and sets the tick and the reply time-out.
    m_polling.load(lineChoice());
    ui.statusBox->clear();
    ui.timeoutCountBox->clear();
    ui.receiveCountBox->clear();
    setRecordingControls(m_recording);
}

void MainWindow::fillLists()
{
    addItems(ui.sensorTypeList, SensorItems);
    addItems(ui.filterList, {QStringLiteral("Yes"), QStringLiteral("No")});
    addItems(ui.channel8List, {QStringLiteral("Meas"), QStringLiteral("AD590")});
    addItems(ui.perChannelList, NoYes);
    addItems(ui.compensationList, NoYes);
    ui.portList->refresh();
    addItems(ui.requestOutputList, NoYes);
    addItems(ui.byteOutputList, {QStringLiteral("No"), QStringLiteral("yes")});
    addItems(ui.moduleSpeedList, RateItems);
    for (QComboBox *box : ui.channelSensorLists)
        addItems(box, ChannelSensorItems);
    addItems(ui.lineSpeedList, RateItems);
    addItems(ui.framingList, Framings);
    addItems(ui.moduleProtocolList, Framings);
}

LineChoice MainWindow::lineChoice() const
{
    // The port the edit field names or the address typed there; the speed
    // item the edit field names. A malformed address and typed speeds that
    // name no item are refused before a line is chosen (portAddressUsable,
    // listsHoldItems).
    const auto position = [](const QComboBox *list) {
        return qMax(0, listChoice(list).value_or(list->currentIndex()));
    };
    LineChoice line;
    line.address = ui.portList->address();
    line.rateIndex = position(ui.lineSpeedList);
    line.rateText = ui.lineSpeedList->itemText(line.rateIndex);
    return line;
}

void MainWindow::showLine(const QString &port, const QString &speed)
{
    ui.portList->showAddress(port);
    const int rate = ui.lineSpeedList->findText(speed.trimmed(), Qt::MatchExactly);
    if (rate >= 0)
        ui.lineSpeedList->setCurrentIndex(rate);
    const LineChoice line = lineChoice();
    if (line.address.valid())
        m_polling.load(line);
}

QString MainWindow::listName(const QComboBox *list) const
{
    const std::pair<const QComboBox *, QString> names[] = {
        {ui.portList, tr("通信参数的串行口")},
        {ui.lineSpeedList, tr("通信参数的波特率")},
        {ui.framingList, tr("通信参数的协议")},
        {ui.sensorTypeList, tr("模块信息的传感器")},
        {ui.perChannelList, tr("模块信息的单独设")},
        {ui.channel8List, tr("模块信息的通道8")},
        {ui.filterList, tr("模块信息的滤波")},
        {ui.compensationList, tr("模块信息的补偿")},
        {ui.moduleProtocolList, tr("模块信息的协议")},
        {ui.moduleSpeedList, tr("模块信息的波特率")},
        {ui.requestOutputList, tr("模块信息的请求输出")},
        {ui.byteOutputList, tr("模块信息的字节输出")}};
    for (const auto &[named, name] : names) {
        if (named == list)
            return name;
    }
    for (int i = 0; i < ChannelCount; ++i) {
        if (ui.channelSensorLists[i] == list)
            return tr("通道传感器设置的通道%1").arg(i);
    }
    return list->objectName();
}

bool MainWindow::portAddressUsable(Withheld withheld)
{
    const LineAddress address = ui.portList->address();
    if (address.valid())
        return true;
    const QString name = listName(ui.portList);
    const QString text = ui.portList->currentText();
    const QString fault = StatusText::of(address.fault);
    QString message;
    switch (withheld) {
    case Withheld::Run:
        message = tr("%1“%2”不是有效的地址（%3），没有开始运行。").arg(name, text, fault);
        break;
    case Withheld::Scan:
        message = tr("%1“%2”不是有效的地址（%3），没有开始扫描。").arg(name, text, fault);
        break;
    case Withheld::Editor:
    case Withheld::ModuleWrite: // the writes go on the line in use: not asked
    case Withheld::SensorWrite:
        message = tr("%1“%2”不是有效的地址（%3），参数设置窗口没有打开。").arg(name, text, fault);
        break;
    case Withheld::Batch:
        message = tr("%1“%2”不是有效的地址（%3），批量设置没有开始。").arg(name, text, fault);
        break;
    }
    m_asker.inform(this, programTitle(), message);
    return false;
}

bool MainWindow::listsHoldItems(const QList<const QComboBox *> &lists, Withheld withheld)
{
    for (const QComboBox *list : lists) {
        if (listChoice(list))
            continue;
        const QString name = listName(list);
        const QString text = list->currentText();
        QString message;
        switch (withheld) {
        case Withheld::Run:
            message = tr("%1“%2”不是列表中的项目，没有开始运行。").arg(name, text);
            break;
        case Withheld::Scan:
            message = tr("%1“%2”不是列表中的项目，没有开始扫描。").arg(name, text);
            break;
        case Withheld::ModuleWrite:
            message = tr("%1“%2”不是列表中的项目，模块参数没有写入。").arg(name, text);
            break;
        case Withheld::SensorWrite:
            message = tr("%1“%2”不是列表中的项目，通道传感器没有写入。").arg(name, text);
            break;
        case Withheld::Editor:
            message = tr("%1“%2”不是列表中的项目，参数设置窗口没有打开。").arg(name, text);
            break;
        case Withheld::Batch:
            message = tr("%1“%2”不是列表中的项目，批量设置没有开始。").arg(name, text);
            break;
        }
        m_asker.inform(this, programTitle(), message);
        return false;
    }
    return true;
}

// ---- Decoded data into the controls ----------------------------------------

void MainWindow::showSystemBlock(const SystemBlock &m)
{
    showText(ui.serialNumberBox, QString::number(m.serialNumber));
    ui.serialNumberBox->setEnabled(false);

    // Shown as text only: these count as the operator's choice only once picked.
    const int sensor = m.sensorByte;
    showItemText(ui.sensorTypeList, sensor & 0x0F);
    showItemText(ui.perChannelList, (sensor >> 4) & 1);
    showItemText(ui.channel8List, (sensor >> 5) & 1);
    showItemText(ui.compensationList, (sensor >> 6) & 1);
    showItemText(ui.filterList, (sensor >> 7) & 1);
    const int comm = m.commByte;
    showItemText(ui.requestOutputList, (comm >> 6) & 1);
    showItemText(ui.byteOutputList, (comm >> 5) & 1);
    showItemText(ui.moduleSpeedList, comm & 0x07);
    const int protocol = (comm >> 3) & 0x03;
    ui.moduleProtocolList->setCurrentIndex(protocol < ui.moduleProtocolList->count() ? protocol
                                                                                     : -1);

    showText(ui.madeDateBox, withSignBlank(m.year) + QLatin1Char('-') + QString::number(m.month) +
                                 QLatin1Char('-') + QString::number(m.day));
    showText(ui.madeTimeBox, withSignBlank(m.hour) + QLatin1Char(':') + QString::number(m.minute));
    ui.madeDateBox->setEnabled(false);
    ui.madeTimeBox->setEnabled(false);

    ui.addressBox->setText(QString::number(m.stationAddress));
    ui.coldJunctionBox->setText(QString::number(m.coldJunctionAdjust));

    const bool perChannel = (sensor & 0x10) != 0;
    ui.sensorFrame->setEnabled(perChannel);
    ui.setSensorsButton->setEnabled(perChannel);
    ui.refreshSensorsButton->setEnabled(perChannel);
    for (int i = 0; i < ChannelCount; ++i) {
        ui.sensorChannelLabels[i]->setEnabled(perChannel);
        ui.channelSensorLists[i]->setEnabled(perChannel);
    }
}

void MainWindow::showStatus(const LinkStatus &status)
{
    showText(ui.statusBox, StatusText::of(status));
}

void MainWindow::showMeasurements(const ChannelValues &values, bool record)
{
    for (int k = 0; k < values.count; ++k)
        showText(ui.measurementBoxes[k], QString::number(values.values[k]));
    if (!record || !m_recording)
        return;
    QString error;
    if (!m_record.append(MeasurementRecord::recordLine(m_now().time(), values), &error))
        endRecordingAfterFailure(error);
}

void MainWindow::showSensorCodes(const ChannelValues &codes)
{
    for (int c = 0; c < codes.count; ++c)
        showItemText(ui.channelSensorLists[c], codes.values[c]);
}

void MainWindow::showCalibration(const ChannelValues &values)
{
    for (int k = 0; k < values.count; ++k)
        showText(ui.calibrationBoxes[k], QString::number(values.values[k]));
}

void MainWindow::showOutputs(const SwitchOutputs &on)
{
    for (int k = 0; k < SwitchOutputCount; ++k)
        setBackColor(ui.outputButtons[k], on[k] ? LitOutput : Dark);
}

void MainWindow::showControlEnable(bool on)
{
    setBackColor(ui.outputButtons[ControlEnableIndex], on ? LitOutput : Dark);
}

void MainWindow::showInputs(const SwitchInputs &on)
{
    for (int k = 0; k < InputCount; ++k)
        ui.inputLamps[k]->setColor(on[k] ? LitInput : Dark);
}

void MainWindow::addModule(const QString &item, int slot)
{
    // The scan selects what it found: the list shows it and the address box
    // follows, as a pick would, but the slot stays the scan's own.
    const QSignalBlocker quiet(ui.moduleList);
    ui.moduleList->addItem(item);
    ui.moduleList->setCurrentIndex(slot < ui.moduleList->count() ? slot
                                                                 : ui.moduleList->count() - 1);
    m_scanSelection = ui.moduleList->currentIndex();
    ui.addressBox->setText(QString::number(
        m_state.moduleSlots.stationAddress[qBound(0, slot, ModuleSlots::Count - 1)]));
}

void MainWindow::showScanStep(int address, Framing framing)
{
    // Each address takes two ticks on a serial line, ASCII first; one on a
    // Modbus TCP line, where the module's framing does not apply.
    const bool ascii = framing == Framing::Ascii;
    ui.scanProgress->setValue(2 * address + (ascii ? 1 : 2));
    ui.scanProgress->setFormat(
        tr("扫描 地址 %1  %2")
            .arg(address)
            .arg(framing == Framing::Mbap
                     ? QStringLiteral("TCP")
                     : (ascii ? QStringLiteral("ASCII") : QStringLiteral("RTU"))));
}

void MainWindow::reportPortFailure(const PortFailure &failure)
{
    ui.scanProgress->hide();
    m_asker.warn(this, programTitle(), StatusText::of(failure));
}

// ---- Scan, run, stop ------------------------------------------------------

void MainWindow::onScanClicked()
{
    if (!portAddressUsable(Withheld::Scan) || !listsHoldItems({ui.lineSpeedList}, Withheld::Scan))
        return;
    ui.moduleList->clear();
    ui.moduleList->setEnabled(false);
    m_scanSelection = -1;
    ui.scanProgress->setValue(0);
    ui.scanProgress->setFormat(QString());
    ui.scanProgress->show();
    // The scan takes the line's ticks: polling stops.
    m_polling.stop();
    m_pollingStarted = false;
    const LineChoice line = lineChoice();
    m_scan.start(line);
    Q_EMIT lineUsed(line.address.text(), line.rateText);
}

void MainWindow::onStopClicked()
{
    m_polling.stop();
    m_pollingStarted = false;
}

void MainWindow::onRunClicked()
{
    if (!portAddressUsable(Withheld::Run))
        return;
    // On a Modbus TCP line the module's framing does not apply: the framing
    // list is not used, whatever it holds.
    const LineChoice line = lineChoice();
    QList<const QComboBox *> lists{ui.lineSpeedList};
    if (line.address.kind != LineAddress::Kind::Mbap)
        lists << ui.framingList;
    if (!listsHoldItems(lists, Withheld::Run))
        return;
    const int selected = ui.moduleList->currentIndex();
    qint16 manualAddress = 0;
    if (selected < 0) {
        constexpr FieldRange range = SystemRange::StationAddress;
        const auto address = parseWhole(ui.addressBox->text(), range.low, range.high);
        if (!address) {
            m_asker.inform(this, programTitle(),
                           tr("“地  址”必须是%1～%2之间的整数，没有开始运行。")
                               .arg(range.low)
                               .arg(range.high));
            return;
        }
        manualAddress = static_cast<qint16>(*address);
    }
    m_polling.start(line, selected, ui.moduleList->count(), manualAddress,
                    listChoice(ui.framingList) == 1);
    m_pollingStarted = true;
    Q_EMIT lineUsed(line.address.text(), line.rateText);
    if (selected >= 0) {
        ui.addressBox->setText(QString::number(m_state.moduleSlots.selectedAddress()));
        ui.framingList->setCurrentIndex(m_state.moduleSlots.selectedIsAscii() ? 1 : 0);
    }
    for (QLineEdit *d : ui.measurementBoxes)
        d->clear();
}

void MainWindow::onModuleChosen()
{
    // While a scan runs it owns the slot (and selects its finds itself); a
    // pick then must not move the slot the scan is filling. The list is
    // disabled for the scan; should a pick arrive anyway, the list goes back to
    // what the scan selected.
    if (!m_polling.selectModule(ui.moduleList->currentIndex())) {
        if (m_scan.running()) {
            const QSignalBlocker quiet(ui.moduleList);
            selectItem(ui.moduleList, m_scanSelection);
        }
        return;
    }
    ui.addressBox->setText(QString::number(m_state.moduleSlots.selectedAddress()));
}

// ---- Writes -------------------------------------------------------------

SystemSelection MainWindow::systemSelection() const
{
    // Typed text that names no item was refused before (listsHoldItems).
    const auto picked = [](const QComboBox *list) { return listChoice(list).value_or(-1); };
    SystemSelection selection;
    selection.sensorType = picked(ui.sensorTypeList);
    selection.perChannel = picked(ui.perChannelList);
    selection.channel8 = picked(ui.channel8List);
    selection.compensation = picked(ui.compensationList);
    selection.filter = picked(ui.filterList);
    selection.baudRate = picked(ui.moduleSpeedList);
    selection.byteOutput = picked(ui.byteOutputList);
    selection.requestOutput = picked(ui.requestOutputList);
    selection.protocol = picked(ui.moduleProtocolList);
    return selection;
}

bool MainWindow::confirmSystemWrite()
{
    return m_asker.confirm(this, tr("确认窗口"), tr("准备将系统参数写到模块中吗？"));
}

void MainWindow::onWriteModuleClicked()
{
    if (!confirmSystemWrite())
        return;
    if (!listsHoldItems({ui.sensorTypeList, ui.perChannelList, ui.channel8List, ui.compensationList,
                         ui.filterList, ui.moduleSpeedList, ui.byteOutputList, ui.requestOutputList,
                         ui.moduleProtocolList},
                        Withheld::ModuleWrite))
        return;
    const auto refused = m_writes.writeModuleParameters(systemSelection(), ui.addressBox->text(),
                                                        ui.coldJunctionBox->text());
    if (!refused)
        return;
    m_asker.inform(this, programTitle(),
                   (refused->field == InputRefusal::Field::StationAddress
                        ? tr("“地  址”必须是%1～%2之间的整数，模块参数没有写入。")
                        : tr("“冷校准”必须是%1～%2之间的整数，模块参数没有写入。"))
                       .arg(refused->low)
                       .arg(refused->high));
}

void MainWindow::onSetSensorsClicked()
{
    if (!confirmSystemWrite())
        return;
    const auto &lists = ui.channelSensorLists;
    if (!listsHoldItems({lists.begin(), lists.end()}, Withheld::SensorWrite))
        return;
    std::array<int, ChannelCount> picked{};
    for (int i = 0; i < ChannelCount; ++i)
        picked[i] = listChoice(lists[i]).value_or(-1);
    m_writes.writeChannelSensors(picked);
}

void MainWindow::onWriteCalibrationClicked()
{
    std::array<QString, ChannelCount> texts;
    for (int i = 0; i < ChannelCount; ++i)
        texts[i] = ui.calibrationBoxes[i]->text();
    const QList<InputRefusal> refused = m_writes.writeCalibration(texts);
    if (refused.isEmpty())
        return;
    QStringList channels;
    for (const InputRefusal &r : refused)
        channels << tr("通道%1").arg(r.channel);
    m_asker.inform(this, programTitle(),
                   tr("工程校准值必须是-32768～32767之间的整数，以下通道没有写入：%1")
                       .arg(channels.join(QStringLiteral("、"))));
}

void MainWindow::onRefreshSensorsClicked()
{
    m_polling.push(Cmd::ReadSensorCodes);
}

void MainWindow::onOutputClicked(int index)
{
    m_writes.toggleOutput(index);
}

// ---- Measurement record ---------------------------------------------------

void MainWindow::setRecordingControls(bool on)
{
    ui.recordFileLabel->setEnabled(on);
    ui.recordFileName->setEnabled(on);
    ui.recordButton->setText(on ? tr("Close") : tr("Save"));
}

void MainWindow::endRecordingAfterFailure(const QString &reason)
{
    m_record.abandon();
    m_recording = false;
    setRecordingControls(false);
    // This runs inside the receive path: the box must not hold up reception.
    m_asker.warn(this, programTitle(),
                 tr("文件%1写入失败：%2").arg(ui.recordFileName->text(), reason));
}

void MainWindow::onRecordClicked()
{
    QString error;
    if (m_recording) {
        const bool ok = m_record.stop(m_now(), &error);
        m_recording = false;
        setRecordingControls(false);
        if (!ok)
            m_asker.inform(this, programTitle(),
                           tr("文件%1写入失败：%2").arg(ui.recordFileName->text(), error));
        return;
    }

    const auto name =
        SaveName::ask(m_asker, this,
                      {tr("存储文件名：(如果文件名没有扩展名，则自动加扩展名.DAT)"),
                       QStringLiteral("AutoTuning"), MeasurementRecord::DefaultExtension});
    if (!name)
        return;
    if (!m_record.start(*name, m_now(), &error)) {
        m_asker.inform(this, programTitle(), tr("文件%1无法写入：%2").arg(*name, error));
        return;
    }
    m_recording = true;
    ui.recordFileName->setText(*name);
    setRecordingControls(true);
}

// ---- Editors ----------------------------------------------------------------

void MainWindow::lendLine(Editor which)
{
    // The editors address the module the window shows: one that polling has
    // reached and that has identified itself (never the broadcast station 0,
    // never one whose firmware is unknown).
    if (!m_state.module.firmwareKnown || m_scan.running()) {
        m_asker.inform(this, programTitle(), tr("请先按“运 行”读取模块信息，再打开参数设置窗口。"));
        return;
    }
    m_polling.lend(lineChoice());
    hide();
    Q_EMIT editorRequested(which);
}

void MainWindow::onControlEditorClicked()
{
    if (portAddressUsable(Withheld::Editor) && listsHoldItems({ui.lineSpeedList}, Withheld::Editor))
        lendLine(Editor::Control);
}

void MainWindow::onAlarmEditorClicked()
{
    if (portAddressUsable(Withheld::Editor) && listsHoldItems({ui.lineSpeedList}, Withheld::Editor))
        lendLine(Editor::Alarm);
}

// ---- Batch ------------------------------------------------------------------

QList<BatchTarget> MainWindow::scannedModules() const
{
    // List entry i is slot i, as the scan filled it.
    QList<BatchTarget> targets;
    const ModuleSlots &moduleSlots = m_state.moduleSlots;
    for (int i = 0; i < ui.moduleList->count() && ModuleSlots::validIndex(i); ++i)
        targets.append(
            {static_cast<quint8>(moduleSlots.stationAddress[i] & 0xFF), moduleSlots.ascii[i]});
    return targets;
}

std::optional<LineChoice> MainWindow::lendLineForBatch()
{
    if (!portAddressUsable(Withheld::Batch) || !listsHoldItems({ui.lineSpeedList}, Withheld::Batch))
        return std::nullopt;
    if (m_scan.running()) {
        m_asker.inform(this, programTitle(), tr("正在扫描模块，批量设置没有开始。"));
        return std::nullopt;
    }
    // An editor has the line while this window is hidden.
    if (!isVisible()) {
        m_asker.inform(this, programTitle(), tr("参数设置窗口正在使用线路，批量设置没有开始。"));
        return std::nullopt;
    }
    // Polling runs after "运 行" and after an editor gave the line back.
    m_resumeAfterBatch = m_pollingStarted || m_polling.tickTimer().isActive();
    const LineChoice line = lineChoice();
    m_polling.lend(line);
    // No input that would use the line until the batch ends; the menus stay,
    // so that the traffic monitor can watch the batch. Controls disabled on
    // their own (by what the module reported) stay so afterwards.
    for (QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w != ui.menuBar && w->isEnabled()) {
            w->setEnabled(false);
            m_disabledForBatch.append(w);
        }
    }
    ui.batchAction->setEnabled(false);
    Q_EMIT lineUsed(line.address.text(), line.rateText);
    return line;
}

void MainWindow::takeBackLineFromBatch()
{
    for (const QPointer<QWidget> &w : std::as_const(m_disabledForBatch))
        if (w)
            w->setEnabled(true);
    m_disabledForBatch.clear();
    ui.batchAction->setEnabled(true);
    if (m_resumeAfterBatch)
        m_polling.takeBack();
    m_resumeAfterBatch = false;
}

// ---- Clock and ending -------------------------------------------------------

void MainWindow::showLanguage(const QString &code)
{
    (code == u"en" ? ui.englishAction : ui.chineseAction)->setChecked(true);
}

void MainWindow::onClockTick()
{
    ui.clockLabel->setText(m_now().toString(MainWindowForm::clockFormat()));
}

void MainWindow::onEndClicked()
{
    QApplication::beep();
    close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    endProgram();
    event->accept();
}

void MainWindow::endProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    m_polling.stop();
    m_engine.cancel();
    m_clock.stop();
    // An open record gets no stop time stamp when the program ends.
    m_record.abandon();
    m_recording = false;
    m_engine.port().close();
    // Hidden windows must not keep the program alive.
    QCoreApplication::exit(0);
}

} // namespace krv
