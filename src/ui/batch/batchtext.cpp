#include "batchtext.h"

#include "module/parameterfiles.h"
#include "ui/editorwindow.h"
#include "ui/systemreason.h"

#include <map>

namespace krv {

namespace {

using File = BlockDifference::File;
using Field = InputRefusal::Field;

// A module as a whole, as a part outcome names it, or Done.
enum class Verdict {
    Stopped = int(PartOutcome::Stopped),
    NoAnswer = int(PartOutcome::NoAnswer),
    Unsupported = int(PartOutcome::Unsupported),
    Differs = int(PartOutcome::Differs),
    Failed = int(PartOutcome::Failed),
    Done = -1,
};

Verdict verdictOf(const ModuleResult &result)
{
    const auto either = [&](PartOutcome p) { return result.control == p || result.alarm == p; };
    // Cut short or never reached: never done, whatever was read.
    if (either(PartOutcome::Stopped))
        return Verdict::Stopped;
    if (!result.answered || either(PartOutcome::NoAnswer))
        return Verdict::NoAnswer;
    if (either(PartOutcome::Unsupported))
        return Verdict::Unsupported;
    if (result.succeeded())
        return Verdict::Done;
    if (either(PartOutcome::Differs) && !either(PartOutcome::Failed))
        return Verdict::Differs;
    return Verdict::Failed;
}

QString translated(const char *source)
{
    return QCoreApplication::translate("krv::BatchText", source);
}

// The rows of an alarm channel as a difference names them (0 upper, 1 lower,
// 2 relative, 3 pre-alarm), and as the file holds them (0 upper, 1 relative,
// 2 lower, 3 pre-alarm).
constexpr int UpperRow = 0;
constexpr int LowerRow = 1;
constexpr int RelativeRow = 2;
constexpr int PreAlarmRow = 3;
constexpr std::array<int, 4> FileOrderOfRow{0, 2, 1, 3};
constexpr int ModuleControlLine = ChannelCount; // the .ALM's ninth line, 0-based

// Where a refused value stands in its file: the place as a difference names
// it (block, row) and the value's index in file order.
struct RefusedPlace
{
    BlockDifference place;
    int index = -1;
    int secondIndex = -1; // the second value of a packed pair
    BlockDifference secondPlace;
};

RefusedPlace placeOf(const InputRefusal &refusal)
{
    RefusedPlace at;
    const int channel = refusal.channel;
    const auto alarmChannelRow = [&](int row) {
        at.place = {File::Alarm, channel, row, {}, {}};
        at.index = 4 * channel + FileOrderOfRow[row];
    };
    const auto moduleControlRow = [&](int row) {
        at.place = {File::Alarm, AlarmBlock::ModuleControl, row, {}, {}};
        at.index = 4 * ChannelCount + row;
    };
    switch (refusal.field) {
    case Field::ControlBox:
    case Field::ControlPackedBoxes:
        at.place = {File::Control, channel, refusal.row, {}, {}};
        at.index = channel * ControlRowCount + refusal.row;
        if (refusal.field == Field::ControlPackedBoxes) {
            at.secondPlace = {File::Control, channel, refusal.row + 1, {}, {}};
            at.secondIndex = at.index + 1;
        }
        break;
    case Field::UpperLimit:
        alarmChannelRow(UpperRow);
        break;
    case Field::LowerLimit:
        alarmChannelRow(LowerRow);
        break;
    case Field::RelativeAlarm:
        alarmChannelRow(RelativeRow);
        break;
    case Field::PreAlarm:
        alarmChannelRow(PreAlarmRow);
        break;
    case Field::PreAlarmAndRelative:
        alarmChannelRow(PreAlarmRow);
        at.secondPlace = {File::Alarm, channel, RelativeRow, {}, {}};
        at.secondIndex = 4 * channel + FileOrderOfRow[RelativeRow];
        break;
    case Field::RequestOutput:
        moduleControlRow(0);
        break;
    case Field::SerialOutput:
        moduleControlRow(1);
        break;
    case Field::MeasuredChannels:
        moduleControlRow(2);
        break;
    case Field::StartMode:
        moduleControlRow(3);
        break;
    case Field::RegisterAddressing:
        moduleControlRow(4);
        break;
    default:
        break;
    }
    return at;
}

int lineOf(const BlockDifference &place)
{
    if (place.file == File::Control)
        return place.block + 1;
    return place.block == AlarmBlock::ModuleControl ? ModuleControlLine + 1 : place.block + 1;
}

bool isModuleControl(const BlockDifference &place)
{
    return place.file == File::Alarm && place.block == AlarmBlock::ModuleControl;
}

// "通道3的系数D1" / "块8的串口输出".
QString ofBlock(const BlockDifference &place)
{
    return isModuleControl(place)
               ? BatchText::tr("块%1的%2").arg(place.block).arg(BatchText::row(place))
               : BatchText::tr("通道%1的%2").arg(place.block).arg(BatchText::row(place));
}

// "通道3" / "块8".
QString blockName(File file, int block)
{
    return file == File::Alarm && block == AlarmBlock::ModuleControl
               ? BatchText::tr("块%1").arg(block)
               : BatchText::tr("通道%1").arg(block);
}

QString reasonText(const InputRefusal &refusal)
{
    switch (refusal.reason) {
    case InputRefusal::Reason::NotANumber:
        return BatchText::tr("不是数字");
    case InputRefusal::Reason::NotWhole:
        return BatchText::tr("不是%1~%2之间的整数").arg(refusal.low).arg(refusal.high);
    case InputRefusal::Reason::OutOfRange:
        return BatchText::tr("不在%1~%2之间").arg(refusal.low).arg(refusal.high);
    case InputRefusal::Reason::Negative:
        return BatchText::tr("不能是负数");
    case InputRefusal::Reason::NoSelection:
        return BatchText::tr("没有选择");
    case InputRefusal::Reason::NotAnItem:
        return BatchText::tr("不是列表中的项目");
    }
    return QString();
}

QString refusedText(const QString &path, const ParameterFileLoad &load)
{
    const InputRefusal &refusal = *load.refusal;
    const RefusedPlace at = placeOf(refusal);
    const QStringList &values = load.file.fields;
    if (at.secondIndex >= 0) {
        // Two values packed into one register: both are named.
        return BatchText::tr("文件%1第%2行：通道%3的%4×%5+%6（“%7”和“%8”）%9，没有发送。")
            .arg(path)
            .arg(lineOf(at.place))
            .arg(at.place.block)
            .arg(BatchText::row(at.place))
            .arg(at.place.file == File::Control ? 256 : 4096)
            .arg(BatchText::row(at.secondPlace), values.value(at.index),
                 values.value(at.secondIndex), reasonText(refusal));
    }
    return BatchText::tr("文件%1第%2行：%3“%4”%5，没有发送。")
        .arg(path)
        .arg(lineOf(at.place))
        .arg(ofBlock(at.place), values.value(at.index), reasonText(refusal));
}

} // namespace

QString BatchText::action(BatchAction action)
{
    switch (action) {
    case BatchAction::Apply:
        return tr("写入并校验");
    case BatchAction::Backup:
        return tr("读取备份");
    case BatchAction::Compare:
        return tr("比较");
    }
    return QString();
}

QString BatchText::outcome(PartOutcome outcome)
{
    const char *source = outcomeSource(outcome);
    return *source ? translated(source) : QString();
}

QString BatchText::verdict(const ModuleResult &result)
{
    const Verdict v = verdictOf(result);
    return v == Verdict::Done ? tr("完成") : outcome(PartOutcome(v));
}

QString BatchText::file(BlockDifference::File file)
{
    return translated(fileSource(file));
}

QString BatchText::row(const BlockDifference &difference)
{
    const char *source = rowSource(difference);
    return *source ? translated(source) : QString();
}

QString BatchText::place(const BlockDifference &difference)
{
    return QStringLiteral("%1 %2 %3")
        .arg(file(difference.file), blockName(difference.file, difference.block), row(difference));
}

QString BatchText::difference(const BlockDifference &difference)
{
    return tr("%1：文件 %2，模块 %3")
        .arg(place(difference), difference.fileValue, difference.moduleValue);
}

QString BatchText::step(const BatchStep &step)
{
    QString what;
    const QString block = blockName(step.file, step.block);
    switch (step.kind) {
    case BatchStep::Kind::Identify:
        what = tr("读取设备标识");
        break;
    case BatchStep::Kind::SystemBlock:
        what = tr("读取系统信息");
        break;
    case BatchStep::Kind::WriteBlock:
        what = tr("写入%1 %2").arg(file(step.file), block);
        break;
    case BatchStep::Kind::ReadBack:
        what = tr("读回%1 %2").arg(file(step.file), block);
        break;
    case BatchStep::Kind::ReadBlock:
        what = tr("读取%1 %2").arg(file(step.file), block);
        break;
    }
    QString text = tr("模块 %1：%2").arg(step.station).arg(what);
    if (step.attempt > 1)
        text += tr("（第%1次）").arg(step.attempt);
    return text;
}

QStringList BatchText::titles()
{
    return {tr("站号"),       tr("协议"),     tr("型号"),       tr("版本"),    tr("序列号"),
            tr("控制参数"),   tr("报警参数"), tr("第一处不同"), tr("文件值"),  tr("模块值"),
            tr("不同的块数"), tr("请求数"),   tr("重试数"),     tr("用时(ms)")};
}

QStringList BatchText::resultRow(const ModuleResult &result, bool modbusTcp)
{
    // The report's row, with the words translated; numbers and names stay.
    QStringList row = reportRow(result, modbusTcp);
    row[5] = outcome(result.control);
    row[6] = outcome(result.alarm);
    if (result.firstDifference)
        row[7] = place(*result.firstDifference);
    return row;
}

QString BatchText::summary(const QList<ModuleResult> &results)
{
    // Each module counted once, by its verdict.
    std::map<Verdict, int> count;
    for (const ModuleResult &r : results)
        ++count[verdictOf(r)];
    const int done = count[Verdict::Done];
    const int differ = count[Verdict::Differs];
    const int stopped = count[Verdict::Stopped];
    const int failed = static_cast<int>(results.size()) - done - differ - stopped;
    return tr("共%1个模块：%2个完成，%3个不一致，%4个失败，%5个已停止")
        .arg(results.size())
        .arg(done)
        .arg(differ)
        .arg(failed)
        .arg(stopped);
}

QString BatchText::stationListFault(const StationList &list)
{
    switch (list.fault) {
    case StationList::Fault::None:
        return QString();
    case StationList::Fault::Empty:
        return tr("没有给出站号");
    case StationList::Fault::NotAnAddress:
        return tr("“%1”不是站号（应为站号或范围，如2,5-7；后加a为ASCII）").arg(list.token);
    case StationList::Fault::OutOfRange:
        return tr("“%1”不在1～255之间").arg(list.token);
    case StationList::Fault::Descending:
        return tr("“%1”：范围应从小到大").arg(list.token);
    }
    return QString();
}

QString BatchText::loadProblem(const QString &path, const ParameterFileLoad &load,
                               BlockDifference::File expected)
{
    const bool control = expected == File::Control;
    const int valueCount = control ? ControlFileValues : AlarmFileValues;
    switch (load.problem) {
    case ParameterFileLoad::Problem::None:
        return QString();
    case ParameterFileLoad::Problem::WrongKind: {
        const File other = control ? File::Alarm : File::Control;
        return tr("文件%1是%2文件（%3），不是%4文件（%5），没有发送。")
            .arg(path, file(other), control ? QStringLiteral(".ALM") : QStringLiteral(".CON"),
                 file(expected), control ? QStringLiteral(".CON") : QStringLiteral(".ALM"));
    }
    case ParameterFileLoad::Problem::Unreadable:
        switch (load.file.fault) {
        case FieldFile::Fault::CannotRead:
            return tr("文件%1无法读取：%2，没有发送。")
                .arg(path, SystemReason::text(load.file.error));
        case FieldFile::Fault::TooShort:
            return tr("文件%1中的参数不足%2个，没有发送。").arg(path).arg(valueCount);
        default:
            return tr("文件%1没有读取：%2，没有发送。").arg(path, fieldFileFault(load.file));
        }
    case ParameterFileLoad::Problem::BadPosition: {
        const FileValuePlace at = alarmValuePlace(load.index);
        const BlockDifference place{File::Alarm, AlarmBlock::ModuleControl, at.field, {}, {}};
        return tr("文件%1第%2行：%3的位置“%4”不是可用的数字，没有发送。")
            .arg(path)
            .arg(at.line + 1)
            .arg(ofBlock(place), load.file.fields.value(load.index));
    }
    case ParameterFileLoad::Problem::Refused:
        if (load.refusal)
            return refusedText(path, load);
        break;
    }
    return tr("文件%1无法使用，没有发送。").arg(path);
}

QString BatchText::backupSaved(const QString &path)
{
    return tr("已保存 %1").arg(path);
}

QString BatchText::backupNotWritten(const QString &path, const QString &reason)
{
    return tr("文件%1无法写入：%2").arg(path, SystemReason::text(reason));
}

QString BatchText::backupKept(const QString &path)
{
    return tr("文件%1已存在，没有替换").arg(path);
}

QString BatchText::duplicateSerial(const QList<quint8> &otherStations)
{
    QStringList stations;
    for (quint8 s : otherStations)
        stations << QString::number(s);
    return tr("序列号与站号%1相同").arg(stations.join(tr("、")));
}

} // namespace krv
