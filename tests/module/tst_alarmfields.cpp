// The alarm editor's numbers without a window or a line: whole numbers where
// only they will do, the switch value, and every channel block the module can
// report going back to it unchanged.
#include "module/alarmrecord.h"

#include <QTest>

using namespace krv;

class TestAlarmFields : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // An address: no fraction is rounded, no value beyond 0..32767 wrapped.
    void wholeNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("reason"); // -1: taken
        QTest::addColumn<int>("value");
        const int taken = -1;
        QTest::newRow("0") << "0" << taken << 0;
        QTest::newRow("32767") << "32767" << taken << 32767;
        QTest::newRow(" 7.0 ") << " 7.0 " << taken << 7;
        QTest::newRow("1.4") << "1.4" << int(InputRefusal::Reason::NotWhole) << 0;
        QTest::newRow("-0.5") << "-0.5" << int(InputRefusal::Reason::NotWhole) << 0;
        QTest::newRow("32768") << "32768" << int(InputRefusal::Reason::OutOfRange) << 0;
        QTest::newRow("-1") << "-1" << int(InputRefusal::Reason::OutOfRange) << 0;
        QTest::newRow("huge") << "1" + QString(300, '0') << int(InputRefusal::Reason::OutOfRange)
                              << 0;
        QTest::newRow("empty") << "" << int(InputRefusal::Reason::NotANumber) << 0;
        QTest::newRow("hex") << "0x10" << int(InputRefusal::Reason::NotANumber) << 0;
    }
    void wholeNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, reason);
        QFETCH(int, value);
        const FieldNumber n = wholeNumber(text, AlarmRange::Address);
        QCOMPARE(n.fault ? int(*n.fault) : -1, reason);
        if (!n.fault)
            QCOMPARE(n.value, value);
    }

    // Any number but zero switches on, however small; a text that is no
    // number switches nothing.
    void switchValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("on"); // -1: refused
        QTest::newRow("0.4") << "0.4" << 1;
        QTest::newRow("0.5") << "0.5" << 1;
        QTest::newRow("-0.4") << "-0.4" << 1;
        QTest::newRow("70000") << "70000" << 1;
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("-0.0") << "-0.0" << 0;
        QTest::newRow("1e3") << "1e3" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void switchValues()
    {
        QFETCH(QString, text);
        QFETCH(int, on);
        const auto state = switchOn(text);
        QCOMPARE(state ? int(*state) : -1, on);
    }

    // Every register value a channel block can hold, as the window shows it
    // after a read, is taken as it stands and written back as the same bits.
    void reportedChannelBlocksGoBackUnchanged()
    {
        for (int v = -32768; v <= 32767; ++v) {
            AlarmRecord read;
            read.values = {v, -v - 1, v};
            AlarmRecord written;
            const auto refused = channelToRecord(2, recordToChannel(read), written);
            QVERIFY2(!refused, qPrintable(QString::number(v)));
            QCOMPARE(written.values[0], v);
            QCOMPARE(written.values[1], -v - 1);
            QCOMPARE(written.values[2] & 0xFFFF, v & 0xFFFF);
        }
    }
};

QTEST_APPLESS_MAIN(TestAlarmFields)
#include "tst_alarmfields.moc"
