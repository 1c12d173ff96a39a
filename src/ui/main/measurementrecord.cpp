#include "measurementrecord.h"

#include "text/gb2312.h"
#include "text/numbertext.h"

namespace krv {

QString MeasurementRecord::fileNameFor(const QString &typed)
{
    return typed.contains(QLatin1Char('.')) ? typed : typed + QStringLiteral(".DAT");
}

QString MeasurementRecord::recordLine(const QTime &time, const std::array<qint32, 9> &values)
{
    const QString gap = QStringLiteral("  ");
    QString line = timeStamp(time) + gap;
    for (int ch = 0; ch < 8; ++ch)
        line += freeFormatNumber(values[ch]) + gap;
    return line;
}

bool MeasurementRecord::start(const QString &name, const QDateTime &now, QString *error)
{
    abandon();
    m_file.setFileName(name);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        *error = m_file.errorString();
        return false;
    }
    return writeLine(dateTimeStamp(now), error);
}

bool MeasurementRecord::append(const QString &line, QString *error)
{
    if (!m_file.isOpen())
        return false;
    return writeLine(line, error);
}

bool MeasurementRecord::stop(const QDateTime &now, QString *error)
{
    if (!m_file.isOpen())
        return true;
    if (!writeLine(dateTimeStamp(now), error))
        return false;
    m_file.close();
    return true;
}

void MeasurementRecord::abandon()
{
    if (m_file.isOpen())
        m_file.close();
}

bool MeasurementRecord::writeLine(const QString &line, QString *error)
{
    const QByteArray bytes = gb2312Line(line);
    if (m_file.write(bytes) != bytes.size()) {
        *error = m_file.errorString();
        m_file.close();
        return false;
    }
    return true;
}

} // namespace krv
