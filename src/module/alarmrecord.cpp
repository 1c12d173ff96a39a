#include "alarmrecord.h"

#include "module/registerimage.h"
#include "text/numbertext.h"

namespace krv {

namespace {
constexpr int PreAlarmUnit = 4096; // pre-alarm control sits above 12 bits of relative alarm

FieldNumber wholeWithin(double v, qint32 lo, qint32 hi)
{
    FieldNumber n;
    if (const auto whole = nearestWithin(v, lo, hi))
        n.value = static_cast<qint32>(*whole);
    else
        n.fault = InputRefusal::Reason::OutOfRange;
    return n;
}
} // namespace

FieldNumber fieldNumber(const QString &text, qint32 lo, qint32 hi)
{
    const auto v = parseDecimal(text);
    if (!v) {
        FieldNumber n;
        n.fault = InputRefusal::Reason::NotANumber;
        return n;
    }
    return wholeWithin(*v, lo, hi);
}

std::optional<InputRefusal> channelToRecord(int channel, const AlarmChannelTexts &texts,
                                            AlarmRecord &record)
{
    using Field = InputRefusal::Field;
    const auto refuse = [channel](Field field, InputRefusal::Reason reason) {
        return InputRefusal{field, reason, channel, -1, RegisterMin, RegisterMax};
    };
    const FieldNumber upper = fieldNumber(texts.upperLimit, RegisterMin, RegisterMax);
    if (upper.fault)
        return refuse(Field::UpperLimit, *upper.fault);
    const FieldNumber lower = fieldNumber(texts.lowerLimit, RegisterMin, RegisterMax);
    if (lower.fault)
        return refuse(Field::LowerLimit, *lower.fault);
    const auto relative = parseDecimal(texts.relativeAlarm);
    if (!relative)
        return refuse(Field::RelativeAlarm, InputRefusal::Reason::NotANumber);
    const auto preAlarm = parseDecimal(texts.preAlarm);
    if (!preAlarm)
        return refuse(Field::PreAlarm, InputRefusal::Reason::NotANumber);
    const FieldNumber packed =
        wholeWithin(*preAlarm * PreAlarmUnit + *relative, RegisterMin, RegisterMax);
    if (packed.fault)
        return refuse(Field::PreAlarmAndRelative, *packed.fault);
    record.values = {upper.value, lower.value, packed.value};
    return std::nullopt;
}

std::optional<InputRefusal> moduleControlToRecord(const ModuleControlFields &fields,
                                                  AlarmRecord &record)
{
    using Field = InputRefusal::Field;
    using Reason = InputRefusal::Reason;
    const auto refuse = [](Field field, Reason reason) {
        return InputRefusal{field, reason, -1, -1, RegisterMin, RegisterMax};
    };
    if (fields.requestOutput < 0)
        return refuse(Field::RequestOutput, Reason::NoSelection);
    const auto serialOut = parseDecimal(fields.serialOutput);
    if (!serialOut)
        return refuse(Field::SerialOutput, Reason::NotANumber);
    const FieldNumber serial = wholeWithin(*serialOut, RegisterMin, RegisterMax);
    if (serial.fault)
        return refuse(Field::SerialOutput, *serial.fault);
    if (serial.value < 0)
        return refuse(Field::SerialOutput, Reason::Negative);
    const FieldNumber channels = fieldNumber(fields.measuredChannels, RegisterMin, RegisterMax);
    if (channels.fault)
        return refuse(Field::MeasuredChannels, *channels.fault);
    if (fields.startMode < 0)
        return refuse(Field::StartMode, Reason::NoSelection);
    if (fields.registerAddressing < 0)
        return refuse(Field::RegisterAddressing, Reason::NoSelection);
    record.values = {serial.value % 16 * 256 + fields.registerAddressing * 32768 +
                         fields.requestOutput,
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
