#pragma once
// Lending the line: the main window stops using its port and lends the line
// to an editor, which opens its own port on the same device and speed and
// gives the line back when it returns. The editors see only this.

#include "protocol/lineaddress.h"

#include <QString>

namespace krv {

// The PC side of the line as the main window's lists hold it.
struct LineChoice
{
    LineAddress address = LineAddress::com(1);
    QString rateText = QStringLiteral("9600");
    int rateIndex = 3; // 0..5 for 1200..38400
    QString settings() const { return rateText + QStringLiteral(",N,8,1"); }
};

class LineLender
{
public:
    virtual ~LineLender() = default;
    // The port and speed the line was lent with.
    virtual const LineChoice &lentLine() const = 0;
    // The borrower has closed its port: the lender takes the line back.
    virtual void takeBack() = 0;
};

} // namespace krv
