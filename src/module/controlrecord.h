#pragma once
// The control parameter block of one channel (0..8) as the control editor
// reads and writes it: its seven register words, the nine box texts they are
// shown as, the conversions between the two and the block's requests.
//
// Block c occupies holding registers 0x0100 + 18c + 2 .. + 8: start order and
// input channel (high and low byte of one word), phase offset and sample time
// (likewise), set temperature, D0, D1, D2 and control range.

#include "module/inputrefusal.h"
#include "module/moduledata.h"
#include "protocol/requests.h"

#include <QString>

#include <array>
#include <optional>

namespace krv {

// The editor's rows, top to bottom; also the field order of a .CON line.
enum class ControlRow {
    StartOrder,
    InputChannel,
    PhaseOffset,
    SampleTime,
    SetTemperature,
    CoefficientD0,
    CoefficientD1,
    CoefficientD2,
    ControlRange,
};
constexpr int ControlRowCount = 9;
constexpr int ControlRegisterCount = 7;

// The nine box texts of one channel, in row order.
using ControlTexts = std::array<QString, ControlRowCount>;

// The block's words in register order.
struct ControlRecord
{
    enum Word {
        OrderAndInput,  // high byte: start order, low byte: input channel
        PhaseAndSample, // high byte: phase offset, low byte: sample time
        SetTemperature,
        CoefficientD0,
        CoefficientD1,
        CoefficientD2,
        ControlRange,
    };
    std::array<qint16, ControlRegisterCount> words{};
};

// First register of channel c's block: 0x0102, 0x0114, ... 0x0192.
quint16 controlBlockStart(int channel);

// Texts to a record. The packed words are high × 256 + low with fractions
// allowed, then every value is taken to the nearest whole number, halves to
// even, and must lie in -32768..32767; an input channel or sample time of 256
// or more carries into the high byte. Refuses the first box, in word order,
// that cannot be written.
std::optional<InputRefusal> textsToRecord(int channel, const ControlTexts &texts,
                                          ControlRecord &record);
// A record as its boxes show it: the high bytes as the word divided by 256,
// truncated toward zero (0xFF05 shows start order 0), the low bytes as word AND 255.
ControlTexts recordToTexts(const ControlRecord &record);

// Channel c's read request (seven registers).
Request controlReadRequest(quint8 station, int channel);
// Channel c's write request: its record as register bytes.
Request controlWriteRequest(quint8 station, int channel, const ControlRecord &record);
// The record a read reply carries in bytes 3..16; nothing when the reply holds
// fewer than 17 bytes.
std::optional<ControlRecord> controlRecordFromReply(const ReplyReader &reply);

} // namespace krv
