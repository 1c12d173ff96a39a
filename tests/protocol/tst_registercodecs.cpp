// Register image of the control and alarm blocks: packing high byte first, two's
// complement, and the alarm values that only fit modulo 65536.
#include "protocol/registercodecs.h"

#include <QTest>

using namespace krv;

class TestRegisterCodecs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void controlWordRoundTrip_data()
    {
        QTest::addColumn<qint16>("word");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("low");
        QTest::newRow("-1") << qint16(-1) << 0xFF << 0xFF;
        QTest::newRow("32767") << qint16(32767) << 0x7F << 0xFF;
        QTest::newRow("-32768") << qint16(-32768) << 0x80 << 0x00;
        QTest::newRow("300") << qint16(300) << 0x01 << 0x2C;
    }
    void controlWordRoundTrip()
    {
        QFETCH(qint16, word);
        QFETCH(int, high);
        QFETCH(int, low);
        for (int record : {0, 8}) {
            ParameterTables t;
            auto &r = t.CtrlPara[record];
            r.StepInSel = 1;
            r.CtrlArea = word; // the last of the seven words: bytes 12, 13
            r.RegBytes[14] = 0xAA;
            ControlParaToBytes(t, record);
            QCOMPARE(int(r.RegBytes[0]), 0);
            QCOMPARE(int(r.RegBytes[1]), 1);
            QCOMPARE(int(r.RegBytes[12]), high);
            QCOMPARE(int(r.RegBytes[13]), low);
            QCOMPARE(int(r.RegBytes[14]), 0xAA); // untouched
            r.CtrlArea = 0;
            r.StepInSel = 0;
            BytesToControlPara(t, record);
            QCOMPARE(r.CtrlArea, word);
            QCOMPARE(r.StepInSel, qint16(1));
        }
    }

    void alarmValues_data()
    {
        QTest::addColumn<qint32>("value");
        QTest::addColumn<int>("high");
        QTest::addColumn<int>("low");
        QTest::addColumn<qint32>("unpacked");
        QTest::newRow("40000") << 40000 << 0x9C << 0x40 << -25536;
        QTest::newRow("-40000") << -40000 << 0x63 << 0xC0 << 25536;
        QTest::newRow("-32768") << -32768 << 0x80 << 0x00 << -32768;
        QTest::newRow("32767") << 32767 << 0x7F << 0xFF << 32767;
        QTest::newRow("65535") << 65535 << 0xFF << 0xFF << -1;
        QTest::newRow("-65536") << -65536 << 0x00 << 0x00 << 0;
    }
    void alarmValues()
    {
        QFETCH(qint32, value);
        QFETCH(int, high);
        QFETCH(int, low);
        QFETCH(qint32, unpacked);
        ParameterTables t;
        auto &r = t.AlarmPara[8];
        r.Reg2 = value;
        AlarmParaToBytes(t, 8);
        QCOMPARE(int(r.RegBytes[4]), high);
        QCOMPARE(int(r.RegBytes[5]), low);
        BytesToAlarmPara(t, 8);
        QCOMPARE(r.Reg2, unpacked);
    }

    // An index outside 0..8 touches no record of either table.
    void badRecordIndexIsIgnored()
    {
        ParameterTables t;
        for (int i = 0; i < 9; ++i) {
            t.CtrlPara[i].SetVal = static_cast<qint16>(100 + i);
            t.CtrlPara[i].RegBytes.fill(quint8(0xA0 + i));
            t.AlarmPara[i].Reg1 = 200 + i;
            t.AlarmPara[i].RegBytes.fill(quint8(0xB0 + i));
        }
        const ParameterTables before = t;
        for (int bad : {-1, 9, 1000}) {
            ControlParaToBytes(t, bad);
            BytesToControlPara(t, bad);
            AlarmParaToBytes(t, bad);
            BytesToAlarmPara(t, bad);
        }
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(t.CtrlPara[i].SetVal, before.CtrlPara[i].SetVal);
            QCOMPARE(t.CtrlPara[i].RegBytes, before.CtrlPara[i].RegBytes);
            QCOMPARE(t.AlarmPara[i].Reg1, before.AlarmPara[i].Reg1);
            QCOMPARE(t.AlarmPara[i].RegBytes, before.AlarmPara[i].RegBytes);
        }
        QCOMPARE(unpackRegister(0x80, 0x00), qint16(-32768));
        QCOMPARE(unpackRegister(0x7F, 0xFF), qint16(32767));
    }
};

QTEST_APPLESS_MAIN(TestRegisterCodecs)
#include "tst_registercodecs.moc"
