#pragma once
// Number and time formats shared by the windows and the text files, so that each
// rule lives in one place.

#include <QDateTime>
#include <QString>

#include <optional>

namespace krv {

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4).
long long roundHalfEven(double v);
// The nearest whole number, halves to even, when it lies within [lo, hi];
// nothing otherwise (a huge or non-finite value included).
std::optional<long long> nearestWithin(double v, long long lo, long long hi);
// Timer interval: base / (speed index + 1) ms, halves to even (1150/4 -> 288).
int timerInterval(int baseMs, int speedIndex);

// Whole number with no leading zeros; 0 gives the empty text.
QString formatHash(long long v);
// A double with up to 15 significant digits, no trailing zeros (1085.06944444444).
QString formatDouble15(double v);
// Whole number with a blank in the sign position when not negative (" 2006", "-5").
QString withSignBlank(long long v);
// A number as free-format text output writes it: sign position, digits, one blank.
QString freeFormatNumber(long long v);

// "yyyy年mm月dd日    hh:mm:ss" and "hh:mm:ss".
QString dateTimeStamp(const QDateTime &t);
QString timeStamp(const QTime &t);

// A text box's number: optional sign, digits, optional fraction, blanks around
// allowed. Anything else is not a number.
std::optional<double> parseDecimal(const QString &text);
// Like parseDecimal, but only whole numbers within [lo, hi].
std::optional<long long> parseWhole(const QString &text, long long lo, long long hi);

} // namespace krv
