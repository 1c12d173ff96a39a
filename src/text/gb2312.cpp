#include "gb2312.h"

#include <QStringDecoder>
#include <QStringEncoder>

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

} // namespace krv
