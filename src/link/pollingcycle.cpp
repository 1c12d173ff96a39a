#include "pollingcycle.h"

#include "text/numbertext.h"

namespace krv {

PollingCycle::PollingCycle(SharedState &state, TransactionEngine &engine, RegisterMap &reads,
                           WriteRequests &writes, QObject *parent)
    : QObject(parent), m_state(state), m_engine(engine), m_reads(reads), m_writes(writes)
{
    // Children by name, so that a test or a monitor can find them.
    for (QTimer *t : {&m_timer1, &m_scanTimer, &m_endTimer})
        t->setParent(this);
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_scanTimer.setObjectName(QStringLiteral("ScanModTimer"));
    m_endTimer.setObjectName(QStringLiteral("EndTimer"));
    m_timer1.setTimerType(Qt::PreciseTimer);
    m_scanTimer.setTimerType(Qt::PreciseTimer);
    m_scanTimer.setInterval(200);
    m_endTimer.setSingleShot(true);
    m_endTimer.setInterval(100);
    connect(&m_timer1, &QTimer::timeout, this, &PollingCycle::Timer1_Timer);
    connect(&m_scanTimer, &QTimer::timeout, this, &PollingCycle::ScanModTimer_Timer);
    connect(&m_endTimer, &QTimer::timeout, this, &PollingCycle::handBack);

    // The scan's last request (address 255 in RTU) still counts: the scan ends
    // when it is answered or timed out.
    connect(&m_engine, &TransactionEngine::requestEnded, this, [this] {
        if (m_lastScanRequest)
            endScan();
    });
    // A lost or unopenable port stops polling and scanning; the window reports it.
    connect(&m_engine, &TransactionEngine::portError, this, [this] { stop(); });
    connect(&m_reads, &RegisterMap::deviceIdentified, this, &PollingCycle::identified);
}

void PollingCycle::load(const LineChoice &line)
{
    m_engine.cancel();
    m_scanTimer.stop();
    m_timer1.stop();
    m_engine.configurePort(line.comPort, line.settings());
    m_timer1.setInterval(timerInterval(Base::PollTick, line.rateIndex));
    m_engine.setReplyTimeout(timerInterval(Base::PollReply, line.rateIndex));
}

// ---- Scan -----------------------------------------------------------------

void PollingCycle::startScan(const LineChoice &line)
{
    m_engine.configurePort(line.comPort, line.settings());
    m_timer1.stop();
    m_scanTimer.setInterval(timerInterval(Base::ScanTick, line.rateIndex));
    m_engine.setReplyTimeout(timerInterval(Base::ScanReply, line.rateIndex));
    m_scanTimer.start();
    ScanState &scan = m_state.scan;
    scan.ScanAddress = 0;
    m_state.mods.ModIndex = 0;
    m_state.mods.ModAddress[0] = 1;
    scan.Scanning = True16;
    scan.ScanAscii = False16;
    m_lastScanRequest = false;
}

void PollingCycle::ScanModTimer_Timer()
{
    ScanState &scan = m_state.scan;
    ModuleSlots &mods = m_state.mods;
    mods.address() = scan.ScanAddress;
    bool last = false;
    if (scan.ScanAscii) {
        scan.ScanAscii = False16;
        ++scan.ScanAddress;
        last = scan.ScanAddress > 255;
        if (last)
            m_scanTimer.stop();
    } else {
        scan.ScanAscii = True16;
    }
    mods.ascii() = scan.ScanAscii;
    Q_EMIT scanStep(mods.address(), scan.ScanAscii != False16);
    if (mods.address() != 0)
        m_reads.GetDeviceID();
    if (!last)
        return;
    // The last request still counts: the scan ends when it is answered or
    // timed out, or at once when nothing went out.
    if (m_engine.outstanding())
        m_lastScanRequest = true;
    else
        endScan();
}

void PollingCycle::identified(const QByteArray &id, int previousVersion)
{
    if (!m_state.scan.Scanning) {
        // The start burst reads the module control block and the system block
        // before the identifier, so their layout was chosen by the previous
        // module's firmware. When the identifier tells another version, read
        // both again (system block first) so the window never keeps a misread
        // block.
        if (m_state.module.version() != previousVersion) {
            push(Cmd::ReadModuleControl);
            push(Cmd::ReadSystem);
        }
        return;
    }
    if (!RegisterMap::isKnownModule(id))
        return;
    ModuleSlots &mods = m_state.mods;
    const QString address = formatHash(mods.address());
    mods.ascii() = m_state.scan.ScanAscii;
    Q_EMIT moduleFound(QStringLiteral("MOD(") + address + QLatin1Char(')'), mods.ModIndex);
    m_engine.setStatus(tr("找到模块地址为:") + address);
    if (mods.ModIndex < ModuleSlots::Count - 1)
        ++mods.ModIndex;
}

void PollingCycle::endScan()
{
    m_scanTimer.stop();
    const bool wasScanning = scanning();
    m_lastScanRequest = false;
    m_state.scan.Scanning = False16;
    if (wasScanning)
        Q_EMIT scanFinished();
}

bool PollingCycle::selectModule(int index)
{
    if (scanning() || !ModuleSlots::validIndex(index))
        return false;
    m_state.mods.ModIndex = static_cast<qint16>(index);
    return true;
}

// ---- Polling --------------------------------------------------------------

void PollingCycle::start(const LineChoice &line, int selectedSlot, int listCount,
                         qint16 manualAddress, bool manualAscii)
{
    m_engine.cancel();
    m_engine.setReplyTimeout(timerInterval(Base::PollReply, line.rateIndex));
    m_timer1.stop();
    m_timer1.setInterval(timerInterval(Base::PollTick, line.rateIndex));
    endScan();

    ModuleSlots &mods = m_state.mods;
    if (selectedSlot >= 0 && ModuleSlots::validIndex(selectedSlot)) {
        mods.ModIndex = static_cast<qint16>(selectedSlot);
    } else {
        mods.ModIndex = static_cast<qint16>(qBound(0, listCount + 1, ModuleSlots::Count - 1));
        mods.ascii() = manualAscii ? True16 : False16;
        mods.address() = manualAddress;
    }
    m_state.commands.loadStartBurst();

    m_engine.configurePort(line.comPort, line.settings());
    m_timer1.start();
    m_engine.resetErrCount();
}

void PollingCycle::Timer1_Timer()
{
    CommandStack &cs = m_state.commands;
    const qint16 code = cs.top();
    execute(code);
    cs.popAfterRun(code);
}

void PollingCycle::stop()
{
    m_timer1.stop();
    endScan();
}

void PollingCycle::execute(qint16 code)
{
    if (code >= Cmd::WriteSensorCode0 && code < Cmd::WriteSensorCode0 + 8) {
        m_writes.PutChnlSensor(code - Cmd::WriteSensorCode0);
        return;
    }
    if (code >= Cmd::WriteCalibration0 && code <= Cmd::WriteCalibration0 + 14 &&
        (code - Cmd::WriteCalibration0) % 2 == 0) {
        m_writes.PutECalb((code - Cmd::WriteCalibration0) / 2);
        return;
    }
    switch (code) {
    case Cmd::ReadOutputs:
        m_reads.GetDO();
        break;
    case Cmd::ReadInputs:
        m_reads.GetDI();
        break;
    case Cmd::ReadMeasurements:
        m_reads.GetData();
        break;
    case Cmd::ReadSystem:
        m_reads.GetSys();
        break;
    case Cmd::WriteOutput:
        m_writes.PutDO();
        break;
    case Cmd::ReadDeviceId:
        m_reads.GetDeviceID();
        break;
    case Cmd::ReadControlEnable:
        m_reads.GetControlEn();
        break;
    case Cmd::ReadSensorCodes:
        m_reads.GetChnlSensor();
        break;
    case Cmd::ReadPOutTime:
        m_reads.GetPOutTime();
        break;
    case Cmd::ReadCalibration:
        m_reads.GetECalbData();
        break;
    case Cmd::ReadModuleControl:
        m_reads.GetModCon();
        break;
    case Cmd::WriteCommByte:
        m_writes.PutSysBaud();
        break;
    case Cmd::WriteSensorByte:
        m_writes.PutSysSensor();
        break;
    case Cmd::WriteAddress:
        m_writes.PutSysAddress();
        break;
    case Cmd::WriteColdAdj:
        m_writes.PutSysAdjAD590();
        break;
    default:
        m_engine.setStatus(tr("无此功能号"));
        break;
    }
}

// ---- Port hand-over -------------------------------------------------------

void PollingCycle::suspend(const LineChoice &line)
{
    m_lentLine = line;
    m_endTimer.stop();
    m_engine.cancel();
    m_timer1.stop();
    // A scan would go on sending on a port the editor now owns.
    endScan();
    m_engine.port().setPortOpen(false);
}

void PollingCycle::resume()
{
    handBack();
    m_endTimer.start();
}

void PollingCycle::handBack()
{
    // The line was suspended, so no request is outstanding at the return.
    // Repeated 100 ms later, a request polling has sent by then goes on, and a
    // running tick keeps its phase.
    if (!m_timer1.isActive())
        m_timer1.start();
    if (!m_engine.port().portOpen())
        m_engine.configurePort(m_lentLine.comPort, m_lentLine.settings());
}

} // namespace krv
