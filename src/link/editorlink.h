#pragma once
// The line of a parameter editor window (control or alarm parameters) while
// the main window has lent it: the editor's own port component and
// transaction engine, the opening sweep over the nine blocks, single requests
// on demand, and the return of the line.
//
// One request is on the line at a time: a request made while another is
// outstanding waits and is sent when that one ends (its reply, a reply that
// fails its check, or no reply within the reply time-out), so a reply is
// always applied to the block whose request it answers. After a request went
// unanswered, the next one of the same kind waits until that one's late reply
// has come or can no longer come: every block read has the same shape, so a
// late reply could otherwise not be told from the next block's. While the
// module answers, the sweep keeps its tick.
//
// A port that fails is tried again at the next request; each request that
// cannot go out is reported.

#include "link/linelender.h"
#include "link/transactionengine.h"
#include "module/moduleslots.h"

#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>

namespace krv {

class EditorLink : public QObject
{
    Q_OBJECT
public:
    // Takes a confirmed reply and the block it belongs to.
    using ReplyHandler = std::function<void(int block, const ReplyReader &reply)>;

    // `port` leads to the same device as the main window's; `lender` lends the
    // line and takes it back.
    EditorLink(const ModuleSlots &moduleSlots, PortComponent &port, LineLender &lender,
               QObject *parent = nullptr);

    TransactionEngine &engine() { return m_engine; }
    // The sweep timer, for inspection (and for tests that run ticks by hand).
    QTimer &sweepTimer() { return m_sweepTimer; }

    // The read of one block, as the sweep sends it.
    void setBlockRead(std::function<void(int block)> read) { m_read = std::move(read); }
    void setReplyHandler(ReplyHandler handler) { m_handler = std::move(handler); }

    // The line has been lent: configures the port from the lent port and
    // speed (at every opening, so that a port or speed chosen since the last
    // one is used), sets the reply time-out (1150 / (i + 1) ms) and starts the
    // sweep from block 0 at 1200 / (i + 1) ms.
    void open();
    // One sweep step: reads the next block; after block 8, stops.
    void onSweepTick();

    // Sends a request now or after the outstanding one. `block` is the block
    // whose reply it is (it becomes the current block when sent), or -1 for a
    // request that keeps the current block (single registers and switches).
    // A block write (`write`) that ends without its echo is reported through
    // writeUnconfirmed.
    void submit(const Request &request, int block, bool write = false);
    // The block of the request on the line (or sent last).
    int currentBlock() const { return m_currentBlock; }
    // The block the next sweep tick reads.
    int sweepBlock() const { return m_sweepBlock; }
    // Requests waiting behind the outstanding one.
    int waiting() const { return static_cast<int>(m_queue.size()); }

    // "返 回": stops the sweep and drops the reads still waiting; writes still
    // waiting go out first. Then closes the port and gives the line back
    // (returned()); the next opening sweeps from block 0 again.
    void returnToMain();
    bool returning() const { return m_returning; }

Q_SIGNALS:
    // A block write ended without a confirmed echo (check failure, time-out,
    // a port that failed).
    void writeUnconfirmed(int block);
    // A request could not go out: the port cannot be opened.
    void requestFailed(int block, bool write);
    // The line has been given back.
    void returned();

private:
    struct Pending
    {
        Request request;
        int block = -1;
        bool write = false;
    };
    void send(const Pending &p);
    // Sends the first waiting request when the line is free for it.
    void sendNext();
    void onRequestEnded(RequestEnd how);
    void onPortFailed();
    void finishReturn();

    PortComponent &m_port;
    LineLender &m_lender;
    TransactionEngine m_engine;
    QTimer m_sweepTimer;
    QTimer m_holdTimer; // waits out an unanswered request's late reply
    std::function<void(int)> m_read;
    ReplyHandler m_handler;
    std::deque<Pending> m_queue;
    Pending m_onLine;
    int m_currentBlock = 0;
    int m_sweepBlock = 0;
    bool m_returning = false;
};

} // namespace krv
