#pragma once
// The measurement record file: a start time stamp line, one line per
// measurement reply, a stop time stamp line. GB2312 text, CR LF line ends.
// The file is written unbuffered, line by line, so what was recorded is on
// disk even when the program ends without the stop line.

#include "module/moduledata.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <array>

namespace krv {

class MeasurementRecord
{
public:
    // Added to a name typed without a dot.
    static inline const QString DefaultExtension = QStringLiteral(".DAT");
    // "hh:mm:ss", then each channel as free-format output; every item is
    // followed by two blanks.
    static QString recordLine(const QTime &time, const ChannelValues &values);

    bool isOpen() const { return m_file.isOpen(); }

    // Creates (or replaces) the file and writes the start time stamp. On failure
    // the file is closed and error holds the system's reason.
    bool start(const QString &name, const QDateTime &now, QString *error);
    // Appends one line; a failed write closes the file.
    bool append(const QString &line, QString *error);
    // Writes the stop time stamp and closes.
    bool stop(const QDateTime &now, QString *error);
    // Closes without the stop time stamp (the program is ending).
    void abandon();

private:
    bool writeLine(const QString &line, QString *error);

    QFile m_file;
};

} // namespace krv
