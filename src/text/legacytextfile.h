#pragma once
// The parameter files the editors save and restore: GB2312 text, CR LF line
// ends, fields separated by two blanks. Reading is free-format: blanks, commas
// and line ends separate the values, and a value that starts with a double
// quote runs to the next double quote.

#include "text/gb2312.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace krv {

// The name as typed, with `extension` (".CON") appended when it holds no "."
// anywhere (a dot in a folder name counts too).
QString withDefaultExtension(const QString &typed, const QString &extension);

// How a box's text is written as a field so that reading gives it back: as it
// stands when it holds no blank, comma or tab and is not empty; in double
// quotes otherwise. A text with a double quote or a line break cannot be
// written (nothing to return).
std::optional<QString> textField(const QString &text);

// One line of fields (already written as fields), two blanks apart, in
// GB2312 with CR LF.
QByteArray fieldLine(const QStringList &fields);

// Writes the lines atomically: either the whole new file is in place or the
// old one (if any) is untouched. On failure `error` holds the system's reason.
bool saveLines(const QString &path, const QList<QByteArray> &lines, QString *error);

// The first `count` values of a free-format text, or nothing when it holds
// fewer.
std::optional<QStringList> readFields(const QString &text, int count);

// A parameter file is a few hundred bytes: a larger file is no parameter file
// and is not read whole.
inline constexpr qint64 FieldFileMaxBytes = 64 * 1024;

struct FieldFile
{
    enum class Fault {
        None,
        CannotRead,       // `error` holds the system's reason
        NotARegularFile,  // a directory, a device, a pipe
        TooLarge,         // larger than FieldFileMaxBytes; `size` holds its size
        ControlCharacter, // a control character other than CR, LF, tab: `byte` at `at`
        Utf8,             // UTF-8 text, not GB2312
        NotGb2312,        // the bytes from `at` on are no GB2312 character
        TooShort,         // fewer values than asked for
    };
    Fault fault = Fault::None;
    QStringList fields; // the first `count` values when ok
    QString error;
    qint64 size = 0;
    qsizetype at = -1;
    uchar byte = 0;
    bool ok() const { return fault == Fault::None; }
};
// Reads the first `count` values of a GB2312 text file. Only a regular file
// is opened (a pipe or a device could keep the open or the read waiting for
// good), and never more than FieldFileMaxBytes + 1 bytes of it are read.
FieldFile readFieldFile(const QString &path, int count);

} // namespace krv
