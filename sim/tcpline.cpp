#include "tcpline.h"

#include "simlog.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim {

namespace {

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

QByteArray peerText(const sockaddr_in &addr)
{
    char host[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &addr.sin_addr, host, sizeof host);
    return QByteArray(host) + ':' + QByteArray::number(ntohs(addr.sin_port));
}

} // namespace

TcpLine::~TcpLine()
{
    if (m_client >= 0)
        ::close(m_client);
    if (m_listen >= 0)
        ::close(m_listen);
}

bool TcpLine::listen(quint16 port, QString *error)
{
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listen < 0) {
        *error = systemError("socket");
        return false;
    }
    // A port just left by an earlier run (its connections in TIME_WAIT) can be
    // taken again at once.
    const int on = 1;
    setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    if (::bind(m_listen, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0) {
        *error = systemError(qPrintable(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(port)));
        return false;
    }
    if (::listen(m_listen, 4) != 0) {
        *error = systemError("listen");
        return false;
    }
    socklen_t len = sizeof addr;
    if (getsockname(m_listen, reinterpret_cast<sockaddr *>(&addr), &len) != 0) {
        *error = systemError("getsockname");
        return false;
    }
    m_port = ntohs(addr.sin_port);
    return true;
}

void TcpLine::addPollFds(std::vector<pollfd> &fds) const
{
    fds.push_back({m_listen, POLLIN, 0});
    // A negative descriptor is skipped by poll: the entry stays while no client is
    // connected, so the count of entries never changes.
    fds.push_back({m_client, static_cast<short>(POLLIN | (blocked() ? POLLOUT : 0)), 0});
}

LineInput TcpLine::takeInput(const pollfd *fds)
{
    LineInput in;
    if (m_client >= 0 && fds[1].revents != 0)
        readClient(in);
    if (!in.hungUp && (fds[0].revents & POLLIN))
        acceptPending(in);
    return in;
}

void TcpLine::readClient(LineInput &in)
{
    char buf[512];
    for (;;) {
        const ssize_t n = ::recv(m_client, buf, sizeof buf, 0);
        if (n > 0) {
            in.bytes.append(buf, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return; // all read
        closeClient(n == 0 ? QByteArray("closed the connection")
                           : "connection lost: " + QByteArray(std::strerror(errno)));
        in.hungUp = true;
        return;
    }
}

void TcpLine::acceptPending(LineInput &in)
{
    for (;;) {
        sockaddr_in addr{};
        socklen_t len = sizeof addr;
        const int fd = ::accept4(m_listen, reinterpret_cast<sockaddr *>(&addr), &len,
                                 SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return; // EAGAIN: none left (or nothing to be done about the error)
        }
        const QByteArray peer = len >= sizeof addr ? peerText(addr) : QByteArray("?");
        // A client that connected, sent and closed before this end came round to it
        // is gone by now, and its successor is no second client: look before
        // refusing. (in holds one client's bytes only: after a hang-up it is not
        // read again.)
        if (m_client >= 0 && !in.hungUp)
            readClient(in);
        if (m_client >= 0) {
            ::close(fd);
            logLine(1, m_label + ": refused " + peer + ": " + m_peer +
                           " is connected (one client at a time)");
            continue;
        }
        // Small writes go out at once: paced replies leave character by character.
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        m_client = fd;
        m_peer = peer;
        logLine(1, m_label + ": " + m_peer + " connected");
        // Its bytes are read once the caller has dealt with the hang-up before it;
        // connections after it wait for the next round.
        if (in.hungUp)
            return;
    }
}

void TcpLine::closeClient(const QByteArray &why)
{
    ::close(m_client);
    m_client = -1;
    logLine(1, m_label + ": " + m_peer + " " + why);
    m_peer.clear();
}

ssize_t TcpLine::writeOut(const char *data, size_t size)
{
    if (m_client < 0) {
        errno = ENOTCONN;
        return -1;
    }
    return ::send(m_client, data, size, MSG_NOSIGNAL);
}

} // namespace sim
