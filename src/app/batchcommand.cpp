#include "app/batchcommand.h"

#include "text/csvwriter.h"
#include "text/legacytextfile.h"
#include "ui/batch/batchtext.h"
#include "ui/statustext.h"
#include "ui/systemreason.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QTimer>

namespace krv {

namespace {

using File = BlockDifference::File;

BatchAction actionOf(CommandLine::Command command)
{
    switch (command) {
    case CommandLine::Command::Backup:
        return BatchAction::Backup;
    case CommandLine::Command::Compare:
        return BatchAction::Compare;
    default:
        return BatchAction::Apply;
    }
}

// Why no file can be written into the folder (empty when one can): it must
// exist, be a folder and take a new file.
QString folderProblem(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return BatchCommandText::tr("文件夹%1不存在").arg(folder);
    if (!info.isDir())
        return BatchCommandText::tr("%1不是文件夹").arg(folder);
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".krv2060-XXXXXX")));
    if (!probe.open())
        return BatchCommandText::tr("文件夹%1无法写入：%2")
            .arg(folder, SystemReason::text(probe.errorString()));
    return QString();
}

QString reportProblem(const QString &path)
{
    if (QFileInfo(path).isDir())
        return BatchCommandText::tr("报告文件%1是文件夹").arg(path);
    const QString folder = QFileInfo(path).path();
    if (const QString problem = folderProblem(folder); !problem.isEmpty())
        return BatchCommandText::tr("报告文件%1无法写入：%2").arg(path, problem);
    return QString();
}

// The module's line at its end: "模块 5：完成", with the first difference.
QString moduleEnd(const ModuleResult &result)
{
    QString text = BatchText::verdict(result);
    if (result.firstDifference)
        text += BatchCommandText::tr("，") + BatchText::difference(*result.firstDifference);
    return BatchCommandText::tr("模块 %1：%2").arg(result.target.station).arg(text);
}

// The columns of the result table on standard output, from the report's:
// station, framing, device id, firmware, serial number, control, alarm, then
// the first difference (or the backup files) and the time taken.
constexpr int OutcomeColumns = 7;
constexpr int DifferenceColumn = 7;
constexpr int TimeColumn = 13;

} // namespace

LineChoice lineOf(const CommandLine &line)
{
    LineChoice choice;
    if (line.port)
        choice.address = *line.port;
    choice.rateText = QString::number(line.baud);
    choice.rateIndex = line.rateIndex;
    return choice;
}

BatchCommand::BatchCommand(const CommandLine &line, PortComponent &port, Console &console,
                           QObject *parent)
    : QObject(parent), m_line(line), m_console(console), m_job(port),
      m_action(actionOf(line.command)),
      m_modbusTcp(line.port && line.port->kind == LineAddress::Kind::Mbap)
{
    connect(&m_job, &BatchJob::stepped, this, [this](const BatchStep &step) {
        m_console.progress(QStringLiteral("[%1/%2] ").arg(step.done + 1).arg(step.total) +
                           BatchText::step(step));
    });
    connect(&m_job, &BatchJob::moduleFinished, this, &BatchCommand::onModuleFinished);
    connect(&m_job, &BatchJob::portFailed, this, [this](const PortFailure &failure) {
        m_lineFailed = true;
        m_console.message(StatusText::of(failure));
    });
    connect(&m_job, &BatchJob::finished, this, &BatchCommand::onFinished);
}

bool BatchCommand::prepare()
{
    QStringList problems;
    if (!m_line.controlFile.isEmpty()) {
        const ParameterFileLoad load = loadControlFile(m_line.controlFile);
        if (load.ok())
            m_set.control = load.control;
        else
            problems << BatchText::loadProblem(m_line.controlFile, load, File::Control);
    }
    if (!m_line.alarmFile.isEmpty()) {
        const ParameterFileLoad load = loadAlarmFile(m_line.alarmFile);
        if (load.ok())
            m_set.alarm = load.alarm;
        else
            problems << BatchText::loadProblem(m_line.alarmFile, load, File::Alarm);
    }
    m_set.systemBlock = m_line.systemBlock && m_set.alarm;
    if (m_action == BatchAction::Backup) {
        if (const QString problem = folderProblem(m_line.backupDir); !problem.isEmpty())
            problems << problem + BatchCommandText::tr("，没有发送。");
    }
    if (!m_line.reportFile.isEmpty()) {
        if (const QString problem = reportProblem(m_line.reportFile); !problem.isEmpty())
            problems << problem + BatchCommandText::tr("，没有发送。");
    }
    for (const QString &problem : std::as_const(problems))
        m_console.message(QStringLiteral("krv2060: ") + problem);
    return problems.isEmpty();
}

void BatchCommand::start()
{
    m_job.start(lineOf(m_line), m_line.stations, m_action, m_set);
}

void BatchCommand::interrupt()
{
    if (!m_job.running() || m_interrupted)
        return;
    m_interrupted = true;
    m_console.message(BatchCommandText::tr("收到 Ctrl-C：线路上的请求结束后停止。"));
    m_job.stop();
}

void BatchCommand::onModuleFinished(const ModuleResult &result)
{
    if (m_action == BatchAction::Backup && result.control == PartOutcome::Read &&
        result.alarm == PartOutcome::Read)
        saveBackup(result);
    if (m_saved.contains(result.target.station) && !m_saved[result.target.station].ok)
        m_console.message(BatchCommandText::tr("模块 %1：%2")
                              .arg(result.target.station)
                              .arg(BatchText::outcome(PartOutcome::Failed)));
    else
        m_console.message(moduleEnd(result));
}

QList<ModuleResult> BatchCommand::outcomes() const
{
    // A backup read whole but not saved has failed all the same.
    QList<ModuleResult> results = m_job.results();
    for (ModuleResult &result : results) {
        if (m_saved.contains(result.target.station) && !m_saved[result.target.station].ok)
            result.control = result.alarm = PartOutcome::Failed;
    }
    return results;
}

void BatchCommand::saveBackup(const ModuleResult &result)
{
    // Another module with the same serial number: its files have another
    // station in their names, so both are kept; the operator is told.
    QList<quint8> sameSerial;
    for (const ModuleResult &other : m_job.results())
        if (other.target.station != result.target.station && other.serialKnown &&
            other.serialNumber == result.serialNumber && m_saved.contains(other.target.station))
            sameSerial << other.target.station;
    if (!sameSerial.isEmpty())
        m_console.message(BatchCommandText::tr("模块 %1：%2")
                              .arg(result.target.station)
                              .arg(BatchText::duplicateSerial(sameSerial)));

    // A file already there is left as it is, and so is its partner: a pair
    // from two different readings would pass for one backup.
    Saved &saved = m_saved[result.target.station];
    const QDir folder(m_line.backupDir);
    const QList<BackupFile> files{controlBackup(result), alarmBackup(result)};
    QStringList kept;
    for (const BackupFile &file : files) {
        const QString path = folder.filePath(file.name);
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
            kept << BatchText::backupKept(path);
    }
    if (!kept.isEmpty()) {
        saved.note = kept.join(BatchCommandText::tr("；"));
        m_console.message(saved.note);
        return;
    }
    QStringList names;
    QStringList failures;
    for (const BackupFile &file : files) {
        const QString path = folder.filePath(file.name);
        QString error;
        if (saveLines(path, file.lines, &error)) {
            names << file.name;
            m_console.message(BatchText::backupSaved(path));
        } else {
            failures << BatchText::backupNotWritten(path, error);
            m_console.message(failures.last());
        }
    }
    saved.ok = failures.isEmpty();
    saved.note =
        saved.ok ? names.join(QStringLiteral(", ")) : failures.join(BatchCommandText::tr("；"));
}

QList<QStringList> BatchCommand::table() const
{
    const QStringList titles = BatchText::titles();
    QStringList head = titles.mid(0, OutcomeColumns);
    if (m_action == BatchAction::Backup)
        head << BatchCommandText::tr("备份文件");
    else
        head << titles[DifferenceColumn];
    head << titles[TimeColumn];
    QList<QStringList> rows{head};
    for (const ModuleResult &result : m_job.results()) {
        const QStringList cells = BatchText::resultRow(result, m_modbusTcp);
        QStringList row = cells.mid(0, OutcomeColumns);
        if (m_action == BatchAction::Backup)
            row << m_saved.value(result.target.station).note;
        else
            row << (result.firstDifference ? BatchText::difference(*result.firstDifference)
                                           : QString());
        row << cells[TimeColumn];
        rows << row;
    }
    return rows;
}

bool BatchCommand::writeReport()
{
    QSaveFile file(m_line.reportFile);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        CsvWriter csv(file);
        csv.writeRow(reportTitles());
        for (const ModuleResult &result : m_job.results())
            csv.writeRow(reportRow(result, m_modbusTcp));
        ok = csv.ok() && file.commit();
    }
    if (!ok)
        m_console.message(QStringLiteral("krv2060: ") +
                          BatchCommandText::tr("报告文件%1无法写入：%2")
                              .arg(m_line.reportFile, SystemReason::text(file.errorString())));
    return ok;
}

void BatchCommand::onFinished(bool stopped)
{
    m_console.endProgress();
    m_console.print(textTable(table()));
    const QList<ModuleResult> results = outcomes();
    m_console.message(BatchText::summary(results));
    bool done = !stopped && !m_lineFailed;
    for (const ModuleResult &result : results)
        done = done && result.succeeded();
    if (!m_line.reportFile.isEmpty())
        done = writeReport() && done;
    Q_EMIT finished(done ? ExitStatus::Done : ExitStatus::NotDone);
}

ScanCommand::ScanCommand(const CommandLine &line, PortComponent &port, Console &console,
                         QObject *parent)
    : QObject(parent), m_line(line), m_console(console),
      m_engine(m_state.moduleSlots, port, TransactionEngine::Config{}), m_reads(m_state, m_engine)
{
    m_engine.setDispatcher([this](const Request &request, const ReplyReader &reply) {
        m_reads.dispatch(request, reply);
    });
    // Before the scan's own: the identification is known when the scan
    // reports the module found.
    connect(&m_reads, &RegisterMap::deviceIdentified, this,
            [this](const DeviceId &id) { m_lastId = id; });
    m_scan = std::make_unique<ModuleScan>(m_state, m_engine, m_reads);
    const bool mbap = line.port && line.port->kind == LineAddress::Kind::Mbap;
    connect(m_scan.get(), &ModuleScan::stepped, this, [this, mbap](int address, Framing framing) {
        if (!m_console.errIsTerminal() || address == 0 || address > 255)
            return;
        m_console.progress(
            BatchCommandText::tr("扫描：站号 %1 %2")
                .arg(address)
                .arg(framingName({quint8(address), framing == Framing::Ascii}, mbap)));
    });
    connect(m_scan.get(), &ModuleScan::moduleFound, this, [this, mbap](const QString &, int slot) {
        ModuleResult found;
        found.target = {static_cast<quint8>(m_state.moduleSlots.stationAddress[slot] & 0xFF),
                        m_state.moduleSlots.ascii[slot]};
        found.answered = true;
        found.id = m_lastId;
        m_found << found;
        const QStringList cells = BatchText::resultRow(found, mbap);
        m_console.message(BatchCommandText::tr("找到模块：站号 %1 %2 %3 %4")
                              .arg(cells[0], cells[1], cells[2], cells[3]));
    });
    connect(m_scan.get(), &ModuleScan::finished, this, &ScanCommand::onFinished);
    connect(&m_engine, &TransactionEngine::portFailed, this, [this](const PortFailure &failure) {
        m_lineFailed = true;
        m_console.message(StatusText::of(failure));
        m_scan->stop();
    });
}

ScanCommand::~ScanCommand() = default;

void ScanCommand::start()
{
    m_scan->start(lineOf(m_line));
}

void ScanCommand::interrupt()
{
    if (!m_scan->running() || m_interrupted)
        return;
    m_interrupted = true;
    m_console.message(BatchCommandText::tr("收到 Ctrl-C：线路上的请求结束后停止。"));
    // No further address; the one asked may still answer.
    m_scan->tickTimer().stop();
    if (m_engine.outstanding())
        connect(&m_engine, &TransactionEngine::requestEnded, m_scan.get(), &ModuleScan::stop,
                Qt::SingleShotConnection);
    else
        m_scan->stop();
}

void ScanCommand::onFinished()
{
    m_engine.cancel();
    m_engine.port().close();
    m_console.endProgress();
    const bool mbap = m_line.port && m_line.port->kind == LineAddress::Kind::Mbap;
    const QStringList titles = BatchText::titles();
    QList<QStringList> rows{titles.mid(0, 4)};
    for (const ModuleResult &found : std::as_const(m_found))
        rows << BatchText::resultRow(found, mbap).mid(0, 4);
    m_console.print(textTable(rows));
    m_console.message(BatchCommandText::tr("找到的模块：%1").arg(m_found.size()));
    const bool done = !m_interrupted && !m_lineFailed && !m_found.isEmpty();
    Q_EMIT finished(done ? ExitStatus::Done : ExitStatus::NotDone);
}

int runLineCommand(const CommandLine &line)
{
    Console console = Console::standard();
    SystemPortComponent port;
    InterruptWatch interrupts;
    int status = ExitStatus::NotDone;
    const auto run = [&](auto &command) {
        QObject::connect(&interrupts, &InterruptWatch::interrupted, &command,
                         [&command] { command.interrupt(); });
        QObject::connect(&command, &std::remove_reference_t<decltype(command)>::finished,
                         [&status](int exitStatus) {
                             status = exitStatus;
                             QCoreApplication::exit(exitStatus);
                         });
        QTimer::singleShot(0, &command, [&command] { command.start(); });
        QCoreApplication::exec();
        return status;
    };
    if (line.command == CommandLine::Command::Scan) {
        ScanCommand scan(line, port, console);
        return run(scan);
    }
    BatchCommand batch(line, port, console);
    if (!batch.prepare())
        return ExitStatus::Usage;
    return run(batch);
}

} // namespace krv
