#include "measurementrecord.h"

#include "text/gb2312.h"
#include "text/legacytextfile.h"
#include "text/numbertext.h"

namespace krv {

QString MeasurementRecord::recordLine(const QTime &time, const ChannelValues &values)
{
    const QString gap = QStringLiteral("  ");
    QString line = timeStamp(time) + gap;
    for (int ch = 0; ch < ChannelCount; ++ch)
        line += freeFormatNumber(values.values[ch]) + gap;
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
    const qint64 lineStart = m_file.pos();
    qint64 written = m_file.write(bytes);
    if (written == bytes.size())
        return true;
    // A full disk takes part of a line without an error; writing the rest then
    // fails with the system's reason ("No space left on device").
    if (written >= 0)
        written = m_file.write(bytes.mid(written));
    *error = m_file.errorString();
    // Leave the file ending with the last whole line.
    m_file.resize(lineStart);
    m_file.close();
    return false;
}

} // namespace krv
