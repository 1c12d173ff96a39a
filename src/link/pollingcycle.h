#pragma once
// What goes on the line from the main window: the module scan (device
// identifier at every address, ASCII then RTU) and the polling cycle (a start
// burst, then a rotation of four reads, with pushed commands taking the next
// tick). One request per tick; the reply time-out is shorter than the tick.
// Also the hand-over of the port to an editor window and back.

#include "link/commandstack.h"
#include "link/registermap.h"
#include "link/shareddata.h"
#include "link/transactionengine.h"
#include "link/writerequests.h"

#include <QObject>
#include <QTimer>

namespace krv {

// Interval bases in ms; the interval is base / (speed index + 1).
namespace Base {
constexpr int PollTick = 1200;
constexpr int PollReply = 1150;
constexpr int ScanTick = 800;
constexpr int ScanReply = 700;
} // namespace Base

// The PC side of the line as the window's lists hold it.
struct LineChoice
{
    int comPort = 1;   // 1..4
    QString rateText;  // "9600"
    int rateIndex = 3; // 0..5
    QString settings() const { return rateText + QStringLiteral(",N,8,1"); }
};

class PollingCycle : public QObject
{
    Q_OBJECT
public:
    PollingCycle(SharedState &state, TransactionEngine &engine, RegisterMap &reads,
                 WriteRequests &writes, QObject *parent = nullptr);

    // The tick timers, for inspection (and for tests that run ticks by hand).
    QTimer &Timer1() { return m_timer1; }
    QTimer &ScanModTimer() { return m_scanTimer; }

    // Window load: timers set for the chosen speed, port configured, not opened.
    void load(const LineChoice &line);
    // "扫描模块" (the window clears its module list first).
    void startScan(const LineChoice &line);
    void ScanModTimer_Timer();
    bool scanning() const { return m_state.scan.Scanning || m_lastScanRequest; }

    // "运 行": slot = selected module list index, or -1 for the manual entry;
    // listCount = entries in the module list.
    void start(const LineChoice &line, int selectedSlot, int listCount, qint16 manualAddress,
               bool manualAscii);
    void Timer1_Timer();
    // "停 止".
    void stop();

    // The operator picked list entry `index`: it becomes the current slot.
    // Refused (false) while a scan runs, which owns the slot then.
    bool selectModule(int index);

    // Runs the request of one command code.
    void execute(qint16 code);
    bool push(qint16 code) { return pushCommand(m_state, m_engine, code); }

    // Lends the line to an editor: polling, scan and reply timer stop and the
    // port is closed. `line` is the window's port and speed at that moment; the
    // editor configures its own port from it and resume() gives it back.
    void suspend(const LineChoice &line);
    const LineChoice &lentLine() const { return m_lentLine; }
    // Takes the line back: reply timer off, polling on (with the stack as it
    // was), the port configured again but not opened. Repeated once 100 ms later
    // (EndTimer); a port that is open by then is left untouched.
    void resume();

Q_SIGNALS:
    void scanStep(int address, bool ascii); // progress while scanning
    void scanFinished();
    // A module of the family answered during a scan: add the item, select slot.
    void moduleFound(const QString &item, int slot);

private:
    void identified(const QByteArray &id, int previousVersion);
    // Ends a scan that runs (or whose last request is outstanding).
    void endScan();
    void handBack();

    SharedState &m_state;
    TransactionEngine &m_engine;
    RegisterMap &m_reads;
    WriteRequests &m_writes;
    QTimer m_timer1;
    QTimer m_scanTimer;
    QTimer m_endTimer;
    bool m_lastScanRequest = false;
    LineChoice m_lentLine;
};

} // namespace krv
