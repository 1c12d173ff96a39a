#include "pollingcycle.h"

#include "text/numbertext.h"

namespace krv {

PollingCycle::PollingCycle(SharedState &state, TransactionEngine &engine, RegisterMap &reads,
                           WriteRequests &writes, QObject *parent)
    : QObject(parent), m_state(state), m_engine(engine), m_reads(reads), m_writes(writes)
{
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_scanTimer.setObjectName(QStringLiteral("ScanModTimer"));
    m_timer1.setTimerType(Qt::PreciseTimer);
    m_scanTimer.setTimerType(Qt::PreciseTimer);
    m_scanTimer.setInterval(200);
    connect(&m_timer1, &QTimer::timeout, this, &PollingCycle::Timer1_Timer);
    connect(&m_scanTimer, &QTimer::timeout, this, &PollingCycle::ScanModTimer_Timer);

    // The scan's last request (address 255 in RTU) still counts: the scan ends
    // when it is answered or timed out.
    connect(&m_engine, &TransactionEngine::transactionEnded, this, [this] {
        if (m_lastScanRequest)
            finishScan();
    });
    // A lost or unopenable port stops polling and scanning; the window reports it.
    connect(&m_engine, &TransactionEngine::portError, this, [this] { stop(); });
    // The start burst reads the system block and the module control block before
    // the identifier, so their layout was chosen by the previous module's
    // firmware. When the identifier tells another version, read both again
    // (system block first) so the window never keeps a misread block.
    connect(&m_reads, &RegisterMap::firmwareChanged, this, [this] {
        push(Cmd::ReadModuleControl);
        push(Cmd::ReadSystem);
    });
}

void PollingCycle::load(const LineChoice &line)
{
    m_engine.timMscon().stop();
    m_scanTimer.stop();
    m_timer1.stop();
    m_engine.configurePort(line.comPort, line.settings());
    m_timer1.setInterval(timerInterval(Base::PollTick, line.rateIndex));
    m_engine.timMscon().setInterval(timerInterval(Base::PollReply, line.rateIndex));
}

void PollingCycle::startScan(const LineChoice &line)
{
    m_engine.configurePort(line.comPort, line.settings());
    m_timer1.stop();
    m_scanTimer.setInterval(timerInterval(Base::ScanTick, line.rateIndex));
    m_engine.timMscon().setInterval(timerInterval(Base::ScanReply, line.rateIndex));
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
    if (scan.ScanAscii) {
        scan.ScanAscii = False16;
        ++scan.ScanAddress;
        if (scan.ScanAddress > 255) {
            m_scanTimer.stop();
            m_lastScanRequest = true;
        }
    } else {
        scan.ScanAscii = True16;
    }
    mods.ascii() = scan.ScanAscii;
    Q_EMIT scanStep(mods.address(), scan.ScanAscii != False16);
    if (mods.address() != 0) {
        m_reads.GetDeviceID();
        if (m_lastScanRequest && m_engine.portFailed())
            finishScan();
    } else if (m_lastScanRequest) {
        finishScan();
    }
}

void PollingCycle::finishScan()
{
    m_lastScanRequest = false;
    m_state.scan.Scanning = False16;
    Q_EMIT scanFinished();
}

void PollingCycle::start(const LineChoice &line, int selectedSlot, int listCount,
                         qint16 manualAddress, bool manualAscii)
{
    m_scanTimer.stop();
    m_engine.timMscon().stop();
    m_engine.timMscon().setInterval(timerInterval(Base::PollReply, line.rateIndex));
    m_timer1.stop();
    m_timer1.setInterval(timerInterval(Base::PollTick, line.rateIndex));
    if (m_state.scan.Scanning || m_lastScanRequest) {
        m_lastScanRequest = false;
        m_state.scan.Scanning = False16;
        Q_EMIT scanFinished();
    }

    ModuleSlots &mods = m_state.mods;
    if (selectedSlot >= 0 && ModuleSlots::validIndex(selectedSlot)) {
        mods.ModIndex = static_cast<qint16>(selectedSlot);
    } else {
        mods.ModIndex = static_cast<qint16>(qBound(0, listCount + 1, ModuleSlots::Count - 1));
        mods.ascii() = manualAscii ? True16 : False16;
        mods.address() = manualAddress;
    }

    CommandStack &cs = m_state.commands;
    const std::array<qint16, 9> burst = {
        Cmd::ReadMeasurements, Cmd::ReadInputs,      Cmd::ReadOutputs,
        Cmd::ReadDeviceId,     Cmd::ReadSystem,      Cmd::ReadSensorCodes,
        Cmd::ReadPOutTime,     Cmd::ReadCalibration, Cmd::ReadModuleControl};
    std::copy(burst.begin(), burst.end(), cs.CmdQueue.begin());
    cs.CmdTop = 8;

    m_engine.configurePort(line.comPort, line.settings());
    m_timer1.start();
    m_engine.resetErrCount();
}

void PollingCycle::Timer1_Timer()
{
    CommandStack &cs = m_state.commands;
    const qint16 code = cs.CmdQueue[cs.CmdTop];
    execute(code);
    if (cs.CmdTop == 0) {
        switch (code) {
        case Cmd::ReadOutputs:
            cs.CmdQueue[0] = Cmd::ReadInputs;
            break;
        case Cmd::ReadInputs:
            cs.CmdQueue[0] = Cmd::ReadMeasurements;
            break;
        case Cmd::ReadMeasurements:
            cs.CmdQueue[0] = Cmd::ReadControlEnable;
            break;
        case Cmd::ReadControlEnable:
            cs.CmdQueue[0] = Cmd::ReadOutputs;
            break;
        default:
            break;
        }
    } else {
        --cs.CmdTop;
    }
}

void PollingCycle::stop()
{
    m_scanTimer.stop();
    m_timer1.stop();
    const bool wasScanning = m_state.scan.Scanning || m_lastScanRequest;
    m_state.scan.Scanning = False16;
    m_lastScanRequest = false;
    if (wasScanning)
        Q_EMIT scanFinished();
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
        m_engine.setStatus(QStringLiteral("无此功能号"));
        break;
    }
}

} // namespace krv
