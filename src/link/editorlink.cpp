#include "editorlink.h"

#include "link/linetiming.h"
#include "module/moduledata.h"
#include "text/numbertext.h"

#include <utility>

namespace krv {

EditorLink::EditorLink(const ModuleSlots &moduleSlots, PortComponent &port, LineLender &lender,
                       QObject *parent)
    : QObject(parent), m_port(port), m_lender(lender),
      m_engine(moduleSlots, port, TransactionEngine::Config{.reopenAfterFailure = true}, this)
{
    m_sweepTimer.setParent(this);
    m_sweepTimer.setObjectName(QStringLiteral("Timer1"));
    m_sweepTimer.setTimerType(Qt::PreciseTimer);
    m_sweepTimer.setInterval(150); // until the line is lent
    connect(&m_sweepTimer, &QTimer::timeout, this, &EditorLink::onSweepTick);
    m_holdTimer.setSingleShot(true);
    connect(&m_holdTimer, &QTimer::timeout, this, &EditorLink::sendNext);
    connect(&m_engine, &TransactionEngine::requestEnded, this, &EditorLink::onRequestEnded);
    connect(&m_engine, &TransactionEngine::lateReplyTaken, this, &EditorLink::sendNext);
    connect(&m_engine, &TransactionEngine::portFailed, this, &EditorLink::onPortFailed);
    connect(&m_engine, &TransactionEngine::requestNotSent, this, [this] {
        m_engine.setStatus({LinkStatus::Code::RequestNotSent});
        const Pending failed = std::exchange(m_onLine, Pending{});
        Q_EMIT requestFailed(failed.block, failed.write);
        if (failed.write)
            Q_EMIT writeUnconfirmed(failed.block);
    });
    m_engine.setDispatcher([this](const Request &, const ReplyReader &reply) {
        if (m_handler)
            m_handler(m_currentBlock, reply);
    });
}

void EditorLink::open()
{
    m_returning = false;
    const LineChoice &line = m_lender.lentLine();
    m_engine.configurePort(line.address, line.settings());
    m_engine.setReplyTimeout(timerInterval(Base::PollReply, line.rateIndex));
    m_sweepTimer.setInterval(timerInterval(Base::PollTick, line.rateIndex));
    m_sweepBlock = 0;
    m_sweepTimer.start();
}

void EditorLink::onSweepTick()
{
    if (m_sweepBlock < BlockCount) {
        const int block = m_sweepBlock++;
        if (m_read)
            m_read(block);
    } else {
        m_sweepTimer.stop();
    }
}

void EditorLink::submit(const Request &request, int block, bool write)
{
    m_queue.push_back({request, block, write});
    sendNext();
}

void EditorLink::sendNext()
{
    while (!m_engine.outstanding() && !m_queue.empty()) {
        const int wait = m_engine.msUntilUnambiguous(m_queue.front().request);
        if (wait > 0) {
            m_holdTimer.start(wait);
            return;
        }
        m_holdTimer.stop();
        const Pending next = m_queue.front();
        m_queue.pop_front();
        // One that could not go out (a port that failed) makes room for the next.
        send(next);
    }
    if (m_returning && m_queue.empty() && !m_engine.outstanding())
        finishReturn();
}

void EditorLink::send(const Pending &p)
{
    m_onLine = p;
    if (p.block >= 0)
        m_currentBlock = p.block;
    m_engine.send(p.request);
}

void EditorLink::onRequestEnded(RequestEnd how)
{
    if (m_onLine.write && how != RequestEnd::Reply)
        Q_EMIT writeUnconfirmed(m_onLine.block);
    m_onLine = Pending{};
    sendNext();
}

void EditorLink::onPortFailed()
{
    // What waits cannot go out now: each write still waiting is reported as
    // not written. The next request tries the port again.
    m_holdTimer.stop();
    const std::deque<Pending> dropped = std::exchange(m_queue, {});
    for (const Pending &p : dropped) {
        if (p.write)
            Q_EMIT writeUnconfirmed(p.block);
    }
    if (m_returning)
        finishReturn();
}

void EditorLink::returnToMain()
{
    m_sweepTimer.stop();
    std::erase_if(m_queue, [](const Pending &p) { return !p.write; });
    // A write on the line is waited for too, so that its echo is reported.
    if (m_queue.empty() && !(m_engine.outstanding() && m_onLine.write)) {
        finishReturn();
        return;
    }
    m_returning = true;
    sendNext();
}

void EditorLink::finishReturn()
{
    m_returning = false;
    m_queue.clear();
    m_holdTimer.stop();
    m_engine.cancel();
    m_port.close();
    m_lender.takeBack();
    m_sweepBlock = 0;
    Q_EMIT returned();
}

} // namespace krv
