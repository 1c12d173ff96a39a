#include "editorlink.h"

#include "link/linetiming.h"
#include "module/moduledata.h"
#include "text/numbertext.h"

namespace krv {

EditorLink::EditorLink(const ModuleSlots &moduleSlots, PortComponent &port, LineLender &lender,
                       QObject *parent)
    : QObject(parent), m_port(port), m_lender(lender),
      m_engine(moduleSlots, port, TransactionEngine::Config{}, this)
{
    m_sweepTimer.setParent(this);
    m_sweepTimer.setObjectName(QStringLiteral("Timer1"));
    m_sweepTimer.setTimerType(Qt::PreciseTimer);
    m_sweepTimer.setInterval(150); // until the line is lent
    connect(&m_sweepTimer, &QTimer::timeout, this, &EditorLink::onSweepTick);
    connect(&m_engine, &TransactionEngine::requestEnded, this, &EditorLink::onRequestEnded);
    // A port that cannot be opened ends what is waiting too.
    connect(&m_engine, &TransactionEngine::portFailed, this, [this] { m_queue.clear(); });
    m_engine.setDispatcher([this](const Request &, const ReplyReader &reply) {
        if (m_handler)
            m_handler(m_currentBlock, reply);
    });
}

void EditorLink::open()
{
    const LineChoice &line = m_lender.lentLine();
    m_engine.configurePort(line.portNumber, line.settings());
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
    const Pending p{request, block, write};
    if (m_engine.outstanding())
        m_queue.push_back(p);
    else
        send(p);
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
    if (m_onLine.write && (how == RequestEnd::TimedOut || how == RequestEnd::CheckFailed))
        Q_EMIT writeUnconfirmed(m_onLine.block);
    m_onLine = Pending{};
    // Sends the next waiting request; one that could not go out (a port that
    // failed) makes room for the next.
    while (!m_queue.empty() && !m_engine.outstanding()) {
        const Pending next = m_queue.front();
        m_queue.pop_front();
        send(next);
    }
}

void EditorLink::returnToMain()
{
    m_queue.clear();
    m_sweepTimer.stop();
    m_engine.cancel();
    m_port.close();
    m_lender.takeBack();
    m_sweepBlock = 0;
}

} // namespace krv
