#pragma once
// The alarm editor's blocks, without widgets: nine blocks of three holding
// registers read and written whole (the alarm blocks of channels 0..7 from
// 0x01A8, ten registers apart, and the module control block 8 at 0x01F8), and
// the conversions between the window's fields and the register values.
//
// Channel block registers: 0 upper limit, 1 lower limit, 2 pre-alarm control
// in bits 15..12 and relative alarm in bits 11..0. All raw register integers.

#include "module/inputrefusal.h"
#include "module/moduledata.h"
#include "protocol/requests.h"

#include <QString>

#include <array>
#include <optional>

namespace krv {

namespace AlarmBlock {
constexpr int ModuleControl = 8; // blocks 0..7 are channels 0..7
constexpr int Count = BlockCount;
constexpr int Registers = 3;
constexpr quint16 start(int block)
{
    return static_cast<quint16>(0x01A8 + 10 * block);
}
constexpr bool valid(int block)
{
    return block >= 0 && block < Count;
}
} // namespace AlarmBlock

// The widest whole number a text is read as where only its low bits count
// (the list positions of an .ALM file), and the highest register address.
constexpr qint32 RegisterMin = -65536;
constexpr qint32 RegisterMax = 65535;
constexpr qint32 AddressMax = 32767;

// The values a field can mean; beyond them a value would be cut, wrapped or
// carried into its neighbour, so it is refused instead.
struct FieldRange
{
    qint32 low = 0;
    qint32 high = 0;
    constexpr bool holds(double v) const { return v >= low && v <= high; }
};
namespace AlarmRange {
// Upper and lower limit: one register, read back signed.
constexpr FieldRange Limit{-32768, 32767};
// The relative alarm fills the low 12 bits of register 2 (with its sign),
// the pre-alarm control the 4 bits above; the module reports at most -8 for
// the pre-alarm (a register of 0x8000 and above, read signed).
constexpr FieldRange RelativeAlarm{-4095, 4095};
constexpr FieldRange PreAlarm{-8, 15};
// Pre-alarm × 4096 + relative alarm: one register, read signed or not.
constexpr FieldRange PackedAlarm{-32768, 65535};
// "串口输出": 0 off, 1..11 registers per output (bits 11..8 of register 0).
constexpr FieldRange SerialOutput{0, 11};
// "测温通道": the number of channels measured.
constexpr FieldRange MeasuredChannels{1, 7};
// A single register's or switch's address.
constexpr FieldRange Address{0, AddressMax};
// A single register's value, read signed or not.
constexpr FieldRange RegisterValue{-32768, 65535};
} // namespace AlarmRange

// A channel column's four boxes, as they hold their texts.
struct AlarmChannelTexts
{
    QString upperLimit;    // register 0
    QString lowerLimit;    // register 1
    QString relativeAlarm; // register 2 bits 11..0
    QString preAlarm;      // register 2 bits 15..12
};

// The block-8 fields: list positions (-1 while nothing is selected,
// NotAnItem for typed text that is none of the items) and texts.
struct ModuleControlFields
{
    static constexpr int NotAnItem = -2;
    int requestOutput = -1;      // register 0 bit 0
    QString serialOutput;        // register 0 bits 11..8
    QString measuredChannels;    // register 2
    int startMode = -1;          // register 1 bit 0
    int registerAddressing = -1; // register 0 bit 15: continuous addressing
};

// One block's register values.
struct AlarmRecord
{
    std::array<qint32, AlarmBlock::Registers> values{};
};

// A box's number as a whole number: decimal text, a fraction rounded halves to
// even, within [lo, hi]; or why not.
struct FieldNumber
{
    qint32 value = 0;
    std::optional<InputRefusal::Reason> fault;
};
FieldNumber fieldNumber(const QString &text, qint32 lo, qint32 hi);
// A box's number where only a whole number will do (an address, a count):
// decimal text without a fraction (NotWhole), within the range.
FieldNumber wholeNumber(const QString &text, FieldRange range);
// "单元内容": any number but zero switches on; nothing when the text is no number.
std::optional<bool> switchOn(const QString &text);

// Channel `channel`'s fields into a record: the limits within
// AlarmRange::Limit (fractions rounded halves to even), the relative alarm
// and the pre-alarm within their ranges, register 2 = pre-alarm × 4096 +
// relative alarm, rounded after adding, within AlarmRange::PackedAlarm. A
// refused field leaves the record as it was.
std::optional<InputRefusal> channelToRecord(int channel, const AlarmChannelTexts &texts,
                                            AlarmRecord &record);
// The block-8 fields into a record: register 0 = serial output × 256 +
// addressing × 32768 + request output, register 1 = start mode, register 2
// = measured channels. A list without a selection or with typed text, a
// serial output or a channel count that is no whole number within its
// range (a negative serial output as Negative) are refused: each would put
// bits into the control word that the user never chose.
std::optional<InputRefusal> moduleControlToRecord(const ModuleControlFields &fields,
                                                  AlarmRecord &record);
// A channel record as its boxes show it: the relative alarm is register 2's
// remainder by 4096 and the pre-alarm control its quotient, both with its sign.
AlarmChannelTexts recordToChannel(const AlarmRecord &record);
// The module control values as the block-8 fields show them.
ModuleControlFields moduleControlToFields(const ModuleControl &control);

Request alarmReadRequest(quint8 station, int block);
Request alarmWriteRequest(quint8 station, int block, const AlarmRecord &record);
// The record a read reply carries in bytes 3..8; nothing when the reply
// holds fewer than 9 bytes.
std::optional<AlarmRecord> alarmRecordFromReply(const ReplyReader &reply);

} // namespace krv
