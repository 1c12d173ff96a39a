#include "legacytextfile.h"

#include "gb2312.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>

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

FieldFile readFieldFile(const QString &path, int count)
{
    FieldFile result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    const auto fields = readFields(fromGb2312(bytes), count);
    if (!fields)
        result.tooShort = true;
    else
        result.fields = *fields;
    return result;
}

} // namespace krv
