#pragma once
// The simulator's log on standard error: one line per event, with the time of day
// to the millisecond (or to the microsecond, for timing measurements). Level 1
// (-v) shows requests and replies, level 2 (-vv) also what the receivers threw
// away.

#include <QByteArray>
#include <QByteArrayView>

namespace sim {

void setLogLevel(int level);
int logLevel();
// Time stamps "HH:mm:ss.zzzzzz" instead of "HH:mm:ss.zzz".
void setLogMicroseconds(bool on);
// The time stamp of a log line for a time of day in microseconds since midnight.
QByteArray logStamp(qint64 usOfDay, bool microseconds);
void logLine(int level, QByteArrayView text);

} // namespace sim
