#include "pollingcycle.h"

#include "text/numbertext.h"

#include <utility>

namespace krv {

PollingCycle::PollingCycle(SharedState &state, TransactionEngine &engine, RegisterMap &reads,
                           WriteRequests &writes, ModuleScan &scan, QObject *parent)
    : QObject(parent), m_state(state), m_engine(engine), m_reads(reads), m_writes(writes),
      m_scan(scan)
{
    // Children by name, so that a test or a monitor can find them.
    for (QTimer *t : {&m_tickTimer, &m_handBackRepeat})
        t->setParent(this);
    m_tickTimer.setObjectName(QStringLiteral("Timer1"));
    m_handBackRepeat.setObjectName(QStringLiteral("EndTimer"));
    m_tickTimer.setTimerType(Qt::PreciseTimer);
    m_handBackRepeat.setSingleShot(true);
    m_handBackRepeat.setInterval(100);
    connect(&m_tickTimer, &QTimer::timeout, this, &PollingCycle::onTick);
    connect(&m_handBackRepeat, &QTimer::timeout, this, &PollingCycle::handBack);
    // A lost or unopenable port stops polling and scanning; the window reports it.
    connect(&m_engine, &TransactionEngine::portFailed, this, [this] { stop(); });
    connect(&m_reads, &RegisterMap::deviceIdentified, this, &PollingCycle::onDeviceIdentified);
    connect(&m_engine, &TransactionEngine::requestEnded, this, &PollingCycle::onRequestEnded);
}

void PollingCycle::load(const LineChoice &line)
{
    m_engine.cancel();
    m_scan.stop();
    m_tickTimer.stop();
    m_engine.configurePort(line.address, line.settings());
    m_tickTimer.setInterval(timerInterval(Base::PollTick, line.rateIndex));
    m_engine.setReplyTimeout(timerInterval(Base::PollReply, line.rateIndex));
}

void PollingCycle::onDeviceIdentified(const DeviceId &, int previousVersion)
{
    if (m_scan.running())
        return;
    // The start burst reads the module control block and the system block
    // before the identifier, so their layout was chosen by the previous
    // module's firmware, and a reply that came before the identification was
    // not used. Read both again then (system block first), so that the window
    // shows them as this module lays them out.
    if (m_reads.takeRefusedBeforeIdentification() || m_state.module.version() != previousVersion) {
        push(Cmd::ReadModuleControl);
        push(Cmd::ReadSystem);
    }
}

void PollingCycle::onRequestEnded()
{
    if (!std::exchange(m_identifying, false))
        return;
    // A lost or spoilt identification reply is asked for again: until it is
    // answered, nothing its firmware lays out is used.
    if (m_running && !m_state.module.firmwareKnown)
        m_identificationDue = true;
}

bool PollingCycle::selectModule(int index)
{
    if (m_scan.running() || !ModuleSlots::validIndex(index))
        return false;
    if (index != m_state.moduleSlots.selected) {
        m_state.moduleSlots.selected = static_cast<qint16>(index);
        m_state.module.firmwareKnown = false;
        m_identificationDue = true;
        m_askedIdentificationLastTick = false;
    }
    return true;
}

void PollingCycle::start(const LineChoice &line, int selectedSlot, int listCount,
                         qint16 manualAddress, bool manualAscii)
{
    m_engine.cancel();
    m_engine.setReplyTimeout(timerInterval(Base::PollReply, line.rateIndex));
    m_tickTimer.stop();
    m_tickTimer.setInterval(timerInterval(Base::PollTick, line.rateIndex));
    m_scan.stop();

    ModuleSlots &moduleSlots = m_state.moduleSlots;
    if (selectedSlot >= 0 && ModuleSlots::validIndex(selectedSlot)) {
        moduleSlots.selected = static_cast<qint16>(selectedSlot);
    } else {
        moduleSlots.selected =
            static_cast<qint16>(qBound(0, listCount + 1, ModuleSlots::Count - 1));
        moduleSlots.setSelectedAscii(manualAscii);
        moduleSlots.selectedAddress() = manualAddress;
    }
    m_state.commandStack.loadStartBurst();
    // The module identifies itself again: it may have been replaced.
    m_state.module.firmwareKnown = false;
    m_identifying = false;
    m_identificationDue = false; // the start burst asks
    m_askedIdentificationLastTick = false;
    m_reads.takeRefusedBeforeIdentification();

    m_engine.configurePort(line.address, line.settings());
    m_tickTimer.start();
    m_running = true;
    m_engine.resetTimeoutCount();
}

void PollingCycle::onTick()
{
    // An identification still due takes every other tick, so that the reads
    // that do not depend on it (the measurements, the switches) go on.
    if (m_identificationDue && !m_askedIdentificationLastTick) {
        m_identificationDue = false;
        m_askedIdentificationLastTick = true;
        execute(Cmd::ReadDeviceId);
        return;
    }
    CommandStack &stack = m_state.commandStack;
    const qint16 code = stack.top();
    execute(code);
    stack.popAfterRun(code);
    m_askedIdentificationLastTick = code == Cmd::ReadDeviceId;
}

void PollingCycle::stop()
{
    m_running = false;
    m_tickTimer.stop();
    m_scan.stop();
}

void PollingCycle::execute(qint16 code)
{
    if (code >= Cmd::WriteSensorCode0 && code < Cmd::WriteSensorCode0 + ChannelCount) {
        m_writes.sendSensorCode(code - Cmd::WriteSensorCode0);
        return;
    }
    if (code >= Cmd::WriteCalibration0 && code <= Cmd::WriteCalibration0 + 2 * (ChannelCount - 1) &&
        (code - Cmd::WriteCalibration0) % 2 == 0) {
        m_writes.sendCalibration((code - Cmd::WriteCalibration0) / 2);
        return;
    }
    switch (code) {
    case Cmd::ReadOutputs:
        m_reads.readSwitchOutputs();
        break;
    case Cmd::ReadInputs:
        m_reads.readSwitchInputs();
        break;
    case Cmd::ReadMeasurements:
        m_reads.readMeasurements();
        break;
    case Cmd::ReadSystem:
        m_reads.readSystemBlock();
        break;
    case Cmd::WriteOutput:
        m_writes.sendOutputSwitch();
        break;
    case Cmd::ReadDeviceId:
        m_reads.readDeviceId();
        m_identifying = m_engine.outstanding();
        break;
    case Cmd::ReadControlEnable:
        m_reads.readControlEnable();
        break;
    case Cmd::ReadSensorCodes:
        m_reads.readSensorCodes();
        break;
    case Cmd::ReadParallelTime:
        m_reads.readParallelOutputTime();
        break;
    case Cmd::ReadCalibration:
        m_reads.readCalibration();
        break;
    case Cmd::ReadModuleControl:
        m_reads.readModuleControl();
        break;
    case Cmd::WriteCommByte:
        m_writes.sendCommByte();
        break;
    case Cmd::WriteSensorByte:
        m_writes.sendSensorByte();
        break;
    case Cmd::WriteAddress:
        m_writes.sendStationAddress();
        break;
    case Cmd::WriteColdJunction:
        m_writes.sendColdJunctionAdjust();
        break;
    default:
        m_engine.setStatus({LinkStatus::Code::UnknownFunction});
        break;
    }
}

// ---- Lending the line -------------------------------------------------------

void PollingCycle::lend(const LineChoice &line)
{
    m_lentLine = line;
    m_handBackRepeat.stop();
    m_engine.cancel();
    m_tickTimer.stop();
    m_running = false;
    // A scan would go on sending on a port the editor now owns.
    m_scan.stop();
    m_engine.port().close();
}

void PollingCycle::takeBack()
{
    handBack();
    m_handBackRepeat.start();
}

void PollingCycle::handBack()
{
    // The line was lent, so no request is outstanding at the return. Repeated
    // 100 ms later, a request polling has sent by then goes on, and a running
    // tick keeps its phase.
    if (!m_tickTimer.isActive())
        m_tickTimer.start();
    m_running = true;
    if (!m_engine.port().isOpen())
        m_engine.configurePort(m_lentLine.address, m_lentLine.settings());
}

} // namespace krv
