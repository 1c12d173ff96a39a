#include "modulecontrol.h"

namespace krv {

std::optional<ModuleControl> decodeModuleControl(QByteArrayView registerBytes, int version)
{
    if (registerBytes.size() < 6)
        return std::nullopt;
    const auto byte = [&](int i) { return static_cast<quint8>(registerBytes[i]); };
    ModuleControl c;
    c.continuousAddressing = version >= 53 && (byte(0) & 0x80);
    c.serialOutputCount = byte(0) & 0x0F;
    c.requestOutput = byte(1) & 1;
    c.startMode = byte(3) & 1;
    c.measuredChannels = byte(5);
    return c;
}

} // namespace krv
