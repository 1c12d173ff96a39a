#include "ptyline.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>

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

std::optional<int> PtyLine::lineBaud() const
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

void PtyLine::addPollFds(std::vector<pollfd> &fds) const
{
    fds.push_back({m_master, static_cast<short>(POLLIN | (blocked() ? POLLOUT : 0)), 0});
}

LineInput PtyLine::takeInput(const pollfd *fds)
{
    if (fds[0].revents & POLLIN)
        return {readAvailable()};
    if (fds[0].revents & (POLLHUP | POLLERR))
        usleep(10000); // never expected while our slave descriptor is open
    return {};
}

ssize_t PtyLine::writeOut(const char *data, size_t size)
{
    return ::write(m_master, data, size);
}

bool PtyLine::makeRoom()
{
    // Nobody has read the port's input for a long while (it may not even be open):
    // like an overrun on a real line, the oldest unread bytes are lost rather than
    // this end waiting forever.
    return tcflush(m_slave, TCIFLUSH) == 0;
}

} // namespace sim
