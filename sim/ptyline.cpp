#include "ptyline.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <utility>

namespace sim {

namespace {

struct SpeedEntry
{
    speed_t code;
    int baud;
};

constexpr std::array<SpeedEntry, 19> kSpeeds = {{
    {B50, 50},       {B75, 75},         {B110, 110},       {B134, 134},       {B150, 150},
    {B200, 200},     {B300, 300},       {B600, 600},       {B1200, 1200},     {B1800, 1800},
    {B2400, 2400},   {B4800, 4800},     {B9600, 9600},     {B19200, 19200},   {B38400, 38400},
    {B57600, 57600}, {B115200, 115200}, {B230400, 230400}, {B460800, 460800},
}};

speed_t speedCode(int baud)
{
    for (const auto &e : kSpeeds)
        if (e.baud == baud)
            return e.code;
    return B9600;
}

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

qint64 monotonicUs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

PtyLine::~PtyLine()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

bool PtyLine::open(int baud, QString *error)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        *error = systemError("cannot create a pseudo-terminal");
        return false;
    }
    const char *name = ptsname(m_master);
    if (!name) {
        *error = systemError("ptsname");
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0) {
        *error = systemError("cannot open the slave side");
        return false;
    }
    // Raw 8N1 from the start: no echo of our replies back to us, no line editing.
    termios t{};
    tcgetattr(m_slave, &t);
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&t, speedCode(baud));
    cfsetospeed(&t, speedCode(baud));
    if (tcsetattr(m_slave, TCSANOW, &t) != 0) {
        *error = systemError("cannot set the line");
        return false;
    }
    return true;
}

int PtyLine::lineBaud() const
{
    termios t{};
    if (tcgetattr(m_master, &t) != 0)
        return 0;
    const speed_t code = cfgetospeed(&t);
    for (const auto &e : kSpeeds)
        if (e.code == code)
            return e.baud;
    return 0;
}

QByteArray PtyLine::readAvailable()
{
    QByteArray out;
    char buf[512];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            out.append(buf, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // EAGAIN: all read
    }
    return out;
}

void PtyLine::send(const QByteArray &bytes, qint64 startUs, int baud, bool paced,
                   std::function<void()> done)
{
    m_queue.push_back({bytes, 0, startUs, baud, paced, std::move(done)});
}

qint64 PtyLine::charUs(const Transmission &t) const
{
    return t.baud > 0 ? 10LL * 1000000 / t.baud : 0;
}

qint64 PtyLine::deadline(qint64 nowUs) const
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

void PtyLine::service(qint64 nowUs)
{
    m_blocked = false;
    bool flushed = false;
    while (!m_queue.empty()) {
        Transmission &t = m_queue.front();
        if (nowUs < t.startUs)
            return;
        qsizetype due = t.bytes.size();
        if (t.paced && charUs(t) > 0)
            due = std::min<qsizetype>(due, (nowUs - t.startUs) / charUs(t));
        while (t.written < due) {
            const ssize_t n = ::write(m_master, t.bytes.constData() + t.written,
                                      static_cast<size_t>(due - t.written));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN) {
                // Nobody has read the port's input for a long while (it may not
                // even be open): like an overrun on a real line, the oldest unread
                // bytes are lost rather than this end waiting forever.
                if (!flushed && tcflush(m_slave, TCIFLUSH) == 0) {
                    flushed = true;
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

} // namespace sim
