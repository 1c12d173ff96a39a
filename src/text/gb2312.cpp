#include "gb2312.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace krv {

QByteArray gb2312Line(const QString &line)
{
    QStringEncoder enc("GB2312", QStringConverter::Flag::Default);
    QByteArray out = enc.encode(line);
    if (!enc.isValid() || enc.hasError()) {
        // Fall back character by character so one odd character costs one '?'.
        out.clear();
        for (QChar c : line) {
            QStringEncoder one("GB2312", QStringConverter::Flag::Stateless);
            QByteArray b = one.encode(QString(c));
            out += (one.hasError() || b.isEmpty()) ? QByteArray("?") : b;
        }
    }
    out += "\r\n";
    return out;
}

QString fromGb2312(const QByteArray &bytes)
{
    QStringDecoder dec("GB2312");
    return dec.decode(bytes);
}

namespace {
bool isControlByte(uchar b)
{
    return (b < 0x20 && b != '\t' && b != '\r' && b != '\n') || b == 0x7F;
}

// The text, or the offset of the first byte that starts no GB2312 character.
// A character is an ASCII byte or a lead byte A1..F7 with a trail A1..FE; the
// decoder alone is not enough: it takes 80..A0 as characters of their own and
// gives unassigned pairs as private-use characters.
qsizetype decodeStrictly(QByteArrayView bytes, QString *text)
{
    QStringDecoder pair("GB2312", QStringConverter::Flag::Stateless);
    text->clear();
    for (qsizetype i = 0; i < bytes.size();) {
        const uchar lead = uchar(bytes[i]);
        if (lead < 0x80) {
            *text += QLatin1Char(char(lead));
            ++i;
            continue;
        }
        if (lead < 0xA1 || lead > 0xF7 || i + 1 >= bytes.size() || uchar(bytes[i + 1]) < 0xA1 ||
            uchar(bytes[i + 1]) > 0xFE)
            return i;
        pair.resetState();
        const QString c = pair.decode(bytes.sliced(i, 2));
        if (pair.hasError() || c.size() != 1 || c[0].category() == QChar::Other_PrivateUse)
            return i;
        *text += c;
        i += 2;
    }
    return -1;
}

// Valid UTF-8 holding non-ASCII characters that GB2312 text would not give.
bool readsAsUtf8(QByteArrayView bytes, bool validGb2312)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return false;
    bool nonAscii = false;
    bool twoByte = false;
    for (QChar c : text) {
        nonAscii = nonAscii || c.unicode() >= 0x80;
        twoByte = twoByte || (c.unicode() >= 0x80 && c.unicode() < 0x800);
    }
    return nonAscii && (!validGb2312 || !twoByte);
}
} // namespace

Gb2312Text readGb2312Text(QByteArrayView bytes)
{
    Gb2312Text out;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        out.refusal = Gb2312Text::Refusal::Utf8;
        out.at = 0;
        return out;
    }
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (isControlByte(uchar(bytes[i]))) {
            out.refusal = Gb2312Text::Refusal::ControlCharacter;
            out.at = i;
            return out;
        }
    }
    QString text;
    const qsizetype bad = decodeStrictly(bytes, &text);
    const bool ascii =
        std::all_of(bytes.begin(), bytes.end(), [](char b) { return uchar(b) < 0x80; });
    if (!ascii && readsAsUtf8(bytes, bad < 0)) {
        out.refusal = Gb2312Text::Refusal::Utf8;
        out.at = 0;
    } else if (bad >= 0) {
        out.refusal = Gb2312Text::Refusal::NotGb2312;
        out.at = bad;
    } else {
        out.text = text;
    }
    return out;
}

QStringList charactersOutsideGb2312(QStringView text)
{
    QStringList outside;
    for (qsizetype i = 0; i < text.size();) {
        // A character beyond the BMP (an emoji) is a surrogate pair.
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const QString c = text.sliced(i, pair ? 2 : 1).toString();
        i += c.size();
        const char16_t u = c[0].unicode();
        if (u == u'\t' || u == u'\r' || u == u'\n' || outside.contains(c))
            continue;
        // Held when it is written as bytes that read back as itself.
        QStringEncoder enc("GB2312", QStringConverter::Flag::Stateless);
        const QByteArray bytes = enc.encode(c);
        const Gb2312Text back = enc.hasError() ? Gb2312Text{} : readGb2312Text(bytes);
        if (enc.hasError() || back.refusal != Gb2312Text::Refusal::None || back.text != c)
            outside << c;
    }
    return outside;
}

} // namespace krv
