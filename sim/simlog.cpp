#include "simlog.h"

#include <cstdio>
#include <ctime>

namespace sim {

namespace {
int g_level = 0;
bool g_micro = false;

qint64 usOfDayNow()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    return ((local.tm_hour * 60LL + local.tm_min) * 60 + local.tm_sec) * 1000000 +
           ts.tv_nsec / 1000;
}
} // namespace

void setLogLevel(int level)
{
    g_level = level;
}

int logLevel()
{
    return g_level;
}

void setLogMicroseconds(bool on)
{
    g_micro = on;
}

QByteArray logStamp(qint64 usOfDay, bool microseconds)
{
    const qint64 s = usOfDay / 1000000;
    char text[24];
    const int fraction = static_cast<int>(usOfDay % 1000000);
    std::snprintf(text, sizeof text,
                  microseconds ? "%02lld:%02lld:%02lld.%06d" : "%02lld:%02lld:%02lld.%03d",
                  s / 3600, s / 60 % 60, s % 60, microseconds ? fraction : fraction / 1000);
    return QByteArray(text);
}

void logLine(int level, QByteArrayView text)
{
    if (level > g_level)
        return;
    QByteArray line = logStamp(usOfDayNow(), g_micro);
    line += ' ';
    line.append(text.data(), text.size());
    line += '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace sim
