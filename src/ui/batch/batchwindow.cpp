#include "batchwindow.h"

#include "link/batchfiles.h"
#include "text/csvwriter.h"
#include "text/legacytextfile.h"
#include "ui/asker.h"
#include "ui/batch/batchtext.h"
#include "ui/monitor/exportfile.h"
#include "ui/statustext.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

#include <utility>

namespace krv {

namespace {

// The result table's columns (BatchText::titles()) and the note after them.
constexpr int ControlColumn = 5;
constexpr int AlarmColumn = 6;
constexpr int PlaceColumn = 7;
constexpr int NoteColumn = 14;

const QStringList Framings = {QStringLiteral("RTU"), QStringLiteral("ASCII")};

// An outcome that needs the operator's eye: red for a fault, brown for work
// not done.
QColor outcomeColor(PartOutcome outcome)
{
    switch (outcome) {
    case PartOutcome::Differs:
    case PartOutcome::Failed:
    case PartOutcome::NoAnswer:
    case PartOutcome::Unsupported:
        return QColor(0xB0, 0x00, 0x00);
    case PartOutcome::Stopped:
    case PartOutcome::Skipped:
        return QColor(0x99, 0x66, 0x00);
    default:
        return QColor();
    }
}

QTableWidgetItem *cell(QTableWidget *table, int row, int column)
{
    QTableWidgetItem *item = table->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        table->setItem(row, column, item);
    }
    return item;
}

// Where an existing file is looked for: the folder a box names, if any.
QString folderOf(const QString &path)
{
    return path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
}

} // namespace

BatchWindow::BatchWindow(BatchJob &job, BatchLineOwner &owner, Asker &asker, QWidget *parent)
    : QWidget(parent), m_job(job), m_owner(owner), m_asker(asker)
{
    ui.setupUi(this);
    connect(ui.scannedButton, &QPushButton::clicked, this, &BatchWindow::onScannedClicked);
    connect(ui.listStationsButton, &QPushButton::clicked, this,
            &BatchWindow::onListStationsClicked);
    connect(ui.stationsBox, &QLineEdit::returnPressed, this, &BatchWindow::onListStationsClicked);
    connect(ui.tickAllButton, &QPushButton::clicked, this, [this] { onTickAllClicked(true); });
    connect(ui.tickNoneButton, &QPushButton::clicked, this, [this] { onTickAllClicked(false); });
    connect(ui.controlFileButton, &QPushButton::clicked, this,
            &BatchWindow::onChooseControlFileClicked);
    connect(ui.alarmFileButton, &QPushButton::clicked, this,
            &BatchWindow::onChooseAlarmFileClicked);
    connect(ui.backupFolderButton, &QPushButton::clicked, this,
            &BatchWindow::onChooseBackupFolderClicked);
    connect(ui.applyButton, &QPushButton::clicked, this, &BatchWindow::onApplyClicked);
    connect(ui.backupButton, &QPushButton::clicked, this, &BatchWindow::onBackupClicked);
    connect(ui.compareButton, &QPushButton::clicked, this, &BatchWindow::onCompareClicked);
    connect(ui.stopButton, &QPushButton::clicked, this, &BatchWindow::onStopClicked);
    connect(ui.exportButton, &QPushButton::clicked, this, &BatchWindow::onExportClicked);

    connect(&m_job, &BatchJob::stepped, this, &BatchWindow::onStepped);
    connect(&m_job, &BatchJob::moduleFinished, this, &BatchWindow::onModuleFinished);
    connect(&m_job, &BatchJob::finished, this, &BatchWindow::onFinished);
    connect(&m_job, &BatchJob::portFailed, this, &BatchWindow::onPortFailed);
    setRunning(false);
}

void BatchWindow::open()
{
    if (!m_typedList && !m_job.running())
        showTargets(m_owner.scannedModules());
    show();
    raise();
    activateWindow();
}

// ---- The modules --------------------------------------------------------------

void BatchWindow::showTargets(const QList<BatchTarget> &targets)
{
    QTableWidget *table = ui.targetTable;
    table->setRowCount(0);
    table->setRowCount(static_cast<int>(targets.size()));
    for (int row = 0; row < targets.size(); ++row) {
        auto *station = new QTableWidgetItem(QString::number(targets[row].station));
        station->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        station->setCheckState(Qt::Checked);
        table->setItem(row, BatchWindowForm::StationColumn, station);
        auto *framing = new QComboBox;
        framing->setObjectName(QStringLiteral("framing%1").arg(row));
        framing->addItems(Framings);
        framing->setCurrentIndex(targets[row].ascii ? 1 : 0);
        table->setCellWidget(row, BatchWindowForm::FramingColumn, framing);
    }
}

QList<BatchTarget> BatchWindow::listedTargets() const
{
    QList<BatchTarget> targets;
    const QTableWidget *table = ui.targetTable;
    for (int row = 0; row < table->rowCount(); ++row) {
        const auto *framing =
            qobject_cast<const QComboBox *>(table->cellWidget(row, BatchWindowForm::FramingColumn));
        targets.append(
            {static_cast<quint8>(table->item(row, BatchWindowForm::StationColumn)->text().toUInt()),
             framing && framing->currentIndex() == 1});
    }
    return targets;
}

QList<BatchTarget> BatchWindow::tickedTargets() const
{
    const QList<BatchTarget> listed = listedTargets();
    QList<BatchTarget> ticked;
    for (int row = 0; row < listed.size(); ++row) {
        if (ui.targetTable->item(row, BatchWindowForm::StationColumn)->checkState() == Qt::Checked)
            ticked.append(listed[row]);
    }
    return ticked;
}

void BatchWindow::onScannedClicked()
{
    const QList<BatchTarget> scanned = m_owner.scannedModules();
    m_typedList = false;
    showTargets(scanned);
    if (scanned.isEmpty())
        m_asker.inform(
            this, programTitle(),
            tr("上次扫描没有找到模块：请先在主窗口按“扫描模块”，或输入站号后按“列出”。"));
}

void BatchWindow::onListStationsClicked()
{
    const QString text = ui.stationsBox->text();
    const StationList list = parseStationList(text);
    if (!list.ok()) {
        m_asker.inform(this, programTitle(),
                       tr("站号“%1”无法使用：%2。").arg(text, BatchText::stationListFault(list)));
        return;
    }
    m_typedList = true;
    showTargets(list.targets);
}

void BatchWindow::onTickAllClicked(bool on)
{
    for (int row = 0; row < ui.targetTable->rowCount(); ++row)
        ui.targetTable->item(row, BatchWindowForm::StationColumn)
            ->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

// ---- Files ------------------------------------------------------------------

void BatchWindow::onChooseControlFileClicked()
{
    if (const auto path =
            m_asker.askOpenFile(this, tr("选择控制参数文件"), folderOf(ui.controlFileBox->text()),
                                tr("控制参数文件 (*.CON *.con)")))
        ui.controlFileBox->setText(QDir::toNativeSeparators(*path));
}

void BatchWindow::onChooseAlarmFileClicked()
{
    if (const auto path =
            m_asker.askOpenFile(this, tr("选择报警参数文件"), folderOf(ui.alarmFileBox->text()),
                                tr("报警参数文件 (*.ALM *.alm)")))
        ui.alarmFileBox->setText(QDir::toNativeSeparators(*path));
}

void BatchWindow::onChooseBackupFolderClicked()
{
    if (const auto path =
            m_asker.askFolder(this, tr("选择备份文件夹"), ui.backupFolderBox->text().trimmed()))
        ui.backupFolderBox->setText(QDir::toNativeSeparators(*path));
}

std::optional<ParameterSet> BatchWindow::loadSet(BatchAction action)
{
    ParameterSet set;
    if (action == BatchAction::Backup)
        return set;
    const QString controlPath = QDir::fromNativeSeparators(ui.controlFileBox->text().trimmed());
    const QString alarmPath = QDir::fromNativeSeparators(ui.alarmFileBox->text().trimmed());
    if (controlPath.isEmpty() && alarmPath.isEmpty()) {
        m_asker.inform(this, programTitle(), tr("请先选择控制参数文件或报警参数文件。"));
        return std::nullopt;
    }
    if (!controlPath.isEmpty()) {
        const ParameterFileLoad load = loadControlFile(controlPath);
        if (!load.ok()) {
            m_asker.inform(this, programTitle(),
                           BatchText::loadProblem(QDir::toNativeSeparators(controlPath), load,
                                                  BlockDifference::File::Control));
            return std::nullopt;
        }
        set.control = load.control;
    }
    if (!alarmPath.isEmpty()) {
        const ParameterFileLoad load = loadAlarmFile(alarmPath);
        if (!load.ok()) {
            m_asker.inform(this, programTitle(),
                           BatchText::loadProblem(QDir::toNativeSeparators(alarmPath), load,
                                                  BlockDifference::File::Alarm));
            return std::nullopt;
        }
        set.alarm = load.alarm;
        set.systemBlock = ui.systemBlockBox->isChecked();
    }
    return set;
}

bool BatchWindow::prepareBackupFolder(const QList<BatchTarget> &targets)
{
    const QString typed = ui.backupFolderBox->text().trimmed();
    if (typed.isEmpty()) {
        m_asker.inform(this, programTitle(), tr("请先选择备份文件夹。"));
        return false;
    }
    const QFileInfo folder(QDir::fromNativeSeparators(typed));
    if (!folder.isDir()) {
        m_asker.inform(this, programTitle(), tr("文件夹%1不存在，没有开始备份。").arg(typed));
        return false;
    }
    m_folder = folder.absoluteFilePath();
    // The names hold the serial number, known only once a module has
    // answered: any backup of these stations counts as existing. Asked once
    // for the whole batch; a file that turns up later is never replaced.
    QStringList patterns;
    for (const BatchTarget &t : targets)
        patterns << QStringLiteral("%1_*.CON").arg(t.station)
                 << QStringLiteral("%1_*.ALM").arg(t.station);
    const QStringList existing = QDir(m_folder).entryList(patterns, QDir::Files, QDir::Name);
    m_replaceBackups = false;
    if (!existing.isEmpty()) {
        QStringList shown = existing.mid(0, 3);
        if (existing.size() > 3)
            shown << QStringLiteral("…");
        m_replaceBackups = m_asker.confirm(
            this, programTitle(),
            tr("文件夹%1中已有这些站号的备份文件%2个（%3）。\n"
               "按“确定”替换它们；按“取消”保留已有的文件，不保存这些备份，并在结果中注明。")
                .arg(typed)
                .arg(existing.size())
                .arg(shown.join(QStringLiteral("、"))));
    }
    return true;
}

// ---- Actions ------------------------------------------------------------------

void BatchWindow::onApplyClicked()
{
    const QList<BatchTarget> targets = tickedTargets();
    if (targets.isEmpty()) {
        m_asker.inform(this, programTitle(), tr("没有勾选的模块。"));
        return;
    }
    const auto set = loadSet(BatchAction::Apply);
    if (!set)
        return;
    QStringList files;
    if (set->control)
        files << QFileInfo(ui.controlFileBox->text().trimmed()).fileName();
    if (set->alarm)
        files << QFileInfo(ui.alarmFileBox->text().trimmed()).fileName();
    QString question = tr("将%1写入%2个模块（站号%3），并读回校验吗？")
                           .arg(files.join(QStringLiteral("、")))
                           .arg(targets.size())
                           .arg(stationListText(targets));
    if (set->alarm && set->systemBlock)
        question += QLatin1Char('\n') + tr("系统块（块8）也写入：它改变模块的寻址方式。");
    if (!m_asker.confirm(this, programTitle(), question))
        return;
    start(BatchAction::Apply, *set);
}

void BatchWindow::onBackupClicked()
{
    const QList<BatchTarget> targets = tickedTargets();
    if (targets.isEmpty()) {
        m_asker.inform(this, programTitle(), tr("没有勾选的模块。"));
        return;
    }
    if (!prepareBackupFolder(targets))
        return;
    start(BatchAction::Backup, ParameterSet{});
}

void BatchWindow::onCompareClicked()
{
    if (tickedTargets().isEmpty()) {
        m_asker.inform(this, programTitle(), tr("没有勾选的模块。"));
        return;
    }
    if (const auto set = loadSet(BatchAction::Compare))
        start(BatchAction::Compare, *set);
}

void BatchWindow::start(BatchAction action, const ParameterSet &set)
{
    const QList<BatchTarget> targets = tickedTargets();
    const auto line = m_owner.lendLineForBatch();
    if (!line)
        return;
    m_action = action;
    m_modbusTcp = line->address.kind == LineAddress::Kind::Mbap;
    m_backupFailed = false;
    m_results.clear();
    m_notes.clear();
    for (const BatchTarget &target : targets) {
        ModuleResult result;
        result.target = target;
        m_results.append(result);
        m_notes.append(QStringList());
    }
    m_reported = QList<bool>(targets.size(), false);
    ui.resultTable->setRowCount(0);
    ui.resultTable->setRowCount(static_cast<int>(targets.size()));
    for (int row = 0; row < targets.size(); ++row)
        showResult(row);
    ui.progress->setRange(0, 1);
    ui.progress->setValue(0);
    ui.progress->setFormat(BatchText::action(action));
    setRunning(true);
    m_job.start(*line, targets, action, set);
}

void BatchWindow::onStopClicked()
{
    if (!m_job.running())
        return;
    ui.stopButton->setEnabled(false);
    ui.progress->setFormat(tr("正在停止：等待线路上的请求结束…"));
    m_job.stop();
}

void BatchWindow::setRunning(bool on)
{
    for (QWidget *w : std::initializer_list<QWidget *>{
             ui.scannedButton, ui.stationsBox, ui.listStationsButton, ui.tickAllButton,
             ui.tickNoneButton, ui.targetTable, ui.controlFileBox, ui.controlFileButton,
             ui.alarmFileBox, ui.alarmFileButton, ui.systemBlockBox, ui.backupFolderBox,
             ui.backupFolderButton, ui.applyButton, ui.backupButton, ui.compareButton})
        w->setEnabled(!on);
    ui.stopButton->setEnabled(on);
    ui.exportButton->setEnabled(!on && !m_results.isEmpty());
}

// ---- The job's progress ---------------------------------------------------------

void BatchWindow::onStepped(const BatchStep &step)
{
    ui.progress->setRange(0, qMax(1, step.total));
    ui.progress->setValue(qMin(step.done, step.total));
    if (ui.stopButton->isEnabled())
        ui.progress->setFormat(BatchText::step(step));
}

void BatchWindow::onModuleFinished(const ModuleResult &result)
{
    // The row of the first module of this target not yet reported; a module
    // reported again (as it ended) takes its row again.
    int row = -1;
    for (int i = 0; i < m_results.size() && row < 0; ++i)
        if (!m_reported[i] && m_results[i].target == result.target)
            row = i;
    for (int i = static_cast<int>(m_results.size()) - 1; i >= 0 && row < 0; --i)
        if (m_reported[i] && m_results[i].target == result.target)
            row = i;
    if (row < 0)
        return;
    const bool again = std::exchange(m_reported[row], true);
    m_results[row] = result;
    if (m_action == BatchAction::Backup && !again && !m_backupFailed &&
        !saveBackups(result, m_notes[row])) {
        // The folder refuses files: the modules still to come would be read
        // for nothing. Stopped once this report is through.
        m_backupFailed = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_job.running())
                    m_job.stop();
            },
            Qt::QueuedConnection);
    }
    noteDuplicates(row);
    showResult(row);
}

bool BatchWindow::saveBackups(const ModuleResult &result, QStringList &notes)
{
    // A part is saved only when it was read whole.
    const struct
    {
        PartOutcome outcome;
        BackupFile (*file)(const ModuleResult &);
    } parts[] = {{result.control, controlBackup}, {result.alarm, alarmBackup}};
    for (const auto &part : parts) {
        if (part.outcome != PartOutcome::Read)
            continue;
        const BackupFile backup = part.file(result);
        const QString path = QDir(m_folder).filePath(backup.name);
        if (QFileInfo::exists(path) && !m_replaceBackups) {
            notes << BatchText::backupKept(backup.name);
            continue;
        }
        QString error;
        if (!saveLines(path, backup.lines, &error)) {
            m_backupError = BatchText::backupNotWritten(QDir::toNativeSeparators(path), error);
            notes << m_backupError;
            return false;
        }
        notes << BatchText::backupSaved(backup.name);
    }
    return true;
}

void BatchWindow::noteDuplicates(int row)
{
    const ModuleResult &finished = m_results[row];
    if (!finished.serialKnown)
        return;
    for (int other = 0; other < m_results.size(); ++other) {
        if (other != row && m_reported[other] && m_results[other].serialKnown &&
            m_results[other].serialNumber == finished.serialNumber)
            showResult(other);
    }
}

void BatchWindow::showResult(int row)
{
    QTableWidget *table = ui.resultTable;
    const ModuleResult &result = m_results[row];
    if (!m_reported[row]) {
        // Not reached yet: the station and its framing only.
        const QStringList first = {QString::number(result.target.station),
                                   framingName(result.target, m_modbusTcp)};
        for (int column = 0; column < table->columnCount(); ++column)
            cell(table, row, column)->setText(first.value(column));
        return;
    }
    QStringList texts = BatchText::resultRow(result, m_modbusTcp);
    QStringList notes = m_notes[row];
    if (result.serialKnown) {
        QList<quint8> same;
        for (int other = 0; other < m_results.size(); ++other) {
            if (other != row && m_reported[other] && m_results[other].serialKnown &&
                m_results[other].serialNumber == result.serialNumber)
                same << m_results[other].target.station;
        }
        if (!same.isEmpty())
            notes.prepend(BatchText::duplicateSerial(same));
    }
    texts << notes.join(tr("；"));
    for (int column = 0; column < texts.size() && column < table->columnCount(); ++column)
        cell(table, row, column)->setText(texts[column]);
    cell(table, row, ControlColumn)->setForeground(outcomeColor(result.control));
    cell(table, row, AlarmColumn)->setForeground(outcomeColor(result.alarm));
    cell(table, row, PlaceColumn)
        ->setToolTip(result.firstDifference ? BatchText::difference(*result.firstDifference)
                                            : QString());
    cell(table, row, NoteColumn)->setToolTip(notes.join(QLatin1Char('\n')));
}

void BatchWindow::onFinished(bool stopped)
{
    setRunning(false);
    ui.progress->setRange(0, 1);
    ui.progress->setValue(1);
    ui.progress->setFormat(
        (stopped ? tr("已停止。%1") : tr("已完成。%1")).arg(BatchText::summary(m_results)));
    ui.resultTable->resizeColumnsToContents();
    m_owner.takeBackLineFromBatch();
    if (m_backupFailed)
        m_asker.inform(this, programTitle(), tr("备份没有完成：%1").arg(m_backupError));
}

void BatchWindow::onPortFailed(const PortFailure &failure)
{
    m_asker.warn(this, programTitle(), StatusText::of(failure));
}

void BatchWindow::onExportClicked()
{
    if (m_results.isEmpty())
        return;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    exportToFile(this, m_asker,
                 {tr("导出CSV"), QStringLiteral("batch-%1.csv").arg(stamp), tr("CSV 文件 (*.csv)")},
                 [this](QIODevice &out) {
                     CsvWriter csv(out);
                     csv.writeRow(reportTitles());
                     for (const ModuleResult &result : m_results)
                         csv.writeRow(reportRow(result, m_modbusTcp));
                     return csv.ok();
                 });
}

void BatchWindow::closeEvent(QCloseEvent *event)
{
    // The line goes back when the job has ended (onFinished).
    if (m_job.running())
        m_job.stop();
    QWidget::closeEvent(event);
}

} // namespace krv
