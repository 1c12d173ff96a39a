#include "link/batchjob.h"

#include "link/linetiming.h"
#include "module/modulecontrol.h"
#include "module/registerimage.h"
#include "module/replydecoding.h"
#include "text/numbertext.h"

#include <QtMath>

namespace krv {

namespace {

using File = BlockDifference::File;

int version(const DeviceId &id)
{
    return id.major * 10 + id.minor;
}

QString number(qint64 value)
{
    return QString::number(value);
}

// Where two control records first differ, as the editor's rows show them.
std::optional<BlockDifference> controlDifference(int block, const ControlRecord &wanted,
                                                 const ControlRecord &read)
{
    if (wanted.words == read.words)
        return std::nullopt;
    const ControlTexts wantedTexts = recordToTexts(wanted);
    const ControlTexts readTexts = recordToTexts(read);
    for (int row = 0; row < ControlRowCount; ++row) {
        if (wantedTexts[row] != readTexts[row])
            return BlockDifference{File::Control, block, row, wantedTexts[row], readTexts[row]};
    }
    // Words that show alike (a start order of 0xFF05 shows 0): name the word.
    for (int k = 0; k < ControlRegisterCount; ++k) {
        if (wanted.words[k] != read.words[k]) {
            const int row = k == ControlRecord::OrderAndInput    ? int(ControlRow::StartOrder)
                            : k == ControlRecord::PhaseAndSample ? int(ControlRow::PhaseOffset)
                                                                 : k + 2;
            return BlockDifference{File::Control, block, row, number(wanted.words[k]),
                                   number(read.words[k])};
        }
    }
    return std::nullopt;
}

quint16 registerWord(qint32 value)
{
    return static_cast<quint16>(value & 0xFFFF);
}

// Where two alarm channel records first differ: upper limit, lower limit,
// relative alarm, pre-alarm.
std::optional<BlockDifference> alarmDifference(int block, const AlarmRecord &wanted,
                                               const AlarmRecord &read)
{
    bool same = true;
    for (int k = 0; k < AlarmBlock::Registers; ++k)
        same = same && registerWord(wanted.values[k]) == registerWord(read.values[k]);
    if (same)
        return std::nullopt;
    const AlarmChannelTexts w = recordToChannel(wanted);
    const AlarmChannelTexts r = recordToChannel(read);
    const std::array<std::pair<QString, QString>, 4> rows{{{w.upperLimit, r.upperLimit},
                                                           {w.lowerLimit, r.lowerLimit},
                                                           {w.relativeAlarm, r.relativeAlarm},
                                                           {w.preAlarm, r.preAlarm}}};
    for (int row = 0; row < int(rows.size()); ++row) {
        if (rows[row].first != rows[row].second)
            return BlockDifference{File::Alarm, block, row, rows[row].first, rows[row].second};
    }
    // A limit written as 65535 reads back as -1: the same register.
    return std::nullopt;
}

// Where two module control blocks first differ in what they mean for a
// module of this firmware: bits the module does not use are not compared.
std::optional<BlockDifference> moduleControlDifference(const AlarmRecord &wanted,
                                                       const ModuleControl &read, int version)
{
    const auto w = decodeModuleControl(packRegisters(wanted.values), version);
    if (!w)
        return std::nullopt;
    const std::array<std::pair<qint64, qint64>, 5> rows{{
        {w->requestOutput, read.requestOutput},
        {w->serialOutputCount, read.serialOutputCount},
        {w->measuredChannels, read.measuredChannels},
        {w->startMode, read.startMode},
        {w->continuousAddressing ? 1 : 0, read.continuousAddressing ? 1 : 0},
    }};
    for (int row = 0; row < int(rows.size()); ++row) {
        if (rows[row].first != rows[row].second)
            return BlockDifference{File::Alarm, AlarmBlock::ModuleControl, row,
                                   number(rows[row].first), number(rows[row].second)};
    }
    return std::nullopt;
}

bool isBlockStep(BatchStep::Kind kind)
{
    return kind == BatchStep::Kind::WriteBlock || kind == BatchStep::Kind::ReadBack ||
           kind == BatchStep::Kind::ReadBlock;
}

} // namespace

bool ModuleResult::succeeded() const
{
    if (!answered)
        return false;
    const auto fine = [](PartOutcome p) {
        return p == PartOutcome::NotAsked || p == PartOutcome::Verified || p == PartOutcome::Read;
    };
    return fine(control) && fine(alarm);
}

BatchJob::BatchJob(PortComponent &port, QObject *parent)
    : QObject(parent), m_port(port), m_engine(m_slots, port, TransactionEngine::Config{}, this)
{
    m_gap.setSingleShot(true);
    connect(&m_gap, &QTimer::timeout, this, &BatchJob::sendWhenLineIsFree);
    m_engine.setDispatcher(
        [this](const Request &request, const ReplyReader &reply) { onReply(request, reply); });
    connect(&m_engine, &TransactionEngine::requestEnded, this, &BatchJob::onRequestEnded);
    // A late reply that came ends the wait for it.
    connect(&m_engine, &TransactionEngine::lateReplyTaken, this, [this] {
        if (m_gap.isActive())
            sendWhenLineIsFree();
    });
    connect(&m_engine, &TransactionEngine::portFailed, this, &BatchJob::onLineLost);
    connect(&m_engine, &TransactionEngine::requestNotSent, this, [this] {
        if (m_running)
            finishJob(true);
    });
}

void BatchJob::start(const LineChoice &line, const QList<BatchTarget> &targets, BatchAction action,
                     const ParameterSet &set)
{
    if (m_running)
        return;
    m_line = line;
    m_targets = targets;
    m_action = action;
    m_set = set;
    m_results.clear();
    m_done = 0;
    m_total = 0;
    m_module = -1;
    m_reported = -1;
    m_stopRequested = false;
    for (const BatchTarget &target : targets) {
        ModuleResult result;
        result.target = target;
        // A part stays Stopped until it ends one way or another.
        const bool backup = action == BatchAction::Backup;
        if (backup || set.control)
            result.control = PartOutcome::Stopped;
        if (backup || set.alarm)
            result.alarm = PartOutcome::Stopped;
        m_total += static_cast<int>(planFor(result).size());
        m_results.append(result);
    }
    m_running = true;
    m_engine.configurePort(line.address, line.settings());
    m_engine.setReplyTimeout(timerInterval(Base::PollReply, line.rateIndex));
    nextModule();
}

void BatchJob::stop()
{
    if (!m_running)
        return;
    m_stopRequested = true;
    // Between two requests: nothing is on the line to wait for.
    if (!m_engine.outstanding())
        finishJob(true);
}

PartOutcome &BatchJob::part(File file)
{
    return file == File::Control ? current().control : current().alarm;
}

QList<BatchJob::Step> BatchJob::planFor(const ModuleResult &result) const
{
    using Kind = BatchStep::Kind;
    QList<Step> plan{{Kind::Identify, File::Control, 0}, {Kind::SystemBlock, File::Control, 0}};
    const auto blocks = [&](File file, Kind kind, int count) {
        for (int b = 0; b < count; ++b)
            plan.append({kind, file, b});
    };
    // The module control block goes with the alarm blocks only when asked
    // for: it changes how the module is addressed. A backup reads it always.
    const int alarmBlocks = m_set.systemBlock ? AlarmBlock::Count : AlarmBlock::ModuleControl;
    switch (m_action) {
    case BatchAction::Apply:
        if (result.control != PartOutcome::NotAsked) {
            blocks(File::Control, Kind::WriteBlock, BlockCount);
            blocks(File::Control, Kind::ReadBack, BlockCount);
        }
        if (result.alarm != PartOutcome::NotAsked) {
            blocks(File::Alarm, Kind::WriteBlock, alarmBlocks);
            blocks(File::Alarm, Kind::ReadBack, alarmBlocks);
        }
        break;
    case BatchAction::Backup:
        blocks(File::Control, Kind::ReadBlock, BlockCount);
        blocks(File::Alarm, Kind::ReadBlock, AlarmBlock::Count);
        break;
    case BatchAction::Compare:
        if (result.control != PartOutcome::NotAsked)
            blocks(File::Control, Kind::ReadBlock, BlockCount);
        if (result.alarm != PartOutcome::NotAsked)
            blocks(File::Alarm, Kind::ReadBlock, alarmBlocks);
        break;
    }
    return plan;
}

void BatchJob::nextModule()
{
    ++m_module;
    if (m_module >= m_results.size()) {
        finishJob(false);
        return;
    }
    const BatchTarget &target = current().target;
    m_slots.selected = 0;
    m_slots.stationAddress[0] = target.station;
    m_slots.ascii[0] = target.ascii;
    m_plan = planFor(current());
    m_attempt = 1;
    m_moduleClock.start();
    sendWhenLineIsFree();
}

int BatchJob::silenceMs() const
{
    // RTU frames are told apart by 3.5 characters of silence (ten bits each);
    // ASCII frames have their own start and end, Modbus TCP its length.
    if (m_port.carriesMbap() || m_slots.selectedIsAscii())
        return 0;
    const int baud = qMax(1, m_line.rateText.toInt());
    return qMax(1, qCeil(35000.0 / baud));
}

void BatchJob::sendWhenLineIsFree()
{
    if (!m_running || m_plan.isEmpty())
        return;
    const int hold = m_engine.msUntilUnambiguous(requestFor(m_plan.first()));
    if (hold > 0) {
        m_gap.start(hold);
        return;
    }
    m_gap.stop();
    sendStep();
}

void BatchJob::sendStep()
{
    reportProgress();
    if (!m_running) // stopped by a listener to the progress
        return;
    m_stepAnswered = false;
    ++current().requests;
    if (m_attempt > 1)
        ++current().retries;
    m_engine.send(requestFor(m_plan.first()));
}

Request BatchJob::requestFor(const Step &step) const
{
    const ModuleResult &result = m_results.at(m_module);
    const quint8 station = result.target.station;
    using Kind = BatchStep::Kind;
    switch (step.kind) {
    case Kind::Identify:
        return buildRequest(station, Fn::ReportId);
    case Kind::SystemBlock:
        return buildRequest(station, Fn::ReadHolding, Reg::SystemBlock,
                            static_cast<quint16>(systemBlockRegisters(version(result.id))));
    case Kind::WriteBlock:
        return step.file == File::Control
                   ? controlWriteRequest(station, step.block, m_set.control->at(step.block))
                   : alarmWriteRequest(station, step.block, m_set.alarm->at(step.block));
    case Kind::ReadBack:
    case Kind::ReadBlock:
        return step.file == File::Control ? controlReadRequest(station, step.block)
                                          : alarmReadRequest(station, step.block);
    }
    return {};
}

void BatchJob::onReply(const Request &, const ReplyReader &reply)
{
    if (!m_running || m_plan.isEmpty() || (reply.function() & Fn::ExceptionBit))
        return;
    const Step &step = m_plan.first();
    ModuleResult &result = current();
    using Kind = BatchStep::Kind;
    switch (step.kind) {
    case Kind::Identify:
        if (const auto id = decodeDeviceId(reply)) {
            result.answered = true;
            result.id = *id;
            m_stepAnswered = true;
        }
        return;
    case Kind::SystemBlock:
        if (const auto block = decodeSystemBlock(reply, version(result.id))) {
            result.serialNumber = block->serialNumber;
            result.serialKnown = true;
            m_stepAnswered = true;
        }
        return;
    case Kind::WriteBlock:
        m_stepAnswered = true; // the engine has confirmed the echo
        return;
    case Kind::ReadBack:
    case Kind::ReadBlock:
        if (step.file == File::Control) {
            if (const auto record = controlRecordFromReply(reply)) {
                result.controlRead[step.block] = *record;
                m_stepAnswered = true;
            }
        } else if (const auto record = alarmRecordFromReply(reply)) {
            result.alarmRead[step.block] = *record;
            if (step.block == AlarmBlock::ModuleControl) {
                const auto control =
                    decodeModuleControl(packRegisters(record->values), version(result.id));
                if (!control)
                    return;
                result.moduleControlRead = *control;
            }
            m_stepAnswered = true;
        }
        if (m_stepAnswered && m_action != BatchAction::Backup)
            compareWithSet(step);
        return;
    }
}

void BatchJob::compareWithSet(const Step &step)
{
    ModuleResult &result = current();
    std::optional<BlockDifference> difference;
    if (step.file == File::Control)
        difference = controlDifference(step.block, m_set.control->at(step.block),
                                       result.controlRead[step.block]);
    else if (step.block == AlarmBlock::ModuleControl)
        difference = moduleControlDifference(m_set.alarm->at(step.block), result.moduleControlRead,
                                             version(result.id));
    else
        difference =
            alarmDifference(step.block, m_set.alarm->at(step.block), result.alarmRead[step.block]);
    if (!difference)
        return;
    ++result.differences;
    part(step.file) = PartOutcome::Differs;
    if (!result.firstDifference)
        result.firstDifference = difference;
}

void BatchJob::onRequestEnded(RequestEnd how)
{
    // A port that failed abandons its request and is reported next.
    if (!m_running || how == RequestEnd::Abandoned)
        return;
    if (how == RequestEnd::Reply && m_stepAnswered)
        stepDone();
    else if (m_stopRequested)
        ; // cut short below, not failed
    else if (m_attempt < Attempts)
        ++m_attempt;
    else
        stepFailed();
    if (!m_running)
        return;
    if (m_stopRequested) {
        finishJob(true);
        return;
    }
    if (m_plan.isEmpty()) {
        finishModule();
        nextModule();
        return;
    }
    // The next request after the framing's silence.
    if (const int silence = silenceMs(); silence > 0)
        m_gap.start(silence);
    else
        sendWhenLineIsFree();
}

void BatchJob::stepDone()
{
    const Step step = m_plan.takeFirst();
    ++m_done;
    m_attempt = 1;
    ModuleResult &result = current();
    if (step.kind == BatchStep::Kind::Identify && !result.id.isKnownModule()) {
        // Something answers at this station, but not a module of this family:
        // nothing is written to it.
        for (PartOutcome *p : {&result.control, &result.alarm})
            if (*p != PartOutcome::NotAsked)
                *p = PartOutcome::Unsupported;
        m_done += static_cast<int>(m_plan.size());
        m_plan.clear();
        return;
    }
    if (!isBlockStep(step.kind))
        return;
    // The part's last step: it ends as verified or read, unless it differs.
    const bool partGoesOn =
        !m_plan.isEmpty() && m_plan.first().file == step.file && isBlockStep(m_plan.first().kind);
    PartOutcome &outcome = part(step.file);
    if (!partGoesOn && outcome == PartOutcome::Stopped)
        outcome = m_action == BatchAction::Backup ? PartOutcome::Read : PartOutcome::Verified;
}

void BatchJob::stepFailed()
{
    const Step step = m_plan.first();
    const PartOutcome failure =
        step.kind == BatchStep::Kind::Identify ? PartOutcome::NoAnswer : PartOutcome::Failed;
    for (File file : {File::Control, File::Alarm}) {
        PartOutcome &p = part(file);
        if (p == PartOutcome::NotAsked)
            continue;
        // The part in work (or both, before the blocks) fails; a part not
        // begun is skipped, one finished keeps its outcome.
        const bool inWork = !isBlockStep(step.kind) || step.file == file;
        const bool pending = std::any_of(m_plan.cbegin(), m_plan.cend(), [file](const Step &s) {
            return s.file == file && isBlockStep(s.kind);
        });
        if (inWork)
            p = failure;
        else if (pending)
            p = PartOutcome::Skipped;
    }
    m_done += static_cast<int>(m_plan.size());
    m_plan.clear();
    m_attempt = 1;
}

void BatchJob::finishModule()
{
    ModuleResult &result = current();
    result.elapsedMs = m_moduleClock.elapsed();
    m_reported = m_module;
    Q_EMIT moduleFinished(result);
}

void BatchJob::onLineLost(const PortFailure &failure)
{
    Q_EMIT portFailed(failure);
    if (m_running)
        finishJob(true);
}

void BatchJob::finishJob(bool stopped)
{
    if (!m_running)
        return;
    m_running = false;
    m_gap.stop();
    m_engine.cancel();
    // A module already reported (stop() from a listener to its report) is
    // not reported again.
    if (stopped && m_module >= 0 && m_module < m_results.size() && m_module != m_reported) {
        // The module in work: a part with steps left is cut short, whatever
        // it read so far.
        ModuleResult &result = current();
        for (File file : {File::Control, File::Alarm}) {
            PartOutcome &p = part(file);
            const bool pending = std::any_of(m_plan.cbegin(), m_plan.cend(), [file](const Step &s) {
                return s.file == file && isBlockStep(s.kind);
            });
            const bool beforeBlocks = !m_plan.isEmpty() && !isBlockStep(m_plan.first().kind);
            if (p != PartOutcome::NotAsked && (pending || beforeBlocks))
                p = PartOutcome::Stopped;
        }
        result.elapsedMs = m_moduleClock.elapsed();
        Q_EMIT moduleFinished(result);
    }
    // Modules never reached are reported as stopped.
    for (int i = qMax(0, m_module + 1); i < m_results.size(); ++i)
        Q_EMIT moduleFinished(m_results.at(i));
    m_plan.clear();
    m_port.close();
    Q_EMIT finished(stopped);
}

void BatchJob::reportProgress()
{
    const Step &step = m_plan.first();
    BatchStep progress;
    progress.module = m_module;
    progress.moduleCount = static_cast<int>(m_results.size());
    progress.station = current().target.station;
    progress.kind = step.kind;
    progress.file = step.file;
    progress.block = step.block;
    progress.attempt = m_attempt;
    progress.done = m_done;
    progress.total = m_total;
    Q_EMIT stepped(progress);
}

} // namespace krv
