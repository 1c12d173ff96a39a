#pragma once
// The batch window ("工具 > 批量设置…"): many modules at once. The modules
// are those of the last scan or a station list typed in, each ticked or not,
// with its framing. "写入并校验" writes a .CON and/or an .ALM to every ticked
// module and reads each written block back; "读取备份" saves each module's
// blocks as <station>_<serial>.CON and .ALM in a folder; "比较" reads the
// blocks a file holds and compares; "停止" ends after the request on the line.
// The window runs a BatchJob on its own port; the line owner (the main
// window) lends the line when a batch starts and takes it back when it ends.
//
// Parameter files are read when an action starts, never before: a file edited
// since it was chosen is used as it is then. A file that cannot be used is
// refused with the reason, and nothing is sent.

#include "link/batchjob.h"
#include "ui/batch/batchline.h"
#include "ui/batch/batchwindowform.h"

#include <QStringList>
#include <QWidget>

#include <optional>

namespace krv {

class Asker;

class BatchWindow : public QWidget
{
    Q_OBJECT
public:
    BatchWindow(BatchJob &job, BatchLineOwner &owner, Asker &asker, QWidget *parent = nullptr);

    // Shows the window (raised); while no station list has been typed and
    // listed, the table shows the modules of the last scan.
    void open();

    // The modules: the last scan's, or the typed station list (refused with
    // a message when it is no list; the table is then left as it was).
    void onScannedClicked();
    void onListStationsClicked();
    void onTickAllClicked(bool on);
    // "选择…": the chooser through the Asker.
    void onChooseControlFileClicked();
    void onChooseAlarmFileClicked();
    void onChooseBackupFolderClicked();

    void onApplyClicked();
    void onBackupClicked();
    void onCompareClicked();
    void onStopClicked();
    void onExportClicked();

    // The table's modules, and those ticked, with the framing each row shows.
    QList<BatchTarget> listedTargets() const;
    QList<BatchTarget> tickedTargets() const;
    void showTargets(const QList<BatchTarget> &targets);

    // The results of the last batch, one per module in table order.
    const QList<ModuleResult> &results() const { return m_results; }
    bool running() const { return m_job.running(); }

protected:
    // Closing the window stops a running batch (the line goes back once its
    // request has ended).
    void closeEvent(QCloseEvent *event) override;

private:
    // Reads the files an action needs into a set; nothing (the reason told)
    // when a file cannot be used or none was chosen.
    std::optional<ParameterSet> loadSet(BatchAction action);
    // The folder for backups, checked; nothing (the reason told) when it
    // cannot be used. Asks once whether existing backups of these stations
    // are to be replaced.
    bool prepareBackupFolder(const QList<BatchTarget> &targets);
    void start(BatchAction action, const ParameterSet &set);
    void setRunning(bool on);

    void onStepped(const BatchStep &step);
    void onModuleFinished(const ModuleResult &result);
    void onFinished(bool stopped);
    void onPortFailed(const PortFailure &failure);

    // Writes a finished module's backups; false when the folder refused one.
    bool saveBackups(const ModuleResult &result, QStringList &notes);
    // Marks the modules sharing a serial number with the one just finished.
    void noteDuplicates(int row);
    void showResult(int row);

    BatchWindowForm ui;
    BatchJob &m_job;
    BatchLineOwner &m_owner;
    Asker &m_asker;

    bool m_typedList = false; // the table holds a typed list, not the scan's
    BatchAction m_action = BatchAction::Backup;
    bool m_modbusTcp = false;
    QString m_folder;
    bool m_replaceBackups = false;
    bool m_backupFailed = false;
    QString m_backupError; // why the folder refused a file
    QList<ModuleResult> m_results;
    QList<QStringList> m_notes;
    QList<bool> m_reported; // per row: its module has been reported
};

} // namespace krv
