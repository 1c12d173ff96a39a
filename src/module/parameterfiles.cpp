#include "parameterfiles.h"

#include "text/numbertext.h"

namespace krv {

namespace {
constexpr int AlarmLineValues = 4;

// A list position as a file holds it: a number, of which the lowest bit counts.
std::optional<int> filePosition(const QString &text)
{
    const FieldNumber n = fieldNumber(text, RegisterMin, RegisterMax);
    if (n.fault)
        return std::nullopt;
    return n.value & 1;
}
} // namespace

QList<QStringList> controlFileRows(const ControlFileTexts &texts)
{
    QList<QStringList> rows;
    for (const ControlTexts &channel : texts)
        rows << QStringList(channel.begin(), channel.end());
    return rows;
}

QList<QStringList> alarmFileRows(const AlarmFileTexts &texts)
{
    QList<QStringList> rows;
    // Upper, relative, lower, pre-alarm: not the register order.
    for (const AlarmChannelTexts &c : texts.channels)
        rows << QStringList{c.upperLimit, c.relativeAlarm, c.lowerLimit, c.preAlarm};
    const ModuleControlFields &f = texts.control;
    rows << QStringList{freeFormatNumber(f.requestOutput), f.serialOutput, f.measuredChannels,
                        freeFormatNumber(f.startMode), freeFormatNumber(f.registerAddressing)};
    return rows;
}

FileValuePlace controlValuePlace(int index)
{
    return {index / ControlRowCount, index / ControlRowCount, index % ControlRowCount};
}

FileValuePlace alarmValuePlace(int index)
{
    const int line = index / AlarmLineValues;
    if (line < ChannelCount)
        return {line, line, index % AlarmLineValues};
    return {ChannelCount, -1, index - AlarmLineValues * ChannelCount};
}

ControlFileTexts controlTextsFromValues(const QStringList &values)
{
    ControlFileTexts texts;
    for (int c = 0; c < BlockCount; ++c) {
        for (int r = 0; r < ControlRowCount; ++r)
            texts[c][r] = values.value(c * ControlRowCount + r);
    }
    return texts;
}

std::optional<AlarmFileTexts> alarmTextsFromValues(const QStringList &values, int *badIndex)
{
    AlarmFileTexts texts;
    for (int c = 0; c < ChannelCount; ++c) {
        const int at = AlarmLineValues * c;
        texts.channels[c] = {values.value(at), values.value(at + 2), values.value(at + 1),
                             values.value(at + 3)};
    }
    const int at = AlarmLineValues * ChannelCount;
    int *positions[] = {&texts.control.requestOutput, &texts.control.startMode,
                        &texts.control.registerAddressing};
    const int indexes[] = {at, at + 3, at + 4};
    for (int i = 0; i < 3; ++i) {
        const auto position = filePosition(values.value(indexes[i]));
        if (!position) {
            if (badIndex)
                *badIndex = indexes[i];
            return std::nullopt;
        }
        *positions[i] = *position;
    }
    texts.control.serialOutput = values.value(at + 1);
    texts.control.measuredChannels = values.value(at + 2);
    return texts;
}

std::optional<InputRefusal> controlRecordsFromTexts(const ControlFileTexts &texts,
                                                    std::array<ControlRecord, BlockCount> &records)
{
    std::array<ControlRecord, BlockCount> out{};
    for (int c = 0; c < BlockCount; ++c) {
        if (const auto refused = textsToRecord(c, texts[c], out[c]))
            return refused;
    }
    records = out;
    return std::nullopt;
}

std::optional<InputRefusal> alarmRecordsFromTexts(const AlarmFileTexts &texts,
                                                  std::array<AlarmRecord, BlockCount> &records)
{
    std::array<AlarmRecord, BlockCount> out{};
    for (int c = 0; c < ChannelCount; ++c) {
        if (const auto refused = channelToRecord(c, texts.channels[c], out[c]))
            return refused;
    }
    if (const auto refused = moduleControlToRecord(texts.control, out[AlarmBlock::ModuleControl]))
        return refused;
    records = out;
    return std::nullopt;
}

ControlFileTexts controlTextsFromRecords(const std::array<ControlRecord, BlockCount> &records)
{
    ControlFileTexts texts;
    for (int c = 0; c < BlockCount; ++c)
        texts[c] = recordToTexts(records[c]);
    return texts;
}

AlarmFileTexts alarmTextsFromRecords(const std::array<AlarmRecord, BlockCount> &records,
                                     const ModuleControl &moduleControl)
{
    AlarmFileTexts texts;
    for (int c = 0; c < ChannelCount; ++c)
        texts.channels[c] = recordToChannel(records[c]);
    texts.control = moduleControlToFields(moduleControl);
    return texts;
}

} // namespace krv
