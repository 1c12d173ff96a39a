#pragma once
// The main window's polling: a start burst, then a rotation of four reads,
// with pushed commands taking the next tick; one request per tick, the reply
// time-out shorter than the tick. Also the lending of the line to an editor
// and its return.

#include "link/commandstack.h"
#include "link/linelender.h"
#include "link/linetiming.h"
#include "link/modulescan.h"
#include "link/registermap.h"
#include "link/sharedstate.h"
#include "link/transactionengine.h"
#include "link/writerequests.h"

#include <QObject>
#include <QTimer>

namespace krv {

class PollingCycle : public QObject, public LineLender
{
    Q_OBJECT
public:
    PollingCycle(SharedState &state, TransactionEngine &engine, RegisterMap &reads,
                 WriteRequests &writes, ModuleScan &scan, QObject *parent = nullptr);

    // The polling tick timer, for inspection (and for tests that run ticks by hand).
    QTimer &tickTimer() { return m_tickTimer; }

    // Window load: timers set for the chosen speed, port configured, not opened.
    void load(const LineChoice &line);

    // "运 行": `selectedSlot` = the module list's selection, or -1 for the
    // manual entry (`manualAddress` in `manualAscii` framing, put in the slot
    // after the `listCount` listed ones).
    void start(const LineChoice &line, int selectedSlot, int listCount, qint16 manualAddress,
               bool manualAscii);
    void onTick();
    // "停 止" (ends a scan too).
    void stop();

    // The operator picked list entry `index`: it becomes the selected slot,
    // whose module identifies itself first. Refused (false) while a scan
    // runs, which owns the slot then.
    bool selectModule(int index);

    // Runs the request of one command code.
    void execute(qint16 code);
    bool push(qint16 code) { return pushCommand(m_state.commandStack, m_engine, code); }

    // Lends the line to an editor: polling, scan and reply timer stop and the
    // port is closed. `line` is the window's port and speed at that moment.
    void lend(const LineChoice &line);
    const LineChoice &lentLine() const override { return m_lentLine; }
    // Takes the line back: reply timer off, polling on (with the stack as it
    // was), the port configured again but not opened. Repeated once 100 ms
    // later; a port that is open by then is left untouched.
    void takeBack() override;

private:
    void onDeviceIdentified(const DeviceId &id, int previousVersion);
    // The identification request ended: due again until it is answered.
    void onRequestEnded();
    void handBack();

    SharedState &m_state;
    TransactionEngine &m_engine;
    RegisterMap &m_reads;
    WriteRequests &m_writes;
    ModuleScan &m_scan;
    QTimer m_tickTimer;
    QTimer m_handBackRepeat;
    LineChoice m_lentLine;
    bool m_identifying = false;       // the request on the line is the identification
    bool m_identificationDue = false; // to be asked again (lost, or another module picked)
    bool m_askedIdentificationLastTick = false;
    bool m_running = false; // polling, from "运 行" to "停 止" (or the line lent)
};

} // namespace krv
