// The port component base class through the in-memory port: the receive
// threshold over any chunking, input draining, failure reporting and how a
// failure names the line; the system port's own open failures and the mapping
// of COMn to devices.
#include "memoryport.h"
#include "protocol/portcomponent.h"

#include <QSignalSpy>
#include <QTest>

using namespace krv;
using testsupport::MemoryPort;

class TestPortComponent : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void thresholdOverChunks_data()
    {
        QTest::addColumn<QList<int>>("chunks");
        QTest::addColumn<int>("events");
        QTest::newRow("one piece") << QList<int>{21} << 1;
        QTest::newRow("byte by byte") << QList<int>(21, 1) << 1;
        QTest::newRow("uneven") << QList<int>{5, 7, 9} << 1;
        QTest::newRow("short of threshold") << QList<int>{5, 15} << 0;
    }
    void thresholdOverChunks()
    {
        QFETCH(QList<int>, chunks);
        QFETCH(int, events);
        MemoryPort port;
        QVERIFY(port.open());
        port.setReceiveThreshold(21);
        QCOMPARE(port.receiveThreshold(), 21);
        QSignalSpy spy(&port, &PortComponent::thresholdReached);
        QByteArray all;
        for (int n : chunks) {
            QByteArray chunk(n, char(all.size()));
            all += chunk;
            port.receive(chunk);
        }
        QCOMPARE(spy.count(), events);
        QCOMPARE(port.waitingCount(), all.size());
        QCOMPARE(port.takeInput(), all);
        QCOMPARE(port.waitingCount(), 0);
    }

    // Bytes put back wait ahead of anything received since, without an event.
    void putBackKeepsOrder()
    {
        MemoryPort port;
        port.open();
        port.setReceiveThreshold(4);
        QSignalSpy spy(&port, &PortComponent::thresholdReached);
        port.putBack("abcd");
        QCOMPARE(spy.count(), 0);
        port.receive("ef");
        QCOMPARE(spy.count(), 1);
        QCOMPARE(port.takeInput(), QByteArray("abcdef"));
    }

    void discardDropsWaiting()
    {
        MemoryPort port;
        port.open();
        port.receive("stale");
        port.discardInput();
        QCOMPARE(port.waitingCount(), 0);
    }

    void openFailureAndLossAreReported()
    {
        qputenv("KRV2060_COM2", "/dev/nowhere");
        MemoryPort port;
        port.configure(LineAddress::com(2), QStringLiteral("9600,N,8,1"));
        QCOMPARE(port.address(), LineAddress::com(2));
        QSignalSpy spy(&port, &PortComponent::failed);
        port.failOpen(QStringLiteral("No such file"));
        QVERIFY(!port.open());
        QVERIFY(!port.isOpen());
        QCOMPARE(spy.count(), 1);
        const auto cannotOpen = spy.at(0).at(0).value<PortFailure>();
        QCOMPARE(cannotOpen.kind, PortFailure::Kind::CannotOpen);
        QCOMPARE(cannotOpen.portName, QStringLiteral("COM2"));
        QCOMPARE(cannotOpen.devicePath, QStringLiteral("/dev/nowhere"));
        QCOMPARE(cannotOpen.reason, QStringLiteral("No such file"));

        port.failOpen(QString());
        QVERIFY(port.open());
        QCOMPARE(port.openCount(), 1);
        port.pull(QStringLiteral("gone"));
        QVERIFY(!port.isOpen());
        port.pull(QStringLiteral("gone"));
        QCOMPARE(spy.count(), 2); // a closed port is not lost twice
        const auto lost = spy.at(1).at(0).value<PortFailure>();
        QCOMPARE(lost.kind, PortFailure::Kind::Lost);
        QCOMPARE(lost.portName, QStringLiteral("COM2"));
        QCOMPARE(lost.devicePath, QStringLiteral("/dev/nowhere"));
        QCOMPARE(lost.reason, QStringLiteral("gone"));
    }

    // A failure names the line as the windows show it: the device as given,
    // "TCP" or "Modbus TCP" with the host and port.
    void failureNamesTheLine_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("portName");
        QTest::addColumn<QString>("devicePath");
        const auto row = [](const char *address, const char *name, const char *path) {
            QTest::newRow(address)
                << QString::fromUtf8(address) << QString::fromUtf8(name) << QString::fromUtf8(path);
        };
        row("/dev/ttyUSB0", "/dev/ttyUSB0", "/dev/ttyUSB0");
        row("tcp://10.0.0.5:4001", "TCP", "10.0.0.5:4001");
        row("mbap://[::1]:1502", "Modbus TCP", "[::1]:1502");
    }
    void failureNamesTheLine()
    {
        QFETCH(QString, address);
        QFETCH(QString, portName);
        QFETCH(QString, devicePath);
        MemoryPort port;
        port.configure(LineAddress::parse(address), QStringLiteral("9600,N,8,1"));
        QCOMPARE(port.carriesMbap(), portName == QStringLiteral("Modbus TCP"));
        QSignalSpy spy(&port, &PortComponent::failed);
        port.failOpen(QStringLiteral("refused"));
        QVERIFY(!port.open());
        const auto failure = spy.at(0).at(0).value<PortFailure>();
        QCOMPARE(failure.portName, portName);
        QCOMPARE(failure.devicePath, devicePath);
    }

    void realPortOpenFailure()
    {
        qputenv("KRV2060_COM4", "/nonexistent/tty");
        SystemPortComponent port;
        port.configure(LineAddress::com(4), QStringLiteral("9600,N,8,1"));
        QSignalSpy spy(&port, &PortComponent::failed);
        QVERIFY(!port.open());
        QVERIFY(!port.isOpen());
        QCOMPARE(spy.count(), 1);
        const auto failure = spy.at(0).at(0).value<PortFailure>();
        QCOMPARE(failure.kind, PortFailure::Kind::CannotOpen);
        QCOMPARE(failure.portName, QStringLiteral("COM4"));
        QCOMPARE(failure.devicePath, QStringLiteral("/nonexistent/tty"));
        QVERIFY(!failure.reason.isEmpty());
    }

    void portNames()
    {
        qunsetenv("KRV2060_COM3");
        QCOMPARE(devicePathForPort(3), QStringLiteral("/dev/ttyS2"));
        qputenv("KRV2060_COM3", "/tmp/sim-link");
        QCOMPARE(devicePathForPort(3), QStringLiteral("/tmp/sim-link"));
    }

    void settingsText()
    {
        QCOMPARE(parseSettings(QStringLiteral("38400,N,8,1")).baud, 38400);
        QVERIFY(parseSettings(QStringLiteral("9600,N,8,1")).valid);
        QVERIFY(!parseSettings(QStringLiteral("9600,E,7,1")).valid);
        QVERIFY(!parseSettings(QStringLiteral("fast")).valid);
    }
};

QTEST_GUILESS_MAIN(TestPortComponent)
#include "tst_portcomponent.moc"
