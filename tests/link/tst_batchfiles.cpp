// What the batch window and the command line share: station lists as typed,
// parameter files read into records (and why one is refused), backup files
// that read back as the blocks they were made from, and the report row.

#include "link/batchfiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace krv;

namespace {

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    return f.fileName();
}

QByteArray controlFileBytes(const QString &replace = {}, int at = -1)
{
    QByteArray out;
    for (int c = 0; c < BlockCount; ++c) {
        QStringList fields;
        for (int r = 0; r < ControlRowCount; ++r)
            fields << (c * ControlRowCount + r == at ? replace : QString::number(c + r));
        out += fields.join(QStringLiteral("  ")).toLatin1() + "\r\n";
    }
    return out;
}

ModuleResult backedUpModule()
{
    ModuleResult r;
    r.target = {5, true};
    r.answered = true;
    r.serialKnown = true;
    r.serialNumber = 2005;
    for (int c = 0; c < BlockCount; ++c)
        r.controlRead[c].words = {qint16(c * 256 + 3), 0x0A14, qint16(-250 + c), 1, -2, 3, 400};
    for (int c = 0; c < ChannelCount; ++c)
        r.alarmRead[c].values = {1200 + c, -300, 3 * 4096 + 100};
    r.moduleControlRead = {true, 3, 1, 0, 6};
    r.alarmRead[AlarmBlock::ModuleControl].values = {0x8301, 0, 6};
    return r;
}

} // namespace

class BatchFilesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsStationListsWithTheirFraming()
    {
        const StationList list = parseStationList(QStringLiteral(" 2,5-7 9a，11-12A 2 6a"));
        QVERIFY(list.ok());
        const QList<BatchTarget> expected{{2, false}, {5, false}, {6, false}, {7, false},
                                          {9, true},  {11, true}, {12, true}};
        QCOMPARE(list.targets, expected); // a repeated address keeps its first place
        QCOMPARE(stationListText(list.targets), QStringLiteral("2,5-7,9a,11-12a"));
        QCOMPARE(parseStationList(QStringLiteral("1-255")).targets.size(), 255);
    }

    void refusesStationListsNamingThePart_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<StationList::Fault>("fault");
        QTest::addColumn<QString>("token");
        using F = StationList::Fault;
        QTest::newRow("empty") << QStringLiteral(" , ") << F::Empty << QString();
        QTest::newRow("broadcast") << QStringLiteral("0") << F::OutOfRange << QStringLiteral("0");
        QTest::newRow("too high") << QStringLiteral("3,256") << F::OutOfRange
                                  << QStringLiteral("256");
        QTest::newRow("range too high")
            << QStringLiteral("250-300") << F::OutOfRange << QStringLiteral("250-300");
        QTest::newRow("descending")
            << QStringLiteral("5-2") << F::Descending << QStringLiteral("5-2");
        QTest::newRow("word") << QStringLiteral("x") << F::NotAnAddress << QStringLiteral("x");
        QTest::newRow("sign") << QStringLiteral("-3") << F::NotAnAddress << QStringLiteral("-3");
        QTest::newRow("huge") << QStringLiteral("99999999999") << F::OutOfRange
                              << QStringLiteral("99999999999");
    }
    void refusesStationListsNamingThePart()
    {
        QFETCH(QString, text);
        QFETCH(StationList::Fault, fault);
        QFETCH(QString, token);
        const StationList list = parseStationList(text);
        QCOMPARE(list.fault, fault);
        QCOMPARE(list.token, token);
        QVERIFY(list.targets.isEmpty() || !list.ok());
    }

    void backupsReadBackAsTheBlocksTheyWereMadeFrom()
    {
        QTemporaryDir dir;
        const ModuleResult r = backedUpModule();
        const BackupFile con = controlBackup(r);
        const BackupFile alm = alarmBackup(r);
        QCOMPARE(con.name, QStringLiteral("5_2005.CON"));
        QCOMPARE(alm.name, QStringLiteral("5_2005.ALM"));
        QCOMPARE(con.lines.size(), BlockCount);
        QCOMPARE(alm.lines.size(), ChannelCount + 1);
        // As the editors save: two blanks apart, CR LF; the .ALM line of
        // channel 0 is upper, relative, lower, pre-alarm.
        QCOMPARE(con.lines[1], QByteArray("1  3  10  20  -249  1  -2  3  400\r\n"));
        QCOMPARE(alm.lines[0], QByteArray("1200  100  -300  3\r\n"));
        QCOMPARE(alm.lines[8], QByteArray(" 1   3  6   0    1 \r\n")); // list positions as numbers
        QString error;
        QVERIFY2(saveLines(dir.filePath(con.name), con.lines, &error), qPrintable(error));
        QVERIFY2(saveLines(dir.filePath(alm.name), alm.lines, &error), qPrintable(error));

        const ParameterFileLoad control = loadControlFile(dir.filePath(con.name));
        QVERIFY(control.ok());
        for (int c = 0; c < BlockCount; ++c)
            QCOMPARE(control.control[c].words, r.controlRead[c].words);
        const ParameterFileLoad alarm = loadAlarmFile(dir.filePath(alm.name));
        QVERIFY(alarm.ok());
        for (int c = 0; c < ChannelCount; ++c)
            QCOMPARE(alarm.alarm[c].values, r.alarmRead[c].values);
        QCOMPARE(alarm.alarm[AlarmBlock::ModuleControl].values,
                 r.alarmRead[AlarmBlock::ModuleControl].values);
    }

    void refusesFilesThatCannotBeWrittenAsTheyStand()
    {
        QTemporaryDir dir;
        using P = ParameterFileLoad::Problem;
        // The other kind of file, by its extension.
        const QString con = writeFile(dir, QStringLiteral("set.con"), controlFileBytes());
        QCOMPARE(loadAlarmFile(con).problem, P::WrongKind);
        QCOMPARE(loadControlFile(writeFile(dir, QStringLiteral("a.ALM"), "1 2 3")).problem,
                 P::WrongKind);
        QVERIFY(loadControlFile(con).ok());

        // Fewer values than the blocks need.
        const ParameterFileLoad shortFile = loadControlFile(
            writeFile(dir, QStringLiteral("short.CON"), controlFileBytes().left(100)));
        QCOMPARE(shortFile.problem, P::Unreadable);
        QCOMPARE(shortFile.file.fault, FieldFile::Fault::TooShort);

        // A value that is no number, or does not fit its register: its channel and row.
        const ParameterFileLoad word = loadControlFile(writeFile(
            dir, QStringLiteral("word.CON"), controlFileBytes(QStringLiteral("abc"), 2 * 9 + 4)));
        QCOMPARE(word.problem, P::Refused);
        QCOMPARE(word.refusal->channel, 2);
        QCOMPARE(word.refusal->row, int(ControlRow::SetTemperature));
        QCOMPARE(word.refusal->reason, InputRefusal::Reason::NotANumber);
        const ParameterFileLoad big = loadControlFile(writeFile(
            dir, QStringLiteral("big.CON"), controlFileBytes(QStringLiteral("70000"), 8 * 9 + 8)));
        QCOMPARE(big.problem, P::Refused);
        QCOMPARE(big.refusal->channel, 8);
        QCOMPARE(big.refusal->reason, InputRefusal::Reason::OutOfRange);

        // An .ALM list position that is no number.
        QByteArray alm;
        for (int c = 0; c < ChannelCount; ++c)
            alm += "100  10  -100  1\r\n";
        const ParameterFileLoad position =
            loadAlarmFile(writeFile(dir, QStringLiteral("pos.ALM"), alm + "x  3  6  0  1\r\n"));
        QCOMPARE(position.problem, P::BadPosition);
        QCOMPARE(position.index, 4 * ChannelCount);
        const ParameterFileLoad limit = loadAlarmFile(
            writeFile(dir, QStringLiteral("lim.ALM"), "40000" + alm.mid(3) + "1  3  6  0  1\r\n"));
        QCOMPARE(limit.problem, P::Refused);
        QCOMPARE(limit.refusal->field, InputRefusal::Field::UpperLimit);
        QCOMPARE(limit.refusal->channel, 0);
    }

    void reportsAModuleInFixedWords()
    {
        ModuleResult r = backedUpModule();
        r.id.id = "REREVE2060RIDU";
        r.id.major = 5;
        r.id.minor = 2;
        r.control = PartOutcome::Differs;
        r.alarm = PartOutcome::Stopped;
        r.firstDifference =
            BlockDifference{BlockDifference::File::Control, 3, int(ControlRow::CoefficientD1),
                            QStringLiteral("99"), QStringLiteral("22")};
        r.differences = 2;
        r.requests = 40;
        r.retries = 1;
        r.elapsedMs = 812;
        const QStringList row = reportRow(r, false);
        QCOMPARE(row.size(), reportTitles().size());
        QCOMPARE(row,
                 (QStringList{"5", "ASCII", "REREVE2060RIDU", "5.2", "2005", "不一致", "已停止",
                              "控制参数 通道3 系数D1", "99", "22", "2", "40", "1", "812"}));
        QCOMPARE(reportRow(r, true).at(1), QStringLiteral("TCP"));
        r.firstDifference = BlockDifference{BlockDifference::File::Alarm, 8, 1, "3", "0"};
        QCOMPARE(reportRow(r, false).at(7), QStringLiteral("报警参数 块8 串口输出"));
        // A module that never answered shows no identity.
        ModuleResult silent;
        silent.target = {7, false};
        silent.control = PartOutcome::NoAnswer;
        QCOMPARE(reportRow(silent, false).mid(2, 6), (QStringList{"", "", "", "无应答", "", ""}));
    }
};

QTEST_MAIN(BatchFilesTest)
#include "tst_batchfiles.moc"
