// The system port on a TCP line against a server in the test: the connection
// is made without blocking and what was transmitted meanwhile goes out once;
// received bytes raise the event at the threshold and not below it; a refused
// connection, an unknown host and a connection closed in the middle of a reply
// are each reported once; a server that never answers is no failure.
#include "protocol/portcomponent.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace krv;

namespace {
constexpr int WaitMs = 3000;
const QString Settings = QStringLiteral("9600,N,8,1");

// The far end: listens on the loopback, keeps the last connection and what
// it received.
struct Peer : QObject
{
    QTcpServer server;
    QTcpSocket *socket = nullptr;
    int connections = 0;
    QByteArray received;

    Peer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            ++connections;
            socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this,
                    [this] { received += socket->readAll(); });
        });
    }
    LineAddress address(const QString &scheme = {}, const QString &host = "127.0.0.1") const
    {
        return LineAddress::parse(scheme + host + u':' + QString::number(server.serverPort()));
    }
    bool connected()
    {
        return QTest::qWaitFor([this] { return socket != nullptr; }, WaitMs);
    }
    void send(const QByteArray &bytes)
    {
        socket->write(bytes);
        socket->flush();
    }
};

// Waits for the one failure expected, then a little longer for a second one.
PortFailure onlyFailure(QSignalSpy &spy, int waitMs = WaitMs)
{
    if (spy.isEmpty() && !spy.wait(waitMs))
        return {PortFailure::Kind::CannotOpen, {}, {}, QStringLiteral("(none)")};
    QTest::qWait(100);
    if (spy.count() != 1)
        return {PortFailure::Kind::CannotOpen, {}, {}, QStringLiteral("(reported twice)")};
    return spy.at(0).at(0).value<PortFailure>();
}
} // namespace

class TestTcpPort : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void transmittedWhileConnectingGoesOutOnce_data()
    {
        QTest::addColumn<QString>("scheme");
        QTest::addColumn<QString>("host");
        QTest::newRow("device server") << QString() << QStringLiteral("127.0.0.1");
        // A name is looked up first: the request surely waits for the connection.
        QTest::newRow("gateway by name")
            << QStringLiteral("mbap://") << QStringLiteral("localhost");
    }
    void transmittedWhileConnectingGoesOutOnce()
    {
        QFETCH(QString, scheme);
        QFETCH(QString, host);
        Peer peer;
        SystemPortComponent port;
        port.configure(peer.address(scheme, host), Settings);
        QSignalSpy failures(&port, &PortComponent::failed);
        QVERIFY(port.open());
        port.transmit("first ");
        port.transmit("second");
        QVERIFY(peer.connected());
        QTRY_COMPARE_WITH_TIMEOUT(peer.received, QByteArray("first second"), WaitMs);
        port.transmit("third");
        QTRY_COMPARE_WITH_TIMEOUT(peer.received, QByteArray("first secondthird"), WaitMs);
        QVERIFY(port.open()); // already open: no second connection
        QTest::qWait(100);
        QCOMPARE(peer.received, QByteArray("first secondthird"));
        QCOMPARE(peer.connections, 1);
        QCOMPARE(failures.count(), 0);
    }

    // Bytes nobody asked for wait below the threshold (held back by the
    // connection until asked for), also across a transmit, which takes them
    // in; the event comes when the threshold is reached.
    void receivedBytesAndTheThreshold()
    {
        Peer peer;
        SystemPortComponent port;
        port.configure(peer.address(QStringLiteral("mbap://")), Settings);
        QSignalSpy events(&port, &PortComponent::thresholdReached);
        port.setReceiveThreshold(11);
        QVERIFY(port.open());
        QVERIFY(peer.connected());
        peer.send(QByteArray::fromHex("00010000"));
        QTest::qWait(100);
        QCOMPARE(events.count(), 0);
        port.transmit("request");
        QCOMPARE(port.peekInput().toByteArray(), QByteArray::fromHex("00010000"));
        QTest::qWait(100);
        QCOMPARE(events.count(), 0);
        peer.send(QByteArray::fromHex("00050103020064"));
        QVERIFY(events.wait(WaitMs));
        QCOMPARE(port.takeInput(), QByteArray::fromHex("0001000000050103020064"));
        QCOMPARE(events.count(), 1);
    }

    // Nobody listens, or the name is unknown: open() returns at once, the
    // event loop turns while the connection is tried, and the opening fails
    // once (not again when the time for a connection runs out).
    void connectionFails_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("reason");
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        QTest::newRow("refused") << QStringLiteral("127.0.0.1:%1").arg(probe.serverPort())
                                 << QStringLiteral("Connection refused");
        QTest::newRow("unknown host") << QStringLiteral("no-such-host.invalid:502") << QString();
    }
    void connectionFails()
    {
        QFETCH(QString, address);
        QFETCH(QString, reason);
        SystemPortComponent port;
        port.configure(LineAddress::parse(address), Settings);
        QSignalSpy failures(&port, &PortComponent::failed);
        QElapsedTimer clock;
        clock.start();
        port.open();
        QVERIFY(clock.elapsed() < 200);
        port.transmit("lost request");
        // The look-up may fail, or else the time for a connection runs out.
        const PortFailure failure =
            onlyFailure(failures, SystemPortComponent::ConnectTimeoutMs + 1000);
        QVERIFY2(failure.reason.startsWith(reason) && !failure.reason.startsWith(u'('),
                 qPrintable(failure.reason));
        QCOMPARE(failure.kind, PortFailure::Kind::CannotOpen);
        QCOMPARE(failure.portName, QStringLiteral("TCP"));
        QCOMPARE(failure.devicePath, address);
        QVERIFY(!port.isOpen());
        if (!reason.isEmpty()) // refused long before its time ran out
            QVERIFY(!failures.wait(SystemPortComponent::ConnectTimeoutMs + 300));
    }

    // A server that accepts and never answers is no failure of the port (the
    // engine's reply time-outs count as on any line).
    void silentServer()
    {
        Peer peer;
        SystemPortComponent port;
        port.configure(peer.address(QStringLiteral("mbap://")), Settings);
        QSignalSpy failures(&port, &PortComponent::failed);
        QSignalSpy events(&port, &PortComponent::thresholdReached);
        port.setReceiveThreshold(11);
        QVERIFY(port.open());
        port.transmit(QByteArray::fromHex("000100000006010300000008"));
        QVERIFY(peer.connected());
        QTRY_COMPARE_WITH_TIMEOUT(peer.received.size(), 12, WaitMs);
        QTest::qWait(500);
        QVERIFY(port.isOpen());
        QCOMPARE(failures.count() + events.count() + port.waitingCount(), 0);
    }

    // The server goes away with half a reply sent: the line is lost, reported
    // once; the half reply raises no event and does not stay waiting.
    void closedInTheMiddleOfAReply()
    {
        Peer peer;
        SystemPortComponent port;
        port.configure(peer.address(), Settings);
        QSignalSpy failures(&port, &PortComponent::failed);
        QSignalSpy events(&port, &PortComponent::thresholdReached);
        port.setReceiveThreshold(21);
        QVERIFY(port.open());
        QVERIFY(peer.connected());
        peer.send(QByteArray::fromHex("010310000100"));
        peer.socket->disconnectFromHost();
        const PortFailure failure = onlyFailure(failures);
        QVERIFY2(!failure.reason.isEmpty() && !failure.reason.startsWith(u'('),
                 qPrintable(failure.reason));
        QCOMPARE(failure.kind, PortFailure::Kind::Lost);
        QVERIFY(!port.isOpen());
        QCOMPARE(events.count(), 0);
        QCOMPARE(port.waitingCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestTcpPort)
#include "tst_tcpport.moc"
