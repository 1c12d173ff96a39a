#include "legacytextfile.h"

#include "gb2312.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace krv {

namespace {
bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}
bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}
} // namespace

QString withDefaultExtension(const QString &typed, const QString &extension)
{
    return typed.contains(QLatin1Char('.')) ? typed : typed + extension;
}

std::optional<QString> textField(const QString &text)
{
    const QChar quote = QLatin1Char('"');
    for (QChar c : text) {
        if (c == quote || isLineEnd(c))
            return std::nullopt;
    }
    const bool plain = !text.isEmpty() && std::none_of(text.begin(), text.end(), [](QChar c) {
        return isBlank(c) || c == QLatin1Char(',');
    });
    return plain ? text : quote + text + quote;
}

QByteArray fieldLine(const QStringList &fields)
{
    return gb2312Line(fields.join(QStringLiteral("  ")));
}

bool saveLines(const QString &path, const QList<QByteArray> &lines, QString *error)
{
    // Unbuffered, so that a short write (a full disk) is seen at once: a
    // buffered flush would take the part that fitted for the whole.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = file.errorString();
        return false;
    }
    for (const QByteArray &line : lines) {
        const qint64 written = file.write(line);
        if (written == line.size())
            continue;
        if (written >= 0) // the rest fails with the system's reason
            file.write(line.mid(written));
        *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

std::optional<QStringList> readFields(const QString &text, int count)
{
    QStringList out;
    qsizetype pos = 0;
    const qsizetype end = text.size();
    auto skipBlanks = [&] {
        while (pos < end && isBlank(text[pos]))
            ++pos;
    };
    while (out.size() < count) {
        while (pos < end && (isBlank(text[pos]) || isLineEnd(text[pos])))
            ++pos;
        if (pos >= end)
            return std::nullopt;
        if (text[pos] == QLatin1Char('"')) {
            const qsizetype close = text.indexOf(QLatin1Char('"'), pos + 1);
            const qsizetype stop = close < 0 ? end : close;
            out << text.mid(pos + 1, stop - pos - 1);
            pos = close < 0 ? end : close + 1;
        } else {
            const qsizetype start = pos;
            while (pos < end && !isBlank(text[pos]) && !isLineEnd(text[pos]) &&
                   text[pos] != QLatin1Char(','))
                ++pos;
            out << text.mid(start, pos - start);
        }
        // One comma after a value (blanks before it allowed) is its separator.
        skipBlanks();
        if (pos < end && text[pos] == QLatin1Char(','))
            ++pos;
    }
    return out;
}

namespace {
// Opens a regular file for reading, or says why not. A plain open of a pipe
// waits for a writer, so on Unix the file is opened without waiting and looked
// at before anything is read.
bool openRegularFile(const QString &path, QFile &file, FieldFile &result)
{
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        result.fault = FieldFile::Fault::CannotRead;
        result.error = qt_error_string(errno);
        return false;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        result.fault = FieldFile::Fault::NotARegularFile;
        return false;
    }
    result.size = st.st_size;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        result.fault = FieldFile::Fault::CannotRead;
        result.error = file.errorString();
        return false;
    }
#else
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        result.fault = FieldFile::Fault::NotARegularFile;
        return false;
    }
    result.size = info.size();
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.fault = FieldFile::Fault::CannotRead;
        result.error = file.errorString();
        return false;
    }
#endif
    if (result.size > FieldFileMaxBytes) {
        result.fault = FieldFile::Fault::TooLarge;
        return false;
    }
    return true;
}
} // namespace

FieldFile readFieldFile(const QString &path, int count)
{
    FieldFile result;
    QFile file;
    if (!openRegularFile(path, file, result))
        return result;
    // One byte past the limit tells a file that grew since it was looked at.
    const QByteArray bytes = file.read(FieldFileMaxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        result.fault = FieldFile::Fault::CannotRead;
        result.error = file.errorString();
        return result;
    }
    if (bytes.size() > FieldFileMaxBytes) {
        result.fault = FieldFile::Fault::TooLarge;
        result.size = std::max(result.size, qint64(bytes.size()));
        return result;
    }
    const Gb2312Text text = readGb2312Text(bytes);
    switch (text.refusal) {
    case Gb2312Text::Refusal::None:
        break;
    case Gb2312Text::Refusal::ControlCharacter:
        result.fault = FieldFile::Fault::ControlCharacter;
        result.at = text.at;
        result.byte = uchar(bytes[text.at]);
        return result;
    case Gb2312Text::Refusal::Utf8:
        result.fault = FieldFile::Fault::Utf8;
        return result;
    case Gb2312Text::Refusal::NotGb2312:
        result.fault = FieldFile::Fault::NotGb2312;
        result.at = text.at;
        return result;
    }
    const auto fields = readFields(text.text, count);
    if (!fields)
        result.fault = FieldFile::Fault::TooShort;
    else
        result.fields = *fields;
    return result;
}

} // namespace krv
