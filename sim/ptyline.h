#pragma once
// The simulator's end of the serial line: a pseudo-terminal pair whose slave side
// the master opens as its serial port. The slave stays open here as well, so the
// master can close and reopen its port without this end seeing a hang-up, and its
// settings (raw 8N1, the speed the master chose) live as long as the simulator.
// Replies are queued one after the other; paced replies go out at the character rate
// of their speed (10 bits per character), as on a real line.

#include <QByteArray>
#include <QString>

#include <deque>
#include <functional>

namespace sim {

qint64 monotonicUs();

class PtyLine
{
public:
    PtyLine() = default;
    PtyLine(const PtyLine &) = delete;
    PtyLine &operator=(const PtyLine &) = delete;
    ~PtyLine();

    // Creates the pair, raw, at the given speed until the master sets its own.
    bool open(int baud, QString *error);
    QString slavePath() const { return m_slavePath; }
    int fd() const { return m_master; }
    // Speed the master set on its end (tcgetattr on our end shows it); 0 if unknown.
    int lineBaud() const;
    QByteArray readAvailable();

    // Queues bytes to go out no earlier than startUs; done runs once they are out
    // (for a paced transmission: once the last character has had its time).
    void send(const QByteArray &bytes, qint64 startUs, int baud, bool paced,
              std::function<void()> done);
    // Next time service() has work to do; 0 when nothing is queued.
    qint64 deadline(qint64 nowUs) const;
    // The master's input queue is full: wait until the descriptor is writable.
    bool blocked() const { return m_blocked; }
    void service(qint64 nowUs);

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
    qint64 charUs(const Transmission &t) const;

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    std::deque<Transmission> m_queue;
    bool m_blocked = false;
};

} // namespace sim
