#pragma once
// The simulator's log on standard error: one line per event, with the time of day
// to the millisecond. Level 1 (-v) shows requests and replies, level 2 (-vv) also
// what the receivers threw away.

#include <QByteArrayView>

namespace sim {

void setLogLevel(int level);
int logLevel();
void logLine(int level, QByteArrayView text);

} // namespace sim
