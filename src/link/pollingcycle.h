#pragma once
// What goes on the line from the main window: the module scan (device
// identifier at every address, ASCII then RTU) and the polling cycle (a start
// burst, then a rotation of four reads, with pushed commands taking the next
// tick). One request per tick; the reply time-out is shorter than the tick.

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

    QTimer &Timer1() { return m_timer1; }
    QTimer &ScanModTimer() { return m_scanTimer; }

    // Window load: timers set for the chosen speed, port configured, not opened.
    void load(const LineChoice &line);
    // "扫描模块" (the window clears its module list first).
    void startScan(const LineChoice &line);
    void ScanModTimer_Timer();

    // "运 行": slot = selected module list index, or -1 for the manual entry;
    // listCount = entries in the module list.
    void start(const LineChoice &line, int selectedSlot, int listCount, qint16 manualAddress,
               bool manualAscii);
    void Timer1_Timer();
    // "停 止".
    void stop();

    // Runs the request of one command code.
    void execute(qint16 code);
    bool push(qint16 code) { return pushCommand(m_state, m_engine, code); }

Q_SIGNALS:
    void scanStep(int address, bool ascii); // progress while scanning
    void scanFinished();

private:
    void finishScan();

    SharedState &m_state;
    TransactionEngine &m_engine;
    RegisterMap &m_reads;
    WriteRequests &m_writes;
    QTimer m_timer1;
    QTimer m_scanTimer;
    bool m_lastScanRequest = false;
};

} // namespace krv
