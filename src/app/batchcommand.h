#pragma once
// The commands that work on the line without a window: "apply", "backup" and
// "compare" run a batch job over the station list, "scan" lists the modules
// that answer. Progress and messages go to standard error, the result table
// to standard output; the exit status tells how it went:
//   0  every module verified, read and saved, or equal to the files (scan:
//      modules found);
//   1  a module failed, differed, did not answer or was stopped, a file was
//      not saved, or the line could not be used (scan: none found);
//   2  a usage error or a parameter file, folder or report file that cannot
//      be used: nothing was sent.

#include "app/batchconsole.h"
#include "app/commandline.h"
#include "link/batchfiles.h"
#include "link/batchjob.h"
#include "link/modulescan.h"
#include "link/registermap.h"
#include "link/sharedstate.h"
#include "link/transactionengine.h"

#include <QHash>
#include <QObject>

#include <memory>

namespace krv {

namespace ExitStatus {
constexpr int Done = 0;
constexpr int NotDone = 1;
constexpr int Usage = 2;
} // namespace ExitStatus

// The command line's port and speed as a line choice.
LineChoice lineOf(const CommandLine &line);

// apply, backup or compare.
class BatchCommand : public QObject
{
    Q_OBJECT
public:
    BatchCommand(const CommandLine &line, PortComponent &port, Console &console,
                 QObject *parent = nullptr);

    // Reads the parameter files and looks at the folder and the report file.
    // False, with the reason on the console, when one cannot be used:
    // nothing is sent then (exit status 2).
    bool prepare();
    // Starts the job (after prepare()).
    void start();
    // Ctrl-C: the job ends after the request on the line.
    void interrupt();
    BatchJob &job() { return m_job; }

Q_SIGNALS:
    void finished(int exitStatus);

private:
    // The backup files of a module whose blocks were all read.
    struct Saved
    {
        bool ok = false;
        QString note; // the names saved, or why they were not
    };

    void onModuleFinished(const ModuleResult &result);
    void saveBackup(const ModuleResult &result);
    void onFinished(bool stopped);
    // The job's results, a backup not saved counted as failed.
    QList<ModuleResult> outcomes() const;
    bool writeReport();
    QList<QStringList> table() const;

    CommandLine m_line;
    Console &m_console;
    BatchJob m_job;
    BatchAction m_action = BatchAction::Apply;
    ParameterSet m_set;
    bool m_modbusTcp = false;
    bool m_interrupted = false;
    bool m_lineFailed = false;
    QHash<int, Saved> m_saved; // by station
};

// scan: the identification request at every address, as the main window's
// "扫描模块" sends it, and the modules of the family that answered.
class ScanCommand : public QObject
{
    Q_OBJECT
public:
    ScanCommand(const CommandLine &line, PortComponent &port, Console &console,
                QObject *parent = nullptr);
    ~ScanCommand() override;

    void start();
    // Ctrl-C: the scan ends after the request on the line.
    void interrupt();
    ModuleScan &scan() { return *m_scan; }

Q_SIGNALS:
    void finished(int exitStatus);

private:
    void onFinished();

    CommandLine m_line;
    Console &m_console;
    SharedState m_state;
    TransactionEngine m_engine;
    RegisterMap m_reads;
    DeviceId m_lastId; // the identification decoded last
    std::unique_ptr<ModuleScan> m_scan;
    QList<ModuleResult> m_found;
    bool m_interrupted = false;
    bool m_lineFailed = false;
};

// Runs the command of the line on the system's port, with Ctrl-C watched, in
// the application's event loop; returns the exit status.
int runLineCommand(const CommandLine &line);

// The command's own words (the batch's outcomes, steps and file problems are
// BatchText's).
class BatchCommandText
{
    Q_DECLARE_TR_FUNCTIONS(krv::BatchCommandText)
};

} // namespace krv
