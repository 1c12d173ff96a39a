#pragma once
// Legacy text files are GB2312 with CR LF line ends.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace krv {

// Encodes one line (without its end) and appends CR LF. Characters GB2312 lacks
// become '?', so a line is never silently shortened.
QByteArray gb2312Line(const QString &line);
QString fromGb2312(const QByteArray &bytes);

// A file's bytes read as GB2312 text, strictly: what is not text, or not
// GB2312, is refused rather than shown as wrong characters.
struct Gb2312Text
{
    enum class Refusal {
        None,
        ControlCharacter, // a control character other than CR, LF and tab, at `at`
        Utf8,             // UTF-8 text (a byte order mark, or UTF-8 characters)
        NotGb2312,        // the bytes from `at` on are no GB2312 character
    };
    QString text; // when not refused
    Refusal refusal = Refusal::None;
    qsizetype at = -1; // the offset of the refused byte
};
// Bytes that are both valid UTF-8 and valid GB2312 are taken as UTF-8 only when
// every non-ASCII character they give as UTF-8 takes three or four bytes
// (Chinese, "€", emoji): GB2312 characters that happen to be valid UTF-8 read
// as two-byte letters and stay GB2312.
Gb2312Text readGb2312Text(QByteArrayView bytes);

// The characters of `text` that a GB2312 file cannot hold so that it reads
// back as written (control characters other than tab, CR and LF among them),
// each once, in order of appearance.
QStringList charactersOutsideGb2312(QStringView text);

} // namespace krv
