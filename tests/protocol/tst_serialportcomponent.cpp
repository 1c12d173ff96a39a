// The receive threshold over any chunking, input draining, failure reporting
// and the mapping of COMn to devices.
#include "protocol/serialportcomponent.h"

#include <QSignalSpy>
#include <QTest>

using namespace krv;

class TestSerialPortComponent : public QObject
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
        MemoryPortComponent port;
        QVERIFY(port.setPortOpen(true));
        port.setRThreshold(21);
        QSignalSpy spy(&port, &SerialPortComponent::OnComm);
        QByteArray all;
        for (int n : chunks) {
            QByteArray chunk(n, char(all.size()));
            all += chunk;
            port.receive(chunk);
        }
        QCOMPARE(spy.count(), events);
        QCOMPARE(port.inBufferCount(), all.size());
        QCOMPARE(port.input(), all);
        QCOMPARE(port.inBufferCount(), 0);
    }

    void discardDropsWaiting()
    {
        MemoryPortComponent port;
        port.setPortOpen(true);
        port.receive("stale");
        port.discardInput();
        QCOMPARE(port.inBufferCount(), 0);
    }

    void openFailureAndLossAreReported()
    {
        qputenv("KRV2060_COM2", "/dev/nowhere");
        MemoryPortComponent port;
        port.configure(2, QStringLiteral("9600,N,8,1"));
        QSignalSpy spy(&port, &SerialPortComponent::portFailed);
        port.failOpen(QStringLiteral("No such file"));
        QVERIFY(!port.setPortOpen(true));
        QCOMPARE(spy.count(), 1);
        const QString message = spy.at(0).at(0).toString();
        QVERIFY(message.contains(QLatin1String("COM2")));
        QVERIFY(message.contains(QLatin1String("/dev/nowhere")));
        QVERIFY(message.contains(QLatin1String("No such file")));

        port.failOpen(QString());
        QVERIFY(port.setPortOpen(true));
        port.pull(QStringLiteral("gone"));
        QVERIFY(!port.portOpen());
        port.pull(QStringLiteral("gone"));
        QCOMPARE(spy.count(), 2); // a closed port is not lost twice
    }

    void realPortOpenFailure()
    {
        qputenv("KRV2060_COM4", "/nonexistent/tty");
        QSerialPortComponent port;
        port.configure(4, QStringLiteral("9600,N,8,1"));
        QSignalSpy spy(&port, &SerialPortComponent::portFailed);
        QVERIFY(!port.setPortOpen(true));
        QCOMPARE(spy.count(), 1);
        QVERIFY(spy.at(0).at(0).toString().contains(QLatin1String("/nonexistent/tty")));
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

QTEST_GUILESS_MAIN(TestSerialPortComponent)
#include "tst_serialportcomponent.moc"
