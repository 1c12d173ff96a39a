// The trend data: trimming to the longest time window, thinning that keeps
// the peaks, value ranges, and the CSV of the shown data byte for byte.
#include "ui/monitor/trendstore.h"

#include <QBuffer>
#include <QDateTime>
#include <QtTest>

using namespace krv;

namespace {

std::array<qint32, 8> values(qint32 base)
{
    std::array<qint32, 8> v{};
    for (int c = 0; c < 8; ++c)
        v[static_cast<std::size_t>(c)] = base + c;
    return v;
}

} // namespace

class TestTrendStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keepsTheLongestWindowOnly()
    {
        TrendStore store;
        // A day of polling, one sample a second.
        const qint64 day = 24 * 60 * 60;
        for (qint64 s = 0; s < day; ++s)
            store.append(s * 1000, values(qint32(s % 100)));
        QCOMPARE(store.newest(), (day - 1) * 1000);
        QCOMPARE(store.oldest(), store.newest() - TrendStore::KeepMs);
        QCOMPARE(store.size(), std::size_t(60 * 60 + 1));
    }

    void boundedWhateverTheRate()
    {
        TrendStore store;
        for (int i = 0; i < int(TrendStore::MaxSamples) + 500; ++i)
            store.append(1000, values(i)); // all at once: time alone trims nothing
        QCOMPARE(store.size(), TrendStore::MaxSamples);
        QCOMPARE(store.at(0).value[0], 500);
    }

    void clockSetBackKeepsTimeInOrder()
    {
        TrendStore store;
        store.append(10'000, values(1));
        store.append(4'000, values(2));
        QCOMPARE(store.at(1).t, qint64(10'000));
        QCOMPARE(store.points(0, 0, 20'000, 100).size(), 2);
    }

    void shortRepliesLeaveChannelsOut()
    {
        TrendStore store;
        const std::array<qint32, 3> three{7, 8, 9};
        store.append(1000, three);
        QCOMPARE(store.at(0).valid, quint8(0x07));
        QCOMPARE(store.points(2, 0, 2000, 100).size(), 1);
        QVERIFY(store.points(3, 0, 2000, 100).isEmpty());
        QCOMPARE(store.valueRange(0, 2000, 0xFF), (std::pair<qint32, qint32>(7, 9)));
        QVERIFY(!store.valueRange(0, 2000, 0xF8));
    }

    void pointsWithinTheWindow()
    {
        TrendStore store;
        for (int i = 0; i < 10; ++i)
            store.append(1000 * i, values(i));
        const QList<QPointF> p = store.points(3, 2000, 5000, 100);
        QCOMPARE(p, (QList<QPointF>{{2000, 5}, {3000, 6}, {4000, 7}, {5000, 8}}));
        QCOMPARE(store.valueRange(2000, 5000, 0x01), (std::pair<qint32, qint32>(2, 5)));
        QCOMPARE(store.valueRange(2000, 5000, 0x81), (std::pair<qint32, qint32>(2, 12)));
    }

    // Beyond the point budget each slice keeps its first, lowest, highest and
    // last value: a one-sample spike survives.
    void thinningKeepsPeaks()
    {
        TrendStore store;
        for (int i = 0; i < 3600; ++i) {
            std::array<qint32, 8> v{};
            v[0] = i == 1234 ? 5000 : (i == 2500 ? -5000 : 100);
            store.append(1000 * qint64(i), v);
        }
        const QList<QPointF> p = store.points(0, 0, 3'599'000, 400);
        QVERIFY(p.size() <= 400);
        QVERIFY(p.size() >= 100);
        qreal high = 0, low = 0;
        for (int i = 0; i < p.size(); ++i) {
            high = qMax(high, p[i].y());
            low = qMin(low, p[i].y());
            if (i > 0)
                QVERIFY(p[i].x() > p[i - 1].x());
        }
        QCOMPARE(high, 5000.0);
        QCOMPARE(low, -5000.0);
        QCOMPARE(p.constFirst().x(), 0.0);
        QCOMPARE(p.constLast().x(), 3'599'000.0);
    }

    void csvOfTheShownData()
    {
        TrendStore store;
        const qint64 t0 = QDateTime(QDate(2024, 5, 1), QTime(12, 0)).toMSecsSinceEpoch();
        store.append(t0, values(-200));
        store.append(t0 + 1500, values(10));
        const std::array<qint32, 2> two{-1, 2};
        store.append(t0 + 61'001, two);
        store.append(t0 + 120'000, values(99)); // outside the range asked

        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QVERIFY(store.writeCsv(out, t0, t0 + 61'001, 0b1000'0011));
        const QByteArray expected = "\xEF\xBB\xBF"
                                    "时间,通道0,通道1,通道7\r\n"
                                    "2024-05-01 12:00:00.000,-200,-199,-193\r\n"
                                    "2024-05-01 12:00:01.500,10,11,17\r\n"
                                    "2024-05-01 12:01:01.001,-1,2,\r\n";
        QCOMPARE(out.data(), expected);

        QBuffer none;
        none.open(QIODevice::WriteOnly);
        QVERIFY(store.writeCsv(none, t0 + 200'000, t0 + 300'000, 0x01));
        QCOMPARE(none.data(), QByteArray("\xEF\xBB\xBF时间,通道0\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestTrendStore)
#include "tst_trendstore.moc"
