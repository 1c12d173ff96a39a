#include "controlrecord.h"

#include "module/registerimage.h"
#include "text/numbertext.h"

#include <algorithm>
#include <utility>

namespace krv {

namespace {
constexpr int BlockBytes = 2 * ControlRegisterCount;

// The record's words in register order, each from its box or, for the packed
// words, from the high and the low byte's boxes (-1: a word of one box).
constexpr std::array<std::pair<ControlRow, int>, ControlRegisterCount> WordRows = {{
    {ControlRow::StartOrder, int(ControlRow::InputChannel)},
    {ControlRow::PhaseOffset, int(ControlRow::SampleTime)},
    {ControlRow::SetTemperature, -1},
    {ControlRow::CoefficientD0, -1},
    {ControlRow::CoefficientD1, -1},
    {ControlRow::CoefficientD2, -1},
    {ControlRow::ControlRange, -1},
}};
} // namespace

quint16 controlBlockStart(int channel)
{
    return static_cast<quint16>(0x0100 + 18 * channel + 2);
}

std::optional<InputRefusal> textsToRecord(int channel, const ControlTexts &texts,
                                          ControlRecord &record)
{
    using Field = InputRefusal::Field;
    using Reason = InputRefusal::Reason;
    const auto refuse = [channel](Field field, Reason reason, ControlRow row) {
        return InputRefusal{field, reason, channel, int(row), -32768, 32767};
    };
    ControlRecord out;
    for (int k = 0; k < ControlRegisterCount; ++k) {
        const auto [first, low] = WordRows[k];
        const auto high = parseDecimal(texts[int(first)]);
        if (!high)
            return refuse(Field::ControlBox, Reason::NotANumber, first);
        double value = *high;
        if (low >= 0) {
            const auto lowValue = parseDecimal(texts[low]);
            if (!lowValue)
                return refuse(Field::ControlBox, Reason::NotANumber, ControlRow(low));
            value = value * 256.0 + *lowValue;
        }
        const auto word = nearestWithin(value, -32768, 32767);
        if (!word)
            return refuse(low >= 0 ? Field::ControlPackedBoxes : Field::ControlBox,
                          Reason::OutOfRange, first);
        out.words[k] = static_cast<qint16>(*word);
    }
    record = out;
    return std::nullopt;
}

ControlTexts recordToTexts(const ControlRecord &record)
{
    // Integer division truncates toward zero: -251 / 256 is 0, and -251 & 255 is 5.
    const auto high = [](int word) { return QString::number(word / 256); };
    const auto low = [](int word) { return QString::number(word & 255); };
    const auto &w = record.words;
    using W = ControlRecord::Word;
    return {high(w[W::OrderAndInput]),
            low(w[W::OrderAndInput]),
            high(w[W::PhaseAndSample]),
            low(w[W::PhaseAndSample]),
            QString::number(w[W::SetTemperature]),
            QString::number(w[W::CoefficientD0]),
            QString::number(w[W::CoefficientD1]),
            QString::number(w[W::CoefficientD2]),
            QString::number(w[W::ControlRange])};
}

Request controlReadRequest(quint8 station, int channel)
{
    return buildRequest(station, Fn::ReadHolding, controlBlockStart(channel), ControlRegisterCount);
}

Request controlWriteRequest(quint8 station, int channel, const ControlRecord &record)
{
    std::array<qint32, ControlRegisterCount> values{};
    std::copy(record.words.begin(), record.words.end(), values.begin());
    return buildRequest(station, Fn::WriteRegisters, controlBlockStart(channel),
                        ControlRegisterCount, packRegisters(values));
}

std::optional<ControlRecord> controlRecordFromReply(const ReplyReader &reply)
{
    // The data are reply bytes 3..16, whatever the byte count says (the
    // engine has confirmed it already).
    if (!reply.has(3 + BlockBytes))
        return std::nullopt;
    std::array<qint32, ControlRegisterCount> values{};
    unpackRegisters(reply.bytes(3, BlockBytes), values);
    ControlRecord record;
    for (int k = 0; k < ControlRegisterCount; ++k)
        record.words[k] = static_cast<qint16>(values[k]);
    return record;
}

} // namespace krv
