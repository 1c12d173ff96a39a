// The batch job against simulated modules on an in-memory line: applying and
// verifying parameter sets, backups, comparing, retries, modules that do not
// answer, stopping and a lost line.

#include "link/batchjob.h"
#include "module/replydecoding.h"
#include "moduleline.h"

#include <QSignalSpy>
#include <QTest>

using namespace krv;
using testsupport::ModuleLine;

namespace {

// 38400 baud: reply time-out 191 ms.
const LineChoice Line{LineAddress::com(1), QStringLiteral("38400"), 5};

ParameterSet sampleSet(bool control, bool alarm, bool systemBlock = false)
{
    ParameterSet set;
    if (control) {
        std::array<ControlRecord, BlockCount> blocks{};
        for (int c = 0; c < BlockCount; ++c)
            blocks[c].words = {qint16(c * 256 + 1), 0x0203, qint16(300 + c), 11, 22, 33, 44};
        set.control = blocks;
    }
    if (alarm) {
        std::array<AlarmRecord, BlockCount> blocks{};
        for (int c = 0; c < ChannelCount; ++c)
            blocks[c].values = {500 + c, -20 - c, 2 * 4096 + 15};
        blocks[AlarmBlock::ModuleControl].values = {0x0301, 1, 6};
        set.alarm = blocks;
    }
    set.systemBlock = systemBlock;
    return set;
}

// The first register a request body asks for, or -1 for a body too short to
// name one (the identification request is only station and function).
int requestStart(const QByteArray &body)
{
    return body.size() < 4 ? -1 : quint8(body[2]) << 8 | quint8(body[3]);
}

struct Batch
{
    ModuleLine line;
    BatchJob job{line};
    QSignalSpy finished{&job, &BatchJob::finished};
    QList<ModuleResult> reported;

    Batch()
    {
        QObject::connect(&job, &BatchJob::moduleFinished,
                         [this](const ModuleResult &r) { reported << r; });
    }
    bool run(const QList<BatchTarget> &targets, BatchAction action, const ParameterSet &set,
             int timeoutMs = 10000)
    {
        job.start(Line, targets, action, set);
        return finished.wait(timeoutMs) || !finished.isEmpty();
    }
    quint16 reg(int station, int address) { return *line.module(station).readHolding(address); }
    // Write requests (function 16) that started at `start`.
    int writesTo(quint16 start) const
    {
        int n = 0;
        for (const QByteArray &b : line.requests)
            n += quint8(b[1]) == Fn::WriteRegisters && (quint8(b[2]) << 8 | quint8(b[3])) == start;
        return n;
    }
};

} // namespace

class BatchJobTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void appliesAndVerifiesBothFilesOnEveryModuleInItsFraming()
    {
        Batch b;
        b.line.addModule(2);
        b.line.addModule(5, "ZEZADO2040ZOZE", 5, 2);
        QVERIFY(b.run({{2, false}, {5, true}}, BatchAction::Apply, sampleSet(true, true)));
        QCOMPARE(b.finished.first().first().toBool(), false);
        QCOMPARE(b.reported.size(), 2);
        for (const ModuleResult &r : b.reported) {
            QVERIFY2(r.succeeded(), qPrintable(QString::number(r.target.station)));
            QCOMPARE(r.control, PartOutcome::Verified);
            QCOMPARE(r.alarm, PartOutcome::Verified);
            QCOMPARE(r.serialNumber, quint16(2000 + r.target.station));
            QCOMPARE(r.retries, 0);
            // identification, system block, 9 + 9 control, 8 + 8 alarm
            QCOMPARE(r.requests, 36);
        }
        QCOMPARE(b.reported[1].id.text(), QStringLiteral("ZEZADO2040ZOZE  Version5.2"));
        // The module holds the set; the module control block was left alone.
        QCOMPARE(b.reg(5, controlBlockStart(8) + 2), quint16(308));
        QCOMPARE(b.reg(5, AlarmBlock::start(7) + 1), quint16(-27 & 0xFFFF));
        QCOMPARE(b.writesTo(AlarmBlock::start(AlarmBlock::ModuleControl)), 0);
        // An ASCII module was spoken to in ASCII.
        QVERIFY(std::any_of(b.line.sent().cbegin(), b.line.sent().cend(),
                            [](const QByteArray &f) { return f.startsWith(":05"); }));
    }

    void writesTheModuleControlBlockOnlyWhenAskedFor()
    {
        Batch b;
        b.line.addModule(3);
        QVERIFY(b.run({{3, false}}, BatchAction::Apply, sampleSet(false, true, true)));
        QVERIFY(b.reported.first().succeeded());
        QCOMPARE(b.reported.first().control, PartOutcome::NotAsked);
        QCOMPARE(b.writesTo(AlarmBlock::start(AlarmBlock::ModuleControl)), 1);
        QCOMPARE(b.reg(3, 0x01F8), quint16(0x0301));
        QCOMPARE(b.reg(3, 0x01FA), quint16(6));
    }

    void backsUpEveryBlockAsTheModuleHoldsIt()
    {
        Batch b;
        b.line.addModule(4);
        QVERIFY(b.run({{4, false}}, BatchAction::Apply, sampleSet(true, true, true)));
        b.reported.clear();
        b.finished.clear();
        b.line.requests.clear();
        QVERIFY(b.run({{4, false}}, BatchAction::Backup, {}));
        const ModuleResult &r = b.reported.first();
        QVERIFY(r.succeeded());
        QCOMPARE(r.control, PartOutcome::Read);
        QCOMPARE(r.alarm, PartOutcome::Read);
        QCOMPARE(b.line.countOf(Fn::WriteRegisters), 0);
        QCOMPARE(r.controlRead[6].words, sampleSet(true, false).control->at(6).words);
        QCOMPARE(r.alarmRead[2].values[1], -22);
        QCOMPARE(r.moduleControlRead.measuredChannels, qint16(6));
        QCOMPARE(r.moduleControlRead.serialOutputCount, qint16(3));
        QVERIFY(r.moduleControlRead.requestOutput);
    }

    void comparesWithoutWritingAndNamesTheFirstDifference()
    {
        Batch b;
        b.line.addModule(6);
        QVERIFY(b.run({{6, false}}, BatchAction::Apply, sampleSet(true, true)));
        // Someone changes channel 3's D1 and channel 5's lower limit on the module.
        ParameterSet changed = sampleSet(true, true);
        changed.control->at(3).words[ControlRecord::CoefficientD1] = 99;
        changed.alarm->at(5).values[1] = 7;
        b.reported.clear();
        b.finished.clear();
        b.line.requests.clear();
        QVERIFY(b.run({{6, false}}, BatchAction::Compare, changed));
        const ModuleResult &r = b.reported.first();
        QCOMPARE(b.line.countOf(Fn::WriteRegisters), 0);
        QVERIFY(!r.succeeded());
        QCOMPARE(r.control, PartOutcome::Differs);
        QCOMPARE(r.alarm, PartOutcome::Differs);
        QCOMPARE(r.differences, 2);
        QVERIFY(r.firstDifference);
        QCOMPARE(r.firstDifference->file, BlockDifference::File::Control);
        QCOMPARE(r.firstDifference->block, 3);
        QCOMPARE(r.firstDifference->row, int(ControlRow::CoefficientD1));
        QCOMPARE(r.firstDifference->fileValue, QStringLiteral("99"));
        QCOMPARE(r.firstDifference->moduleValue, QStringLiteral("22"));
    }

    void retriesAFailedBlockAndFailsTheModuleOnlyAfterThreeAttempts()
    {
        Batch b;
        b.line.addModule(2);
        b.line.addModule(3);
        // Station 2 loses the reply to its first write of control block 4;
        // station 3 never answers the write of control block 1.
        int lost = 0;
        b.line.replyDelay = [&](const QByteArray &body) {
            if (quint8(body[1]) != Fn::WriteRegisters)
                return 0;
            const int start = requestStart(body);
            if (body[0] == 2 && start == controlBlockStart(4) && lost++ == 0)
                return -1;
            if (body[0] == 3 && start == controlBlockStart(1))
                return -1;
            return 0;
        };
        QVERIFY(b.run({{2, false}, {3, false}}, BatchAction::Apply, sampleSet(true, true)));
        QCOMPARE(b.reported[0].control, PartOutcome::Verified);
        QCOMPARE(b.reported[0].retries, 1);
        QVERIFY(b.reported[0].succeeded());
        QCOMPARE(b.reported[1].control, PartOutcome::Failed);
        QCOMPARE(b.reported[1].alarm, PartOutcome::Skipped);
        QCOMPARE(b.reported[1].retries, 2);
        QCOMPARE(b.writesTo(controlBlockStart(1)), 3 + 1); // station 3's three, station 2's one
        QVERIFY(!b.reported[1].succeeded());
    }

    void goesOnAfterAModuleThatDoesNotAnswerOrIsNoneOfTheFamily()
    {
        Batch b;
        b.line.addModule(9, "SOMETHINGELSE1");
        b.line.addModule(12);
        QVERIFY(b.run({{7, false}, {9, false}, {12, false}}, BatchAction::Apply,
                      sampleSet(true, false)));
        QCOMPARE(b.reported.size(), 3);
        QVERIFY(!b.reported[0].answered);
        QCOMPARE(b.reported[0].control, PartOutcome::NoAnswer);
        QCOMPARE(b.reported[0].requests, BatchJob::Attempts);
        QCOMPARE(b.reported[1].control, PartOutcome::Unsupported);
        QCOMPARE(b.reported[2].control, PartOutcome::Verified);
        // Nothing was written to the stranger.
        for (const QByteArray &body : b.line.requests)
            QVERIFY(!(body[0] == 9 && quint8(body[1]) == Fn::WriteRegisters));
    }

    void aLateReplyIsNeverTakenForTheRetrysReply()
    {
        Batch b;
        b.line.addModule(2);
        // The first read-back of control block 2 answers after 250 ms (time-out
        // 191 ms): the retry of the same read must not be answered by it, and
        // the block after it neither.
        int reads = 0;
        b.line.replyDelay = [&](const QByteArray &body) {
            const int start = requestStart(body);
            if (quint8(body[1]) == Fn::ReadHolding && start == controlBlockStart(2) && reads++ == 0)
                return 250;
            return 0;
        };
        ParameterSet set = sampleSet(true, false);
        QVERIFY(b.run({{2, false}}, BatchAction::Apply, set));
        const ModuleResult &r = b.reported.first();
        QCOMPARE(r.control, PartOutcome::Verified);
        QCOMPARE(r.retries, 1);
        QCOMPARE(r.controlRead[2].words, set.control->at(2).words);
        QCOMPARE(r.controlRead[3].words, set.control->at(3).words);
    }

    void stopEndsAfterTheRequestOnTheLineAndReportsWhatWasCutShort()
    {
        Batch b;
        b.line.addModule(2);
        b.line.addModule(3);
        // "停止" while the first read-back is on the line.
        bool runningAfterStop = false;
        b.line.replyDelay = [&](const QByteArray &body) {
            const int start = requestStart(body);
            if (quint8(body[1]) == Fn::ReadHolding && start == controlBlockStart(0)) {
                b.job.stop();
                runningAfterStop = b.job.running();
                return 20;
            }
            return 0;
        };
        QVERIFY(b.run({{2, false}, {3, false}}, BatchAction::Apply, sampleSet(true, true)));
        QVERIFY(runningAfterStop); // it waited for the reply on its way
        QCOMPARE(b.finished.first().first().toBool(), true);
        QCOMPARE(b.reported.size(), 2);
        QCOMPARE(b.reported[0].control, PartOutcome::Stopped);
        QCOMPARE(b.reported[0].alarm, PartOutcome::Stopped);
        QCOMPARE(b.reported[1].control, PartOutcome::Stopped);
        QVERIFY(!b.reported[0].succeeded() && !b.reported[1].succeeded());
        // The read-back that was on the line was the last request, and its
        // reply was still taken.
        QCOMPARE(b.line.requests.last(), controlReadRequest(2, 0).body);
        QCOMPARE(b.reported[0].controlRead[0].words, sampleSet(true, false).control->at(0).words);
        QVERIFY(std::none_of(b.line.requests.cbegin(), b.line.requests.cend(),
                             [](const QByteArray &body) { return body[0] == 3; }));
        QVERIFY(!b.line.isOpen());
    }

    void stopWhenAModuleIsReportedReportsEachModuleOnce()
    {
        Batch b;
        b.line.addModule(2);
        b.line.addModule(3);
        QObject::connect(&b.job, &BatchJob::moduleFinished, &b.job, [&] { b.job.stop(); });
        QVERIFY(b.run({{2, false}, {3, false}, {4, false}}, BatchAction::Backup, {}));
        QCOMPARE(b.reported.size(), 3);
        QCOMPARE(b.reported[0].control, PartOutcome::Read);
        QCOMPARE(b.reported[1].target.station, quint8(3));
        QCOMPARE(b.reported[1].control, PartOutcome::Stopped);
        QCOMPARE(b.reported[2].target.station, quint8(4));
    }

    void aLineThatCannotBeOpenedEndsTheJobWithItsReason()
    {
        Batch b;
        b.line.addModule(2);
        b.line.failOpen(QStringLiteral("Permission denied"));
        QSignalSpy failed(&b.job, &BatchJob::portFailed);
        QVERIFY(b.run({{2, false}}, BatchAction::Backup, {}));
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.first().first().value<PortFailure>().reason,
                 QStringLiteral("Permission denied"));
        QCOMPARE(b.finished.first().first().toBool(), true);
        QCOMPARE(b.reported.first().control, PartOutcome::Stopped);
        QVERIFY(b.line.requests.isEmpty());
    }

    void anEmptyJobFinishesAtOnce()
    {
        Batch b;
        b.job.start(Line, {}, BatchAction::Backup, {});
        QCOMPARE(b.finished.size(), 1);
        QVERIFY(!b.job.running());
    }
};

QTEST_MAIN(BatchJobTest)
#include "tst_batchjob.moc"
