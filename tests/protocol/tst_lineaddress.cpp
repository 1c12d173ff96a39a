// Line addresses as typed or listed: what each form parses to, how it is
// written back and where it is opened; malformed ones carry their fault and
// nothing valid.
#include "protocol/lineaddress.h"

#include <QTest>

using namespace krv;
using Kind = LineAddress::Kind;
using Fault = LineAddress::Fault;

class TestLineAddress : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        for (const char *name :
             {"KRV2060_COM1", "KRV2060_COM2", "KRV2060_COM3", "KRV2060_COM4", "KRV2060_COM12"})
            qunsetenv(name); // COMn opens /dev/ttyS<n-1>
    }

    void validForms_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("location");
        for (int n : {1, 2, 3, 4, 12}) {
            const QString com = QStringLiteral("COM%1").arg(n);
            QTest::addRow("%s", qPrintable(com)) << com << Kind::ComNumber << QString() << com
                                                 << QStringLiteral("/dev/ttyS%1").arg(n - 1);
        }
        const auto row = [](const char *typed, Kind kind, const char *host, const char *text,
                            const char *location) {
            QTest::newRow(typed) << QString::fromUtf8(typed) << kind << QString::fromUtf8(host)
                                 << QString::fromUtf8(text) << QString::fromUtf8(location);
        };
        row("com3", Kind::ComNumber, "", "COM3", "/dev/ttyS2");
        row("ttyUSB0", Kind::SerialDevice, "", "ttyUSB0", "/dev/ttyUSB0");
        row("/dev/ttyUSB0", Kind::SerialDevice, "", "/dev/ttyUSB0", "/dev/ttyUSB0");
        row("host:502", Kind::Tcp, "host", "host:502", "host:502");
        row("tcp://10.0.0.5:4001", Kind::Tcp, "10.0.0.5", "10.0.0.5:4001", "10.0.0.5:4001");
        row("mbap://gw:502", Kind::Mbap, "gw", "mbap://gw:502", "gw:502");
        row("[::1]:502", Kind::Tcp, "::1", "[::1]:502", "[::1]:502");
        row("MBAP://[fe80::1]:65535", Kind::Mbap, "fe80::1", "mbap://[fe80::1]:65535",
            "[fe80::1]:65535");
        row(" host:1\t", Kind::Tcp, "host", "host:1", "host:1");
    }
    void validForms()
    {
        QFETCH(QString, typed);
        QFETCH(Kind, kind);
        QFETCH(QString, host);
        QFETCH(QString, text);
        QFETCH(QString, location);
        const LineAddress a = LineAddress::parse(typed);
        QCOMPARE(a.kind, kind);
        QCOMPARE(a.fault, Fault::None);
        QVERIFY(a.valid());
        QCOMPARE(a.isNetwork(), kind == Kind::Tcp || kind == Kind::Mbap);
        QCOMPARE(a.host, host);
        QCOMPARE(a.text(), text);
        QCOMPARE(a.location(), location);
        QCOMPARE(LineAddress::parse(a.text()), a); // written back, read the same
    }

    void malformed_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Fault>("fault");
        QTest::newRow("host:") << "host:" << Fault::NoPort;
        QTest::newRow(":502") << ":502" << Fault::NoHost;
        QTest::newRow("host:99999") << "host:99999" << Fault::BadPort;
        QTest::newRow("host:0") << "host:0" << Fault::BadPort;
        QTest::newRow("host:+502") << "host:+502" << Fault::BadPort;
        QTest::newRow("a b:1") << "a b:1" << Fault::Blank;
        QTest::newRow("empty") << "" << Fault::Empty;
        QTest::newRow("blanks") << "  " << Fault::Empty;
        QTest::newRow("ftp://x:1") << "ftp://x:1" << Fault::UnknownForm;
        QTest::newRow("tcp://host") << "tcp://host" << Fault::NoPort;
        QTest::newRow("[::1]502") << "[::1]502" << Fault::NoPort;
        QTest::newRow("tty*USB") << "tty*USB" << Fault::UnknownForm;
    }
    void malformed()
    {
        QFETCH(QString, typed);
        QFETCH(Fault, fault);
        const LineAddress a = LineAddress::parse(typed);
        QCOMPARE(a.fault, fault);
        QCOMPARE(a.kind, Kind::Invalid);
        QVERIFY(!a.valid() && !a.isNetwork() && !a.isSerial());
        QVERIFY(a.device.isEmpty() && a.host.isEmpty() && a.port == 0 && a.comNumber == 0);
        QVERIFY(a.text().isEmpty() && a.location().isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestLineAddress)
#include "tst_lineaddress.moc"
