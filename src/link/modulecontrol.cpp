#include "modulecontrol.h"

namespace krv {

void decodeModuleControl(ModuleData &m, QByteArrayView regBytes)
{
    if (regBytes.size() < 6)
        return;
    const auto byte = [&](int i) { return static_cast<quint8>(regBytes[i]); };
    m.AddrContinuous = (m.version() >= 53 && (byte(0) & 0x80)) ? 1 : 0;
    m.SerialOutCount = byte(0) & 0x0F;
    m.RequestOut = byte(1) & 1;
    m.StartControl = byte(3) & 1;
    m.MeasChannels = byte(5);
}

} // namespace krv
