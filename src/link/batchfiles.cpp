#include "link/batchfiles.h"

#include "module/parameterfiles.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QtGlobal>

#include <utility>

namespace krv {

namespace {

constexpr int StationMin = 1;
constexpr int StationMax = 255;

// Reads a file of the given kind: refused when its extension is the other
// kind's, then as the editors restore it.
ParameterFileLoad loadFile(const QString &path, const char *otherExtension, int valueCount)
{
    ParameterFileLoad load;
    if (QFileInfo(path).suffix().compare(QLatin1String(otherExtension), Qt::CaseInsensitive) == 0) {
        load.problem = ParameterFileLoad::Problem::WrongKind;
        return load;
    }
    load.file = readFieldFile(path, valueCount);
    if (!load.file.ok())
        load.problem = ParameterFileLoad::Problem::Unreadable;
    return load;
}

QString firmwareText(const DeviceId &id)
{
    return QStringLiteral("%1.%2").arg(id.major).arg(id.minor);
}

// Backups are written from numbers only, which never need quoting.
QList<QByteArray> lines(const QList<QStringList> &rows)
{
    QList<QByteArray> out;
    for (const QStringList &row : rows)
        out << fieldLine(row);
    return out;
}

} // namespace

StationList parseStationList(const QString &text)
{
    StationList list;
    static const QRegularExpression item(QStringLiteral("^(\\d+)(?:-(\\d+))?([aArR]?)$"));
    const QStringList tokens =
        text.split(QRegularExpression(QStringLiteral("[,，\\s]+")), Qt::SkipEmptyParts);
    if (tokens.isEmpty()) {
        list.fault = StationList::Fault::Empty;
        return list;
    }
    QList<bool> seen(StationMax + 1, false);
    for (const QString &token : tokens) {
        const auto match = item.match(token);
        if (!match.hasMatch()) {
            list.fault = StationList::Fault::NotAnAddress;
            list.token = token;
            return list;
        }
        bool ok = true;
        const int first = match.captured(1).toInt(&ok);
        const int last = match.captured(2).isEmpty() ? first : match.captured(2).toInt(&ok);
        if (!ok || first < StationMin || first > StationMax || last < StationMin ||
            last > StationMax) {
            list.fault = StationList::Fault::OutOfRange;
            list.token = token;
            return list;
        }
        if (last < first) {
            list.fault = StationList::Fault::Descending;
            list.token = token;
            return list;
        }
        const bool ascii = match.captured(3).compare(QLatin1String("a"), Qt::CaseInsensitive) == 0;
        for (int station = first; station <= last; ++station) {
            if (std::exchange(seen[station], true))
                continue;
            list.targets.append({static_cast<quint8>(station), ascii});
        }
    }
    return list;
}

QString stationListText(const QList<BatchTarget> &targets)
{
    QStringList parts;
    for (qsizetype i = 0; i < targets.size();) {
        qsizetype j = i;
        while (j + 1 < targets.size() && targets[j + 1].ascii == targets[i].ascii &&
               targets[j + 1].station == targets[j].station + 1)
            ++j;
        QString part = QString::number(targets[i].station);
        if (j > i)
            part += QLatin1Char('-') + QString::number(targets[j].station);
        if (targets[i].ascii)
            part += QLatin1Char('a');
        parts << part;
        i = j + 1;
    }
    return parts.join(QLatin1Char(','));
}

ParameterFileLoad loadControlFile(const QString &path)
{
    ParameterFileLoad load = loadFile(path, "ALM", ControlFileValues);
    if (!load.ok())
        return load;
    if (auto refused =
            controlRecordsFromTexts(controlTextsFromValues(load.file.fields), load.control)) {
        load.problem = ParameterFileLoad::Problem::Refused;
        load.refusal = refused;
    }
    return load;
}

ParameterFileLoad loadAlarmFile(const QString &path)
{
    ParameterFileLoad load = loadFile(path, "CON", AlarmFileValues);
    if (!load.ok())
        return load;
    const auto texts = alarmTextsFromValues(load.file.fields, &load.index);
    if (!texts) {
        load.problem = ParameterFileLoad::Problem::BadPosition;
        return load;
    }
    if (auto refused = alarmRecordsFromTexts(*texts, load.alarm)) {
        load.problem = ParameterFileLoad::Problem::Refused;
        load.refusal = refused;
    }
    return load;
}

QString backupName(const ModuleResult &result, const char *extension)
{
    return QStringLiteral("%1_%2.%3")
        .arg(result.target.station)
        .arg(result.serialNumber)
        .arg(QLatin1String(extension));
}

BackupFile controlBackup(const ModuleResult &result)
{
    return {backupName(result, "CON"),
            lines(controlFileRows(controlTextsFromRecords(result.controlRead)))};
}

BackupFile alarmBackup(const ModuleResult &result)
{
    return {
        backupName(result, "ALM"),
        lines(alarmFileRows(alarmTextsFromRecords(result.alarmRead, result.moduleControlRead)))};
}

QString framingName(const BatchTarget &target, bool modbusTcp)
{
    if (modbusTcp)
        return QStringLiteral("TCP");
    return target.ascii ? QStringLiteral("ASCII") : QStringLiteral("RTU");
}

const char *outcomeSource(PartOutcome outcome)
{
    switch (outcome) {
    case PartOutcome::NotAsked:
        return "";
    case PartOutcome::Verified:
        return QT_TRANSLATE_NOOP("krv::BatchText", "一致");
    case PartOutcome::Read:
        return QT_TRANSLATE_NOOP("krv::BatchText", "已读取");
    case PartOutcome::Differs:
        return QT_TRANSLATE_NOOP("krv::BatchText", "不一致");
    case PartOutcome::Failed:
        return QT_TRANSLATE_NOOP("krv::BatchText", "失败");
    case PartOutcome::NoAnswer:
        return QT_TRANSLATE_NOOP("krv::BatchText", "无应答");
    case PartOutcome::Unsupported:
        return QT_TRANSLATE_NOOP("krv::BatchText", "非本系列模块");
    case PartOutcome::Skipped:
        return QT_TRANSLATE_NOOP("krv::BatchText", "未进行");
    case PartOutcome::Stopped:
        return QT_TRANSLATE_NOOP("krv::BatchText", "已停止");
    }
    return "";
}

const char *fileSource(BlockDifference::File file)
{
    return file == BlockDifference::File::Control ? QT_TRANSLATE_NOOP("krv::BatchText", "控制参数")
                                                  : QT_TRANSLATE_NOOP("krv::BatchText", "报警参数");
}

const char *rowSource(const BlockDifference &difference)
{
    static constexpr std::array<const char *, ControlRowCount> controlRows{
        QT_TRANSLATE_NOOP("krv::BatchText", "启动顺序"),
        QT_TRANSLATE_NOOP("krv::BatchText", "输入通道"),
        QT_TRANSLATE_NOOP("krv::BatchText", "相位偏移"),
        QT_TRANSLATE_NOOP("krv::BatchText", "采样时间"),
        QT_TRANSLATE_NOOP("krv::BatchText", "设置温度"),
        QT_TRANSLATE_NOOP("krv::BatchText", "系数D0"),
        QT_TRANSLATE_NOOP("krv::BatchText", "系数D1"),
        QT_TRANSLATE_NOOP("krv::BatchText", "系数D2"),
        QT_TRANSLATE_NOOP("krv::BatchText", "控制范围"),
    };
    static constexpr std::array<const char *, 4> alarmRows{
        QT_TRANSLATE_NOOP("krv::BatchText", "上限设置"),
        QT_TRANSLATE_NOOP("krv::BatchText", "下限设置"),
        QT_TRANSLATE_NOOP("krv::BatchText", "相对报警"),
        QT_TRANSLATE_NOOP("krv::BatchText", "预警控制"),
    };
    static constexpr std::array<const char *, 5> moduleControlRows{
        QT_TRANSLATE_NOOP("krv::BatchText", "请求输出"),
        QT_TRANSLATE_NOOP("krv::BatchText", "串口输出"),
        QT_TRANSLATE_NOOP("krv::BatchText", "测温通道"),
        QT_TRANSLATE_NOOP("krv::BatchText", "控温启动"),
        QT_TRANSLATE_NOOP("krv::BatchText", "寄 存 器"),
    };
    const auto pick = [&](const auto &rows) {
        return difference.row >= 0 && difference.row < int(rows.size()) ? rows[difference.row] : "";
    };
    if (difference.file == BlockDifference::File::Control)
        return pick(controlRows);
    if (difference.block == AlarmBlock::ModuleControl)
        return pick(moduleControlRows);
    return pick(alarmRows);
}

QString differencePlace(const BlockDifference &difference)
{
    const bool moduleControl = difference.file == BlockDifference::File::Alarm &&
                               difference.block == AlarmBlock::ModuleControl;
    return QStringLiteral("%1 %2%3 %4")
        .arg(QString::fromUtf8(fileSource(difference.file)),
             moduleControl ? QStringLiteral("块") : QStringLiteral("通道"))
        .arg(difference.block)
        .arg(QString::fromUtf8(rowSource(difference)));
}

QStringList reportTitles()
{
    return {QStringLiteral("站号"),     QStringLiteral("协议"),       QStringLiteral("型号"),
            QStringLiteral("版本"),     QStringLiteral("序列号"),     QStringLiteral("控制参数"),
            QStringLiteral("报警参数"), QStringLiteral("第一处不同"), QStringLiteral("文件值"),
            QStringLiteral("模块值"),   QStringLiteral("不同的块数"), QStringLiteral("请求数"),
            QStringLiteral("重试数"),   QStringLiteral("用时(ms)")};
}

QStringList reportRow(const ModuleResult &r, bool modbusTcp)
{
    const auto &d = r.firstDifference;
    return {QString::number(r.target.station),
            framingName(r.target, modbusTcp),
            r.answered ? QString::fromLatin1(r.id.id).trimmed() : QString(),
            r.answered ? firmwareText(r.id) : QString(),
            r.serialKnown ? QString::number(r.serialNumber) : QString(),
            QString::fromUtf8(outcomeSource(r.control)),
            QString::fromUtf8(outcomeSource(r.alarm)),
            d ? differencePlace(*d) : QString(),
            d ? d->fileValue : QString(),
            d ? d->moduleValue : QString(),
            QString::number(r.differences),
            QString::number(r.requests),
            QString::number(r.retries),
            QString::number(r.elapsedMs)};
}

} // namespace krv
