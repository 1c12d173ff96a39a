#include "simlog.h"

#include <QByteArray>
#include <QTime>

#include <cstdio>

namespace sim {

namespace {
int g_level = 0;
}

void setLogLevel(int level)
{
    g_level = level;
}

int logLevel()
{
    return g_level;
}

void logLine(int level, QByteArrayView text)
{
    if (level > g_level)
        return;
    QByteArray line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toLatin1();
    line += ' ';
    line.append(text.data(), text.size());
    line += '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace sim
