// The traffic log: its rows for a scripted exchange through a real engine on
// the in-memory port, a late reply and a frame that failed its check, the
// rows of a Modbus TCP line with their transaction ids, listening and
// attaching, the row limit and batching, the filter, and both exports byte
// for byte.
#include "linkfixture.h"
#include "testsupport.h"
#include "ui/monitor/trafficlog.h"

#include <QBuffer>
#include <QtTest>

using namespace krv;
using testsupport::hex;
using Kind = TrafficEvent::Kind;

namespace {

// The texts of a row as the file shows them, from the time on.
QStringList cells(const TrafficLog &log, int row)
{
    QStringList out;
    for (int c = 0; c < TrafficLog::ColumnCount; ++c)
        out << TrafficLog::cellText(log.row(row), c, Wording::File);
    return out;
}

// A fixed clock: 10:00:00.000, then 125 ms further at each call.
std::function<QTime()> steppingClock()
{
    auto ms = std::make_shared<int>(-125);
    return [ms] { return QTime(10, 0).addMSecs(*ms += 125); };
}

TrafficEvent trafficEvent(Kind kind, const QByteArray &bytes, Framing framing = Framing::Rtu,
                          qint64 elapsed = 0)
{
    TrafficEvent e;
    e.kind = kind;
    e.bytes = bytes;
    e.framing = framing;
    e.elapsedMs = elapsed;
    return e;
}

} // namespace

class TestTrafficLog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void scriptedExchange();
    void lateReplyAndCheckFailure();
    void mbapRowsBeginWithTheirTransactionId();
    void listensOnlyWhenAsked();
    void attachSeveralEnginesAndForgetDestroyedOnes();
    void rowLimitDropsTheOldest();
    void rowsArriveInBatches();
    void filter_data();
    void filter();
    void csvByteForByte();
    void textExport();
    void screenTextsAreTranslated();
};

// Good reply, check failure, time-out, a frame of another station, an
// exception too short for the receive threshold, and an ASCII exchange.
void TestTrafficLog::scriptedExchange()
{
    LinkFixture f;
    qint64 now = 0; // the engine's clock
    f.engine.setClock([&now] { return now; });
    TrafficLog log;
    log.setClock(steppingClock());
    log.attach(f.engine, QStringLiteral("主窗口"));
    log.setListening(true);
    f.useModule(1, false);

    f.reads.readMeasurements();
    f.reply(testsupport::registersBody(1, 3, {-200, 32767, -32768, 0, 1, 2, 3, -1}), 3);
    f.reads.readSwitchOutputs();
    QByteArray broken = rtuFrame(hex("0101020501"));
    broken[3] = char(broken[3] ^ 1);
    f.deliver(broken);
    f.reads.readMeasurements();
    f.engine.onReplyTimeout();
    now += 60000; // long after the spoilt reply: its own can no longer come late
    f.reads.readSwitchOutputs();
    f.reply(hex("0201020501"));
    f.reply(hex("0101020501"));
    // Output 2 reads on: toggling it sends the switch-off write.
    QVERIFY(f.state.module.outputs[2]);
    f.writes.toggleOutput(2);
    f.writes.sendOutputSwitch();
    f.reply(hex("018502"));
    f.engine.onReplyTimeout();
    f.useModule(5, true);
    f.reads.readMeasurements();
    f.reply(testsupport::registersBody(5, 3, {258, 0, 0, 0, 0, 0, 0, 7}), 5);

    QCOMPARE(log.rowCount(), 0); // not before the batch is due
    log.flush();
    QCOMPARE(log.rowCount(), 14);
    for (int r = 0; r < log.rowCount(); ++r) {
        QCOMPARE(log.row(r).window, QStringLiteral("主窗口"));
        QVERIFY(log.row(r).elapsedMs >= 0 && log.row(r).elapsedMs < 1000);
    }
    // Every column but the time, the window and the elapsed time.
    const auto shown = [&log](int row) {
        QStringList c = cells(log, row);
        c.removeAt(TrafficLog::Elapsed);
        c.removeAt(TrafficLog::Window);
        c.removeAt(TrafficLog::Time);
        return c.join(QStringLiteral(" | "));
    };
    const QStringList expected = {
        "发 | RTU | 1 | 03 | 读保持寄存器 起始 0x0000 数量 8 |  | 01 03 00 00 00 08 44 0C",
        "收 | RTU | 1 | 03 | 起始 0x0000 数量 8：-200 32767 -32768 0 1 2 3 -1 | 正常 | "
        "01 03 10 FF 38 7F FF 80 00 00 00 00 01 00 02 00 03 FF FF 6D 74",
        "发 | RTU | 1 | 01 | 读线圈 起始 0x0000 数量 9 |  | 01 01 00 00 00 09 FC 0C",
        "收 | RTU |  |  |  | 校验错误 | 01 01 02 04 01 7B 6C",
        "发 | RTU | 1 | 03 | 读保持寄存器 起始 0x0000 数量 8 |  | 01 03 00 00 00 08 44 0C",
        "收 | RTU | 1 | 03 | 读保持寄存器 起始 0x0000 数量 8 | 超时 | ",
        "发 | RTU | 1 | 01 | 读线圈 起始 0x0000 数量 9 |  | 01 01 00 00 00 09 FC 0C",
        "收 | RTU | 2 | 01 | 2 字节：05 01 | 应答与请求不符 | 02 01 02 05 01 3F 6C",
        "收 | RTU | 1 | 01 | 2 字节：05 01 | 正常 | 01 01 02 05 01 7B 6C",
        "发 | RTU | 1 | 05 | 写单个线圈 0x0002 = OFF |  | 01 05 00 02 00 00 6C 0A",
        "收 | RTU | 1 | 85 | 异常 02：非法数据地址 | 异常响应 | 01 85 02 C3 51",
        "收 | RTU | 1 | 05 | 写单个线圈 0x0002 = OFF | 超时 | ",
        "发 | ASCII | 5 | 03 | 读保持寄存器 起始 0x0000 数量 8 |  | :050300000008F0\\r\\n",
        "收 | ASCII | 5 | 03 | 起始 0x0000 数量 8：258 0 0 0 0 0 0 7 | 正常 | "
        ":05031001020000000000000000000000000007DE\\r\\n",
    };
    for (int r = 0; r < log.rowCount(); ++r)
        QCOMPARE(shown(r), expected[r]);
    QCOMPARE(cells(log, 0)[TrafficLog::Time], QStringLiteral("10:00:00.000"));
    QCOMPARE(cells(log, 13)[TrafficLog::Time], QStringLiteral("10:00:01.625"));
    QCOMPARE(cells(log, 0)[TrafficLog::Elapsed], QString());
    QVERIFY(!cells(log, 1)[TrafficLog::Elapsed].isEmpty());
}

// A measurement reply that comes after its request timed out, while a coil
// read is outstanding: its own station, function and registers, a fault's
// colour, never taken for the coil read's answer. A frame that failed its
// check shows only its bytes: station and function would be noise.
void TestTrafficLog::lateReplyAndCheckFailure()
{
    LinkFixture f;
    TrafficLog log;
    log.attach(f.engine, QStringLiteral("主窗口"));
    log.setListening(true);
    f.useModule(1, false);
    f.reads.readMeasurements();
    f.engine.onReplyTimeout();
    f.reads.readSwitchOutputs();
    f.reply(testsupport::registersBody(1, 3, {1, 2, 3, 4, 5, 6, 7, 8}));
    f.deliver(hex("47010205017B6C")); // a coil reply of station 1 with a spoilt first byte
    log.flush();
    QCOMPARE(log.rowCount(), 5);
    QCOMPARE(cells(log, 3).mid(TrafficLog::Station, 4),
             (QStringList{"1", "03", "8 个寄存器：1 2 3 4 5 6 7 8", "迟到的应答"}));
    QCOMPARE(cells(log, 4).mid(TrafficLog::Station, 4), (QStringList{"", "", "", "校验错误"}));
    QCOMPARE(cells(log, 4)[TrafficLog::Bytes], QStringLiteral("47 01 02 05 01 7B 6C"));
    QVERIFY(!log.data(log.index(4, TrafficLog::Function), Qt::ToolTipRole).isValid());
    const auto colour = [&log](int row) { return log.data(log.index(row, 0), Qt::ForegroundRole); };
    QCOMPARE(colour(3), colour(4));
    QVERIFY(colour(3) != colour(1));
    QBuffer csv;
    csv.open(QIODevice::WriteOnly);
    QVERIFY(log.writeCsv(csv, {TrafficFilter::Direction::All, TrafficFilter::Check::Late}));
    QCOMPARE(csv.data().count("\r\n"), 2);
    QVERIFY(csv.data().contains(",收,RTU,1,03,8 个寄存器：1 2 3 4 5 6 7 8,迟到的应答,"));
}

// On a Modbus TCP line the decoding of a frame begins with the transaction id
// its header carries: a request's, its answer's (the same), a late reply's
// (the earlier request's) and a foreign frame's (its own). A time-out has no
// frame and a frame that failed its check no header to trust: no id. The
// framing is "TCP" and the bytes keep their header. The screen translates
// the words.
void TestTrafficLog::mbapRowsBeginWithTheirTransactionId()
{
    LinkFixture f;
    qint64 now = 0;
    f.engine.setClock([&now] { return now; });
    f.cycle.load(
        {LineAddress::parse(QStringLiteral("mbap://127.0.0.1:1502")), QStringLiteral("9600"), 3});
    f.useModule(2, false);
    TrafficLog log;
    log.attach(f.engine, QStringLiteral("主窗口"));
    log.setListening(true);
    const auto lastId = [&f] {
        const QByteArray sent = f.lastSent();
        return static_cast<quint16>(quint8(sent[0]) << 8 | quint8(sent[1]));
    };

    f.reads.readMeasurements();
    f.deliver(mbapFrame(lastId(), testsupport::registersBody(2, 3, {1, 2, 3, 4, 5, 6, 7, 8})));
    f.reads.readMeasurements();
    const QByteArray late =
        mbapFrame(lastId(), testsupport::registersBody(2, 3, {9, 9, 9, 9, 9, 9, 9, 9}));
    now += 300;
    f.engine.onReplyTimeout();
    now += 10;
    f.reads.readMeasurements();
    f.deliver(late);
    f.deliver(mbapFrame(0x1234, testsupport::registersBody(2, 3, {7, 7, 7, 7, 7, 7, 7, 7})));
    f.deliver(mbapFrame(lastId(), testsupport::registersBody(2, 3, {0, 1, 0, 1, 0, 1, 0, 1})));
    Q_EMIT f.engine.traffic(
        trafficEvent(Kind::CheckFailed, hex("0004000000030283"), Framing::Mbap, 5));
    log.flush();

    const QStringList expected = {
        "发 | TCP | 2 | 03 | 事务1 读保持寄存器 起始 0x0000 数量 8 | ",
        "收 | TCP | 2 | 03 | 事务1 起始 0x0000 数量 8：1 2 3 4 5 6 7 8 | 正常",
        "发 | TCP | 2 | 03 | 事务2 读保持寄存器 起始 0x0000 数量 8 | ",
        "收 | TCP | 2 | 03 | 读保持寄存器 起始 0x0000 数量 8 | 超时",
        "发 | TCP | 2 | 03 | 事务3 读保持寄存器 起始 0x0000 数量 8 | ",
        "收 | TCP | 2 | 03 | 事务2 8 个寄存器：9 9 9 9 9 9 9 9 | 迟到的应答",
        "收 | TCP | 2 | 03 | 事务4660 起始 0x0000 数量 8：7 7 7 7 7 7 7 7 | 应答与请求不符",
        "收 | TCP | 2 | 03 | 事务3 起始 0x0000 数量 8：0 1 0 1 0 1 0 1 | 正常",
        "收 | TCP |  |  |  | 校验错误",
    };
    QCOMPARE(log.rowCount(), expected.size());
    for (int r = 0; r < log.rowCount(); ++r)
        QCOMPARE(cells(log, r).mid(TrafficLog::Direction, 6).join(QStringLiteral(" | ")),
                 expected[r]);
    QCOMPARE(cells(log, 0)[TrafficLog::Bytes],
             QStringLiteral("00 01 00 00 00 06 02 03 00 00 00 08"));
    QCOMPARE(traffic::transactionId(log.row(5)), std::optional<quint16>(2));
    QCOMPARE(traffic::transactionId(log.row(3)), std::nullopt);

    // The screen's words for the id, and in the tooltip too.
    class TransactionText : public QTranslator
    {
    public:
        QString translate(const char *context, const char *source, const char *, int) const override
        {
            if (QByteArrayView(context) == "krv::TrafficLog" &&
                QString::fromUtf8(source) == u"事务%1")
                return QStringLiteral("Transaction %1");
            return QString();
        }
        bool isEmpty() const override { return false; }
    } transactionText;
    QCoreApplication::installTranslator(&transactionText);
    QCOMPARE(log.data(log.index(1, TrafficLog::Decoding)).toString(),
             QStringLiteral("Transaction 1 起始 0x0000 数量 8：1 2 3 4 5 6 7 8"));
    QCOMPARE(log.data(log.index(6, TrafficLog::Decoding), Qt::ToolTipRole).toString(),
             QStringLiteral("Transaction 4660 起始 0x0000 数量 8：7 7 7 7 7 7 7 7"));
    QCoreApplication::removeTranslator(&transactionText);

    // The exports keep the fixed words.
    QBuffer csv;
    csv.open(QIODevice::WriteOnly);
    QVERIFY(log.writeCsv(csv));
    QVERIFY(csv.data().contains(",收,TCP,2,03,事务2 8 个寄存器：9 9 9 9 9 9 9 9,迟到的应答,"));
}

void TestTrafficLog::listensOnlyWhenAsked()
{
    LinkFixture f;
    f.useModule(1, false);
    TrafficLog log;
    log.attach(f.engine, QStringLiteral("主窗口"));
    QVERIFY(!f.engine.tracing());
    f.reads.readMeasurements();
    f.engine.onReplyTimeout();
    log.setListening(true);
    QVERIFY(f.engine.tracing());
    f.reads.readSwitchOutputs();
    log.setListening(false); // flushes what it had
    QVERIFY(!f.engine.tracing());
    QCOMPARE(log.rowCount(), 1);
    f.reply(hex("0101020501"));
    f.reads.readMeasurements();
    log.flush();
    QCOMPARE(log.rowCount(), 1);

    // After a gap the request is not known: the reply is shown by itself.
    log.setListening(true);
    f.reply(testsupport::registersBody(1, 3, {1, 2, 3, 4, 5, 6, 7, 8}));
    log.flush();
    QCOMPARE(log.rowCount(), 2);
    QCOMPARE(cells(log, 1)[TrafficLog::Decoding], QStringLiteral("8 个寄存器：1 2 3 4 5 6 7 8"));
}

void TestTrafficLog::attachSeveralEnginesAndForgetDestroyedOnes()
{
    LinkFixture main;
    main.useModule(1, false);
    TrafficLog log;
    log.attach(main.engine, QStringLiteral("主窗口"));
    log.setListening(true);
    {
        LinkFixture editor;
        editor.useModule(3, false);
        log.attach(editor.engine, QStringLiteral("控制参数"));
        log.attach(editor.engine, QStringLiteral("控制参数设置")); // renames only
        QCOMPARE(log.attachedCount(), 2);
        editor.reads.readMeasurements();
        main.reads.readSwitchOutputs();
        editor.reply(testsupport::registersBody(3, 3, {5, 5, 5, 5, 5, 5, 5, 5}));
    }
    QCOMPARE(log.attachedCount(), 1);
    main.reply(hex("0101020501"));
    log.flush();
    QCOMPARE(log.rowCount(), 4);
    const QStringList windows = {log.row(0).window, log.row(1).window, log.row(2).window,
                                 log.row(3).window};
    QCOMPARE(windows, (QStringList{"控制参数设置", "主窗口", "控制参数设置", "主窗口"}));
    // Each reply was decoded against its own window's request.
    QCOMPARE(cells(log, 2)[TrafficLog::Decoding],
             QStringLiteral("起始 0x0000 数量 8：5 5 5 5 5 5 5 5"));
    QCOMPARE(log.row(3).kind, Kind::Answer);

    log.detach(main.engine);
    QCOMPARE(log.attachedCount(), 0);
    QVERIFY(!main.engine.tracing());
}

void TestTrafficLog::rowLimitDropsTheOldest()
{
    TrafficLog log;
    log.setClock(steppingClock());
    LinkFixture f;
    log.attach(f.engine, QStringLiteral("主窗口"));
    log.setListening(true);
    QCOMPARE(log.rowLimit(), 10000);
    log.setRowLimit(5);
    for (int i = 0; i < 4; ++i)
        Q_EMIT f.engine.traffic(
            trafficEvent(Kind::Sent, rtuFrame(QByteArray(1, char(i)) + hex("11"))));
    log.flush();
    QSignalSpy removed(&log, &QAbstractItemModel::rowsRemoved);
    for (int i = 4; i < 12; ++i) // more in one batch than the limit
        Q_EMIT f.engine.traffic(
            trafficEvent(Kind::Sent, rtuFrame(QByteArray(1, char(i)) + hex("11"))));
    log.flush();
    QCOMPARE(log.rowCount(), 5);
    QCOMPARE(removed.count(), 1);
    for (int r = 0; r < 5; ++r)
        QCOMPARE(cells(log, r)[TrafficLog::Station], QString::number(7 + r));
    log.setRowLimit(2);
    QCOMPARE(log.rowCount(), 2);
    QCOMPARE(cells(log, 0)[TrafficLog::Station], QStringLiteral("10"));
    log.clear();
    QCOMPARE(log.rowCount(), 0);
}

void TestTrafficLog::rowsArriveInBatches()
{
    TrafficLog log;
    LinkFixture f;
    log.attach(f.engine, QStringLiteral("主窗口"));
    log.setListening(true);
    QSignalSpy inserted(&log, &QAbstractItemModel::rowsInserted);
    for (int i = 0; i < 20; ++i)
        Q_EMIT f.engine.traffic(trafficEvent(Kind::Sent, rtuFrame(hex("0111"))));
    QCOMPARE(log.pendingCount(), 20);
    QVERIFY(inserted.wait(4000));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(log.rowCount(), 20);
}

void TestTrafficLog::filter_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("check");
    QTest::addColumn<QString>("kinds");
    // Rows: sent, answer, check failed, timed out, foreign, exception, late.
    QTest::newRow("all") << 0 << 0 << "SACTFEL";
    QTest::newRow("sent") << 1 << 0 << "S";
    QTest::newRow("received") << 2 << 0 << "ACTFEL";
    QTest::newRow("good") << 0 << 1 << "A";
    QTest::newRow("check failed") << 0 << 2 << "C";
    QTest::newRow("timed out") << 0 << 3 << "T";
    QTest::newRow("foreign") << 0 << 4 << "F";
    QTest::newRow("exception") << 0 << 5 << "E";
    QTest::newRow("any fault") << 0 << 6 << "CTFEL";
    QTest::newRow("late") << 0 << 7 << "L";
    QTest::newRow("received late") << 2 << 7 << "L";
    QTest::newRow("sent and faults") << 1 << 6 << "";
}

void TestTrafficLog::filter()
{
    QFETCH(int, direction);
    QFETCH(int, check);
    QFETCH(QString, kinds);
    const QList<QPair<char, Kind>> all = {{'S', Kind::Sent},        {'A', Kind::Answer},
                                          {'C', Kind::CheckFailed}, {'T', Kind::TimedOut},
                                          {'F', Kind::Foreign},     {'E', Kind::Exception},
                                          {'L', Kind::Late}};
    TrafficFilter filter;
    filter.direction = static_cast<TrafficFilter::Direction>(direction);
    filter.check = static_cast<TrafficFilter::Check>(check);
    QString accepted;
    for (const auto &[letter, kind] : all) {
        TrafficRow row;
        row.kind = kind;
        if (filter.accepts(row))
            accepted += QLatin1Char(letter);
    }
    QCOMPARE(accepted, kinds);
}

// One exchange per line kind, with fixed times and delays; commas and quotes
// in a field are quoted.
void TestTrafficLog::csvByteForByte()
{
    TrafficLog log;
    log.setClock(steppingClock());
    LinkFixture f;
    log.attach(f.engine, QStringLiteral("主窗口, \"A\""));
    log.setListening(true);
    Q_EMIT f.engine.traffic(trafficEvent(Kind::Sent, hex("010300000002C40B")));
    Q_EMIT f.engine.traffic(
        trafficEvent(Kind::Answer, rtuFrame(hex("010304FFFF0010")), Framing::Rtu, 12));
    Q_EMIT f.engine.traffic(trafficEvent(Kind::Sent, ":010300000002FA\r\n", Framing::Ascii));
    Q_EMIT f.engine.traffic(trafficEvent(Kind::TimedOut, {}, Framing::Ascii, 288));
    Q_EMIT f.engine.traffic(
        trafficEvent(Kind::Exception, asciiFrame(hex("018304")), Framing::Ascii, 288));

    QBuffer all;
    all.open(QIODevice::WriteOnly);
    QVERIFY(log.writeCsv(all));
    const QByteArray expected =
        "\xEF\xBB\xBF"
        "时间,窗口,方向,帧格式,站号,功能码,解析,校验,耗时(ms),原始数据\r\n"
        "10:00:00.000,\"主窗口, \"\"A\"\"\",发,RTU,1,03,读保持寄存器 起始 0x0000 数量 2,,,"
        "01 03 00 00 00 02 C4 0B\r\n"
        "10:00:00.125,\"主窗口, \"\"A\"\"\",收,RTU,1,03,起始 0x0000 数量 2：-1 16,正常,12,"
        "01 03 04 FF FF 00 10 FB DB\r\n"
        "10:00:00.250,\"主窗口, \"\"A\"\"\",发,ASCII,1,03,读保持寄存器 起始 0x0000 数量 2,,,"
        ":010300000002FA\\r\\n\r\n"
        "10:00:00.375,\"主窗口, \"\"A\"\"\",收,ASCII,1,03,读保持寄存器 起始 0x0000 数量 2,超时,"
        "288,\r\n"
        "10:00:00.500,\"主窗口, \"\"A\"\"\",收,ASCII,1,83,异常 04：从站设备故障,异常响应,288,"
        ":01830478\\r\\n\r\n";
    QCOMPARE(all.data(), expected);

    // Only what the filter accepts.
    QBuffer faults;
    faults.open(QIODevice::WriteOnly);
    TrafficFilter filter;
    filter.check = TrafficFilter::Check::AnyFault;
    QVERIFY(log.writeCsv(faults, filter));
    QCOMPARE(faults.data().count("\r\n"), 3);

    // A device that takes nothing.
    QBuffer closed;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(".*device not open.*"));
    QVERIFY(!log.writeCsv(closed));
}

void TestTrafficLog::textExport()
{
    TrafficLog log;
    log.setClock(steppingClock());
    LinkFixture f;
    log.attach(f.engine, QStringLiteral("主窗口"));
    log.setListening(true);
    Q_EMIT f.engine.traffic(trafficEvent(Kind::Sent, hex("0111C02C")));
    Q_EMIT f.engine.traffic(trafficEvent(Kind::CheckFailed, hex("0111C02D"), Framing::Rtu, 7));
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QVERIFY(log.writeText(out));
    // Columns line up (wide characters take two places), no BOM.
    const QByteArray expected = "时间          窗口    方向  帧格式  站号  功能码  解析        "
                                "校验      耗时(ms)  原始数据\r\n"
                                "10:00:00.000  主窗口  发    RTU     1     11      读设备标识      "
                                "                01 11 C0 2C\r\n"
                                "10:00:00.125  主窗口  收    RTU                               "
                                "校验错误  7         01 11 C0 2D\r\n";
    QCOMPARE(out.data(), expected);
}

void TestTrafficLog::screenTextsAreTranslated()
{
    // A translator that knows one text: the screen shows it, files do not.
    class OneText : public QTranslator
    {
    public:
        QString translate(const char *context, const char *source, const char *, int) const override
        {
            if (QByteArrayView(context) == "krv::TrafficLog" && QString::fromUtf8(source) == u"收")
                return QStringLiteral("Rx");
            if (QByteArrayView(context) == "krv::TrafficLog" &&
                QString::fromUtf8(source) == u"主窗口")
                return QStringLiteral("Main");
            return QString();
        }
        bool isEmpty() const override { return false; }
    } oneText;
    QCoreApplication::installTranslator(&oneText);
    TrafficRow row;
    row.kind = Kind::Answer;
    row.window = QString::fromUtf8(TrafficLog::MainWindowName);
    QCOMPARE(TrafficLog::cellText(row, TrafficLog::Direction, Wording::Screen),
             QStringLiteral("Rx"));
    QCOMPARE(TrafficLog::cellText(row, TrafficLog::Window, Wording::Screen),
             QStringLiteral("Main"));
    QCOMPARE(TrafficLog::cellText(row, TrafficLog::Direction, Wording::File), QStringLiteral("收"));
    QCOMPARE(TrafficLog::cellText(row, TrafficLog::Window, Wording::File),
             QStringLiteral("主窗口"));
    QCoreApplication::removeTranslator(&oneText);
}

QTEST_GUILESS_MAIN(TestTrafficLog)
#include "tst_trafficlog.moc"
