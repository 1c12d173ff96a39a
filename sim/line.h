#pragma once
// The simulator's end of the master's connection: where request bytes come in and
// replies go out. Replies are queued one after the other; paced replies go out at the
// character rate of their speed (10 bits per character), as on a real line. What
// the bytes travel through (a pseudo-terminal, a TCP connection) is the subclass's.

#include <QByteArray>

#include <deque>
#include <functional>
#include <optional>
#include <sys/types.h>
#include <vector>

struct pollfd;

namespace sim {

qint64 monotonicUs();

// What came in through the line's descriptors.
struct LineInput
{
    QByteArray bytes;
    // The master went away (a TCP client closed its connection): nothing queued for
    // it is sent any more, and what its requests left half received is stale.
    bool hungUp = false;
};

class Line
{
public:
    Line() = default;
    Line(const Line &) = delete;
    Line &operator=(const Line &) = delete;
    virtual ~Line() = default;

    // Appends the descriptors to wait on, with the events wanted.
    virtual void addPollFds(std::vector<pollfd> &fds) const = 0;
    // Takes what poll reported on the descriptors addPollFds appended, in the same
    // order from fds on.
    virtual LineInput takeInput(const pollfd *fds) = 0;
    // The speed the master runs at, 0 if unknown; nullopt when the connection has no
    // line speed and every module hears the master whatever its own.
    virtual std::optional<int> lineBaud() const = 0;

    // Queues bytes to go out no earlier than startUs; done runs once they are out
    // (for a paced transmission: once the last character has had its time).
    void send(const QByteArray &bytes, qint64 startUs, int baud, bool paced,
              std::function<void()> done);
    // Next time service() has work to do; 0 when nothing is queued.
    qint64 deadline(qint64 nowUs) const;
    // The master's end takes nothing more for now: wait until the descriptor is
    // writable.
    bool blocked() const { return m_blocked; }
    void service(qint64 nowUs);
    // Forgets every queued transmission; their done callbacks run as if they had
    // been sent, so settings waiting for a reply still take effect.
    void discardQueue();

protected:
    // Writes like ::write (a negative result with errno set on failure).
    virtual ssize_t writeOut(const char *data, size_t size) = 0;
    // The master's end is full: makes room once, if the line can; true when it did.
    virtual bool makeRoom() { return false; }

private:
    struct Transmission
    {
        QByteArray bytes;
        qsizetype written = 0;
        qint64 startUs = 0;
        int baud = 0;
        bool paced = false;
        std::function<void()> done;
    };
    static qint64 charUs(const Transmission &t);

    std::deque<Transmission> m_queue;
    bool m_blocked = false;
};

} // namespace sim
