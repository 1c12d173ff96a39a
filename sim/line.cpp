#include "line.h"

#include <cerrno>
#include <ctime>

#include <algorithm>
#include <utility>

namespace sim {

qint64 monotonicUs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

void Line::send(const QByteArray &bytes, qint64 startUs, int baud, bool paced,
                std::function<void()> done)
{
    m_queue.push_back({bytes, 0, startUs, baud, paced, std::move(done)});
}

qint64 Line::charUs(const Transmission &t)
{
    return t.baud > 0 ? 10LL * 1000000 / t.baud : 0;
}

qint64 Line::deadline(qint64 nowUs) const
{
    if (m_queue.empty() || m_blocked)
        return 0;
    const Transmission &t = m_queue.front();
    if (nowUs < t.startUs)
        return t.startUs;
    if (!t.paced)
        return nowUs;
    // A character is handed over once its last bit would have arrived. Wake at most
    // every millisecond.
    const qint64 next = t.startUs + (t.written + 1) * charUs(t);
    return std::max(next, nowUs + 1000);
}

void Line::service(qint64 nowUs)
{
    m_blocked = false;
    bool madeRoom = false;
    while (!m_queue.empty()) {
        Transmission &t = m_queue.front();
        if (nowUs < t.startUs)
            return;
        qsizetype due = t.bytes.size();
        if (t.paced && charUs(t) > 0)
            due = std::min<qsizetype>(due, (nowUs - t.startUs) / charUs(t));
        while (t.written < due) {
            const ssize_t n =
                writeOut(t.bytes.constData() + t.written, static_cast<size_t>(due - t.written));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                if (!madeRoom && makeRoom()) {
                    madeRoom = true;
                    continue;
                }
                m_blocked = true;
                return;
            }
            if (n < 0) { // nothing can be sent: drop the transmission
                t.written = t.bytes.size();
                break;
            }
            t.written += n;
        }
        if (t.written < t.bytes.size())
            return;
        auto done = std::move(t.done);
        m_queue.pop_front();
        if (!m_queue.empty())
            m_queue.front().startUs = std::max(m_queue.front().startUs, nowUs);
        if (done)
            done();
    }
}

void Line::discardQueue()
{
    m_blocked = false;
    std::deque<Transmission> queue;
    queue.swap(m_queue);
    for (Transmission &t : queue)
        if (t.done)
            t.done();
}

} // namespace sim
