// The simulator's command line: defaults, module settings and where faults apply.
#include "options.h"
#include "simlog.h"

#include <QTest>

using namespace sim;

class TestSimOptions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void defaultLineHoldsTwoModules()
    {
        Options o;
        QString error;
        QVERIFY(parseOptions({}, &o, &error));
        QCOMPARE(o.modules.size(), 2);
        const ModuleSetup &a = o.modules[0].setup;
        const ModuleSetup &b = o.modules[1].setup;
        QCOMPARE(QList<int>({a.address, a.fwMajor, a.fwMinor, a.baud}),
                 QList<int>({2, 5, 3, 9600}));
        QCOMPARE(a.id, QByteArray("REREVE2060RIDU"));
        QVERIFY(a.framing == Framing::Rtu);
        QCOMPARE(QList<int>({b.address, b.fwMajor, b.fwMinor, b.baud}),
                 QList<int>({5, 5, 2, 9600}));
        QCOMPARE(b.id, QByteArray("ZEZADO2040ZOZE"));
        QVERIFY(b.framing == Framing::Ascii);
    }

    void moduleSettingsAndFaults()
    {
        Options o;
        QString error;
        QVERIFY2(
            parseOptions({"--drop", "3", "--module", "addr=7,id=ABC,fw=5.1,framing=ASCII,baud=1200",
                          "--module", "addr=8,drop=0,corrupt=2,silent,lowercase=0", "--delay=40",
                          "--lowercase", "--fast", "-vv", "--link", "/tmp/x", "--log-us",
                          "--delayat", "0x0082:320"},
                         &o, &error),
            qPrintable(error));
        QCOMPARE(o.modules.size(), 2);
        const ModuleOptions &m7 = o.modules[0];
        QCOMPARE(m7.setup.address, 7);
        QCOMPARE(m7.setup.id, QByteArray("ABC"));
        QCOMPARE(m7.setup.fwMinor, 1);
        QCOMPARE(m7.setup.baud, 1200);
        QVERIFY(m7.setup.framing == Framing::Ascii);
        // Global faults reach every module, wherever they stand on the line ...
        QCOMPARE(m7.faults.drop, 3);
        QCOMPARE(m7.faults.delayMs, 40);
        QVERIFY(m7.faults.lowercase && !m7.faults.silent);
        // ... unless the module sets its own.
        const Faults &f8 = o.modules[1].faults;
        QCOMPARE(f8.drop, 0);
        QCOMPARE(f8.corrupt, 2);
        QVERIFY(f8.silent && !f8.lowercase);
        QCOMPARE(f8.delayMs, 40);
        QCOMPARE(f8.delayAtRegister, 0x82);
        QCOMPARE(f8.delayAtMs, 320);
        QVERIFY(o.fast);
        QCOMPARE(o.verbose, 2);
        QVERIFY(o.logMicroseconds);
        QCOMPARE(o.link, QString("/tmp/x"));
    }

    void tcpServers_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("server");
        QTest::addColumn<int>("port");
        QTest::newRow("pseudo-terminal by default") << QStringList{} << int(Server::Pty) << 0;
        QTest::newRow("tcp, any port") << QStringList{"--tcp", "0"} << int(Server::Tcp) << 0;
        QTest::newRow("mbap") << QStringList{"--mbap=5020"} << int(Server::Mbap) << 5020;
        QTest::newRow("highest port") << QStringList{"--tcp", "65535"} << int(Server::Tcp) << 65535;
        // Modbus TCP selects by address alone; on a line the framings keep them apart.
        QTest::newRow("tcp: one address in two framings")
            << QStringList{"--module", "addr=3", "--module", "addr=3,framing=ascii", "--tcp", "1"}
            << int(Server::Tcp) << 1;
    }
    void tcpServers()
    {
        QFETCH(QStringList, args);
        QFETCH(int, server);
        QFETCH(int, port);
        Options o;
        QString error;
        QVERIFY2(parseOptions(args, &o, &error), qPrintable(error));
        QCOMPARE(int(o.server), server);
        QCOMPARE(o.port, port);
    }

    // Log time stamps: milliseconds as before, microseconds for timing runs.
    void logStamps()
    {
        const qint64 us = ((13LL * 60 + 4) * 60 + 9) * 1000000 + 7089;
        QCOMPARE(logStamp(us, false), QByteArray("13:04:09.007"));
        QCOMPARE(logStamp(us, true), QByteArray("13:04:09.007089"));
        QCOMPARE(logStamp(86399999999, true), QByteArray("23:59:59.999999"));
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("missing value") << QStringList{"--drop"};
        QTest::newRow("negative count") << QStringList{"--garbage", "-1"};
        QTest::newRow("unknown option") << QStringList{"--loud"};
        QTest::newRow("stray argument") << QStringList{"now"};
        QTest::newRow("speed not a module's") << QStringList{"--module", "baud=57600"};
        QTest::newRow("address 0") << QStringList{"--module", "addr=0"};
        QTest::newRow("id too long") << QStringList{"--module", "id=REREVE2060RIDUX"};
        QTest::newRow("bad firmware") << QStringList{"--module", "fw=53"};
        QTest::newRow("unknown key") << QStringList{"--module", "colour=red"};
        QTest::newRow("count without value") << QStringList{"--module", "drop"};
        QTest::newRow("late register without time") << QStringList{"--delayat", "0x82"};
        QTest::newRow("late register not a number") << QStringList{"--delayat", "x:10"};
        QTest::newRow("same address twice")
            << QStringList{"--module", "addr=3", "--module", "addr=3,baud=1200"};
        QTest::newRow("tcp without port") << QStringList{"--tcp"};
        QTest::newRow("port too high") << QStringList{"--mbap", "65536"};
        QTest::newRow("port not a number") << QStringList{"--tcp", "http"};
        QTest::newRow("negative port") << QStringList{"--tcp", "-1"};
        QTest::newRow("tcp and mbap") << QStringList{"--tcp", "5020", "--mbap", "5021"};
        QTest::newRow("tcp twice") << QStringList{"--tcp", "5020", "--tcp", "5021"};
        QTest::newRow("link without a pseudo-terminal")
            << QStringList{"--link", "/tmp/x", "--mbap", "0"};
        QTest::newRow("mbap: one address in two framings")
            << QStringList{"--module", "addr=3", "--mbap", "0", "--module", "addr=3,framing=ascii"};
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        Options o;
        QString error;
        QVERIFY(!parseOptions(args, &o, &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestSimOptions)
#include "tst_simoptions.moc"
