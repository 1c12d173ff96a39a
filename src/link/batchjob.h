#pragma once
// Many modules at once: apply a control and/or alarm parameter set to each
// target and verify it by reading every written block back; back the blocks
// up; or compare them with a set. The job has its own port component and
// transaction engine (the main window lends it the line as to an editor; the
// command line opens it directly), sends each request as soon as the previous
// one has ended (its reply and the framing's silence, or its time-out), tries
// a block whose write or read-back failed twice more, and goes on with the
// next module when one does not answer. stop() ends after the request on the
// line.
//
// No widgets and no files: the caller reads the parameter files into a
// ParameterSet and writes the backups from the results.

#include "link/linelender.h"
#include "link/transactionengine.h"
#include "module/alarmrecord.h"
#include "module/controlrecord.h"
#include "module/moduledata.h"
#include "module/moduleslots.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <optional>

namespace krv {

// A module to work on: its station address and framing (the framing does not
// apply on a Modbus TCP line).
struct BatchTarget
{
    quint8 station = 1;
    bool ascii = false;
    friend bool operator==(const BatchTarget &, const BatchTarget &) = default;
};

enum class BatchAction {
    Apply,   // write the set, read every written block back and compare
    Backup,  // read every block
    Compare, // read the blocks the set holds and compare; write nothing
};

// What to write or compare: the control blocks 0..8, the alarm blocks 0..7,
// and block 8 (the module control block) only when asked for separately
// (systemBlock), since it changes how the module is addressed.
struct ParameterSet
{
    std::optional<std::array<ControlRecord, BlockCount>> control;
    std::optional<std::array<AlarmRecord, BlockCount>> alarm; // [8]: the module control block
    bool systemBlock = false;
};

// The first place where a module and the set differ, as the editors show it.
struct BlockDifference
{
    enum class File { Control, Alarm };
    File file = File::Control;
    int block = 0; // channel 0..8 (alarm block 8: the module control block)
    // The row: a ControlRow; for an alarm channel 0 upper limit, 1 lower
    // limit, 2 relative alarm, 3 pre-alarm; for block 8 0 request output,
    // 1 serial output, 2 measured channels, 3 start mode, 4 addressing.
    int row = 0;
    QString fileValue;
    QString moduleValue;
};

// How a module's part of the job ended.
enum class PartOutcome {
    NotAsked,    // nothing of this kind in the job
    Verified,    // written and read back equal (Apply), or equal (Compare)
    Read,        // read whole (Backup)
    Differs,     // read back or compared unequal: see firstDifference
    Failed,      // a block's request failed three times
    NoAnswer,    // the module did not answer its identification
    Unsupported, // the station answered, but is not a module this tool serves
    Skipped,     // not begun: an earlier part of the module failed
    Stopped,     // cut short by stop() or a lost line (or never reached)
};

struct ModuleResult
{
    BatchTarget target;
    bool answered = false;    // the identification came
    DeviceId id;              // the module and its firmware
    bool serialKnown = false; // its system block was read
    quint16 serialNumber = 0;
    PartOutcome control = PartOutcome::NotAsked;
    PartOutcome alarm = PartOutcome::NotAsked;
    std::optional<BlockDifference> firstDifference;
    int differences = 0; // blocks read unequal to the set
    qint64 elapsedMs = 0;
    int requests = 0; // requests sent for this module, retries included
    int retries = 0;
    // The blocks as read (Backup: all of them once the part is Read).
    std::array<ControlRecord, BlockCount> controlRead{};
    std::array<AlarmRecord, BlockCount> alarmRead{};
    ModuleControl moduleControlRead;

    // Done, with every part it was asked for verified, read or equal.
    bool succeeded() const;
};

// Where the job is, for a progress bar.
struct BatchStep
{
    enum class Kind { Identify, SystemBlock, WriteBlock, ReadBack, ReadBlock };
    int module = 0; // index among the targets
    int moduleCount = 0;
    quint8 station = 0;
    Kind kind = Kind::Identify;
    BlockDifference::File file = BlockDifference::File::Control;
    int block = 0;
    int attempt = 1; // 1..3
    int done = 0;    // steps finished in the whole job, and
    int total = 0;   // the steps the job takes without retries
};

class BatchJob : public QObject
{
    Q_OBJECT
public:
    static constexpr int Attempts = 3; // a failed request is tried twice more

    explicit BatchJob(PortComponent &port, QObject *parent = nullptr);

    TransactionEngine &engine() { return m_engine; }

    // Starts on the line (the port is configured from it and opened by the
    // first request). An empty target list finishes at once.
    void start(const LineChoice &line, const QList<BatchTarget> &targets, BatchAction action,
               const ParameterSet &set);
    // Ends after the request on the line: the module in work and those not
    // reached are Stopped.
    void stop();
    bool running() const { return m_running; }
    const QList<ModuleResult> &results() const { return m_results; }

Q_SIGNALS:
    void stepped(const krv::BatchStep &step);
    void moduleFinished(const krv::ModuleResult &result);
    // The line could not be opened or went away: the job ends as stopped.
    void portFailed(const krv::PortFailure &failure);
    // All modules done, or stopped; the port is closed.
    void finished(bool stopped);

private:
    struct Step
    {
        BatchStep::Kind kind = BatchStep::Kind::Identify;
        BlockDifference::File file = BlockDifference::File::Control;
        int block = 0;
    };
    ModuleResult &current() { return m_results[m_module]; }
    PartOutcome &part(BlockDifference::File file);
    QList<Step> planFor(const ModuleResult &result) const;
    // Goes on with the next module, or ends the job after the last.
    void nextModule();
    // Sends the step in work once the line is free for it: after the
    // framing's silence and any late reply that could be taken for its reply.
    void sendWhenLineIsFree();
    void sendStep();
    void onReply(const Request &request, const ReplyReader &reply);
    void onRequestEnded(RequestEnd how);
    void onLineLost(const PortFailure &failure);
    // The step's reply came and fit: the next step.
    void stepDone();
    // The step failed its last attempt: its part fails, the rest is skipped.
    void stepFailed();
    void finishModule();
    void finishJob(bool stopped);
    Request requestFor(const Step &step) const;
    int silenceMs() const;
    void reportProgress();
    // Compares a block read with the set's, noting the first difference.
    void compareWithSet(const Step &step);

    PortComponent &m_port;
    ModuleSlots m_slots; // slot 0: the target in work
    TransactionEngine m_engine;
    QTimer m_gap; // the framing's silence, and any wait for a late reply
    LineChoice m_line;
    QList<BatchTarget> m_targets;
    BatchAction m_action = BatchAction::Backup;
    ParameterSet m_set;
    QList<ModuleResult> m_results;
    QList<Step> m_plan; // the module's steps still to do, the current one first
    int m_module = -1;
    int m_reported = -1; // the last module reported through moduleFinished
    int m_attempt = 1;
    bool m_stepAnswered = false; // the reply for the step in work came and fit
    bool m_running = false;
    bool m_stopRequested = false;
    int m_done = 0;
    int m_total = 0;
    QElapsedTimer m_moduleClock;
};

} // namespace krv

Q_DECLARE_METATYPE(krv::BatchStep)
Q_DECLARE_METATYPE(krv::ModuleResult)
