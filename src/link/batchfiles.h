#pragma once
// What the batch window and the command line share around a batch job, apart
// from words: the station list as typed, the parameter files read into a
// parameter set (with the reason a file is refused), the backup files of a
// module (their names and bytes, as the editors save them) and the result
// report (fixed Chinese column titles and outcome words, since a file never
// depends on the interface language).

#include "link/batchjob.h"
#include "text/legacytextfile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace krv {

// A station list: addresses 1..255 and ranges, separated by commas or blanks;
// an address or range followed by "a" is spoken to in Modbus ASCII, by "r" or
// nothing in RTU: "2,5-7", "2 9a 11-13a". An address given twice keeps its
// first place and framing.
struct StationList
{
    enum class Fault { None, Empty, NotAnAddress, OutOfRange, Descending };
    Fault fault = Fault::None;
    QString token; // the part refused
    QList<BatchTarget> targets;
    bool ok() const { return fault == Fault::None; }
};
StationList parseStationList(const QString &text);
// The list as parseStationList reads it back (ranges kept short).
QString stationListText(const QList<BatchTarget> &targets);

// A parameter file read for a batch.
struct ParameterFileLoad
{
    enum class Problem {
        None,
        WrongKind,   // a .CON given as alarm file or the reverse (by its extension)
        Unreadable,  // see `file` (its fault, the system's reason, where)
        BadPosition, // an .ALM list position that is no number: value `index`
        Refused,     // a value that cannot be written: see `refusal`
    };
    Problem problem = Problem::None;
    FieldFile file;
    int index = -1; // the value's place in the file, 0-based
    std::optional<InputRefusal> refusal;
    std::array<ControlRecord, BlockCount> control{};
    std::array<AlarmRecord, BlockCount> alarm{};
    bool ok() const { return problem == Problem::None; }
};
ParameterFileLoad loadControlFile(const QString &path);
ParameterFileLoad loadAlarmFile(const QString &path);

// A module's backup: "<station>_<serial>.CON" and ".ALM", and their lines.
struct BackupFile
{
    QString name;
    QList<QByteArray> lines;
};
QString backupName(const ModuleResult &result, const char *extension);
BackupFile controlBackup(const ModuleResult &result);
BackupFile alarmBackup(const ModuleResult &result);

// The result report (a CSV file): a title row, then one row per module. On a
// Modbus TCP line the framing is "TCP".
QStringList reportTitles();
QStringList reportRow(const ModuleResult &result, bool modbusTcp);
// "RTU", "ASCII" or "TCP".
QString framingName(const BatchTarget &target, bool modbusTcp);
// The words as Chinese source texts, marked for translation in the context
// "krv::BatchText": the report uses them as they stand, a window or the
// command line translates them.
const char *outcomeSource(PartOutcome outcome);
const char *fileSource(BlockDifference::File file);       // "控制参数", "报警参数"
const char *rowSource(const BlockDifference &difference); // "系数D1", "下限设置", ...
// "控制参数 通道3 系数D1" (block 8: "报警参数 块8 串口输出"), untranslated.
QString differencePlace(const BlockDifference &difference);

} // namespace krv
