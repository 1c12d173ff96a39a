#include "modulescan.h"

#include "text/numbertext.h"

namespace krv {

ModuleScan::ModuleScan(SharedState &state, TransactionEngine &engine, RegisterMap &reads,
                       QObject *parent)
    : QObject(parent), m_state(state), m_engine(engine), m_reads(reads)
{
    m_tickTimer.setParent(this);
    m_tickTimer.setObjectName(QStringLiteral("ScanModTimer"));
    m_tickTimer.setTimerType(Qt::PreciseTimer);
    m_tickTimer.setInterval(200);
    connect(&m_tickTimer, &QTimer::timeout, this, &ModuleScan::onTick);
    // The scan's last request (address 255 in RTU) still counts: the scan ends
    // when it is answered or timed out.
    connect(&m_engine, &TransactionEngine::requestEnded, this, [this] {
        if (m_lastRequestOut)
            stop();
    });
    connect(&m_reads, &RegisterMap::deviceIdentified, this, &ModuleScan::onDeviceIdentified);
}

void ModuleScan::start(const LineChoice &line)
{
    m_engine.configurePort(line.address, line.settings());
    m_tickTimer.setInterval(timerInterval(Base::ScanTick, line.rateIndex));
    m_engine.setReplyTimeout(timerInterval(Base::ScanReply, line.rateIndex));
    m_tickTimer.start();
    m_address = 0;
    ModuleSlots &moduleSlots = m_state.moduleSlots;
    moduleSlots.selected = 0;
    moduleSlots.stationAddress[0] = 1;
    m_scanning = true;
    m_asciiTurn = false;
    m_lastRequestOut = false;
    m_state.module.firmwareKnown = false;
}

void ModuleScan::onTick()
{
    ModuleSlots &moduleSlots = m_state.moduleSlots;
    moduleSlots.selectedAddress() = m_address;
    const bool mbap = m_engine.port().carriesMbap();
    bool last = false;
    if (m_asciiTurn || mbap) {
        m_asciiTurn = false;
        ++m_address;
        last = m_address > 255;
        if (last)
            m_tickTimer.stop();
    } else {
        m_asciiTurn = true;
    }
    moduleSlots.setSelectedAscii(m_asciiTurn);
    Q_EMIT stepped(moduleSlots.selectedAddress(), m_engine.framing());
    if (moduleSlots.selectedAddress() != 0)
        m_reads.readDeviceId();
    if (!last)
        return;
    // The last request still counts: the scan ends when it is answered or
    // timed out, or at once when nothing went out.
    if (m_engine.outstanding())
        m_lastRequestOut = true;
    else
        stop();
}

void ModuleScan::onDeviceIdentified(const DeviceId &id)
{
    if (!m_scanning || !id.isKnownModule())
        return;
    ModuleSlots &moduleSlots = m_state.moduleSlots;
    const qint16 address = moduleSlots.selectedAddress();
    moduleSlots.setSelectedAscii(m_asciiTurn);
    Q_EMIT moduleFound(QStringLiteral("MOD(") + formatHash(address) + QLatin1Char(')'),
                       moduleSlots.selected);
    m_engine.setStatus({LinkStatus::Code::ModuleFound, address});
    if (moduleSlots.selected < ModuleSlots::Count - 1)
        ++moduleSlots.selected;
}

void ModuleScan::stop()
{
    m_tickTimer.stop();
    const bool wasRunning = running();
    m_lastRequestOut = false;
    m_scanning = false;
    if (!wasRunning)
        return;
    // The scan identified the modules it tried, not the one selected now.
    m_state.module.firmwareKnown = false;
    Q_EMIT finished();
}

} // namespace krv
