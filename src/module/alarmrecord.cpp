#include "alarmrecord.h"

#include "module/registerimage.h"
#include "text/numbertext.h"

#include <cmath>

namespace krv {

namespace {
constexpr int PreAlarmUnit = 4096; // pre-alarm control sits above 12 bits of relative alarm

using Field = InputRefusal::Field;
using Reason = InputRefusal::Reason;

FieldNumber wholeWithin(double v, qint32 lo, qint32 hi)
{
    FieldNumber n;
    if (const auto whole = nearestWithin(v, lo, hi))
        n.value = static_cast<qint32>(*whole);
    else
        n.fault = Reason::OutOfRange;
    return n;
}

InputRefusal refusal(Field field, Reason reason, FieldRange range, int channel = -1)
{
    return InputRefusal{field, reason, channel, -1, range.low, range.high};
}

// A list position as the record takes it: a position, or why not.
std::optional<Reason> listFault(int position)
{
    if (position == ModuleControlFields::NotAnItem)
        return Reason::NotAnItem;
    if (position < 0)
        return Reason::NoSelection;
    return std::nullopt;
}
} // namespace

FieldNumber fieldNumber(const QString &text, qint32 lo, qint32 hi)
{
    const auto v = parseDecimal(text);
    if (!v) {
        FieldNumber n;
        n.fault = Reason::NotANumber;
        return n;
    }
    return wholeWithin(*v, lo, hi);
}

FieldNumber wholeNumber(const QString &text, FieldRange range)
{
    FieldNumber n;
    const auto v = parseDecimal(text);
    if (!v)
        n.fault = Reason::NotANumber;
    else if (*v != std::floor(*v))
        n.fault = Reason::NotWhole;
    else if (!range.holds(*v))
        n.fault = Reason::OutOfRange;
    else
        n.value = static_cast<qint32>(*v);
    return n;
}

std::optional<bool> switchOn(const QString &text)
{
    const auto v = parseDecimal(text);
    if (!v)
        return std::nullopt;
    return *v != 0;
}

std::optional<InputRefusal> channelToRecord(int channel, const AlarmChannelTexts &texts,
                                            AlarmRecord &record)
{
    using namespace AlarmRange;
    const FieldNumber upper = fieldNumber(texts.upperLimit, Limit.low, Limit.high);
    if (upper.fault)
        return refusal(Field::UpperLimit, *upper.fault, Limit, channel);
    const FieldNumber lower = fieldNumber(texts.lowerLimit, Limit.low, Limit.high);
    if (lower.fault)
        return refusal(Field::LowerLimit, *lower.fault, Limit, channel);
    // Each part within its own bits first: a relative alarm of 5000 would
    // otherwise carry into the pre-alarm control.
    const auto relative = parseDecimal(texts.relativeAlarm);
    if (!relative)
        return refusal(Field::RelativeAlarm, Reason::NotANumber, RelativeAlarm, channel);
    if (!RelativeAlarm.holds(*relative))
        return refusal(Field::RelativeAlarm, Reason::OutOfRange, RelativeAlarm, channel);
    const auto preAlarm = parseDecimal(texts.preAlarm);
    if (!preAlarm)
        return refusal(Field::PreAlarm, Reason::NotANumber, PreAlarm, channel);
    if (!PreAlarm.holds(*preAlarm))
        return refusal(Field::PreAlarm, Reason::OutOfRange, PreAlarm, channel);
    const FieldNumber packed =
        wholeWithin(*preAlarm * PreAlarmUnit + *relative, PackedAlarm.low, PackedAlarm.high);
    if (packed.fault)
        return refusal(Field::PreAlarmAndRelative, *packed.fault, PackedAlarm, channel);
    record.values = {upper.value, lower.value, packed.value};
    return std::nullopt;
}

std::optional<InputRefusal> moduleControlToRecord(const ModuleControlFields &fields,
                                                  AlarmRecord &record)
{
    using namespace AlarmRange;
    if (const auto fault = listFault(fields.requestOutput))
        return refusal(Field::RequestOutput, *fault, {});
    FieldNumber serial = wholeNumber(fields.serialOutput, SerialOutput);
    if (serial.fault == Reason::OutOfRange && parseDecimal(fields.serialOutput).value_or(0) < 0)
        serial.fault = Reason::Negative;
    if (serial.fault)
        return refusal(Field::SerialOutput, *serial.fault, SerialOutput);
    const FieldNumber channels = wholeNumber(fields.measuredChannels, MeasuredChannels);
    if (channels.fault)
        return refusal(Field::MeasuredChannels, *channels.fault, MeasuredChannels);
    if (const auto fault = listFault(fields.startMode))
        return refusal(Field::StartMode, *fault, {});
    if (const auto fault = listFault(fields.registerAddressing))
        return refusal(Field::RegisterAddressing, *fault, {});
    record.values = {serial.value * 256 + fields.registerAddressing * 32768 + fields.requestOutput,
                     fields.startMode, channels.value};
    return std::nullopt;
}

AlarmChannelTexts recordToChannel(const AlarmRecord &record)
{
    // C++ division truncates toward zero and its remainder keeps the sign of
    // the dividend: -32758 shows as -7 and -4086.
    const auto &v = record.values;
    return {QString::number(v[0]), QString::number(v[1]), QString::number(v[2] % PreAlarmUnit),
            QString::number(v[2] / PreAlarmUnit)};
}

ModuleControlFields moduleControlToFields(const ModuleControl &control)
{
    return {control.requestOutput, QString::number(control.serialOutputCount),
            QString::number(control.measuredChannels), control.startMode,
            control.continuousAddressing ? 1 : 0};
}

Request alarmReadRequest(quint8 station, int block)
{
    return buildRequest(station, Fn::ReadHolding, AlarmBlock::start(block), AlarmBlock::Registers);
}

Request alarmWriteRequest(quint8 station, int block, const AlarmRecord &record)
{
    return buildRequest(station, Fn::WriteRegisters, AlarmBlock::start(block),
                        AlarmBlock::Registers, packRegisters(record.values));
}

std::optional<AlarmRecord> alarmRecordFromReply(const ReplyReader &reply)
{
    constexpr int BlockBytes = 2 * AlarmBlock::Registers;
    if (!reply.has(3 + BlockBytes))
        return std::nullopt;
    AlarmRecord record;
    unpackRegisters(reply.bytes(3, BlockBytes), record.values);
    return record;
}

} // namespace krv
