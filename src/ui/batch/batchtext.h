#pragma once
// The batch job in the words of the interface, for the batch window and the
// command line alike: part outcomes, the step in work, the places where a
// module and a file differ, the result table, why a station list or a
// parameter file is refused, and what happened to a module's backup files.
// Files never use these words: the CSV report keeps the fixed Chinese of
// link/batchfiles.h (reportTitles / reportRow).

#include "link/batchfiles.h"
#include "link/batchjob.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

namespace krv {

class BatchText
{
    Q_DECLARE_TR_FUNCTIONS(krv::BatchText)
public:
    // "写入并校验", "读取备份", "比较".
    static QString action(BatchAction action);

    // A part's outcome: "一致", "已读取", "不一致", "失败", "无应答",
    // "非本系列模块", "未进行", "已停止"; empty for NotAsked.
    static QString outcome(PartOutcome outcome);
    // A module as a whole: "完成" (succeeded), "已停止" (a part was cut short
    // or never reached: never "完成"), "无应答", "非本系列模块", "不一致"
    // or "失败".
    static QString verdict(const ModuleResult &result);

    // "控制参数" / "报警参数".
    static QString file(BlockDifference::File file);
    // The row's caption: "系数D1", "下限设置", "串口输出" ...
    static QString row(const BlockDifference &difference);
    // "控制参数 通道3 系数D1"; block 8 of the alarm file "报警参数 块8 串口输出".
    static QString place(const BlockDifference &difference);
    // "控制参数 通道3 系数D1：文件 12，模块 13".
    static QString difference(const BlockDifference &difference);

    // The step in work, for a progress bar or a progress line:
    // "模块 5：写入控制参数 通道3（第2次）", "模块 5：读取设备标识".
    static QString step(const BatchStep &step);

    // The result table, the report's columns in the words of the interface:
    // titles, and one module's row (outcomes translated, the framing "RTU",
    // "ASCII" or "TCP").
    static QStringList titles();
    static QStringList resultRow(const ModuleResult &result, bool modbusTcp);

    // "共4个模块：2个完成，1个不一致，1个失败，0个已停止" (each module by its
    // verdict; no answer and not a module of the family count as failed).
    static QString summary(const QList<ModuleResult> &results);

    // Why a typed station list is refused (empty when it is not):
    // "“0”不在1～255之间", "“5-2”：范围应从小到大" ...
    static QString stationListFault(const StationList &list);

    // Why a parameter file is refused, naming the file and, where there is
    // one, its line, the channel and row and the value; ends "没有发送。"
    // (nothing goes to any module). `load` comes from loadControlFile /
    // loadAlarmFile for `path`; empty when the load is ok.
    static QString loadProblem(const QString &path, const ParameterFileLoad &load,
                               BlockDifference::File expected);

    // Backup files. `path` is the file's full path.
    // "已保存 %1".
    static QString backupSaved(const QString &path);
    // The folder or file cannot be written: "文件%1无法写入：%2" (the system's
    // reason as given).
    static QString backupNotWritten(const QString &path, const QString &reason);
    // An existing file left as it was (the user chose not to replace files).
    static QString backupKept(const QString &path);
    // Another module of the batch has the same serial number: "序列号与站号2、7相同".
    static QString duplicateSerial(const QList<quint8> &otherStations);
};

} // namespace krv
