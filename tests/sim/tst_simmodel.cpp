// The simulated module's register model: request body in, reply body out, and its
// thermal model over simulated time.
#include "modulemodel.h"

#include <QTest>

using namespace sim;

namespace {
QByteArray hex(const char *t)
{
    return QByteArray::fromHex(t);
}

ModuleSetup setup(int fwMajor, int fwMinor)
{
    ModuleSetup s;
    s.fwMajor = fwMajor;
    s.fwMinor = fwMinor;
    return s;
}

// Lets seconds pass in ticks of 100 ms, as the simulator's loop does.
void run(ModuleModel &m, double seconds)
{
    for (int i = 0; i < qRound(seconds * 10); ++i)
        m.advance(0.1);
}
} // namespace

class TestSimModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void multiRegisterWriteIsAllOrNothing_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("reply");
        // sensor codes 5 then 25: the second is no sensor code
        QTest::newRow("bad value") << hex("021000620002040005"
                                          "0019")
                                   << hex("029003");
        // 0x0069 exists, 0x006A does not
        QTest::newRow("bad address") << hex("021000680003060005"
                                            "00050005")
                                     << hex("029002");
    }
    void multiRegisterWriteIsAllOrNothing()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        ModuleModel m(setup(5, 3));
        const QByteArray before = m.handle(hex("020300620008"));
        QCOMPARE(m.handle(request), reply);
        QCOMPARE(m.handle(hex("020300620008")), before);
    }

    void inputStartDependsOnFirmware_data()
    {
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("base");
        QTest::newRow("5.1") << 1 << 0x00;
        QTest::newRow("5.2") << 2 << 0x10;
        QTest::newRow("5.3") << 3 << 0x10;
    }
    void inputStartDependsOnFirmware()
    {
        QFETCH(int, minor);
        QFETCH(int, base);
        ModuleModel m(setup(5, minor));
        const auto read = [&](int start) {
            QByteArray req = hex("0202");
            req.append(char(0)).append(char(start)).append(hex("0014"));
            return m.handle(req);
        };
        QCOMPARE(read(base).left(3), hex("020203"));
        QCOMPARE(read(base == 0 ? 0x10 : 0), hex("028202"));
    }

    void alarmLampsFollowTheLimits()
    {
        ModuleModel m(setup(5, 3));
        QCOMPARE(m.handle(hex("020200100014")).mid(3, 2), hex("0000"));
        const qint16 v1 = m.measurement(1);
        const qint16 v6 = m.measurement(6);
        QByteArray upper = hex("020601B2"); // channel 1 upper limit just below its value
        upper.append(char((v1 - 10) >> 8)).append(char((v1 - 10) & 0xFF));
        QCOMPARE(m.handle(upper), upper);
        QByteArray lower = hex("020601E5"); // channel 6 lower limit just above its value
        lower.append(char((v6 + 10) >> 8)).append(char((v6 + 10) & 0xFF));
        QCOMPARE(m.handle(lower), lower);
        const QByteArray bits = m.handle(hex("020200100014")).mid(3, 2);
        QCOMPARE(bits, hex("0240")); // input 1 and input 8 + 6 = 14
    }

    void controlDrivesChannelsToTheirSetValue()
    {
        ModuleModel m(setup(5, 3));
        QCOMPARE(m.handle(hex("02060104"
                              "0320")),
                 hex("02060104"
                     "0320")); // channel 0 to 800
        const qint16 ambient = m.measurement(0);
        run(m, 60);
        QVERIFY(qAbs(m.measurement(0) - ambient) <= 3); // control off: stays put

        m.handle(hex("02050030FF00"));
        QVERIFY(m.controlActive());
        run(m, 10);
        QVERIFY(m.measurement(0) > ambient + 50); // slow: on its way after 10 s
        QVERIFY(m.measurement(0) < 700);
        run(m, 300);
        QVERIFY(qAbs(m.measurement(0) - 800) <= 5);
        QVERIFY(qAbs(m.measurement(1) - 310) <= 5); // default set value of channel 1

        // Start mode 1: control waits for input IN0.
        m.handle(hex("020601F90001"));
        m.setExternalInput(0, false);
        QVERIFY(!m.controlActive());
        m.setExternalInput(0, true);
        QVERIFY(m.controlActive());
    }

    void measurementsAreQuietAndInputsChangeNowAndThen()
    {
        ModuleModel m(setup(5, 3), 7);
        int negatives = 0;
        for (int c = 0; c < 8; ++c)
            negatives += m.measurement(c) < 0;
        QCOMPARE(negatives, 1);
        const auto external = [&m] {
            int bits = 0;
            for (int i = 16; i < 20; ++i)
                bits |= m.discreteInput(i) << (i - 16);
            return bits;
        };
        int changes = 0;
        int worstStep = 0;
        int inputs = external();
        for (int t = 0; t < 600; ++t) { // one minute
            const qint16 before = m.measurement(3);
            m.advance(0.1);
            worstStep = qMax(worstStep, qAbs(m.measurement(3) - before));
            changes += external() != inputs;
            inputs = external();
        }
        QVERIFY(worstStep <= 4);
        QVERIFY2(changes >= 4 && changes <= 20, qPrintable(QString::number(changes)));
    }

    void repliesOfTheOtherFunctions()
    {
        ModuleSetup s = setup(5, 2);
        s.id = "SHORT";
        ModuleModel m(s);
        QCOMPARE(m.handle(hex("0211")), hex("021110") + "SHORT         " + hex("0502"));
        QCOMPARE(m.handle(hex("020400000009")).size(), 3 + 18); // input registers: channels 0..8
        QCOMPARE(m.handle(hex("02040009"
                              "0001")),
                 hex("028402"));
        QCOMPARE(m.handle(hex("020300720001")), hex("020302FC18")); // parallel-port time
    }

    void lineSettingsAreStoredAtOnce()
    {
        ModuleModel m(setup(5, 3));
        QCOMPARE(m.storedLineSettings(), (LineSettings{2, 9600, Framing::Rtu}));
        m.handle(hex("02060014000D")); // code 5, ASCII
        m.handle(hex("0206001C00F0"));
        QCOMPARE(m.storedLineSettings(), (LineSettings{240, 38400, Framing::Ascii}));
        // Continuous addressing moves the system writes; it needs firmware 5.3.
        QVERIFY(!m.continuousAddressing());
        m.handle(hex("020601F88000"));
        QVERIFY(m.continuousAddressing());
        QCOMPARE(m.handle(hex("0206001A0011")), hex("0206001A0011"));
        QCOMPARE(m.storedLineSettings().address, 0x11);
        QCOMPARE(m.handle(hex("0206001C0012")), hex("028602"));
        ModuleModel old(setup(5, 2));
        old.handle(hex("020601F88000"));
        QVERIFY(!old.continuousAddressing());
    }

    // Requests come off a serial line: any body gets a well-formed reply.
    void randomRequestsGetWellFormedReplies()
    {
        ModuleModel m(setup(5, 3));
        std::mt19937 rng(42);
        for (int i = 0; i < 20000; ++i) {
            QByteArray req(2 + rng() % 30, Qt::Uninitialized);
            for (char &c : req)
                c = static_cast<char>(rng() % 4 ? rng() % 0x20 : rng());
            req[0] = 2;
            const QByteArray reply = m.handle(req);
            QVERIFY(reply.size() >= 3);
            QCOMPARE(reply[0], req[0]);
            QCOMPARE(reply[1] & 0x7F, req[1] & 0x7F);
        }
    }
};

QTEST_APPLESS_MAIN(TestSimModel)
#include "tst_simmodel.moc"
