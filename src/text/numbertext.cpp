#include "numbertext.h"

#include <QRegularExpression>

#include <cmath>

namespace krv {

long long roundHalfEven(double v)
{
    return static_cast<long long>(std::nearbyint(v)); // default FE_TONEAREST: halves to even
}

std::optional<long long> nearestWithin(double v, long long lo, long long hi)
{
    // Checked before rounding as well, so that a huge value never reaches the
    // conversion to an integer.
    if (!(v > static_cast<double>(lo) - 1.0 && v < static_cast<double>(hi) + 1.0))
        return std::nullopt;
    const long long rounded = roundHalfEven(v);
    if (rounded < lo || rounded > hi)
        return std::nullopt;
    return rounded;
}

int timerInterval(int baseMs, int speedIndex)
{
    return static_cast<int>(roundHalfEven(static_cast<double>(baseMs) / (speedIndex + 1)));
}

QString formatHash(long long v)
{
    return v == 0 ? QString() : QString::number(v);
}

QString formatDouble15(double v)
{
    QString s = QString::number(v, 'g', 15);
    // 'g' switches to exponent form for large or tiny values; keep plain digits
    // where they fit in 15 significant places.
    if (s.contains(QLatin1Char('e')) && std::fabs(v) >= 1e-5 && std::fabs(v) < 1e15) {
        s = QString::number(v, 'f', 15);
        if (s.contains(QLatin1Char('.'))) {
            while (s.endsWith(QLatin1Char('0')))
                s.chop(1);
            if (s.endsWith(QLatin1Char('.')))
                s.chop(1);
        }
    }
    return s;
}

QString withSignBlank(long long v)
{
    return v < 0 ? QString::number(v) : QLatin1Char(' ') + QString::number(v);
}

QString freeFormatNumber(long long v)
{
    return withSignBlank(v) + QLatin1Char(' ');
}

QString dateTimeStamp(const QDateTime &t)
{
    return t.toString(QStringLiteral("yyyy年MM月dd日    HH:mm:ss"));
}

QString timeStamp(const QTime &t)
{
    return t.toString(QStringLiteral("HH:mm:ss"));
}

std::optional<double> parseDecimal(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)\\s*$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

std::optional<long long> parseWhole(const QString &text, long long lo, long long hi)
{
    const auto v = parseDecimal(text);
    if (!v || *v != std::floor(*v) || *v < static_cast<double>(lo) || *v > static_cast<double>(hi))
        return std::nullopt;
    return static_cast<long long>(*v);
}

} // namespace krv
