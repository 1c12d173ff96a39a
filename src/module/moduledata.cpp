#include "moduledata.h"

namespace krv {

QString DeviceId::text() const
{
    QString out;
    for (char c : id)
        out += QChar(static_cast<quint8>(c));
    return out + QStringLiteral("  Version") + QChar(48 + major) + QLatin1Char('.') +
           QChar(48 + minor);
}

bool DeviceId::isKnownModule() const
{
    return id == "REREVE2060RIDU" || id == "ZEZADO2040ZOZE";
}

} // namespace krv
