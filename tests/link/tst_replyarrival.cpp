// Replies as real lines bring them, through the system port and the engine:
// on a pseudo-terminal (a serial device) and on a TCP connection, a reply
// written whole, one byte at a time or in random chunks with gaps shorter
// than the time-out is taken exactly once, on its last byte, and the program
// is woken for the reply rather than for each chunk. A reply shorter than
// expected (an exception) is still taken, at the time-out; bytes nobody asked
// for before a request are not mixed into its reply.

#include "link/transactionengine.h"
#include "protocol/modbusframing.h"
#include "testsupport.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <pty.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace krv;
using Clock = std::chrono::steady_clock;

namespace {

// The module's end of a line: bytes written from a thread of their own, so
// that the chunks do not wake the program's thread themselves.
class ModuleEnd
{
public:
    virtual ~ModuleEnd()
    {
        if (m_writer.joinable())
            m_writer.join();
    }
    virtual LineAddress address() const = 0;
    virtual bool ready() { return true; }

    // Writes the chunks `gapMs` apart after `delayMs`; notes when the last
    // byte went out.
    void writeLater(const QList<QByteArray> &chunks, const QList<int> &gapsMs, int delayMs)
    {
        if (m_writer.joinable())
            m_writer.join();
        m_lastByte = Clock::time_point{};
        m_writer = std::thread([this, chunks, gapsMs, delayMs] {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            for (qsizetype i = 0; i < chunks.size(); ++i) {
                if (i > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(gapsMs.value(i)));
                if (i == chunks.size() - 1)
                    m_lastByte = Clock::now(); // the last byte is on its way
                writeNow(chunks[i]);
            }
        });
    }
    Clock::time_point lastByte() const { return m_lastByte; }
    void finish()
    {
        if (m_writer.joinable())
            m_writer.join();
    }

protected:
    virtual void writeNow(const QByteArray &bytes) = 0;

private:
    std::thread m_writer;
    std::atomic<Clock::time_point> m_lastByte{};
};

class PtyEnd : public ModuleEnd
{
public:
    PtyEnd()
    {
        int slave = -1;
        char name[256] = {};
        if (::openpty(&m_master, &slave, name, nullptr, nullptr) == 0) {
            m_path = QString::fromLocal8Bit(name);
            ::close(slave); // the port opens it by its name
        }
    }
    ~PtyEnd() override
    {
        finish();
        if (m_master >= 0)
            ::close(m_master);
    }
    LineAddress address() const override { return LineAddress::parse(m_path); }

protected:
    void writeNow(const QByteArray &bytes) override
    {
        if (::write(m_master, bytes.constData(), static_cast<size_t>(bytes.size())) < 0)
            qWarning("pty write failed");
    }

private:
    int m_master = -1;
    QString m_path;
};

// A plain socket, not a QTcpSocket: nothing of the module's end may wake the
// program's thread.
class TcpEnd : public ModuleEnd
{
public:
    TcpEnd()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        if (::bind(m_listener, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 &&
            ::listen(m_listener, 1) == 0 &&
            ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&a), &length) == 0)
            m_port = ntohs(a.sin_port);
    }
    ~TcpEnd() override
    {
        finish();
        for (int fd : {m_peer, m_listener})
            if (fd >= 0)
                ::close(fd);
    }
    LineAddress address() const override
    {
        return LineAddress::parse(QStringLiteral("127.0.0.1:%1").arg(m_port));
    }
    bool ready() override
    {
        if (m_peer < 0) {
            // The port connects on the event loop.
            [[maybe_unused]] const bool accepted = QTest::qWaitFor(
                [this] {
                    m_peer = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
                    return m_peer >= 0;
                },
                3000);
            const int on = 1;
            ::setsockopt(m_peer, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            QTest::qWait(20); // the port sees itself connected
        }
        return m_peer >= 0;
    }

protected:
    void writeNow(const QByteArray &bytes) override
    {
        ::send(m_peer, bytes.constData(), static_cast<size_t>(bytes.size()), MSG_NOSIGNAL);
    }

private:
    int m_listener = -1;
    int m_peer = -1;
    quint16 m_port = 0;
};

std::unique_ptr<ModuleEnd> makeEnd(const QString &line)
{
    if (line == QLatin1String("tcp"))
        return std::make_unique<TcpEnd>();
    return std::make_unique<PtyEnd>();
}

// A measurement reply of station 2: 21 bytes in RTU.
QByteArray measurementReply()
{
    return rtuFrame(
        testsupport::registersBody(2, Fn::ReadHolding, {201, 202, 203, 204, 205, 206, 207, 208}));
}

struct Chunking
{
    QList<QByteArray> chunks;
    QList<int> gapsMs;
};

Chunking chunked(const QByteArray &frame, const QString &how, quint32 seed)
{
    Chunking c;
    if (how == QLatin1String("whole")) {
        c.chunks = {frame};
    } else if (how == QLatin1String("bytes")) {
        for (char b : frame) {
            c.chunks << QByteArray(1, b);
            c.gapsMs << 1;
        }
    } else {
        QRandomGenerator random(seed);
        for (qsizetype at = 0; at < frame.size();) {
            const int n = 1 + random.bounded(6);
            c.chunks << frame.mid(at, n);
            c.gapsMs << random.bounded(15);
            at += n;
        }
    }
    return c;
}

struct EngineOnLine
{
    ModuleSlots moduleSlots;
    SystemPortComponent port;
    TransactionEngine engine{moduleSlots, port, {}};
    int dispatched = 0;
    QByteArray lastReply;
    Clock::time_point dispatchedAt;

    EngineOnLine()
    {
        moduleSlots.stationAddress[0] = 2;
        engine.setReplyTimeout(2000);
        engine.setDispatcher([this](const Request &, const ReplyReader &reply) {
            ++dispatched;
            lastReply = QByteArray(reply.bytes(0, reply.size()).data(), reply.size());
            dispatchedAt = Clock::now();
        });
    }
};

} // namespace

class ReplyArrivalTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void takenOnceOnItsLastByte_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("how");
        for (const char *line : {"tty", "tcp"}) {
            for (const char *how : {"whole", "bytes", "random"})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(line, how)))
                    << QString::fromLatin1(line) << QString::fromLatin1(how);
        }
    }
    void takenOnceOnItsLastByte()
    {
        QFETCH(QString, line);
        QFETCH(QString, how);
        auto end = makeEnd(line);
        EngineOnLine f;
        f.engine.configurePort(end->address(), QStringLiteral("9600,N,8,1"));
        QVERIFY(f.port.open());
        QVERIFY(end->ready());
        QSignalSpy ended(&f.engine, &TransactionEngine::requestEnded);
        int wakeUps = 0;
        const auto counter = connect(QAbstractEventDispatcher::instance(),
                                     &QAbstractEventDispatcher::awake, [&] { ++wakeUps; });

        for (quint32 round = 0; round < 3; ++round) {
            const QByteArray reply = measurementReply();
            const Chunking c = chunked(reply, how, 7 + round);
            const int before = f.dispatched;
            wakeUps = 0;
            f.engine.send(buildRequest(2, Fn::ReadHolding, 0, 8));
            end->writeLater(c.chunks, c.gapsMs, 20);
            // A loop woken by nothing but the line (and its own time limit).
            QEventLoop loop;
            connect(&f.engine, &TransactionEngine::requestEnded, &loop, &QEventLoop::quit);
            QTimer::singleShot(3000, &loop, &QEventLoop::quit);
            loop.exec();
            QCOMPARE(f.dispatched, before + 1);
            end->finish();
            // Taken after its last byte came, not at the time-out, and once.
            QVERIFY(f.dispatchedAt >= end->lastByte());
            QCOMPARE(f.engine.timeoutCount(), 0);
            QCOMPARE(f.lastReply, reply.left(reply.size() - 2));
            QCOMPARE(ended.size(), int(round) + 1);
            QCOMPARE(ended.last().first().value<RequestEnd>(), RequestEnd::Reply);
            // Woken for the reply, not for each of its chunks (at most one
            // more for a wake-up of the line's own).
            QVERIFY2(
                wakeUps <= 3,
                qPrintable(
                    QStringLiteral("%1 wake-ups for %2 chunks").arg(wakeUps).arg(c.chunks.size())));
        }
        disconnect(counter);
        QTest::qWait(50);
        QCOMPARE(f.dispatched, 3);
    }

    void aShortReplyIsTakenAtTheTimeOutAndStrayBytesStayApart_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("tty") << QStringLiteral("tty");
        QTest::newRow("tcp") << QStringLiteral("tcp");
    }
    void aShortReplyIsTakenAtTheTimeOutAndStrayBytesStayApart()
    {
        QFETCH(QString, line);
        auto end = makeEnd(line);
        EngineOnLine f;
        f.engine.setReplyTimeout(300);
        f.engine.configurePort(end->address(), QStringLiteral("9600,N,8,1"));
        QVERIFY(f.port.open());
        QVERIFY(end->ready());
        QList<TrafficEvent> traffic;
        connect(&f.engine, &TransactionEngine::traffic,
                [&](const TrafficEvent &e) { traffic << e; });

        // An exception reply (5 bytes where 21 are expected).
        f.engine.send(buildRequest(2, Fn::ReadHolding, 0, 8));
        const QByteArray exception = rtuFrame(QByteArray::fromHex("028302"));
        end->writeLater({exception.left(2), exception.mid(2)}, {0, 3}, 10);
        QTRY_COMPARE_WITH_TIMEOUT(f.engine.timeoutCount(), 1, 3000);
        end->finish();
        QVERIFY(std::any_of(traffic.cbegin(), traffic.cend(), [&](const TrafficEvent &e) {
            return e.kind == TrafficEvent::Kind::Exception && e.bytes == exception;
        }));
        QCOMPARE(f.dispatched, 0);

        // Noise while nothing is asked, then a request and its reply: the
        // noise is left behind, the reply taken whole.
        end->writeLater({QByteArray::fromHex("FF00FF")}, {}, 0);
        end->finish();
        QTest::qWait(30);
        f.engine.send(buildRequest(2, Fn::ReadHolding, 0, 8));
        const QByteArray reply = measurementReply();
        end->writeLater({reply}, {}, 10);
        QTRY_COMPARE_WITH_TIMEOUT(f.dispatched, 1, 3000);
        QCOMPARE(f.lastReply, reply.left(reply.size() - 2));
        QCOMPARE(f.engine.timeoutCount(), 1);
    }
};

QTEST_MAIN(ReplyArrivalTest)
#include "tst_replyarrival.moc"
