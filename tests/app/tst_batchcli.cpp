// The commands without a window, run as a user runs them against
// krv2060-sim: refused input that sends nothing, the scan, and apply, backup
// and compare on three modules of one line (RTU and ASCII, firmware 5.2 and
// 5.3) checked by reading the simulator's log and with an independent master
// (mbpoll), with faults on the line, a module that never answers and Ctrl-C.
#include "clitools.h"

#include <QStandardPaths>

#include <array>

using namespace clitest;

namespace {

// The parameter files the tests apply. Control channel c: start order,
// input channel, phase offset, sample time, set temperature, D0, D1, D2,
// control range.
std::array<int, 9> controlValues(int c)
{
    return {c + 1, c, 2 * c, 10 + c, 300 + 10 * c, 100 + c, 30 + c, 8 + c, 50 + c};
}
// The block's seven registers: the byte pairs packed, then one word each.
QList<quint16> controlWords(int c)
{
    const auto v = controlValues(c);
    return {quint16(v[0] * 256 + v[1]),
            quint16(v[2] * 256 + v[3]),
            quint16(v[4]),
            quint16(v[5]),
            quint16(v[6]),
            quint16(v[7]),
            quint16(v[8])};
}
int controlStart(int c)
{
    return 0x0102 + 18 * c;
}
// Alarm channel c as the file holds it: upper limit, relative alarm, lower
// limit, pre-alarm.
std::array<int, 4> alarmValues(int c)
{
    return {600 + c, 20 + c, -300 - c, c % 3};
}
// Registers: upper, lower, pre-alarm in bits 15..12 over the relative alarm.
QList<quint16> alarmWords(int c)
{
    const auto v = alarmValues(c);
    return {quint16(v[0]), quint16(v[2] & 0xFFFF), quint16((v[3] << 12) | (v[1] & 0x0FFF))};
}
int alarmStart(int block)
{
    return 0x01A8 + 10 * block;
}
// Block 8: request output on, 3 registers per serial output, 5 channels
// measured, start mode 1, no continuous addressing.
const char *const ModuleControlLine = "1  3  5  1  0";

QByteArray fileLine(const QStringList &fields)
{
    return fields.join(QStringLiteral("  ")).toLatin1() + "\r\n";
}

QByteArray controlFile()
{
    QByteArray bytes;
    for (int c = 0; c < 9; ++c) {
        QStringList fields;
        for (int v : controlValues(c))
            fields << QString::number(v);
        bytes += fileLine(fields);
    }
    return bytes;
}

QByteArray alarmFile()
{
    QByteArray bytes;
    for (int c = 0; c < 8; ++c) {
        QStringList fields;
        for (int v : alarmValues(c))
            fields << QString::number(v);
        bytes += fileLine(fields);
    }
    return bytes + ModuleControlLine + "\r\n";
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A parameter file's values, whatever their spacing.
QStringList values(const QString &path)
{
    return QString::fromLatin1(readAll(path))
        .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

// The result report: its rows (titles first) by station.
QMap<QString, QStringList> reportRows(const QString &path)
{
    QString text = QString::fromUtf8(readAll(path));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QMap<QString, QStringList> rows;
    for (const QString &line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const QStringList cells = line.split(u',');
        rows[cells.first()] = cells;
    }
    return rows;
}
enum Column {
    Station,
    Framing,
    Id,
    Firmware,
    Serial,
    Control,
    Alarm,
    Place,
    FileValue,
    ModuleValue,
    Differences,
    Requests,
    Retries,
    Time
};

QString mbpollPath()
{
    return QStandardPaths::findExecutable(QStringLiteral("mbpoll"));
}

// An independent master on the pseudo-terminal (Modbus RTU, 9600 8N1): reads
// `count` registers from `start`, or writes `value` to `start`.
QString mbpoll(const QString &device, int station, int start, int count,
               std::optional<int> value = std::nullopt)
{
    QStringList args{"-m",
                     "rtu",
                     "-a",
                     QString::number(station),
                     "-b",
                     "9600",
                     "-P",
                     "none",
                     "-0",
                     "-1",
                     "-q",
                     "-t",
                     value ? "4" : "4:hex",
                     "-r",
                     QString::number(start)};
    if (!value)
        args << "-c" << QString::number(count);
    args << device;
    if (value)
        args << QString::number(*value);
    QProcess p;
    p.start(mbpollPath(), args);
    return p.waitForFinished(10000) && p.exitCode() == 0
               ? QString::fromLatin1(p.readAllStandardOutput())
               : QString();
}

QList<quint16> mbpollRead(const QString &device, int station, int start, int count)
{
    QList<quint16> words;
    static const QRegularExpression value(QStringLiteral(R"(\[\d+\]:\s+0x([0-9A-F]{4}))"));
    for (auto it = value.globalMatch(mbpoll(device, station, start, count)); it.hasNext();)
        words << quint16(it.next().captured(1).toUInt(nullptr, 16));
    return words;
}

// The three modules of the acceptance line.
const QStringList ThreeModules{"--module", "addr=2,fw=5.3",
                               "--module", "addr=5,framing=ascii,fw=5.2",
                               "--module", "addr=7,fw=5.3"};

} // namespace

class BatchCommandLineTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config; // the tool's settings folder
    QTemporaryDir m_files;  // parameter files, backups, reports
    Sim m_quiet;            // the line refused input must leave quiet
    Sim m_line;             // the acceptance line, kept from apply to compare

    QString file(const QString &name) const { return m_files.filePath(name); }
    Run tool(const QStringList &args)
    {
        Tool tool(m_config.path());
        tool.start(args);
        return tool.finish();
    }
    // The module's registers, as the writes it received left them, hold the
    // files' values.
    static void checkWritten(const Sim &sim, int station)
    {
        const QMap<int, quint16> regs = sim.written(station);
        const auto at = [&](int start, int count) {
            QList<quint16> words;
            for (int k = 0; k < count; ++k)
                words << regs.value(start + k, 0xDEAD);
            return words;
        };
        for (int c = 0; c < 9; ++c)
            QCOMPARE(at(controlStart(c), 7), controlWords(c));
        for (int c = 0; c < 8; ++c)
            QCOMPARE(at(alarmStart(c), 3), alarmWords(c));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QFileInfo::exists(QStringLiteral(KRV2060_PATH)));
        QVERIFY(QFileInfo::exists(QStringLiteral(KRV_SIM_PATH)));
        QVERIFY(writeFile(file("set.CON"), controlFile()));
        QVERIFY(writeFile(file("set.ALM"), alarmFile()));
        // 80 values; "abc" as channel 2's set temperature; 40000 as channel
        // 1's upper limit.
        QByteArray shortFile = controlFile();
        shortFile.chop(4);
        QVERIFY(writeFile(file("short.CON"), shortFile));
        QVERIFY(writeFile(file("word.CON"), controlFile().replace("  320  ", "  abc  ")));
        QVERIFY(writeFile(file("big.ALM"), alarmFile().replace("601  ", "40000  ")));
        QVERIFY(m_quiet.start({}));
    }

    // Each refused input: status 2, the reason naming the file, line or value
    // on standard error, nothing on standard output and nothing on the line.
    void refusedInputSendsNothing_data()
    {
        QTest::addColumn<QStringList>("args"); // "@" stands for the line, "%" for the files' folder
        QTest::addColumn<QStringList>("said");
        const QStringList apply{"apply", "--port", "@", "--stations", "2"};
        const QStringList files{"--control", "%/set.CON", "--alarm", "%/set.ALM"};
        QTest::newRow("no --port")
            << QStringList{"apply", "--stations", "2", "--control", "%/set.CON"}
            << QStringList{"krv2060: 命令 apply 需要 --port"};
        QTest::newRow("malformed address") << QStringList{"scan", "--port", "host:"}
                                           << QStringList{"--port \"host:\" 不是有效的地址"};
        for (const char *list : {"0", "256", "5-2", "x"})
            QTest::addRow("station list %s", list)
                << QStringList{"compare", "--port",    "@",        "--stations",
                               list,      "--control", "%/set.CON"}
                << QStringList{QStringLiteral("--stations \"%1\"").arg(list),
                               QStringLiteral("“%1”").arg(list)};
        QTest::newRow("too few values") << apply + QStringList{"--control", "%/short.CON"}
                                        << QStringList{"short.CON", "81", "没有发送"};
        QTest::newRow("not a number") << apply + QStringList{"--control", "%/word.CON"}
                                      << QStringList{"word.CON", "第3行", "“abc”", "没有发送"};
        QTest::newRow("does not fit its register") << apply + QStringList{"--alarm", "%/big.ALM"}
                                                   << QStringList{"big.ALM", "第2行", "“40000”"};
        QTest::newRow(".CON as --alarm") << apply + QStringList{"--alarm", "%/set.CON"}
                                         << QStringList{"set.CON", "不是报警参数文件"};
        QTest::newRow(".ALM as --control") << apply + QStringList{"--control", "%/set.ALM"}
                                           << QStringList{"set.ALM", "不是控制参数文件"};
        QTest::newRow("missing file") << apply + QStringList{"--control", "%/none.CON"}
                                      << QStringList{"none.CON", "无法读取"};
        QTest::newRow("no file") << apply << QStringList{"需要 --control 或 --alarm"};
        QTest::newRow("folder missing")
            << QStringList{"backup", "--port", "@", "--stations", "2", "--dir", "%/none"}
            << QStringList{"none", "不存在"};
        QTest::newRow("folder is a file")
            << QStringList{"backup", "--port", "@", "--stations", "2", "--dir", "%/set.CON"}
            << QStringList{"set.CON", "不是文件夹"};
        QTest::newRow("folder cannot be written")
            << QStringList{"backup", "--port", "@", "--stations", "2", "--dir", "/proc"}
            << QStringList{"/proc", "无法写入"};
        QTest::newRow("report in a missing folder")
            << apply + files + QStringList{"--report", "%/none/r.csv"}
            << QStringList{"r.csv", "不存在"};
        QTest::newRow("in English") << QStringList{"--lang", "en"} + apply
                                    << QStringList{"the apply command needs --control or --alarm"};
    }
    void refusedInputSendsNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, said);
        for (QString &arg : args) {
            if (arg == u"@")
                arg = m_quiet.port();
            arg.replace(u'%', m_files.path());
        }
        const Run r = tool(args);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.out.isEmpty(), qPrintable(r.out));
        for (const QString &part : said)
            QVERIFY2(r.err.contains(part), qPrintable(r.err));
        QCOMPARE(m_quiet.requestsTo(2), 0);
        QCOMPARE(m_quiet.requestsTo(5), 0);
    }

    // Every command explains itself without a display, in both languages.
    void helpForEachCommand()
    {
        const Run apply = tool({"apply", "--help"});
        QCOMPARE(apply.exitCode, 0);
        for (const char *part : {"用法: krv2060 apply", "--stations LIST", "9a", "--system-block"})
            QVERIFY2(apply.out.contains(QString::fromUtf8(part)), qPrintable(apply.out));
        for (const char *command : {"scan", "apply", "backup", "compare"}) {
            const Run en = tool({"--lang", "en", "help", command});
            QVERIFY2(en.exitCode == 0 &&
                         en.out.startsWith(QStringLiteral("Usage: krv2060 ") + command),
                     qPrintable(en.out));
        }
    }

    // The default simulator as a serial device server (each address in RTU
    // and ASCII) and as a Modbus TCP gateway (each address once), scanned at
    // the same time.
    void scanListsTheModulesThatAnswer()
    {
        Sim serialServer;
        Sim gateway;
        QVERIFY(serialServer.start({}, Sim::Line::Tcp));
        QVERIFY(gateway.start({}, Sim::Line::Mbap));
        Tool overTcp(m_config.path());
        Tool overMbap(m_config.path());
        overTcp.start({"scan", "--port", serialServer.port(), "--baud", "38400"});
        overMbap.start({"scan", "--port", gateway.port(), "--baud", "38400"});
        const Run tcp = overTcp.finish(150000);
        const Run mbap = overMbap.finish(150000);

        QCOMPARE(tcp.exitCode, 0);
        const QStringList lines = tcp.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0].split(u' ', Qt::SkipEmptyParts),
                 (QStringList{"站号", "协议", "型号", "版本"}));
        QCOMPARE(lines[1].split(u' ', Qt::SkipEmptyParts),
                 (QStringList{"2", "RTU", "REREVE2060RIDU", "5.3"}));
        QCOMPARE(lines[2].split(u' ', Qt::SkipEmptyParts),
                 (QStringList{"5", "ASCII", "ZEZADO2040ZOZE", "5.2"}));
        QVERIFY2(tcp.err.contains(u"找到的模块：2"), qPrintable(tcp.err));

        QCOMPARE(mbap.exitCode, 0);
        QVERIFY2(mbap.out.contains(
                     QRegularExpression(QStringLiteral("\n2 +TCP +REREVE2060RIDU +5\\.3\n"))),
                 qPrintable(mbap.out));
        QVERIFY2(mbap.out.contains(
                     QRegularExpression(QStringLiteral("\n5 +TCP +ZEZADO2040ZOZE +5\\.2\n"))),
                 qPrintable(mbap.out));
        // Each unit id asked once.
        QCOMPARE(gateway.requestsTo(2), 1);
        QCOMPARE(gateway.requestsTo(5), 1);
    }

    // apply on three modules: every block of both files (block 8 too, asked
    // for) is in each module, as its log and an independent master show.
    void applyWritesBothFilesToThreeModules()
    {
        QVERIFY(m_line.start(ThreeModules));
        const Run r = tool({"apply", "--port", m_line.port(), "--stations", "2,5a,7", "--control",
                            file("set.CON"), "--alarm", file("set.ALM"), "--system-block",
                            "--report", file("apply.csv")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
        // Progress names the module and the block.
        QVERIFY2(r.err.contains(u"模块 5：写入控制参数 通道3"), qPrintable(r.err));
        QVERIFY2(r.err.contains(u"模块 7：读回报警参数 块8"), qPrintable(r.err));

        const QMap<QString, QStringList> report = reportRows(file("apply.csv"));
        QCOMPARE(report.size(), 4);
        QCOMPARE(report["2"].mid(0, Alarm + 1),
                 (QStringList{"2", "RTU", "REREVE2060RIDU", "5.3", "2002", "一致", "一致"}));
        QCOMPARE(report["5"].mid(0, Alarm + 1),
                 (QStringList{"5", "ASCII", "REREVE2060RIDU", "5.2", "2005", "一致", "一致"}));
        QCOMPARE(report["7"][Control], QStringLiteral("一致"));
        QCOMPARE(report["7"][Alarm], QStringLiteral("一致"));
        QVERIFY2(r.out.contains(QRegularExpression(QStringLiteral(
                     "\n5 +ASCII +REREVE2060RIDU +5\\.2 +2005 +一致 +一致 +\\d+\n"))),
                 qPrintable(r.out));

        for (int station : {2, 5, 7})
            checkWritten(m_line, station);
        if (mbpollPath().isEmpty())
            QSKIP("mbpoll is not installed: the registers were checked from the log only");
        for (int station : {2, 7}) {
            for (int c = 0; c < 9; ++c)
                QCOMPARE(mbpollRead(m_line.port(), station, controlStart(c), 7), controlWords(c));
            for (int c = 0; c < 8; ++c)
                QCOMPARE(mbpollRead(m_line.port(), station, alarmStart(c), 3), alarmWords(c));
            // Block 8 as the module reads it: serial output count in bits
            // 11..8 and request output in bit 0; start mode; channels.
            const QList<quint16> block8 = mbpollRead(m_line.port(), station, alarmStart(8), 3);
            QCOMPARE(block8.size(), 3);
            QCOMPARE((block8[0] >> 8) & 0x8F, 3);
            QCOMPARE(block8[0] & 1, 1);
            QCOMPARE(block8[1] & 1, 1);
            QCOMPARE(block8[2] & 0xFF, 5);
        }
    }

    // backup of the three modules holds what was applied; applying the
    // backups to a fresh line gives the same registers (the same backups).
    // A second backup into the same folder replaces nothing.
    void backupRestoresOnAFreshLine()
    {
        QVERIFY(!m_line.port().isEmpty());
        const QString first = file("first");
        QVERIFY(QDir().mkpath(first));
        const Run r = tool({"backup", "--port", m_line.port(), "--stations", "2,5a,7", "--dir",
                            first, "--report", file("backup.csv")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
        const QStringList names{"2_2002.CON", "2_2002.ALM", "5_2005.CON",
                                "5_2005.ALM", "7_2007.CON", "7_2007.ALM"};
        QDir folder(first);
        QCOMPARE(folder.entryList(QDir::Files, QDir::Name),
                 (QStringList{"2_2002.ALM", "2_2002.CON", "5_2005.ALM", "5_2005.CON", "7_2007.ALM",
                              "7_2007.CON"}));
        for (const QString &name : names) {
            const bool control = name.endsWith(u".CON");
            QCOMPARE(values(folder.filePath(name)), values(file(control ? "set.CON" : "set.ALM")));
            QVERIFY(readAll(folder.filePath(name)).endsWith("\r\n"));
        }
        QVERIFY2(r.err.contains(QStringLiteral("已保存 ") + folder.filePath("7_2007.ALM")),
                 qPrintable(r.err));
        QCOMPARE(reportRows(file("backup.csv"))["5"][Control], QStringLiteral("已读取"));

        // Again into the same folder: every module's files stay as they were,
        // and each backup is reported failed, naming the file.
        const QByteArray saved = readAll(folder.filePath("2_2002.CON"));
        QVERIFY(writeFile(folder.filePath("2_2002.CON"), "kept\r\n"));
        const Run again = tool({"backup", "--port", m_line.port(), "--stations", "2,5a", "--dir",
                                first, "--report", file("again.csv")});
        QCOMPARE(again.exitCode, 1);
        QCOMPARE(readAll(folder.filePath("2_2002.CON")), QByteArray("kept\r\n"));
        QVERIFY2(again.err.contains(
                     QStringLiteral("文件%1已存在，没有替换").arg(folder.filePath("5_2005.ALM"))),
                 qPrintable(again.err));
        QVERIFY2(again.out.contains(folder.filePath("2_2002.CON")), qPrintable(again.out));
        QVERIFY(writeFile(folder.filePath("2_2002.CON"), saved));

        // The backups applied, module by module, to fresh modules.
        Sim fresh;
        QVERIFY(fresh.start(ThreeModules));
        for (const auto &[station, stem] :
             {std::pair{"2", "2_2002"}, std::pair{"5a", "5_2005"}, std::pair{"7", "7_2007"}}) {
            const QString name = QString::fromLatin1(stem);
            const Run applied = tool({"apply", "--port", fresh.port(), "--stations", station,
                                      "--control", folder.filePath(name + ".CON"), "--alarm",
                                      folder.filePath(name + ".ALM"), "--system-block"});
            QVERIFY2(applied.exitCode == 0, qPrintable(applied.out + applied.err));
        }
        const QString second = file("second");
        QVERIFY(QDir().mkpath(second));
        const Run read =
            tool({"backup", "--port", fresh.port(), "--stations", "2,5a,7", "--dir", second});
        QVERIFY2(read.exitCode == 0, qPrintable(read.err));
        for (const QString &name : names)
            QCOMPARE(readAll(QDir(second).filePath(name)), readAll(folder.filePath(name)));
    }

    // compare finds the one register changed behind the tool's back, names
    // it and leaves the others equal; it writes nothing.
    void compareNamesTheRegisterChanged()
    {
        QVERIFY(!m_line.port().isEmpty());
        if (mbpollPath().isEmpty())
            QSKIP("mbpoll is not installed");
        // Channel 3's set temperature of module 7.
        QVERIFY(!mbpoll(m_line.port(), 7, controlStart(3) + 2, 1, 999).isEmpty());
        const int writesBefore = m_line.writeRequests();
        const Run r = tool({"compare", "--port", m_line.port(), "--stations", "2,5a,7", "--control",
                            file("set.CON"), "--alarm", file("set.ALM"), "--system-block",
                            "--report", file("compare.csv")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains(u"控制参数 通道3 设置温度：文件 330，模块 999"), qPrintable(r.out));
        const QMap<QString, QStringList> report = reportRows(file("compare.csv"));
        QCOMPARE(report["7"].mid(Control, Differences - Control + 1),
                 (QStringList{"不一致", "一致", "控制参数 通道3 设置温度", "330", "999", "1"}));
        for (const char *station : {"2", "5"}) {
            QCOMPARE(report[station][Control], QStringLiteral("一致"));
            QCOMPARE(report[station][Alarm], QStringLiteral("一致"));
        }
        QCOMPARE(m_line.writeRequests(), writesBefore);
    }

    // Dropped, spoilt and late replies: each module is verified or reported
    // failed exactly, and a part reported verified had every block read back
    // whole and equal. A module that never answers does not stop the others.
    void faultsAndASilentModule()
    {
        Sim line;
        QVERIFY(line.start({"--module", "addr=2,baud=38400,drop=4", "--module",
                            "addr=5,framing=ascii,fw=5.2,baud=38400,corrupt=3", "--module",
                            "addr=7,baud=38400,delayat=0x0102:1500", "--module",
                            "addr=9,baud=38400,silent"}));
        const Run r = tool({"apply", "--port", line.port(), "--baud", "38400", "--stations",
                            "2,5a,7,9", "--control", file("set.CON"), "--alarm", file("set.ALM"),
                            "--report", file("faults.csv")});
        QCOMPARE(r.exitCode, 1);
        const QMap<QString, QStringList> report = reportRows(file("faults.csv"));
        for (const char *station : {"2", "5"}) {
            QCOMPARE(report[station][Control], QStringLiteral("一致"));
            QCOMPARE(report[station][Alarm], QStringLiteral("一致"));
            QVERIFY(report[station][Retries].toInt() > 0);
        }
        // Channel 0's control block is never read back in time.
        QCOMPARE(report["7"][Control], QStringLiteral("失败"));
        QCOMPARE(report["7"][Alarm], QStringLiteral("未进行"));
        QCOMPARE(report["9"][Control], QStringLiteral("无应答"));
        QCOMPARE(report["9"][Alarm], QStringLiteral("无应答"));

        // Verified: the last reply that went out whole for each block holds
        // the file's values.
        for (int station : {2, 5}) {
            for (int c = 0; c < 9; ++c)
                QCOMPARE(line.lastReadReply(station, controlStart(c)), controlWords(c));
            for (int c = 0; c < 8; ++c)
                QCOMPARE(line.lastReadReply(station, alarmStart(c)), alarmWords(c));
        }
    }

    // Ctrl-C in the middle: the module in work and those after it are
    // reported stopped, the one before verified; a scan lists what it found.
    void interruptReportsWhatWasDone()
    {
#ifndef Q_OS_UNIX
        QSKIP("SIGINT is sent with kill()");
#endif
        Sim line;
        // At 1200 baud with the simulator's own pacing a module takes seconds.
        QVERIFY(
            line.start({"--module", "addr=2,baud=1200", "--module",
                        "addr=5,framing=ascii,fw=5.2,baud=1200", "--module", "addr=7,baud=1200"},
                       Sim::Line::Pty, false));
        Tool apply(m_config.path());
        apply.start({"apply", "--port", line.port(), "--baud", "1200", "--stations", "2,5a,7",
                     "--control", file("set.CON"), "--report", file("stopped.csv")});
        QVERIFY(apply.waitForErr(QStringLiteral("模块 5：写入控制参数 通道1"), 60000));
        QElapsedTimer clock;
        clock.start();
        apply.interrupt();
        const Run r = apply.finish(10000);
        QCOMPARE(r.exitCode, 1);
        QVERIFY(clock.elapsed() < 3000);
        QVERIFY2(r.err.contains(u"收到 Ctrl-C"), qPrintable(r.err));
        const QMap<QString, QStringList> report = reportRows(file("stopped.csv"));
        QCOMPARE(report["2"][Control], QStringLiteral("一致"));
        QCOMPARE(report["5"][Control], QStringLiteral("已停止"));
        QCOMPARE(report["7"][Control], QStringLiteral("已停止"));
        QVERIFY2(r.out.contains(QRegularExpression(QStringLiteral("\n7 +RTU +已停止"))),
                 qPrintable(r.out));
        QCOMPARE(line.requestsTo(7), 0);

        Sim server;
        QVERIFY(server.start({}, Sim::Line::Tcp));
        Tool scan(m_config.path());
        scan.start({"scan", "--port", server.port(), "--baud", "38400"});
        QVERIFY(scan.waitForErr(QStringLiteral("找到模块：站号 2"), 30000));
        clock.restart();
        scan.interrupt();
        const Run s = scan.finish(10000);
        QCOMPARE(s.exitCode, 1);
        QVERIFY(clock.elapsed() < 3000);
        QVERIFY2(
            s.out.contains(QRegularExpression(QStringLiteral("\n2 +RTU +REREVE2060RIDU +5\\.3\n"))),
            qPrintable(s.out));
    }
};

QTEST_GUILESS_MAIN(BatchCommandLineTest)
#include "tst_batchcli.moc"
