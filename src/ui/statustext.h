#pragma once
// The status line, port failures, malformed line addresses and refused input
// in the words of the interface: the one place that turns the values the line
// reports into text.

#include "link/linkstatus.h"
#include "module/inputrefusal.h"
#include "protocol/portcomponent.h"

#include <QCoreApplication>
#include <QString>

namespace krv {

class StatusText
{
    Q_DECLARE_TR_FUNCTIONS(krv::StatusText)
public:
    // What the status line shows for a status.
    static QString of(const LinkStatus &status);
    // "COM1 (/dev/ttyS0) 无法打开: 没有访问权限": the system's reason in the
    // words of the interface (SystemReason).
    static QString of(const PortFailure &failure);
    // What is wrong with an address typed into the port box or given with
    // --port: "缺少端口号".
    static QString of(LineAddress::Fault fault);
    // A count box: empty for 0.
    static QString count(int n);
};

} // namespace krv
