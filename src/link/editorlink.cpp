#include "editorlink.h"

#include "text/numbertext.h"

namespace krv {

EditorLink::EditorLink(SharedState &state, SerialPortComponent &MSComm1, PollingCycle &main,
                       QObject *parent)
    : QObject(parent), m_state(state), m_port(MSComm1), m_main(main),
      m_engine(state, MSComm1, TransactionEngine::Config{}, this)
{
    m_timer1.setParent(this);
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setTimerType(Qt::PreciseTimer);
    m_timer1.setInterval(150); // until the main window sets it
    connect(&m_timer1, &QTimer::timeout, this, &EditorLink::Timer1_Timer);
    connect(&m_engine, &TransactionEngine::requestEnded, this, &EditorLink::requestEnded);
    // A port that cannot be opened ends what is waiting too.
    connect(&m_engine, &TransactionEngine::portError, this, [this] { m_queue.clear(); });
}

void EditorLink::open()
{
    const LineChoice &line = m_main.lentLine();
    m_engine.configurePort(line.comPort, line.settings());
    m_engine.setReplyTimeout(timerInterval(Base::PollReply, line.rateIndex));
    m_timer1.setInterval(timerInterval(Base::PollTick, line.rateIndex));
    m_sweepChnl = 0;
    m_timer1.start();
}

void EditorLink::Timer1_Timer()
{
    if (m_sweepChnl <= 8) {
        const int block = m_sweepChnl++;
        if (m_read)
            m_read(block);
    } else {
        m_timer1.stop();
    }
}

void EditorLink::submit(const FrameBuffer &request, int block, bool write)
{
    Pending p;
    p.frame = request.CommBuf;
    p.replyLen = request.ReplyLen;
    p.block = block;
    p.write = write;
    if (m_engine.outstanding())
        m_queue.push_back(p);
    else
        send(p);
}

void EditorLink::send(const Pending &p)
{
    m_onLine = p;
    if (p.block >= 0)
        m_curChnl = p.block;
    FrameBuffer &fb = m_state.frame;
    fb.CommBuf = p.frame;
    fb.FrameLen = static_cast<qint16>(p.frame.size());
    fb.ReplyLen = p.replyLen;
    m_engine.SendCommand();
}

void EditorLink::requestEnded(RequestEnd how)
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
    m_timer1.stop();
    m_engine.cancel();
    m_port.setPortOpen(false);
    m_main.resume();
    m_sweepChnl = 0;
}

} // namespace krv
