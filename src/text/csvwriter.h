#pragma once
// CSV as spreadsheet programs take it: UTF-8 with a byte order mark, fields
// separated by commas and quoted (quotes doubled) when they hold a comma, a
// quote or a line break, CR LF line ends. Every write is checked.

#include <QStringList>

class QIODevice;

namespace krv {

class CsvWriter
{
public:
    explicit CsvWriter(QIODevice &out) : m_out(out) {}

    // Writes one line (the byte order mark before the first). False once the
    // device has refused bytes; nothing more is written then.
    bool writeRow(const QStringList &fields);
    bool ok() const { return m_ok; }

    // A field as it is written.
    static QString field(const QString &text);

private:
    QIODevice &m_out;
    bool m_started = false;
    bool m_ok = true;
};

} // namespace krv
