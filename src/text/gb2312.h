#pragma once
// Legacy text files are GB2312 with CR LF line ends.

#include <QByteArray>
#include <QString>

namespace krv {

// Encodes one line (without its end) and appends CR LF. Characters GB2312 lacks
// become '?', so a line is never silently shortened.
QByteArray gb2312Line(const QString &line);
QString fromGb2312(const QByteArray &bytes);

} // namespace krv
