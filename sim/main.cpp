// krv2060-sim: temperature modules on a pseudo-terminal (or behind a TCP port), for
// the tool's demo and end-to-end tests. One thread, one poll loop: bytes from the
// master go to every module's receiver (Modbus TCP requests to the module their unit
// id names), replies go into the line's output queue, and a tick lets the modules'
// channels drift.

#include "mbap.h"
#include "options.h"
#include "ptyline.h"
#include "simlog.h"
#include "station.h"
#include "tcpline.h"

#include "krv_version.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <poll.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr qint64 kTurnaroundUs = 3000;
constexpr qint64 kTickUs = 100000;

int fail(const QString &message, int code)
{
    std::fprintf(stderr, "krv2060-sim: %s\n", qPrintable(message));
    return code;
}

// Makes path a symbolic link to target, replacing an old link but nothing else.
bool makeLink(const QString &path, const QString &target, QString *error)
{
    const QByteArray p = QFile::encodeName(path);
    struct stat st
    {
    };
    if (lstat(p.constData(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            *error = QStringLiteral("%1 exists and is not a symbolic link").arg(path);
            return false;
        }
        ::unlink(p.constData());
    }
    if (::symlink(QFile::encodeName(target).constData(), p.constData()) != 0) {
        *error = QStringLiteral("cannot make link %1: %2")
                     .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();

    sim::Options opt;
    QString error;
    if (!sim::parseOptions(args, &opt, &error))
        return fail(error + QStringLiteral("\nTry krv2060-sim --help."), 2);
    if (opt.help) {
        std::fputs(qPrintable(sim::helpText()), stdout);
        return 0;
    }
    if (opt.version) {
        std::puts("krv2060-sim " KRV_VERSION);
        return 0;
    }
    sim::setLogLevel(opt.verbose);
    sim::setLogMicroseconds(opt.logMicroseconds);

    // Signals arrive as readable data in the poll loop.
    sigset_t mask;
    sigemptyset(&mask);
    sigaddset(&mask, SIGINT);
    sigaddset(&mask, SIGTERM);
    sigaddset(&mask, SIGHUP);
    sigprocmask(SIG_BLOCK, &mask, nullptr);
    const int sigFd = signalfd(-1, &mask, SFD_CLOEXEC | SFD_NONBLOCK);
    if (sigFd < 0)
        return fail(
            QStringLiteral("signalfd: %1").arg(QString::fromLocal8Bit(std::strerror(errno))), 1);
    std::signal(SIGPIPE, SIG_IGN);

    std::vector<std::unique_ptr<sim::Station>> stations;
    quint32 seed = 1;
    for (const sim::ModuleOptions &m : opt.modules)
        stations.push_back(std::make_unique<sim::Station>(m.setup, m.faults, seed++));

    // The master's end: the pseudo-terminal, or a TCP port for one client at a time.
    std::unique_ptr<sim::Line> line;
    QByteArray firstLine;
    if (opt.server == sim::Server::Pty) {
        auto pty = std::make_unique<sim::PtyLine>();
        if (!pty->open(opt.modules.first().setup.baud, &error))
            return fail(error, 1);
        if (!opt.link.isEmpty() && !makeLink(opt.link, pty->slavePath(), &error))
            return fail(error, 1);
        firstLine = "pty: " + QFile::encodeName(pty->slavePath());
        line = std::move(pty);
    } else {
        const QByteArray label = opt.server == sim::Server::Tcp ? "tcp" : "mbap";
        auto tcp = std::make_unique<sim::TcpLine>(label);
        if (!tcp->listen(static_cast<quint16>(opt.port), &error))
            return fail(error, 1);
        firstLine = label + ": 127.0.0.1:" + QByteArray::number(tcp->port());
        line = std::move(tcp);
    }
    std::printf("%s\n", firstLine.constData());
    std::fflush(stdout);
    for (const auto &st : stations) {
        const auto &s = st->settings();
        sim::logLine(1, QStringLiteral("module at address %1, %2, %3 baud")
                            .arg(s.address)
                            .arg(s.framing == sim::Framing::Ascii ? u"ASCII" : u"RTU")
                            .arg(s.baud)
                            .toLatin1());
    }

    // Modbus TCP replies go out whole: there is no serial line behind them to pace.
    const bool paced = !opt.fast && opt.server != sim::Server::Mbap;
    const auto queue = [&](sim::Station *st, const QList<sim::Reply> &replies, qint64 now) {
        for (const sim::Reply &r : replies) {
            const qint64 start = now + (opt.fast ? 0 : kTurnaroundUs) + r.delayUs;
            line->send(r.bytes, start, r.baud, paced, [st] { st->replyDone(); });
        }
    };
    sim::MbapReceiver mbap;
    // A Modbus TCP request goes to the module with the unit id as its address.
    const auto answerMbap = [&](const sim::MbapRequest &request, qint64 now) {
        const int unit = static_cast<quint8>(request.body[0]);
        for (const auto &st : stations) {
            if (st->settings().address == unit) {
                if (auto reply = st->answerMbap(request.transactionId, request.body))
                    queue(st.get(), {*reply}, now);
                return;
            }
        }
        sim::logLine(1, "[MBAP] no module at unit " + QByteArray::number(unit) + ": " +
                            sim::logText(sim::mbapFrame(request.transactionId, request.body),
                                         sim::Framing::Rtu));
    };

    qint64 lastTick = sim::monotonicUs();
    std::vector<pollfd> fds;
    for (;;) {
        qint64 now = sim::monotonicUs();
        qint64 wake = lastTick + kTickUs;
        for (const auto &st : stations)
            if (const qint64 d = st->deadline())
                wake = std::min(wake, d);
        if (const qint64 d = line->deadline(now))
            wake = std::min(wake, d);
        const qint64 waitUs = std::max<qint64>(0, wake - now);
        const timespec timeout{static_cast<time_t>(waitUs / 1000000),
                               static_cast<long>(waitUs % 1000000) * 1000};
        fds.assign(1, {sigFd, POLLIN, 0});
        line->addPollFds(fds);
        if (ppoll(fds.data(), fds.size(), &timeout, nullptr) < 0 && errno != EINTR)
            return fail(
                QStringLiteral("poll: %1").arg(QString::fromLocal8Bit(std::strerror(errno))), 1);
        if (fds[0].revents & POLLIN)
            break;

        now = sim::monotonicUs();
        const sim::LineInput in = line->takeInput(fds.data() + 1);
        if (!in.bytes.isEmpty()) {
            if (opt.server == sim::Server::Mbap) {
                for (const sim::MbapRequest &request : mbap.feed(in.bytes))
                    answerMbap(request, now);
            } else {
                const std::optional<int> baud = line->lineBaud();
                for (const auto &st : stations)
                    queue(st.get(), st->receive(in.bytes, baud, now), now);
            }
        }
        if (in.hungUp) {
            // Nothing is sent to the next client that was meant for this one, and
            // no frame is put together from the bytes of both.
            line->discardQueue();
            mbap.reset();
            for (const auto &st : stations)
                st->resetReceiver();
        }
        for (const auto &st : stations) {
            const qint64 d = st->deadline();
            if (d != 0 && now >= d)
                queue(st.get(), st->expire(now), now);
        }
        line->service(now);
        if (now - lastTick >= kTickUs) {
            for (const auto &st : stations)
                st->model().advance((now - lastTick) / 1e6);
            lastTick = now;
        }
    }

    if (!opt.link.isEmpty())
        ::unlink(QFile::encodeName(opt.link).constData());
    return 0;
}
