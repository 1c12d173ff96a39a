#pragma once
// The line of a parameter editor window (control or alarm parameters) while
// the main window has lent it: the editor's own port component and
// transaction engine, the opening sweep over the nine blocks, single requests
// on demand, and the hand-back to the main window.
//
// One request is on the line at a time: a request made while another is
// outstanding waits and is sent when that one ends (its reply, a reply that
// fails its check, or no reply within the reply time-out), so a reply is
// always applied to the block whose request it answers. While the module
// answers, the sweep keeps its tick.

#include "link/pollingcycle.h"
#include "link/shareddata.h"
#include "link/transactionengine.h"

#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>

namespace krv {

class EditorLink : public QObject
{
    Q_OBJECT
public:
    // The editor's port component (MSComm1) leads to the same device as the
    // main window's; `main` is the main window's polling cycle, which lends
    // the line and takes it back.
    EditorLink(SharedState &state, SerialPortComponent &MSComm1, PollingCycle &main,
               QObject *parent = nullptr);

    TransactionEngine &engine() { return m_engine; }
    // The sweep timer, for inspection (and for tests that run ticks by hand).
    QTimer &Timer1() { return m_timer1; }

    // The read of one block, as the sweep sends it (the window's GetXPara).
    void setBlockRead(std::function<void(int block)> read) { m_read = std::move(read); }

    // The main window has suspended and lent its line: configures MSComm1 from
    // the main window's port and speed (at every opening, so that a port or
    // speed chosen since the last one is used), sets the reply time-out
    // (1150 / (i + 1) ms) and starts the sweep from block 0 at 1200 / (i + 1) ms.
    void open();
    // One sweep step: reads block SweepChnl and moves on; after block 8, stops.
    void Timer1_Timer();

    // Sends the request the builder left in `request` (CommBuf with its check
    // field still zero, FrameLen, ReplyLen), now or after the outstanding one.
    // `block` is the block whose reply it is (it becomes CurChnl when sent),
    // or -1 for a request that keeps CurChnl (single registers and switches).
    // A block write (`write`) that ends without its echo is reported through
    // writeUnconfirmed.
    void submit(const FrameBuffer &request, int block, bool write = false);
    // The block of the request on the line (or sent last).
    int CurChnl() const { return m_curChnl; }
    int SweepChnl() const { return m_sweepChnl; }
    // Requests waiting behind the outstanding one.
    int waiting() const { return static_cast<int>(m_queue.size()); }

    // "返 回": drops waiting requests, stops the sweep, closes MSComm1 and gives
    // the line back to the main window (which repeats the hand-back 100 ms
    // later); the next opening sweeps from block 0 again.
    void returnToMain();

Q_SIGNALS:
    // A block write ended without a confirmed echo (check failure or time-out).
    void writeUnconfirmed(int block);

private:
    struct Pending
    {
        QByteArray frame;
        qint16 replyLen = 0;
        int block = -1;
        bool write = false;
    };
    void send(const Pending &p);
    void requestEnded(RequestEnd how);

    SharedState &m_state;
    SerialPortComponent &m_port;
    PollingCycle &m_main;
    TransactionEngine m_engine;
    QTimer m_timer1;
    std::function<void(int)> m_read;
    std::deque<Pending> m_queue;
    Pending m_onLine;
    int m_curChnl = 0;
    int m_sweepChnl = 0;
};

} // namespace krv
