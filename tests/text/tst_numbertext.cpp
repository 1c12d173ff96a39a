// Rounding, number formats, time stamps, text-box parsing and GB2312 lines.
#include "text/gb2312.h"
#include "text/numbertext.h"

#include <QTest>

using namespace krv;

class TestNumberText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void timerIntervals_data()
    {
        QTest::addColumn<int>("base");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("poll") << 1200 << QList<int>{1200, 600, 400, 300, 240, 200};
        QTest::newRow("reply") << 1150 << QList<int>{1150, 575, 383, 288, 230, 192};
        QTest::newRow("scan") << 800 << QList<int>{800, 400, 267, 200, 160, 133};
        QTest::newRow("scan reply") << 700 << QList<int>{700, 350, 233, 175, 140, 117};
    }
    void timerIntervals()
    {
        QFETCH(int, base);
        QFETCH(QList<int>, expected);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(timerInterval(base, i), expected[i]);
    }

    void halvesToEven()
    {
        QCOMPARE(roundHalfEven(2.5), 2LL);
        QCOMPARE(roundHalfEven(3.5), 4LL);
        QCOMPARE(roundHalfEven(-2.5), -2LL);
        QCOMPARE(roundHalfEven(287.5), 288LL);
    }

    void formats()
    {
        QCOMPARE(formatHash(7), QStringLiteral("7"));
        QCOMPARE(formatHash(123), QStringLiteral("123"));
        QCOMPARE(formatHash(0), QString());
        QCOMPARE(formatDouble15((65536.0 - 64536) * 12 / 11.0592),
                 QStringLiteral("1085.06944444444"));
        QCOMPARE(formatDouble15(0.0), QStringLiteral("0"));
        QCOMPARE(formatDouble15(71111.1111111111), QStringLiteral("71111.1111111111"));
        QCOMPARE(withSignBlank(2006), QStringLiteral(" 2006"));
        QCOMPARE(withSignBlank(-5), QStringLiteral("-5"));
        QCOMPARE(freeFormatNumber(123), QStringLiteral(" 123 "));
        QCOMPARE(freeFormatNumber(-45), QStringLiteral("-45 "));
        QCOMPARE(freeFormatNumber(0), QStringLiteral(" 0 "));
    }

    void stamps()
    {
        const QDateTime t(QDate(2006, 3, 7), QTime(9, 5, 2));
        QCOMPARE(dateTimeStamp(t), QStringLiteral("2006年03月07日    09:05:02"));
        QCOMPARE(timeStamp(QTime(23, 0, 9)), QStringLiteral("23:00:09"));
    }

    void parsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "42" << true << 42.0;
        QTest::newRow("blanks and sign") << "  -20 " << true << -20.0;
        QTest::newRow("fraction") << "+1.5" << true << 1.5;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("hex") << "0x10" << false << 0.0;
        QTest::newRow("exponent") << "1e3" << false << 0.0;
        QTest::newRow("words") << "abc" << false << 0.0;
        QTest::newRow("two signs") << "--1" << false << 0.0;
    }
    void parsing()
    {
        QFETCH(QString, text);
        QFETCH(bool, number);
        QFETCH(double, value);
        const auto v = parseDecimal(text);
        QCOMPARE(v.has_value(), number);
        if (number)
            QCOMPARE(*v, value);
    }

    void wholeNumbers()
    {
        QCOMPARE(parseWhole(QStringLiteral("255"), 0, 255).value_or(-1), 255LL);
        QVERIFY(!parseWhole(QStringLiteral("256"), 0, 255));
        QVERIFY(!parseWhole(QStringLiteral("-1"), 0, 255));
        QVERIFY(!parseWhole(QStringLiteral("2.5"), 0, 255));
        QCOMPARE(parseWhole(QStringLiteral("7.0"), 0, 255).value_or(-1), 7LL);
    }

    void gb2312Lines()
    {
        QCOMPARE(gb2312Line(QStringLiteral("年")), QByteArray("\xC4\xEA\r\n"));
        QCOMPARE(gb2312Line(QStringLiteral("ab")), QByteArray("ab\r\n"));
        // A character GB2312 lacks costs one '?', nothing else is lost.
        QCOMPARE(gb2312Line(QStringLiteral("a\u20ACb")), QByteArray("a?b\r\n"));
        QCOMPARE(fromGb2312("\xC4\xEA"), QStringLiteral("年"));
    }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
