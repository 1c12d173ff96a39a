#pragma once
// The module scan: the identification request at every station address
// 1..255, in ASCII and then in RTU (on a Modbus TCP line once, the gateway
// frames it), one per tick of its own timer. A module of the family that
// answers gets the next slot of the module table.

#include "link/linelender.h"
#include "link/linetiming.h"
#include "link/registermap.h"
#include "link/sharedstate.h"
#include "link/transactionengine.h"

#include <QObject>
#include <QTimer>

namespace krv {

class ModuleScan : public QObject
{
    Q_OBJECT
public:
    ModuleScan(SharedState &state, TransactionEngine &engine, RegisterMap &reads,
               QObject *parent = nullptr);

    // The scan's tick timer, for inspection (and for tests that run ticks by hand).
    QTimer &tickTimer() { return m_tickTimer; }

    // "扫描模块": from address 0 and slot 0, with the scan's timing.
    void start(const LineChoice &line);
    void onTick();
    // True from start() until the last request has ended.
    bool running() const { return m_scanning || m_lastRequestOut; }
    // Ends a scan that runs (or whose last request is outstanding).
    void stop();

Q_SIGNALS:
    void stepped(int address, krv::Framing framing); // progress
    void finished();
    // A module of the family answered: add the item, selecting slot `slot`.
    void moduleFound(const QString &item, int slot);

private:
    void onDeviceIdentified(const DeviceId &id);

    SharedState &m_state;
    TransactionEngine &m_engine;
    RegisterMap &m_reads;
    QTimer m_tickTimer;
    qint16 m_address = 0;
    bool m_scanning = false;
    bool m_asciiTurn = false; // the framing tried at this tick (serial lines)
    bool m_lastRequestOut = false;
};

} // namespace krv
