#include "csvwriter.h"

#include <QIODevice>

namespace krv {

QString CsvWriter::field(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') &&
        !text.contains(u'\n'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

bool CsvWriter::writeRow(const QStringList &fields)
{
    if (!m_ok)
        return false;
    QString line;
    if (!m_started) {
        line = QStringLiteral("\uFEFF");
        m_started = true;
    }
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += u',';
        line += field(fields[i]);
    }
    line += QStringLiteral("\r\n");
    const QByteArray bytes = line.toUtf8();
    m_ok = m_out.write(bytes) == bytes.size();
    return m_ok;
}

} // namespace krv
