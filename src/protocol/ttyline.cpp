#include "ttyline.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace krv {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

speed_t speedCode(int baud)
{
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B0;
    }
}

// VMIN holds at most 255 characters; a longer reply wakes the reader twice.
constexpr int MaxVmin = 255;

} // namespace

class TtyLine::Reader
{
public:
    explicit Reader(TtyLine *owner) : m_owner(owner) {}
    ~Reader() { stop(); }

    bool start(int fd, QString *reason)
    {
        m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (m_wake < 0) {
            *reason = systemError(errno);
            return false;
        }
        m_fd = fd;
        m_quit = false;
        m_thread = std::thread([this] { run(); });
        return true;
    }

    void stop()
    {
        if (m_thread.joinable()) {
            {
                std::lock_guard lock(m_mutex);
                m_quit = true;
            }
            kick();
            m_thread.join();
        }
        if (m_wake >= 0)
            ::close(m_wake);
        if (m_fd >= 0)
            ::close(m_fd);
        m_wake = m_fd = -1;
        m_incoming.clear();
        m_want = 0;
        m_signalled = false;
        m_vmin = -1;
    }

    bool running() const { return m_fd >= 0; }

    bool write(const QByteArray &bytes, QByteArray *arrivedBefore, QString *reason)
    {
        std::lock_guard lock(m_mutex);
        drain(nullptr);
        *arrivedBefore = std::exchange(m_incoming, {});
        m_signalled = false;
        const char *data = bytes.constData();
        qsizetype left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(m_fd, data, static_cast<size_t>(left));
            if (n > 0) {
                data += n;
                left -= n;
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN) {
                // The output buffer is full (a long request at a slow speed):
                // wait until it takes more, at most a second.
                pollfd out{m_fd, POLLOUT, 0};
                if (::poll(&out, 1, 1000) > 0)
                    continue;
                *reason = systemError(ETIMEDOUT);
                return false;
            }
            *reason = systemError(n < 0 ? errno : EIO);
            return false;
        }
        return true;
    }

    void expect(int count)
    {
        {
            std::lock_guard lock(m_mutex);
            drain(nullptr);
            m_want = count;
            m_signalled = false;
            handOverOrWait();
        }
        // The reader waits with the old VMIN: let it look again.
        kick();
    }

    QByteArray takeAvailable()
    {
        std::lock_guard lock(m_mutex);
        drain(nullptr);
        m_signalled = false;
        QByteArray out = std::exchange(m_incoming, {});
        handOverOrWait();
        return out;
    }

private:
    void kick()
    {
        const quint64 one = 1;
        if (m_wake >= 0 && ::write(m_wake, &one, sizeof one) < 0) {
            // The counter is full: the reader will look anyway.
        }
    }

    void run()
    {
        for (;;) {
            pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wake, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                reportLost(systemError(errno));
                return;
            }
            quint64 kicks = 0;
            if ((fds[1].revents & POLLIN) && ::read(m_wake, &kicks, sizeof kicks) < 0) {
                // Nothing to reset: another read will clear it.
            }
            std::unique_lock lock(m_mutex);
            if (m_quit)
                return;
            if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)))
                continue;
            QString failure;
            if (!drain(&failure)) {
                lock.unlock();
                reportLost(failure);
                return;
            }
            handOverOrWait();
        }
    }

    // Reads everything waiting in the device (the mutex held). False when
    // the device is gone.
    bool drain(QString *failure)
    {
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0) {
                m_incoming.append(buffer, n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN)
                return true;
            // A hung-up terminal reads as the end of the file.
            if (failure)
                *failure = systemError(n < 0 ? errno : EIO);
            return false;
        }
    }

    // Signals the owner when the expected bytes are there; otherwise lets
    // the kernel hold the reader until the missing ones have come (the mutex
    // held).
    void handOverOrWait()
    {
        const qsizetype missing = m_want - m_incoming.size();
        if (m_want > 0 && missing <= 0) {
            if (!m_signalled) {
                m_signalled = true;
                QMetaObject::invokeMethod(m_owner, &TtyLine::arrived, Qt::QueuedConnection);
            }
            setVmin(MaxVmin); // hold what follows until it is asked for
            return;
        }
        setVmin(m_want > 0 ? static_cast<int>(qMin<qsizetype>(missing, MaxVmin)) : MaxVmin);
    }

    void setVmin(int count)
    {
        if (count == m_vmin)
            return;
        termios t{};
        if (::tcgetattr(m_fd, &t) != 0)
            return;
        t.c_cc[VMIN] = static_cast<cc_t>(count);
        t.c_cc[VTIME] = 0;
        if (::tcsetattr(m_fd, TCSANOW, &t) == 0)
            m_vmin = count;
    }

    void reportLost(const QString &reason)
    {
        QMetaObject::invokeMethod(
            m_owner, [owner = m_owner, reason] { Q_EMIT owner->lost(reason); },
            Qt::QueuedConnection);
    }

    TtyLine *m_owner;
    int m_fd = -1;
    int m_wake = -1;
    std::thread m_thread;
    std::mutex m_mutex;
    QByteArray m_incoming; // read from the device, not handed over yet
    int m_want = 0;
    bool m_signalled = false;
    bool m_quit = false;
    int m_vmin = -1;
};

TtyLine::TtyLine(QObject *parent) : QObject(parent), m_reader(std::make_unique<Reader>(this)) {}

TtyLine::~TtyLine() = default;

bool TtyLine::open(const QString &path, int baud, QString *reason)
{
    close();
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *reason = systemError(errno);
        return false;
    }
    const auto fail = [&](int error) {
        *reason = systemError(error);
        ::close(fd);
        return false;
    };
    // One user of the line at a time: another program (or another window of
    // this one) finds it busy.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return fail(errno == EWOULDBLOCK ? EBUSY : errno);
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return fail(errno);
    const speed_t speed = speedCode(baud);
    if (speed == B0)
        return fail(EINVAL);
    ::cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CLOCAL | CREAD;
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | ISTRIP);
    t.c_cc[VMIN] = MaxVmin;
    t.c_cc[VTIME] = 0;
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0 ||
        ::tcsetattr(fd, TCSANOW, &t) != 0)
        return fail(errno);
    ::ioctl(fd, TIOCEXCL);
    ::tcflush(fd, TCIFLUSH);
    if (!m_reader->start(fd, reason)) {
        ::close(fd);
        return false;
    }
    return true;
}

void TtyLine::close()
{
    m_reader->stop();
}

bool TtyLine::isOpen() const
{
    return m_reader->running();
}

bool TtyLine::write(const QByteArray &bytes, QByteArray *arrivedBefore, QString *reason)
{
    return m_reader->write(bytes, arrivedBefore, reason);
}

void TtyLine::expect(int count)
{
    m_reader->expect(count);
}

QByteArray TtyLine::takeAvailable()
{
    return m_reader->takeAvailable();
}

} // namespace krv
