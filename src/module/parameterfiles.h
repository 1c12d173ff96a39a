#pragma once
// The layouts of the parameter files, apart from where their texts come from
// (an editor's boxes, or blocks read from a module): a .CON holds nine lines,
// one per channel 0..8, of the nine control rows' texts; an .ALM holds eight
// lines, one per channel 0..7, of upper limit, relative alarm, lower limit and
// pre-alarm, then a line of the module control block: request output (list
// position), serial output, measured channels, start mode and register
// addressing (list positions).

#include "module/alarmrecord.h"
#include "module/controlrecord.h"
#include "module/inputrefusal.h"

#include <QList>
#include <QStringList>

#include <array>
#include <optional>

namespace krv {

constexpr int ControlFileValues = ControlRowCount * BlockCount; // 81
constexpr int AlarmFileValues = 4 * ChannelCount + 5;           // 37

using ControlFileTexts = std::array<ControlTexts, BlockCount>;

struct AlarmFileTexts
{
    std::array<AlarmChannelTexts, ChannelCount> channels;
    ModuleControlFields control;
};

// The file's lines as texts, in file order.
QList<QStringList> controlFileRows(const ControlFileTexts &texts);
QList<QStringList> alarmFileRows(const AlarmFileTexts &texts);
// Where a value of the file (0-based, in file order) belongs: its line, and
// for .CON the channel and row, for .ALM the channel (-1: block 8) and field.
struct FileValuePlace
{
    int line = 0;
    int channel = 0;
    int field = 0; // .CON: ControlRow; .ALM: 0 upper, 1 relative, 2 lower, 3 pre-alarm;
                   // block 8: 0 request output .. 4 addressing
};
FileValuePlace controlValuePlace(int index);
FileValuePlace alarmValuePlace(int index);

// A file's values (ControlFileValues / AlarmFileValues of them, as the reader
// gives them) as texts. The .ALM list positions are numbers; a position is the
// value AND 1 (a file saved with nothing selected holds -1), and a value that
// is no number is refused.
ControlFileTexts controlTextsFromValues(const QStringList &values);
std::optional<AlarmFileTexts> alarmTextsFromValues(const QStringList &values,
                                                   int *badIndex = nullptr);

// The texts as records, as the editors write them; the first field that
// cannot be written is refused.
std::optional<InputRefusal> controlRecordsFromTexts(const ControlFileTexts &texts,
                                                    std::array<ControlRecord, BlockCount> &records);
std::optional<InputRefusal> alarmRecordsFromTexts(const AlarmFileTexts &texts,
                                                  std::array<AlarmRecord, BlockCount> &records);
// Records as the editors show them, to save them.
ControlFileTexts controlTextsFromRecords(const std::array<ControlRecord, BlockCount> &records);
AlarmFileTexts alarmTextsFromRecords(const std::array<AlarmRecord, BlockCount> &records,
                                     const ModuleControl &moduleControl);

} // namespace krv
